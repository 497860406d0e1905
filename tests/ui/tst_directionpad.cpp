// Direction pad and the gimbal commands made from its reports.

#include "uicomm/DirectionHandler.h"
#include "uicomm/GimbalCamera.h"
#include "uicomm/GimbalControl.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

struct Command {
    QString name;
    QList<double> args;
};

// Records the gimbal commands; attitude and presence are set by the test.
class RecordingCamera : public GimbalCamera
{
public:
    bool present = true;
    int attitudeResult = 0;
    int16_t attitude[3] = {0, 0, 0};
    QList<Command> commands;

    bool isPresent() const override { return present; }
    int uvcPanTiltRelativeControl(double pan, double tilt) override
    {
        commands.append({QStringLiteral("relative"), {pan, tilt}});
        return 0;
    }
    int uvcPanTiltAbsoluteControl(int pan, int tilt) override
    {
        commands.append({QStringLiteral("absolute"), {double(pan), double(tilt)}});
        return 0;
    }
    int gimbalGetAttitudeInfo(int16_t &x, int16_t &y, int16_t &z) override
    {
        x = attitude[0];
        y = attitude[1];
        z = attitude[2];
        return attitudeResult;
    }
    int gimbalSetSpeedPosition(int16_t x, int16_t y, int16_t z, double sx, double sy, double sz) override
    {
        commands.append({QStringLiteral("speedPosition"), {double(x), double(y), double(z), sx, sy, sz}});
        return 0;
    }

    int count(const QString &name) const
    {
        int n = 0;
        for (const Command &c : commands)
            n += c.name == name;
        return n;
    }
    bool isStop(int i) const
    {
        return commands.at(i).name == QLatin1String("relative") && commands.at(i).args.at(0) == 0.0
            && commands.at(i).args.at(1) == 0.0;
    }
};

// The main window's set-up: 200 x 200 pad with a 180 px face and a 44 px knob.
struct Rig {
    DirectionHandler pad;
    RecordingCamera camera;
    GimbalControl gimbal{&camera};

    Rig()
    {
        pad.resize(200, 200);
        pad.setBgSize(180);
        pad.setKnobSize(44);
        QObject::connect(&pad, &DirectionHandler::ctrlRef, &gimbal, &GimbalControl::onGimbalCtrlRef);
        pad.show();
    }
};

const QPoint kCentre(100, 100);

// A drag step with the left button held (QTest::mouseMove only moves the
// cursor, which offscreen windows never see).
void drag(QWidget *w, const QPoint &pos)
{
    QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::NoButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
}

} // namespace

class TestDirectionPad : public QObject
{
    Q_OBJECT
private slots:
    void knobStaysOnTheTravelCircle();
    void holdingStillSendsOneCommandAndReleaseOneStop();
    void reportsRepeatEvery100msWithDirection();
    void vectorLengthFollowsDeflection();
    void keyEntryAndReleaseAfterKeyMove();
    void pressAtCentreStopsAMovingView();
    void disabledPadIgnoresInput();
    void noCameraSendsNothing();
    void resetView();
    void moveToPresetArrivesTogether();
    void moveToPresetWithZeroTimeSendsNoMove();
};

void TestDirectionPad::knobStaysOnTheTravelCircle()
{
    Rig rig;
    const int radius = rig.pad.travelRadius();
    QCOMPARE(radius, 90 - 22);
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(199, 199));
    QCOMPARE(rig.pad.deflection(), 1.0);
    const QPoint knob = rig.pad.knobPos() - kCentre;
    QVERIFY(std::abs(std::hypot(knob.x(), knob.y()) - radius) <= 1.0);
    QVERIFY(knob.x() > 0 && knob.x() == knob.y());
    // Inside the circle the knob follows the pointer.
    drag(&rig.pad, kCentre + QPoint(-20, 10));
    QCOMPARE(rig.pad.knobPos(), kCentre + QPoint(-20, 10));
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre + QPoint(-20, 10));
    QCOMPARE(rig.pad.knobPos(), kCentre);
    QCOMPARE(rig.pad.deflection(), 0.0);
}

void TestDirectionPad::holdingStillSendsOneCommandAndReleaseOneStop()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    QSignalSpy stops(&rig.gimbal, &GimbalControl::viewStopped);
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(198, 100));
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 4, 2000);
    // Every tick repeats the same vector; only the first reaches the camera.
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.commands.at(0).name, QStringLiteral("relative"));
    QCOMPARE(rig.camera.commands.at(0).args.at(0), 1.0);                  // pan right
    QVERIFY(qAbs(rig.camera.commands.at(0).args.at(1)) < 1e-9);           // no tilt
    QCOMPARE(reports.at(0).at(2).toBool(), true);                         // first press
    QCOMPARE(reports.at(1).at(2).toBool(), false);

    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(198, 100));
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));
    QCOMPARE(stops.count(), 1);
    // Reports stop with the release.
    const int after = reports.count();
    QTest::qWait(250);
    QCOMPARE(reports.count(), after);
    QCOMPARE(rig.camera.commands.size(), 2);
}

void TestDirectionPad::reportsRepeatEvery100msWithDirection()
{
    Rig rig;
    QSignalSpy directions(&rig.pad, &DirectionHandler::keyNumchanged);
    QElapsedTimer clock;
    clock.start();
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(100, 2)); // straight up
    QTRY_VERIFY_WITH_TIMEOUT(directions.count() >= 3, 2000);
    QVERIFY(clock.elapsed() >= 3 * 100 - 20);
    QCOMPARE(directions.at(0).at(0).toInt(), 2);
    QCOMPARE(DirectionHandler::directionName(2), QStringLiteral("Up"));
    // Up means a positive tilt.
    QCOMPARE(rig.camera.commands.size(), 1);
    QVERIFY(qAbs(rig.camera.commands.at(0).args.at(0)) < 1e-9);
    QCOMPARE(rig.camera.commands.at(0).args.at(1), 1.0);

    // Moving the knob to the lower left changes direction and command.
    drag(&rig.pad, QPoint(10, 190));
    const int seen = directions.count();
    QTRY_VERIFY_WITH_TIMEOUT(directions.count() > seen, 2000);
    QCOMPARE(directions.last().at(0).toInt(), 7);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.commands.at(1).args.at(0) < -0.7); // pan left
    QVERIFY(rig.camera.commands.at(1).args.at(1) < -0.7); // tilt down
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(10, 190));
    QCOMPARE(directions.last().at(0).toInt(), int(DirectionHandler::StopIndex));
}

void TestDirectionPad::vectorLengthFollowsDeflection()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    const int half = rig.pad.travelRadius() / 2;
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre + QPoint(0, half));
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 1, 2000);
    const double y = reports.at(0).at(0).toDouble();
    const double z = reports.at(0).at(1).toDouble();
    QVERIFY(qAbs(y - double(half) / rig.pad.travelRadius()) < 1e-9); // downward
    QVERIFY(qAbs(z) < 1e-9);
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre + QPoint(0, half));
}

void TestDirectionPad::keyEntryAndReleaseAfterKeyMove()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.pad.keyEntry(Qt::Key_Left);
    QCOMPARE(reports.count(), 1); // once, no timer
    QCOMPARE(reports.at(0).at(2).toBool(), true);
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.commands.at(0).args.at(0), -1.0);
    QTest::qWait(250);
    QCOMPARE(reports.count(), 1);

    // The same key again repeats the vector: nothing new is sent.
    rig.pad.keyEntry(Qt::Key_Left);
    QCOMPARE(rig.camera.commands.size(), 1);

    // Key release in the main window enters 0: exactly one stop.
    rig.pad.keyEntry(0);
    rig.pad.keyEntry(0);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));
    QVERIFY(!rig.pad.isPressed());

    rig.pad.keyEntry(Qt::Key_Down);
    QCOMPARE(rig.camera.commands.size(), 3);
    QVERIFY(qAbs(rig.camera.commands.at(2).args.at(0)) < 1e-9);
    QCOMPARE(rig.camera.commands.at(2).args.at(1), -1.0);
    // A mouse release after a key-driven move also stops, once.
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre);
    QCOMPARE(rig.camera.commands.size(), 4);
    QVERIFY(rig.camera.isStop(3));
}

void TestDirectionPad::pressAtCentreStopsAMovingView()
{
    Rig rig;
    rig.pad.keyEntry(Qt::Key_Right);
    QCOMPARE(rig.camera.commands.size(), 1);
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre);
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 2, 2000);
    QCOMPARE(reports.at(0).at(0).toDouble(), 0.0);
    QCOMPARE(reports.at(0).at(1).toDouble(), 0.0);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));
    // Releasing there sends no second stop.
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, kCentre);
    QCOMPARE(rig.camera.commands.size(), 2);
}

void TestDirectionPad::disabledPadIgnoresInput()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.pad.enable(false);
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(198, 100));
    rig.pad.keyEntry(Qt::Key_Up);
    QTest::qWait(250);
    QTest::mouseRelease(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(198, 100));
    QCOMPARE(reports.count(), 0);
    QVERIFY(rig.camera.commands.isEmpty());

    // Disabling a held pad ends its reports without sending a stop.
    rig.pad.enable(true);
    QTest::mousePress(&rig.pad, Qt::LeftButton, Qt::NoModifier, QPoint(198, 100));
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 1, 2000);
    rig.pad.enable(false);
    const int seen = reports.count();
    QTest::qWait(250);
    QCOMPARE(reports.count(), seen);
    QCOMPARE(rig.camera.commands.size(), 1);
    QVERIFY(!rig.camera.isStop(0));
}

void TestDirectionPad::noCameraSendsNothing()
{
    Rig rig;
    rig.camera.present = false;
    rig.pad.keyEntry(Qt::Key_Up);
    rig.pad.keyEntry(0);
    rig.gimbal.resetView();
    rig.gimbal.onMoveToPrePos(10, 10, 10, 50.0, 1.5);
    QVERIFY(rig.camera.commands.isEmpty());
}

void TestDirectionPad::resetView()
{
    Rig rig;
    QSignalSpy resets(&rig.gimbal, &GimbalControl::viewReset);
    rig.gimbal.resetView();
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.commands.at(0).name, QStringLiteral("absolute"));
    QCOMPARE(rig.camera.commands.at(0).args, (QList<double>{0.0, 0.0}));
    QCOMPARE(resets.count(), 1);
}

void TestDirectionPad::moveToPresetArrivesTogether()
{
    Rig rig;
    QSignalSpy zoom(&rig.gimbal, &GimbalControl::zoomSliderRequested);
    rig.camera.attitude[0] = 100;
    rig.camera.attitude[1] = 200;
    rig.camera.attitude[2] = 300;
    // Travels 0, +300, -600 at 50 per second: 12 s for the longest axis.
    rig.gimbal.onMoveToPrePos(100, 500, -300, 50.0, 1.5);
    QCOMPARE(rig.camera.commands.size(), 1);
    const Command &c = rig.camera.commands.at(0);
    QCOMPARE(c.name, QStringLiteral("speedPosition"));
    QCOMPARE(c.args, (QList<double>{100, 500, -300, 0.0, 25.0, -50.0}));
    QCOMPARE(zoom.count(), 1);
    QCOMPARE(zoom.at(0).at(0).toInt(), 50);
}

void TestDirectionPad::moveToPresetWithZeroTimeSendsNoMove()
{
    Rig rig;
    QSignalSpy zoom(&rig.gimbal, &GimbalControl::zoomSliderRequested);
    rig.camera.attitude[0] = 10;
    rig.camera.attitude[1] = 20;
    rig.camera.attitude[2] = 30;
    // Already there: no move (its speeds would divide by zero), zoom applies.
    rig.gimbal.onMoveToPrePos(10, 20, 30, 50.0, 2.0);
    QVERIFY(rig.camera.commands.isEmpty());
    QCOMPARE(zoom.count(), 1);
    QCOMPARE(zoom.at(0).at(0).toInt(), 100);

    // A speed of 0 (or below) cannot give a time: nothing at all.
    QTest::ignoreMessage(QtWarningMsg, "Invalid preset speed = 0");
    rig.gimbal.onMoveToPrePos(500, 20, 30, 0.0, 1.2);
    QVERIFY(rig.camera.commands.isEmpty());
    QCOMPARE(zoom.count(), 1);

    // An unreadable attitude gives no travel either.
    rig.camera.attitudeResult = -1;
    QTest::ignoreMessage(QtWarningMsg, "gimbalGetAttitudeInfo failed");
    rig.gimbal.onMoveToPrePos(500, 20, 30, 50.0, 1.2);
    QVERIFY(rig.camera.commands.isEmpty());
}

QTEST_MAIN(TestDirectionPad)
#include "tst_directionpad.moc"
