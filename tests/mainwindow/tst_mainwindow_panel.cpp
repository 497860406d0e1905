// Main window: the control panel (zoom timing and read-out, the 100 ms rule,
// the zoom hold-off, blur, auto framing with its warning, the 4 s deaf
// switches, framing options, field of view, virtual background, compact
// layout) and the direction pad's commands, against virtual cameras.

#include "MainWindowTestSupport.h"

#include "comm/GlobalParams.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/MsgInfoUi.h"

#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QtTest>

using namespace mwtest;

namespace {

QString lookOf(QWidget *window, const char *name)
{
    return button(window, name)->property("look").toString();
}

// Relative pan/tilt blocks: (pan direction, pan step, tilt direction, tilt step).
QList<QByteArray> panTiltBlocks(const std::shared_ptr<VirtualCamera> &cam)
{
    return blocks(cam, 9);
}

bool isStop(const QByteArray &block)
{
    return block.at(2) == 0 && block.at(3) == 0 && block.at(4) == 0 && block.at(5) == 0;
}

// Waits past the window's 100 ms quiet time after a user action.
void pastQuietTime()
{
    QTest::qWait(130);
}

} // namespace

class TestMainWindowPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void zoomDragIsRateLimited();
    void zoomReadoutFollowsModel();
    void statusRightAfterUserActionIgnored();
    void zoomHoldOffAfterRelease();
    void directionPadStopsOnceAndSuppressesRepeats();
    void keyReleaseStopsKeyMove();
    void autoFramingWarningOnlyOnce();
    void cameraGoneDuringWarning();
    void switchesAreDeafAfterAClick();
    void backgroundOptionsNeedBackgroundOn();
    void greenScreenAndViewCommands();
    void framingSizeHiddenInEveryState();
    void statusDrivesThePanel();
    void compactLayoutWithoutVirtualBackground();

private:
    MainUserUi *m_window = nullptr;
    std::shared_ptr<VirtualCamera> m_cam;
    QSlider *m_zoom = nullptr;
    QSlider *m_blur = nullptr;
};

void TestMainWindowPanel::initTestCase()
{
    setUpPlatform();
    m_window = new MainUserUi();
    m_window->show();
    m_window->adjustAfterShow();
    qApp->installEventFilter(m_window);
    m_zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    m_blur = m_window->findChild<QSlider *>(QStringLiteral("slBlurLevel"));
}

void TestMainWindowPanel::cleanupTestCase()
{
    qApp->removeEventFilter(m_window);
    unplugAll(m_window);
    delete m_window;
}

// Every case starts with one camera, current and awake, whose status
// updates the case delivers itself.
void TestMainWindowPanel::init()
{
    m_cam = plugCameras(m_window, 1).front();
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == m_cam->serial() && m_window->isAwake(); }));
    device(m_cam)->setStatusSignalEnabled(false);
    // Through the zoom hold-off left by earlier cases.
    pastQuietTime();
    for (int i = 0; i < 3; ++i)
        m_window->onDevStateUpdate(status());
    pastQuietTime();
    m_cam->clearLog();
}

void TestMainWindowPanel::cleanup()
{
    QVERIFY(unplugAll(m_window));
    m_cam.reset();
}

void TestMainWindowPanel::zoomDragIsRateLimited()
{
    zoomLog().sets = 0;
    m_zoom->setSliderDown(true); // pressed: sends position 0
    QCOMPARE(zoomLog().sets.load(), 1);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) {
        m_zoom->setSliderPosition(int(t.elapsed() / 3));
        QTest::qWait(5);
    }
    m_zoom->setSliderPosition(100);
    const int fromValueChanges = zoomLog().sets.load() - 1;
    m_zoom->setSliderDown(false); // released: sends the final position
    QVERIFY2(fromValueChanges >= 2 && fromValueChanges <= 4, qPrintable(QString::number(fromValueChanges)));
    QCOMPARE(zoomLog().sets.load(), fromValueChanges + 2);
    // The camera ends at the top of its zoom range.
    QCOMPARE(zoomLog().lastValue.load(), m_cam->controlValue(CameraDevice::Control::Zoom));
    CameraDevice::Range range;
    int error = 0;
    QVERIFY(m_cam->controlRange(m_cam->generation(), CameraDevice::Control::Zoom, range, &error));
    QCOMPARE(zoomLog().lastValue.load(), range.maximum);
    QCOMPARE(m_window->zoomHoldOff(), -3);
}

void TestMainWindowPanel::zoomReadoutFollowsModel()
{
    // Four cameras in a row cover both a 4K and a plain zarvo.
    auto more = plugCameras(m_window, 3);
    more.insert(more.begin(), m_cam);
    auto *text = m_window->findChild<QLabel *>(QStringLiteral("lbZoomValue"));
    int checked = 0;
    for (int i = 0; i < int(more.size()); ++i) {
        const VirtualCamera::Model model = more.at(i)->model();
        if (model != VirtualCamera::Model::Zarvo && model != VirtualCamera::Model::Zarvo4K)
            continue;
        m_window->onDevChangedFromSleepUi(i);
        QCOMPARE(m_window->currentDevSn(), more.at(i)->serial());
        const bool fourK = model == VirtualCamera::Model::Zarvo4K;
        QCOMPARE(m_window->isZoom4x(), fourK);
        m_zoom->setValue(50);
        QCOMPARE(text->text(), fourK ? QStringLiteral("2.5x") : QStringLiteral("1.5x"));
        m_zoom->setValue(100);
        QCOMPARE(text->text(), fourK ? QStringLiteral("4x") : QStringLiteral("2x"));
        m_zoom->setValue(0);
        QCOMPARE(text->text(), QStringLiteral("1x"));
        ++checked;
    }
    QCOMPARE(checked, 2);
}

void TestMainWindowPanel::statusRightAfterUserActionIgnored()
{
    // Zoom: the status 50 ms after the move is dropped as a whole.
    m_zoom->setValue(60);
    QTest::qWait(50);
    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 10;
    for (int i = 0; i < 3; ++i)
        m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 60);
    QCOMPARE(m_window->zoomHoldOff(), -3);

    // Blur: with the virtual background on, a late status moves the slider
    // only after the quiet time.
    pastQuietTime();
    s.data[CameraStatus::Zoom] = 60;
    s.data[CameraStatus::MediaMode] = 1;
    s.data[CameraStatus::BgMode] = 18;
    s.data[CameraStatus::BlurLevel] = 20;
    m_window->onDevStateUpdate(s);
    QVERIFY(m_window->isBackgroundOn());
    QVERIFY(m_blur->isEnabled());
    m_blur->setValue(80);
    QCOMPARE(blocks(m_cam, 6).last().at(2), char(80));
    QTest::qWait(50);
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_blur->value(), 80);
    pastQuietTime();
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_blur->value(), 20);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbBlurLevelValue"))->text(), QStringLiteral("20%"));
}

void TestMainWindowPanel::zoomHoldOffAfterRelease()
{
    m_zoom->setSliderDown(true);
    m_zoom->setSliderPosition(70);
    m_zoom->setSliderDown(false);
    pastQuietTime();
    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 20;
    m_window->onDevStateUpdate(s);
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 70);
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 20);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbZoomValue"))->text(),
             m_window->isZoom4x() ? QStringLiteral("1.6x") : QStringLiteral("1.2x"));

    // A new field of view lets the very next status correct the zoom.
    m_zoom->setValue(90);
    button(m_window, "pbView65")->click();
    QCOMPARE(m_window->zoomHoldOff(), 0);
    pastQuietTime();
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 20);
}

void TestMainWindowPanel::directionPadStopsOnceAndSuppressesRepeats()
{
    DirectionHandler *pad = m_window->directionHandler();
    QVERIFY(pad->isPadEnabled());
    // Held still at the right rim for several report periods.
    QTest::mousePress(pad, Qt::LeftButton, Qt::NoModifier, QPoint(pad->width() - 2, pad->height() / 2));
    QTest::qWait(5 * DirectionHandler::ReportIntervalMs + 30);
    QList<QByteArray> sent = panTiltBlocks(m_cam);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(quint8(sent.first().at(2)), quint8(1)); // pan to the right
    QVERIFY(!isStop(sent.first()));

    QTest::mouseRelease(pad, Qt::LeftButton, Qt::NoModifier, QPoint(pad->width() - 2, pad->height() / 2));
    QTest::qWait(2 * DirectionHandler::ReportIntervalMs);
    sent = panTiltBlocks(m_cam);
    QCOMPARE(sent.size(), 2);
    QVERIFY(isStop(sent.last()));
    QCOMPARE(m_window->cropAreaCounter(), 1); // mouse band

    // 29 status updates later the moved view is reported, once.
    for (int i = 0; i < 28; ++i)
        m_window->onDevStateUpdate(status());
    QCOMPARE(m_window->cropAreaCounter(), 29);
    m_window->onDevStateUpdate(status());
    QCOMPARE(m_window->cropAreaCounter(), 0);

    // Reset centres the view through the absolute control.
    button(m_window, "pbDirectionReset")->click();
    QCOMPARE(m_cam->controlValue(CameraDevice::Control::Pan), 0);
    QCOMPARE(m_cam->controlValue(CameraDevice::Control::Tilt), 0);
}

void TestMainWindowPanel::keyReleaseStopsKeyMove()
{
    DirectionHandler *pad = m_window->directionHandler();
    pad->keyEntry(Qt::Key_Up);
    pad->keyEntry(Qt::Key_Up); // the same vector again: not sent again
    QList<QByteArray> sent = panTiltBlocks(m_cam);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(quint8(sent.first().at(4)), quint8(1)); // tilt up

    // The release reaches a child widget; the window takes it over.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(m_zoom, &repeat);
    QCOMPARE(panTiltBlocks(m_cam).size(), 1); // auto-repeat: ignored
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(m_zoom, &release);
    sent = panTiltBlocks(m_cam);
    QCOMPARE(sent.size(), 2);
    QVERIFY(isStop(sent.last()));
    QCOMPARE(m_window->cropAreaCounter(), 31); // keyboard band
    QVERIFY(!pad->isPressed());

    // A second release finds nothing moving: no second stop.
    QApplication::sendEvent(m_zoom, &release);
    QCOMPARE(panTiltBlocks(m_cam).size(), 2);
}

void TestMainWindowPanel::autoFramingWarningOnlyOnce()
{
    GlobalParams::instance()->setAutoFramingTips(false);
    button(m_window, "pbVirtualBg")->click();
    QVERIFY(m_window->isBackgroundOn());
    QCOMPARE(blocks(m_cam, 0).size(), 1);

    // First time ever: the warning; "Cancel" changes nothing.
    answerBox<MsgInfoUi>(false);
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(GlobalParams::instance()->getAutoFramingTips());
    QVERIFY(!m_window->isFramingOn());
    QVERIFY(m_window->isBackgroundOn());
    QCOMPARE(blocks(m_cam, 0).size(), 1);

    // Second time: no warning, auto framing goes on and the background off.
    bool warned = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, [&warned] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<MsgInfoUi *>(w) && w->isVisible()) {
                warned = true;
                w->close();
            }
        }
    });
    watchdog.start(500);
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(!warned);
    QVERIFY(m_window->isFramingOn());
    QVERIFY(!m_window->isBackgroundOn());
    QCOMPARE(quint8(blocks(m_cam, 0).last().at(2)), quint8(2));
    // With auto framing on the view and the pad are out of reach.
    QVERIFY(!button(m_window, "pbView86")->isEnabled());
    QVERIFY(!m_zoom->isEnabled());
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
}

void TestMainWindowPanel::cameraGoneDuringWarning()
{
    GlobalParams::instance()->setAutoFramingTips(false);
    button(m_window, "pbVirtualBg")->click();
    // While the warning waits for an answer the camera is unplugged and
    // the registry drops it; "Turn On" then finds no camera.
    auto cam = m_cam;
    QTimer::singleShot(0, [this, cam] {
        cam->unplug();
        waitFor([this] { return m_window->currentDevSn().isEmpty(); });
        answerBox<MsgInfoUi>(true);
    });
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(m_window->currentDevSn().isEmpty());
    QVERIFY(!m_window->isFramingOn());
    QCOMPARE(m_window->devButtons().size(), 1);
    QVERIFY(!m_window->devButtons().first()->isOccupied());
}

void TestMainWindowPanel::switchesAreDeafAfterAClick()
{
    QPushButton *vbg = button(m_window, "pbVirtualBg");
    vbg->click();
    vbg->click();
    QCOMPARE(blocks(m_cam, 0).size(), 1);
    QVERIFY(m_window->isBackgroundOn());
    QVERIFY(waitFor([vbg] { return !vbg->signalsBlocked(); }, TimeScale::ms(4000) + 1000));
    vbg->click();
    QCOMPARE(blocks(m_cam, 0).size(), 2);
    QCOMPARE(quint8(blocks(m_cam, 0).last().at(2)), quint8(0));
    QVERIFY(!m_window->isBackgroundOn());
}

void TestMainWindowPanel::backgroundOptionsNeedBackgroundOn()
{
    QVERIFY(!m_window->isBackgroundOn());
    for (const char *slot : {"on_pbBgBlur_clicked", "on_pbBgGreenScreen_clicked", "on_pbBgReplace_clicked",
                             "on_pbColorG_clicked", "on_pbColorB_clicked"})
        QVERIFY(QMetaObject::invokeMethod(m_window, slot));
    QVERIFY(blocks(m_cam, 5).isEmpty());
    QVERIFY(blocks(m_cam, 16).isEmpty());
    QCOMPARE(lookOf(m_window, "pbBgGreenScreen"), QStringLiteral("disabled"));
    QCOMPARE(lookOf(m_window, "pbColorG"), QStringLiteral("disabled"));
}

void TestMainWindowPanel::greenScreenAndViewCommands()
{
    button(m_window, "pbVirtualBg")->click();
    button(m_window, "pbBgGreenScreen")->click();
    QCOMPARE(quint8(blocks(m_cam, 5).last().at(2)), quint8(1));
    auto *pages = m_window->findChild<QStackedWidget *>(QStringLiteral("swOptionSet"));
    QCOMPARE(pages->currentIndex(), 1);
    QCOMPARE(lookOf(m_window, "pbBgGreenScreen"), QStringLiteral("selected"));
    QCOMPARE(lookOf(m_window, "pbBgBlur"), QStringLiteral("normal"));

    button(m_window, "pbColorB")->click();
    QCOMPARE(quint8(blocks(m_cam, 16).last().at(2)), quint8(0));
    QCOMPARE(button(m_window, "pbColorB")->geometry(), QRect(184, 27, 60, 26));
    QCOMPARE(button(m_window, "pbColorG")->geometry(), QRect(262, 28, 60, 24));
    QCOMPARE(lookOf(m_window, "pbColorB"), QStringLiteral("selected"));

    button(m_window, "pbBgReplace")->click();
    QCOMPARE(pages->currentIndex(), 2);
    QCOMPARE(quint8(blocks(m_cam, 5).last().at(2)), quint8(17));

    button(m_window, "pbView78")->click();
    QCOMPARE(quint8(blocks(m_cam, 4).last().at(2)), quint8(1));
    QCOMPARE(lookOf(m_window, "pbView78"), QStringLiteral("selected"));
    QCOMPARE(lookOf(m_window, "pbView86"), QStringLiteral("normal"));
    QCOMPARE(device(m_cam)->statusPollCount(), 80);
}

void TestMainWindowPanel::framingSizeHiddenInEveryState()
{
    QPushButton *closeUp = button(m_window, "pbCloseUp");
    QPushButton *upper = button(m_window, "pbUpperBody");
    CameraStatus s = status();
    s.data[CameraStatus::ScreenMode] = 1; // portrait
    for (int mode : {0, 1, 2}) {
        for (int framing : {0, 1}) {
            s.data[CameraStatus::MediaMode] = quint8(mode);
            s.data[CameraStatus::FramingMode] = quint8(framing);
            m_window->onDevStateUpdate(s);
            QVERIFY2(closeUp->isHidden() && upper->isHidden(), qPrintable(QStringLiteral("mode %1").arg(mode)));
        }
    }
    // Group mode clicked while portrait: still hidden.
    QVERIFY(m_window->isFramingOn());
    button(m_window, "pbGroupMode")->click();
    QVERIFY(closeUp->isHidden());

    pastQuietTime();
    s.data[CameraStatus::ScreenMode] = 0;
    s.data[CameraStatus::MediaMode] = 2;
    s.data[CameraStatus::FramingMode] = 1;
    s.data[CameraStatus::FramingSize] = 1;
    m_window->onDevStateUpdate(s);
    QVERIFY(!closeUp->isHidden() && !upper->isHidden());
    QCOMPARE(upper->property("look").toString(), QStringLiteral("selected"));
    QCOMPARE(lookOf(m_window, "pbSingleMode"), QStringLiteral("selected"));
    // Single mode: the size buttons work; group mode blocks them.
    closeUp->click();
    QCOMPARE(quint8(blocks(m_cam, 13).last().at(3)), quint8(0));
    button(m_window, "pbGroupMode")->click();
    QCOMPARE(blocks(m_cam, 13).last().mid(2, 2), QByteArray("\x00\xff", 2));
    const int sent = blocks(m_cam, 13).size();
    upper->click();
    QCOMPARE(blocks(m_cam, 13).size(), sent);
    QCOMPARE(upper->property("look").toString(), QStringLiteral("disabled"));
}

void TestMainWindowPanel::statusDrivesThePanel()
{
    // The camera's own status, read by its worker, redraws the panel.
    device(m_cam)->setStatusSignalEnabled(true);
    m_cam->setStatusByte(0, 1);  // virtual background
    m_cam->setStatusByte(5, 1);  // green screen
    m_cam->setStatusByte(22, 0); // blue
    m_cam->setStatusByte(8, 30); // zoom
    QVERIFY(waitFor([&] { return m_window->isBackgroundOn() && m_zoom->value() == 30; }));
    auto *pages = m_window->findChild<QStackedWidget *>(QStringLiteral("swOptionSet"));
    QVERIFY(waitFor([&] { return pages->currentIndex() == 1; }));
    QCOMPARE(lookOf(m_window, "pbColorB"), QStringLiteral("selected"));
    QCOMPARE(lookOf(m_window, "pbColorG"), QStringLiteral("normal"));

    m_cam->setStatusByte(0, 2); // auto framing
    QVERIFY(waitFor([&] { return m_window->isFramingOn(); }));
    QVERIFY(!m_window->isBackgroundOn());
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
    QVERIFY(!m_zoom->isEnabled());
}

void TestMainWindowPanel::compactLayoutWithoutVirtualBackground()
{
    QWidget *section = m_window->findChild<QWidget *>(QStringLiteral("swOptionSet"));
    QPushButton *view86 = button(m_window, "pbView86");
    const QRect fullView = view86->geometry();
    const QRect fullPad = m_window->directionHandler()->geometry();
    QCOMPARE(fullPad, QRect(425, 325, 200, 200));

    m_window->setVirtualBgAvailable(false);
    QVERIFY(section->isHidden());
    QVERIFY(button(m_window, "pbVirtualBg")->isHidden());
    QVERIFY(m_window->height() < 600);
    QCOMPARE(m_window->devSleep()->geometry(), m_window->rect());
    QVERIFY(view86->geometry() != fullView);
    // The device row keeps its place.
    QCOMPARE(m_window->devButtons().first()->pos(), QPoint(18, 56));

    m_window->setVirtualBgAvailable(true);
    QVERIFY(!section->isHidden());
    QCOMPARE(m_window->height(), 600);
    QCOMPARE(view86->geometry(), fullView);
    QCOMPARE(m_window->directionHandler()->geometry(), fullPad);
}

QTEST_MAIN(TestMainWindowPanel)
#include "tst_mainwindow_panel.moc"
