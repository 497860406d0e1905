// Main window against virtual cameras: its own rules, not its widgets'
// (device row, selection, sleep and wake, quiet time, zoom hold-off, deaf
// switches, one-time warning, cameras that vanish during a handler, keys).

#include "MainWindowTestSupport.h"

#include "comm/GlobalParams.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/MsgInfoUi.h"

#include <QDateTime>
#include <QKeyEvent>
#include <QLabel>
#include <QSlider>
#include <QStackedWidget>
#include <QThreadPool>
#include <QtTest>

using namespace mwtest;

namespace {

// Command codes of the blocks on selector 6.
enum Code { MediaMode = 0, Fov = 4, BgMode = 5, BlurLevel = 6, PanTilt = 9, Framing = 13, BgColor = 16 };

// The window's quiet time after a user action, waited out (at least).
void pastQuietTime() { QTest::qWait(130); }

class KeyProbe : public QWidget
{
public:
    using QWidget::QWidget;
    QList<bool> releases; // the accepted flag of each key release on arrival
protected:
    void keyReleaseEvent(QKeyEvent *event) override { releases.append(event->isAccepted()); }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void rowAddRemoveRenumber();
    void namesAvoidNumbersInUse();
    void selectionFollowsShortcutsAndSleepPage();
    void sleepAndResume();
    void cameraGoneDuringHandler();

    void quietTimeAfterUserAction();
    void zoomHoldOffAndRateLimit();
    void switchesAreDeafAfterAClick();
    void framingWarningOnlyOnce();
    void backgroundOptionsNeedBackgroundOn();
    void statusDrivesThePanel();
    void framingSizeHiddenInEveryState();
    void keyReleaseReachesChildAndStopsMove();
    void altKeysWithoutGlobalHotkeys();
    void settingsPanelAndCompactLayout();

private:
    void plugOne();

    MainUserUi *m_window = nullptr;
    std::shared_ptr<VirtualCamera> m_cam;
    QSlider *m_zoom = nullptr;
    QSlider *m_blur = nullptr;
};

void TestMainWindow::initTestCase()
{
    setUpPlatform();
    m_window = new MainUserUi();
    m_window->show();
    m_window->adjustAfterShow();
    qApp->installEventFilter(m_window);
    m_zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    m_blur = m_window->findChild<QSlider *>(QStringLiteral("slBlurLevel"));
}

void TestMainWindow::cleanupTestCase()
{
    qApp->removeEventFilter(m_window);
    unplugAll(m_window);
    delete m_window;
    // Report tasks still queued must run while the application is alive.
    QThreadPool::globalInstance()->waitForDone();
}

void TestMainWindow::cleanup()
{
    QVERIFY(unplugAll(m_window));
    m_cam.reset();
}

// One camera, current, awake and past its selection's zoom hold-off.
void TestMainWindow::plugOne()
{
    m_cam = plugCameras(m_window, 1).front();
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == m_cam->serial() && m_window->isAwake(); }));
    device(m_cam)->setStatusSignalEnabled(false);
    pastQuietTime();
    for (int i = 0; i < 3; ++i)
        m_window->onDevStateUpdate(status());
    pastQuietTime();
    m_cam->clearLog();
}

void TestMainWindow::rowAddRemoveRenumber()
{
    auto cams = plugCameras(m_window, 5);
    QList<DevButton *> buttons = m_window->devButtons();
    QCOMPARE(buttons.size(), 5);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(buttons.at(i)->isHidden(), i == 4);
    QCOMPARE(m_window->currentDevSn(), cams.front()->serial());
    DevButton *fifth = buttons.at(4);

    // Unplugging the second camera moves the later ones down and shows the fifth.
    cams.at(1)->unplug();
    QVERIFY(waitFor([&] { return m_window->devButtons().size() == 4; }));
    QCOMPARE(m_window->devButtons().at(3), fifth);
    QVERIFY(fifth->index() == 3 && !fifth->isHidden());
    QCOMPARE(m_window->devSleep()->devCount(), 4);
    QCOMPARE(m_window->devSleep()->devName(3), fifth->text());
    QVERIFY(m_window->devButtons().first()->isSelected());

    // Unplugging the current camera selects the first of the rest.
    cams.at(0)->unplug();
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == cams.at(2)->serial(); }));
    QVERIFY(m_window->devButtons().first()->isSelected());

    // The last one gone: a single "None" button, controls off, switches deaf.
    QVERIFY(unplugAll(m_window));
    QVERIFY(m_window->currentDevSn().isEmpty());
    QCOMPARE(m_window->devButtons().first()->text(), QStringLiteral("None"));
    QVERIFY(!m_zoom->isEnabled());
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
    QSignalSpy clicks(button(m_window, "pbVirtualBg"), &QPushButton::clicked);
    button(m_window, "pbVirtualBg")->click();
    QCOMPARE(clicks.count(), 0);
}

void TestMainWindow::namesAvoidNumbersInUse()
{
    // A camera remembered as "1" while another shows "1" gets the first free
    // number, stored; renaming reaches the sleep page and the record.
    auto first = plugCameras(m_window, 1);
    QCOMPARE(m_window->devButtons().first()->text(), QStringLiteral("1"));
    VirtualCamera probe(VirtualCamera::Model::Zarvo, int(VirtualCameras::backend()->cameras().size()));
    GlobalParams::instance()->setDevName(QStringLiteral("1"), probe.serial());
    auto second = plugCameras(m_window, 1);
    QCOMPARE(second.front()->serial(), probe.serial());
    DevButton *button2 = m_window->devButtons().at(1);
    QCOMPARE(button2->text(), QStringLiteral("2"));
    QCOMPARE(GlobalParams::instance()->getDevInfo(probe.serial()).devName, QStringLiteral("2"));
    button2->applyRename(QStringLiteral("Desk"));
    QCOMPARE(m_window->devSleep()->devName(1), QStringLiteral("Desk"));
}

void TestMainWindow::selectionFollowsShortcutsAndSleepPage()
{
    auto cams = plugCameras(m_window, 3);
    const QList<DevButton *> buttons = m_window->devButtons();
    m_window->shortcutPreDev();
    QVERIFY(buttons.at(0)->isSelected());
    m_window->shortcutNextDev();
    m_window->shortcutNextDev();
    m_window->shortcutNextDev();
    QVERIFY(buttons.at(2)->isSelected() && !buttons.at(0)->isSelected());
    m_window->shortcutPreDev();
    QCOMPARE(m_window->currentDevSn(), cams.at(1)->serial());
    // Only the current camera reports its status; a late status of another
    // one is ignored.
    QVERIFY(device(cams.at(1))->statusSignalEnabled());
    QVERIFY(!device(cams.at(0))->statusSignalEnabled());
    device(cams.at(1))->setStatusSignalEnabled(false);
    pastQuietTime();
    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 70;
    QMetaObject::Connection c = connect(device(cams.at(0)), &UvcDevice::devStateUpdate, m_window,
                                        &MainUserUi::onDevStateUpdate, Qt::DirectConnection);
    for (int i = 0; i < 4; ++i)
        emit device(cams.at(0))->devStateUpdate(s);
    disconnect(c);
    QVERIFY(m_zoom->value() != 70);
    for (int i = 0; i < 4; ++i)
        m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 70);

    m_window->onDevChangedFromSleepUi(7);
    m_window->onDevChangedFromSleepUi(-1);
    QVERIFY(buttons.at(1)->isSelected());
    m_window->onDevChangedFromSleepUi(2);
    QCOMPARE(m_window->currentDevSn(), cams.at(2)->serial());
    QCOMPARE(m_window->devSleep()->currentIndex(), 2);

    // A camera marked before it goes becomes current when it is back.
    const QString sn = cams.at(1)->serial();
    m_window->onDevSnMarked(sn);
    cams.at(1)->unplug();
    QVERIFY(waitFor([&] { return m_window->devButtons().size() == 2; }));
    cams.at(1)->replug();
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == sn; }));
    QVERIFY(m_window->pendingSelection().isEmpty());
}

void TestMainWindow::sleepAndResume()
{
    plugOne();
    button(m_window, "pbDevStatus")->click();
    QVERIFY(m_window->devSleep()->isVisible());
    QVERIFY(!m_window->isAwake());
    QVERIFY(waitFor([&] { return m_cam->statusByte(CameraStatus::RunState) == CameraStatus::RunStateSleeping; }));
    QVERIFY(m_window->devSleep()->sleepTime(0) > 0);

    // "Resume" after the page's hold-off wakes the camera.
    m_window->devSleep()->setSleepTime(0, QDateTime::currentMSecsSinceEpoch() - DevSleep::ResumeHoldOffMs - 1);
    m_window->devSleep()->findChild<QPushButton *>(QStringLiteral("pbDevResume"))->click();
    QVERIFY(m_window->isAwake());
    QVERIFY(!m_window->devSleep()->isVisible());
    QVERIFY(waitFor([&] { return m_cam->statusByte(CameraStatus::RunState) == CameraStatus::RunStateRunning; }));

    // "Resume" of the settings side puts an awake camera to sleep, and wakes
    // it like the page does: while the window waits for the camera, the next
    // status read is due in 4 s.
    m_window->on_devSleepResume();
    QVERIFY(!m_window->isAwake() && m_window->devSleep()->isVisible());
    TimeScale::setFactor(1.0);
    int pollCount = 1000;
    QTimer::singleShot(0, [&] { pollCount = device(m_cam)->statusPollCount(); });
    m_window->on_devSleepResume();
    TimeScale::setFactor(Scale);
    QVERIFY(m_window->isAwake());
    QVERIFY2(pollCount >= UvcDevice::StatusPollIn4s && pollCount < 0, qPrintable(QString::number(pollCount)));

    // The camera sleeps and wakes by itself (auto sleep, its button, privacy);
    // it holds each state, though the window's own command may land late.
    device(m_cam)->setStatusSignalEnabled(true);
    const auto holds = [this](int runState, const std::function<bool()> &shown) {
        return waitFor([&] {
            m_cam->setStatusByte(CameraStatus::RunState, quint8(runState));
            return shown();
        });
    };
    QVERIFY(holds(CameraStatus::RunStateSleeping, [&] { return m_window->devSleep()->isVisible(); }));
    QVERIFY(holds(CameraStatus::RunStateRunning, [&] { return m_window->isAwake() && !m_window->devSleep()->isVisible(); }));
    QVERIFY(holds(CameraStatus::RunStatePrivacy, [&] { return m_window->devSleep()->isVisible(); }));
}

void TestMainWindow::cameraGoneDuringHandler()
{
    // Waking keeps the window live for a second; the registry drops the
    // unplugged camera meanwhile.
    plugOne();
    button(m_window, "pbDevStatus")->click();
    m_window->devSleep()->setSleepTime(0, 0);
    m_cam->unplug();
    TimeScale::setFactor(1.0);
    m_window->devSleep()->findChild<QPushButton *>(QStringLiteral("pbDevResume"))->click();
    TimeScale::setFactor(Scale);
    QVERIFY(m_window->currentDevSn().isEmpty());
    QVERIFY(m_window->devSleep()->isHidden() && !m_window->isAwake());

    // While the framing warning waits for an answer the camera goes; "Turn
    // On" then finds no camera.
    QVERIFY(unplugAll(m_window));
    plugOne();
    GlobalParams::instance()->setAutoFramingTips(false);
    button(m_window, "pbVirtualBg")->click();
    auto cam = m_cam;
    QTimer::singleShot(0, [this, cam] {
        cam->unplug();
        waitFor([this] { return m_window->currentDevSn().isEmpty(); });
        answerBox(m_window, true);
    });
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(m_window->currentDevSn().isEmpty());
    QVERIFY(!m_window->isFramingOn());
}

void TestMainWindow::quietTimeAfterUserAction()
{
    plugOne();
    CameraStatus s = status();
    s.data[CameraStatus::MediaMode] = UvcDevice::MediaModeBackground;
    s.data[CameraStatus::BlurLevel] = 20;
    m_window->onDevStateUpdate(s);
    QVERIFY(m_window->isBackgroundOn());
    // A status right after a slider move does not move the slider back...
    QElapsedTimer t;
    t.start();
    m_blur->setValue(80);
    QCOMPARE(lastCommand(m_cam, BlurLevel), 80);
    m_window->onDevStateUpdate(s);
    if (t.elapsed() < 100)
        QCOMPARE(m_blur->value(), 80);
    // ... a later one does.
    QVERIFY(waitFor([&] {
        m_window->onDevStateUpdate(s);
        return m_blur->value() == 20;
    }));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbBlurLevelValue"))->text(), QStringLiteral("20%"));
}

void TestMainWindow::zoomHoldOffAndRateLimit()
{
    plugOne();
    // Dragged up, the camera's zoom changes at most once per 100 ms.
    m_zoom->setSliderDown(true);
    QElapsedTimer t;
    t.start();
    QList<qint64> changes;
    int zoom = m_cam->controlValue(CameraDevice::Control::Zoom);
    while (t.elapsed() < 300 || (changes.size() < 2 && t.elapsed() < 5000)) {
        m_zoom->setSliderPosition(1 + int(t.elapsed() / 5) % 99);
        if (m_cam->controlValue(CameraDevice::Control::Zoom) != zoom)
            changes.append(t.elapsed());
        zoom = m_cam->controlValue(CameraDevice::Control::Zoom);
        QTest::qWait(5);
    }
    // The changes are seen when the loop looks, late by however long a
    // loaded machine keeps it away, so two of them may look closer than they
    // were; their number over the whole drag cannot.
    const qint64 dragged = t.elapsed();
    QVERIFY(changes.size() >= 2);
    QVERIFY2(changes.size() <= dragged / 100 + 1,
             qPrintable(QStringLiteral("%1 changes in %2 ms").arg(changes.size()).arg(dragged)));
    m_zoom->setSliderPosition(70);
    m_zoom->setSliderDown(false);

    // After the release the next two status updates leave the slider alone.
    pastQuietTime();
    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 20;
    m_window->onDevStateUpdate(s);
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 70);
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 20);

    // A new field of view lets the very next status correct the zoom.
    m_zoom->setValue(90);
    button(m_window, "pbView65")->click();
    QCOMPARE(lastCommand(m_cam, Fov), 2);
    pastQuietTime();
    m_window->onDevStateUpdate(s);
    QCOMPARE(m_zoom->value(), 20);
}

void TestMainWindow::switchesAreDeafAfterAClick()
{
    plugOne();
    QPushButton *vbg = button(m_window, "pbVirtualBg");
    vbg->click();
    vbg->click();
    QCOMPARE(blocks(m_cam, MediaMode).size(), 1);
    QVERIFY(m_window->isBackgroundOn());
    QVERIFY(waitFor([vbg] { return !vbg->signalsBlocked(); }, TimeScale::ms(4000) + 2000));
    vbg->click();
    QCOMPARE(blocks(m_cam, MediaMode).size(), 2);
    QCOMPARE(lastCommand(m_cam, MediaMode), int(UvcDevice::MediaModeStandard));
    QVERIFY(!m_window->isBackgroundOn());
}

void TestMainWindow::framingWarningOnlyOnce()
{
    plugOne();
    GlobalParams::instance()->setAutoFramingTips(false);
    button(m_window, "pbVirtualBg")->click();

    // First time ever: the warning; "Cancel" changes nothing.
    bool shown = false;
    QObject scope;
    answerBox(&scope, false, &shown);
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(shown);
    QVERIFY(!m_window->isFramingOn());
    QCOMPARE(blocks(m_cam, MediaMode).size(), 1);

    // Then: no warning; framing on, background off, view out of reach. A
    // box would run its own loop and take the check below inside it.
    shown = false;
    answerBox(&scope, true, &shown);
    button(m_window, "pbAutoFraming")->click();
    QVERIFY(!shown);
    QVERIFY(m_window->isFramingOn());
    QVERIFY(!m_window->isBackgroundOn());
    QCOMPARE(lastCommand(m_cam, MediaMode), int(UvcDevice::MediaModeFraming));
    QVERIFY(!m_zoom->isEnabled());
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
}

void TestMainWindow::backgroundOptionsNeedBackgroundOn()
{
    plugOne();
    for (const char *name : {"pbBgBlur", "pbBgGreenScreen", "pbBgReplace", "pbColorG", "pbColorB"})
        QVERIFY(QMetaObject::invokeMethod(m_window, qPrintable(QStringLiteral("on_%1_clicked").arg(name))));
    QVERIFY(blocks(m_cam, BgMode).isEmpty());
    QVERIFY(blocks(m_cam, BgColor).isEmpty());

    button(m_window, "pbVirtualBg")->click();
    button(m_window, "pbBgGreenScreen")->click();
    QCOMPARE(lastCommand(m_cam, BgMode), int(UvcDevice::MediaBgGreenScreen));
}

void TestMainWindow::statusDrivesThePanel()
{
    plugOne();
    // The camera's own status, read by its worker, redraws the panel.
    device(m_cam)->setStatusSignalEnabled(true);
    m_cam->setStatusByte(CameraStatus::MediaMode, UvcDevice::MediaModeBackground);
    m_cam->setStatusByte(CameraStatus::BgMode, UvcDevice::MediaBgGreenScreen);
    m_cam->setStatusByte(CameraStatus::Zoom, 30);
    auto *pages = m_window->findChild<QStackedWidget *>(QStringLiteral("swOptionSet"));
    QVERIFY(waitFor([&] { return m_window->isBackgroundOn() && m_zoom->value() == 30 && pages->currentIndex() == 1; }));
    m_cam->setStatusByte(CameraStatus::MediaMode, UvcDevice::MediaModeFraming);
    QVERIFY(waitFor([&] { return m_window->isFramingOn(); }));
    QVERIFY(!m_window->isBackgroundOn());
    QVERIFY(!m_zoom->isEnabled());

    // Out-of-range values are clamped; an unknown run state ends the handling.
    device(m_cam)->setStatusSignalEnabled(false);
    pastQuietTime();
    CameraStatus s = status();
    s.data[CameraStatus::Zoom + 1] = 1; // 256
    s.data[CameraStatus::MediaMode] = UvcDevice::MediaModeBackground;
    s.data[CameraStatus::BlurLevel] = 180;
    m_window->onDevStateUpdate(s);
    QVERIFY(m_zoom->value() == 100 && m_blur->value() == 100);
    CameraStatus odd = status(7);
    odd.data[CameraStatus::MediaMode] = UvcDevice::MediaModeFraming;
    m_window->onDevStateUpdate(odd);
    QVERIFY(!m_window->isFramingOn());
    QVERIFY(m_window->isAwake());
}

void TestMainWindow::framingSizeHiddenInEveryState()
{
    plugOne();
    QPushButton *closeUp = button(m_window, "pbCloseUp");
    QPushButton *upper = button(m_window, "pbUpperBody");
    CameraStatus s = status();
    s.data[CameraStatus::ScreenMode] = 1;
    for (int mode : {0, 1, 2}) {
        for (int framing : {0, 1}) {
            s.data[CameraStatus::MediaMode] = quint8(mode);
            s.data[CameraStatus::FramingMode] = quint8(framing);
            m_window->onDevStateUpdate(s);
            QVERIFY2(closeUp->isHidden() && upper->isHidden(), qPrintable(QStringLiteral("mode %1").arg(mode)));
        }
    }
    button(m_window, "pbGroupMode")->click();
    QVERIFY(closeUp->isHidden());

    // Shown again: group mode blocks the size buttons.
    pastQuietTime();
    s.data[CameraStatus::ScreenMode] = 0;
    m_window->onDevStateUpdate(s);
    QVERIFY(!closeUp->isHidden());
    button(m_window, "pbGroupMode")->click();
    QCOMPARE(blocks(m_cam, Framing).last().mid(2, 2), QByteArray("\x00\xff", 2));
    const int sent = blocks(m_cam, Framing).size();
    upper->click();
    QCOMPARE(blocks(m_cam, Framing).size(), sent);
}

void TestMainWindow::keyReleaseReachesChildAndStopsMove()
{
    plugOne();
    auto *probe = new KeyProbe(m_window->centralWidget());
    DirectionHandler *pad = m_window->directionHandler();
    pad->keyEntry(Qt::Key_Up);
    QCOMPARE(blocks(m_cam, PanTilt).size(), 1);

    // The window stops the key move, and the child still gets the release
    // exactly as sent.
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(probe, &repeat);
    QCOMPARE(blocks(m_cam, PanTilt).size(), 1); // auto-repeat: no stop
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Up, Qt::NoModifier);
    QApplication::sendEvent(probe, &release);
    QCOMPARE(blocks(m_cam, PanTilt).size(), 2);
    QCOMPARE(blocks(m_cam, PanTilt).last().mid(2, 4), QByteArray(4, '\0'));
    QKeyEvent other(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(probe, &other);
    QCOMPARE(probe->releases, (QList<bool>{true, true, true}));

    // The keyboard band: the 29th status update after it files the report.
    QCOMPARE(m_window->cropAreaCounter(), 31);
    for (int i = 0; i < 29; ++i)
        m_window->onDevStateUpdate(status());
    QCOMPARE(m_window->cropAreaCounter(), 0);
    delete probe;
}

void TestMainWindow::altKeysWithoutGlobalHotkeys()
{
    // No global hotkeys here: in either range the Alt keys act while the
    // application has the focus.
    plugOne();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->onShortcutRangeChanged(1);
    const int zoom = m_zoom->value();
    QTest::keyClick(m_window, Qt::Key_I, Qt::AltModifier);
    QCOMPARE(m_zoom->value(), zoom + 10);
    m_window->onShortcutRangeChanged(0);
    QTest::keyClick(m_window, Qt::Key_D, Qt::AltModifier);
    QCOMPARE(lastCommand(m_cam, Fov), 2);
}

void TestMainWindow::settingsPanelAndCompactLayout()
{
    SystemSettingUi *settings = m_window->systemSetting();
    QPushButton *cameraTab = button(m_window, "pbCameraCtrl");
    QPushButton *settingsTab = button(m_window, "pbSystemSetting");
    settingsTab->click();
    QVERIFY(settings->isVisible());
    // Beside the window at the same top edge.
    const QRect main = m_window->frameGeometry();
    const QRect panel = settings->frameGeometry();
    QCOMPARE(panel.top(), main.top());
    QVERIFY(panel.left() == main.right() + 1 || panel.right() + 1 == main.left());
    // Closing the panel gives the camera tab back; closing the window closes it.
    settings->close();
    QCOMPARE(cameraTab->property("look").toString(), QStringLiteral("selected"));
    settingsTab->click();
    m_window->close();
    QVERIFY(settings->isHidden());
    m_window->show();

    // Without the virtual background the window shrinks, the sleep page
    // still covering it; with it everything is back where it was.
    const QRect fullPad = m_window->directionHandler()->geometry();
    const int fullHeight = m_window->height();
    m_window->setVirtualBgAvailable(false);
    QVERIFY(m_window->height() < fullHeight);
    QCOMPARE(m_window->devSleep()->geometry(), m_window->rect());
    m_window->setVirtualBgAvailable(true);
    QCOMPARE(m_window->height(), fullHeight);
    QCOMPARE(m_window->directionHandler()->geometry(), fullPad);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
