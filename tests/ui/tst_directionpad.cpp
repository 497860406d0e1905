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
    int uvcPanTiltRelativeControl(double pan, double tilt) override { return add("relative", {pan, tilt}); }
    int uvcPanTiltAbsoluteControl(int pan, int tilt) override { return add("absolute", {double(pan), double(tilt)}); }
    int gimbalGetAttitudeInfo(int16_t &x, int16_t &y, int16_t &z) override
    {
        x = attitude[0];
        y = attitude[1];
        z = attitude[2];
        return attitudeResult;
    }
    int gimbalSetSpeedPosition(int16_t x, int16_t y, int16_t z, double sx, double sy, double sz) override
    {
        return add("speedPosition", {double(x), double(y), double(z), sx, sy, sz});
    }
    bool isStop(int i) const
    {
        return commands.at(i).name == QLatin1String("relative") && commands.at(i).args == QList<double>{0.0, 0.0};
    }
    // The relative command i as (pan, tilt).
    QPointF relative(int i) const { return QPointF(commands.at(i).args.at(0), commands.at(i).args.at(1)); }

private:
    int add(const char *name, const QList<double> &args)
    {
        commands.append({QLatin1String(name), args});
        return 0;
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
    void press(const QPoint &p) { QTest::mousePress(&pad, Qt::LeftButton, Qt::NoModifier, p); }
    void release(const QPoint &p) { QTest::mouseRelease(&pad, Qt::LeftButton, Qt::NoModifier, p); }
    // A drag step with the left button held (QTest::mouseMove only moves
    // the cursor, which offscreen windows never see).
    void drag(const QPoint &p)
    {
        QMouseEvent event(QEvent::MouseMove, QPointF(p), QPointF(pad.mapToGlobal(p)), Qt::NoButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&pad, &event);
    }
};

const QPoint kCentre(100, 100);
const QPoint kRightRim(198, 100);

} // namespace

class TestDirectionPad : public QObject
{
    Q_OBJECT
private slots:
    void knobAndVectorFollowPointer();
    void holdingStillSendsOneCommandAndReleaseOneStop();
    void keyEntryAndReleaseAfterKeyMove();
    void pressAtCentreStopsAMovingView();
    void disabledPadIgnoresInput();
    void resetViewAndNoCamera();
    void moveToPreset();
};

void TestDirectionPad::knobAndVectorFollowPointer()
{
    Rig rig;
    const int radius = rig.pad.travelRadius();
    // Half way down: half a downward vector.
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.press(kCentre + QPoint(0, radius / 2));
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 1, 2000);
    QVERIFY(qAbs(reports.at(0).at(0).toDouble() - double(radius / 2) / radius) < 1e-9);
    QVERIFY(qAbs(reports.at(0).at(1).toDouble()) < 1e-9);
    rig.release(kCentre + QPoint(0, radius / 2));

    // Outside the circle the knob stays on it, at full deflection.
    rig.press(QPoint(199, 199));
    QCOMPARE(rig.pad.deflection(), 1.0);
    const QPoint knob = rig.pad.knobPos() - kCentre;
    QVERIFY(std::abs(std::hypot(knob.x(), knob.y()) - radius) <= 1.0);
    QVERIFY(knob.x() > 0 && knob.x() == knob.y());
    rig.drag(kCentre + QPoint(-20, 10));
    QCOMPARE(rig.pad.knobPos(), kCentre + QPoint(-20, 10));
    rig.release(kCentre + QPoint(-20, 10));
    QCOMPARE(rig.pad.knobPos(), kCentre);
    QCOMPARE(rig.pad.deflection(), 0.0);
}

void TestDirectionPad::holdingStillSendsOneCommandAndReleaseOneStop()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    QSignalSpy stops(&rig.gimbal, &GimbalControl::viewStopped);
    rig.press(kRightRim);
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 4, 2000);
    // Every tick repeats the same vector; only the first reaches the camera.
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.relative(0), QPointF(1.0, 0.0)); // pan right
    QCOMPARE(reports.at(0).at(2).toBool(), true);        // first press
    QCOMPARE(reports.at(1).at(2).toBool(), false);

    rig.release(kRightRim);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));
    QCOMPARE(stops.count(), 1);
    QVERIFY(!rig.pad.isReporting());
}

void TestDirectionPad::keyEntryAndReleaseAfterKeyMove()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.pad.keyEntry(Qt::Key_Left);
    QCOMPARE(reports.count(), 1); // once, no timer
    QVERIFY(!rig.pad.isReporting());
    QCOMPARE(rig.camera.relative(0), QPointF(-1.0, 0.0));
    // The same key again repeats the vector: nothing new is sent.
    rig.pad.keyEntry(Qt::Key_Left);
    QCOMPARE(rig.camera.commands.size(), 1);

    // Key release in the main window enters 0: exactly one stop.
    rig.pad.keyEntry(0);
    rig.pad.keyEntry(0);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));

    // A mouse release after a key-driven move also stops, once.
    rig.pad.keyEntry(Qt::Key_Down);
    QCOMPARE(rig.camera.relative(2), QPointF(0.0, -1.0));
    rig.release(kCentre);
    QCOMPARE(rig.camera.commands.size(), 4);
    QVERIFY(rig.camera.isStop(3));
}

void TestDirectionPad::pressAtCentreStopsAMovingView()
{
    Rig rig;
    rig.pad.keyEntry(Qt::Key_Right);
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.press(kCentre);
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 2, 2000);
    QCOMPARE(rig.camera.commands.size(), 2);
    QVERIFY(rig.camera.isStop(1));
    // Releasing there sends no second stop.
    rig.release(kCentre);
    QCOMPARE(rig.camera.commands.size(), 2);
}

void TestDirectionPad::disabledPadIgnoresInput()
{
    Rig rig;
    QSignalSpy reports(&rig.pad, &DirectionHandler::ctrlRef);
    rig.pad.enable(false);
    rig.press(kRightRim);
    rig.pad.keyEntry(Qt::Key_Up);
    QVERIFY(!rig.pad.isReporting());
    rig.release(kRightRim);
    QCOMPARE(reports.count(), 0);
    QVERIFY(rig.camera.commands.isEmpty());

    // Disabling a held pad ends its reports without sending a stop.
    rig.pad.enable(true);
    rig.press(kRightRim);
    QTRY_VERIFY_WITH_TIMEOUT(reports.count() >= 1, 2000);
    rig.pad.enable(false);
    QVERIFY(!rig.pad.isReporting());
    QCOMPARE(rig.camera.commands.size(), 1);
    QVERIFY(!rig.camera.isStop(0));
}

void TestDirectionPad::resetViewAndNoCamera()
{
    Rig rig;
    QSignalSpy resets(&rig.gimbal, &GimbalControl::viewReset);
    rig.gimbal.resetView();
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.commands.at(0).name, QStringLiteral("absolute"));
    QCOMPARE(rig.camera.commands.at(0).args, (QList<double>{0.0, 0.0}));
    QCOMPARE(resets.count(), 1);

    // Without a camera nothing is sent at all.
    rig.camera.present = false;
    rig.pad.keyEntry(Qt::Key_Up);
    rig.pad.keyEntry(0);
    rig.gimbal.resetView();
    rig.gimbal.onMoveToPrePos(10, 10, 10, 50.0, 1.5);
    QCOMPARE(rig.camera.commands.size(), 1);
}

void TestDirectionPad::moveToPreset()
{
    Rig rig;
    QSignalSpy zoom(&rig.gimbal, &GimbalControl::zoomSliderRequested);
    rig.camera.attitude[0] = 100;
    rig.camera.attitude[1] = 200;
    rig.camera.attitude[2] = 300;
    // Travels 0, +300, -600 at 50 per second: every axis arrives after 12 s.
    rig.gimbal.onMoveToPrePos(100, 500, -300, 50.0, 1.5);
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(rig.camera.commands.at(0).name, QStringLiteral("speedPosition"));
    QCOMPARE(rig.camera.commands.at(0).args, (QList<double>{100, 500, -300, 0.0, 25.0, -50.0}));
    QCOMPARE(zoom.at(0).at(0).toInt(), 50);

    // Already there: no move (its speeds would divide by zero), zoom applies.
    rig.gimbal.onMoveToPrePos(100, 200, 300, 50.0, 2.0);
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(zoom.count(), 2);
    QCOMPARE(zoom.at(1).at(0).toInt(), 100);

    // A speed of 0 cannot give a time, an unreadable attitude no travel:
    // nothing at all.
    QTest::ignoreMessage(QtWarningMsg, "Invalid preset speed = 0");
    rig.gimbal.onMoveToPrePos(500, 20, 30, 0.0, 1.2);
    rig.camera.attitudeResult = -1;
    QTest::ignoreMessage(QtWarningMsg, "gimbalGetAttitudeInfo failed");
    rig.gimbal.onMoveToPrePos(500, 20, 30, 50.0, 1.2);
    QCOMPARE(rig.camera.commands.size(), 1);
    QCOMPARE(zoom.count(), 2);
}

QTEST_MAIN(TestDirectionPad)
#include "tst_directionpad.moc"
