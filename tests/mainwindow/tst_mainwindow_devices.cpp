// Main window: the device row (add, remove, renumber, hidden fifth button,
// next/previous), selection, the sleep page with its resume hold-off, status
// updates from the camera and bad status values, and cameras that vanish
// while a handler runs.

#include "MainWindowTestSupport.h"

#include "comm/GlobalParams.h"
#include "uicomm/DevSleep.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/MsgInfoUi.h"

#include <QDateTime>
#include <QInputDialog>
#include <QLabel>
#include <QSlider>
#include <QtTest>

using namespace mwtest;

namespace {

// Types into the rename dialog once it is up and accepts it.
void typeIntoRenameDialog(const QString &text)
{
    QTimer::singleShot(0, [text] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            typeIntoRenameDialog(text);
            return;
        }
        dialog->setTextValue(text);
        dialog->accept();
    });
}

} // namespace

class TestMainWindowDevices : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void startsWithNonePlaceholder();
    void unplugOnlyCameraBringsBackNone();
    void fifthButtonHiddenUntilRenumbered();
    void namesAvoidIndexesInUse();
    void nextAndPreviousStopAtTheEnds();
    void sleepPageSelectsOtherCamera();
    void pendingSelectionOnReconnect();
    void renameFollowsSleepPage();

    void sleepAndResumeHoldOff();
    void cameraSleepsAndWakesByItself();
    void statusFromAnotherCameraIgnored();
    void outOfRangeStatusIsClamped();
    void cameraGoneWhileWaking();
    void settingsWindowBesideMainWindow();

private:
    MainUserUi *m_window = nullptr;
};

void TestMainWindowDevices::initTestCase()
{
    setUpPlatform();
    m_window = new MainUserUi();
    m_window->show();
    m_window->adjustAfterShow();
}

void TestMainWindowDevices::cleanupTestCase()
{
    unplugAll(m_window);
    delete m_window;
}

void TestMainWindowDevices::cleanup()
{
    QVERIFY(unplugAll(m_window));
}

void TestMainWindowDevices::startsWithNonePlaceholder()
{
    const QList<DevButton *> buttons = m_window->devButtons();
    QCOMPARE(buttons.size(), 1);
    QVERIFY(!buttons.first()->isOccupied());
    QCOMPARE(buttons.first()->text(), QStringLiteral("None"));
    QCOMPARE(buttons.first()->pos(), QPoint(18, 56));
    QVERIFY(!m_window->findChild<QSlider *>(QStringLiteral("slZoom"))->isEnabled());
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
    QVERIFY(m_window->devSleep()->isHidden());
}

void TestMainWindowDevices::unplugOnlyCameraBringsBackNone()
{
    auto cams = plugCameras(m_window, 1);
    QCOMPARE(m_window->devButtons().size(), 1);
    DevButton *only = m_window->devButtons().first();
    QVERIFY(only->isOccupied());
    QVERIFY(only->isSelected());
    QCOMPARE(only->look(), DevButton::LookCurrent);
    QCOMPARE(m_window->currentDevSn(), cams.front()->serial());
    QVERIFY(m_window->isAwake());
    auto *zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    QVERIFY(zoom->isEnabled());
    QVERIFY(m_window->directionHandler()->isPadEnabled());
    QCOMPARE(GlobalParams::instance()->getCurrDevSn(), cams.front()->serial());

    cams.front()->unplug();
    QVERIFY(waitFor([&] { return m_window->currentDevSn().isEmpty(); }));
    QCOMPARE(m_window->devButtons().size(), 1);
    DevButton *none = m_window->devButtons().first();
    QVERIFY(!none->isOccupied());
    QCOMPARE(none->text(), QStringLiteral("None"));
    QVERIFY(!zoom->isEnabled());
    QCOMPARE(zoom->value(), 0);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbZoomValue"))->text(), QStringLiteral("1x"));
    QVERIFY(!m_window->directionHandler()->isPadEnabled());
    // Blocked switches: a click reaches no handler.
    QSignalSpy clicks(button(m_window, "pbVirtualBg"), &QPushButton::clicked);
    button(m_window, "pbVirtualBg")->click();
    QCOMPARE(clicks.count(), 0);
    QVERIFY(!m_window->isBackgroundOn());
}

void TestMainWindowDevices::fifthButtonHiddenUntilRenumbered()
{
    auto cams = plugCameras(m_window, 5);
    QList<DevButton *> buttons = m_window->devButtons();
    QCOMPARE(buttons.size(), 5);
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(buttons.at(i)->index(), i);
        QCOMPARE(buttons.at(i)->pos(), QPoint(18 + 81 * i, 56));
        QCOMPARE(buttons.at(i)->isHidden(), i == 4);
    }
    QCOMPARE(m_window->devSleep()->devCount(), 5);
    DevButton *fifth = buttons.at(4);
    const QString fifthSn = fifth->devSn();

    // Unplugging the second camera moves the later ones down one place.
    const QString secondSn = buttons.at(1)->devSn();
    for (const auto &cam : cams) {
        if (cam->serial() == secondSn)
            cam->unplug();
    }
    QVERIFY(waitFor([&] { return m_window->devButtons().size() == 4; }));
    buttons = m_window->devButtons();
    QCOMPARE(buttons.at(3), fifth);
    QCOMPARE(fifth->devSn(), fifthSn);
    QCOMPARE(fifth->index(), 3);
    QCOMPARE(fifth->pos(), QPoint(18 + 81 * 3, 56));
    QVERIFY(!fifth->isHidden());
    QCOMPARE(m_window->devSleep()->devCount(), 4);
    QCOMPARE(m_window->devSleep()->devName(3), fifth->text());
    // The first camera stayed current.
    QVERIFY(buttons.first()->isSelected());
}

void TestMainWindowDevices::namesAvoidIndexesInUse()
{
    // A camera remembered as "2" while another camera already shows "2"
    // gets the first free number instead.
    auto first = plugCameras(m_window, 1);
    QCOMPARE(m_window->devButtons().first()->text(), QStringLiteral("1"));
    const int next = int(VirtualCameras::backend()->cameras().size());
    VirtualCamera probe(VirtualCamera::Model::Zarvo, next);
    GlobalParams::instance()->setDevName(QStringLiteral("1"), probe.serial());
    auto second = plugCameras(m_window, 1);
    QCOMPARE(second.front()->serial(), probe.serial());
    QCOMPARE(m_window->devButtons().at(1)->text(), QStringLiteral("2"));
    QCOMPARE(GlobalParams::instance()->getDevInfo(probe.serial()).devName, QStringLiteral("2"));
}

void TestMainWindowDevices::nextAndPreviousStopAtTheEnds()
{
    auto cams = plugCameras(m_window, 3);
    const QList<DevButton *> buttons = m_window->devButtons();
    QVERIFY(buttons.at(0)->isSelected());

    m_window->shortcutPreDev();
    QVERIFY(buttons.at(0)->isSelected());
    m_window->shortcutNextDev();
    QVERIFY(buttons.at(1)->isSelected());
    QCOMPARE(m_window->currentDevSn(), buttons.at(1)->devSn());
    m_window->shortcutNextDev();
    m_window->shortcutNextDev();
    QVERIFY(buttons.at(2)->isSelected());
    QVERIFY(!buttons.at(0)->isSelected() && !buttons.at(1)->isSelected());
    QCOMPARE(buttons.at(2)->look(), DevButton::LookCurrent);
    QCOMPARE(buttons.at(0)->look(), DevButton::LookOther);
    m_window->shortcutPreDev();
    QVERIFY(buttons.at(1)->isSelected());
    // Only the current camera reports its status.
    QVERIFY(device(cams.at(1))->statusSignalEnabled());
    QVERIFY(!device(cams.at(0))->statusSignalEnabled());
    QVERIFY(!device(cams.at(2))->statusSignalEnabled());
}

void TestMainWindowDevices::sleepPageSelectsOtherCamera()
{
    plugCameras(m_window, 2);
    const QList<DevButton *> buttons = m_window->devButtons();
    m_window->onDevChangedFromSleepUi(7);
    m_window->onDevChangedFromSleepUi(-1);
    QVERIFY(buttons.at(0)->isSelected());
    m_window->onDevChangedFromSleepUi(1);
    QVERIFY(buttons.at(1)->isSelected());
    QCOMPARE(m_window->devSleep()->currentIndex(), 1);
}

void TestMainWindowDevices::pendingSelectionOnReconnect()
{
    auto cams = plugCameras(m_window, 2);
    const QString sn = cams.at(1)->serial();
    m_window->onDevSnMarked(sn);
    cams.at(1)->unplug();
    QVERIFY(waitFor([&] { return m_window->devButtons().size() == 1; }));
    QCOMPARE(m_window->currentDevSn(), cams.at(0)->serial());
    cams.at(1)->replug();
    QVERIFY(waitFor([&] { return m_window->currentDevSn() == sn; }));
    QVERIFY(m_window->pendingSelection().isEmpty());
    QVERIFY(m_window->devButtons().at(1)->isSelected());
}

void TestMainWindowDevices::renameFollowsSleepPage()
{
    auto cams = plugCameras(m_window, 2);
    DevButton *second = m_window->devButtons().at(1);
    const QString before = second->text();
    second->applyRename(QString());
    QCOMPARE(second->text(), before);
    QCOMPARE(m_window->devSleep()->devName(1), before);

    second->applyRename(QStringLiteral("Desk"));
    QCOMPARE(m_window->devSleep()->devName(1), QStringLiteral("Desk"));
    QCOMPARE(GlobalParams::instance()->getDevInfo(cams.at(1)->serial()).devName, QStringLiteral("Desk"));

    // Through the dialog, an over-long name is cut while typed.
    typeIntoRenameDialog(QStringLiteral("Conference room camera"));
    second->actionRename();
    QVERIFY(second->text().size() < 10);
    QVERIFY(QStringLiteral("Conference room camera").startsWith(second->text()));
    QCOMPARE(m_window->devSleep()->devName(1), second->text());
}

void TestMainWindowDevices::sleepAndResumeHoldOff()
{
    auto cams = plugCameras(m_window, 1);
    auto cam = cams.front();
    button(m_window, "pbDevStatus")->click();
    QVERIFY(m_window->devSleep()->isVisible());
    QVERIFY(!m_window->isAwake());
    QVERIFY(waitFor([&] { return quint8(cam->statusBlock().at(2)) == 3; }));
    const qint64 sleptAt = m_window->devSleep()->sleepTime(0);
    QVERIFY(QDateTime::currentMSecsSinceEpoch() - sleptAt < 2000);

    // Within 3 s of the sleep command "Resume" does nothing.
    auto *resume = m_window->devSleep()->findChild<QPushButton *>(QStringLiteral("pbDevResume"));
    resume->click();
    QTest::qWait(100);
    QVERIFY(m_window->devSleep()->isVisible());
    QVERIFY(!m_window->isAwake());
    QCOMPARE(quint8(cam->statusBlock().at(2)), quint8(3));

    // The camera keeps reporting its sleep: the page stays.
    QTest::qWait(400);
    QVERIFY(m_window->devSleep()->isVisible());

    m_window->devSleep()->setSleepTime(0, QDateTime::currentMSecsSinceEpoch() - DevSleep::ResumeHoldOffMs - 1);
    resume->click();
    QVERIFY(m_window->isAwake());
    QVERIFY(!m_window->devSleep()->isVisible());
    QVERIFY(waitFor([&] { return quint8(cam->statusBlock().at(2)) == 1; }));
}

void TestMainWindowDevices::cameraSleepsAndWakesByItself()
{
    auto cams = plugCameras(m_window, 1);
    auto cam = cams.front();
    cam->setStatusByte(2, 3); // the camera's own auto sleep
    QVERIFY(waitFor([&] { return m_window->devSleep()->isVisible(); }));
    QVERIFY(!m_window->isAwake());
    cam->setStatusByte(2, 1); // woken by its button
    QVERIFY(waitFor([&] { return m_window->isAwake() && !m_window->devSleep()->isVisible(); }));
    // A privacy state counts as asleep as well.
    cam->setStatusByte(2, 4);
    QVERIFY(waitFor([&] { return m_window->devSleep()->isVisible(); }));
}

void TestMainWindowDevices::statusFromAnotherCameraIgnored()
{
    auto cams = plugCameras(m_window, 2);
    UvcDevice *current = device(cams.at(0));
    UvcDevice *other = device(cams.at(1));
    QVERIFY(current && other);
    current->setStatusSignalEnabled(false);
    QTest::qWait(150);
    auto *zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    const int before = zoom->value();

    // A status of a camera that is no longer current arrives late.
    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 70;
    QMetaObject::Connection c = connect(other, &UvcDevice::devStateUpdate, m_window,
                                        &MainUserUi::onDevStateUpdate, Qt::DirectConnection);
    for (int i = 0; i < 4; ++i)
        emit other->devStateUpdate(s);
    disconnect(c);
    QCOMPARE(zoom->value(), before);

    for (int i = 0; i < 4; ++i)
        m_window->onDevStateUpdate(s);
    QCOMPARE(zoom->value(), 70);
}

void TestMainWindowDevices::outOfRangeStatusIsClamped()
{
    auto cams = plugCameras(m_window, 1);
    device(cams.front())->setStatusSignalEnabled(false);
    QTest::qWait(150);
    auto *zoom = m_window->findChild<QSlider *>(QStringLiteral("slZoom"));
    auto *zoomText = m_window->findChild<QLabel *>(QStringLiteral("lbZoomValue"));

    CameraStatus s = status();
    s.data[CameraStatus::Zoom] = 250 & 0xff;
    s.data[CameraStatus::Zoom + 1] = 1; // 506
    s.data[CameraStatus::MediaMode] = 1;
    s.data[CameraStatus::BgMode] = 99;  // unknown background mode
    s.data[CameraStatus::BlurLevel] = 180;
    s.data[CameraStatus::Fov] = 7;
    s.data[CameraStatus::GreenScreenColor] = 9;
    for (int i = 0; i < 3; ++i) // through the zoom hold-off of the selection
        m_window->onDevStateUpdate(s);
    QCOMPARE(zoom->value(), 100);
    QCOMPARE(zoomText->text(), m_window->isZoom4x() ? QStringLiteral("4x") : QStringLiteral("2x"));
    QVERIFY(m_window->isBackgroundOn());
    QCOMPARE(m_window->findChild<QSlider *>(QStringLiteral("slBlurLevel"))->value(), 100);
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbBlurLevelValue"))->text(), QStringLiteral("100%"));
    for (const char *name : {"pbBgBlur", "pbBgGreenScreen", "pbBgReplace", "pbView86", "pbView78", "pbView65"})
        QCOMPARE(button(m_window, name)->property("look").toString(), QStringLiteral("normal"));

    // An unknown media mode leaves the panel alone; an unknown run state
    // ends the handling before anything is applied.
    s.data[CameraStatus::MediaMode] = 9;
    m_window->onDevStateUpdate(s);
    QVERIFY(m_window->isBackgroundOn());
    QVERIFY(!m_window->isFramingOn());
    CameraStatus odd = status(7);
    odd.data[CameraStatus::MediaMode] = 2;
    m_window->onDevStateUpdate(odd);
    QVERIFY(!m_window->isFramingOn());
    QVERIFY(m_window->isAwake());
}

void TestMainWindowDevices::cameraGoneWhileWaking()
{
    auto cams = plugCameras(m_window, 1);
    auto cam = cams.front();
    button(m_window, "pbDevStatus")->click();
    QVERIFY(m_window->devSleep()->isVisible());
    m_window->devSleep()->setSleepTime(0, 0);

    // Waking keeps the window live for a second while the camera comes up;
    // the camera is unplugged and the registry drops it meanwhile.
    cam->unplug();
    TimeScale::setFactor(1.0);
    auto *resume = m_window->devSleep()->findChild<QPushButton *>(QStringLiteral("pbDevResume"));
    resume->click();
    TimeScale::setFactor(Scale);
    QVERIFY(m_window->currentDevSn().isEmpty());
    QVERIFY(m_window->devSleep()->isHidden());
    QVERIFY(!m_window->isAwake());
    QCOMPARE(m_window->devButtons().size(), 1);
    QVERIFY(!m_window->devButtons().first()->isOccupied());
}

void TestMainWindowDevices::settingsWindowBesideMainWindow()
{
    SystemSettingUi *settings = m_window->systemSetting();
    QVERIFY(settings->isHidden());
    QVERIFY(settings->isWindow());
    QCOMPARE(settings->windowTitle(), QStringLiteral("System Setting"));
    QPushButton *cameraTab = button(m_window, "pbCameraCtrl");
    QPushButton *settingsTab = button(m_window, "pbSystemSetting");
    QCOMPARE(cameraTab->property("look").toString(), QStringLiteral("selected"));

    settingsTab->click();
    QVERIFY(settings->isVisible());
    QCOMPARE(settingsTab->property("look").toString(), QStringLiteral("selected"));
    QCOMPARE(cameraTab->property("look").toString(), QStringLiteral("normal"));
    // Same top edge; right of the window unless that leaves the desktop.
    const QRect main = m_window->frameGeometry();
    const QRect panel = settings->frameGeometry();
    QCOMPARE(panel.top(), main.top());
    QVERIFY(panel.left() == main.right() + 1 || panel.right() + 1 == main.left());

    // Closing the panel gives the camera tab back.
    settings->close();
    QVERIFY(settings->isHidden());
    QCOMPARE(cameraTab->property("look").toString(), QStringLiteral("selected"));
    settingsTab->click();
    QVERIFY(settings->isVisible());
    cameraTab->click();
    QVERIFY(settings->isHidden());

    // Closing the main window closes the panel too.
    settingsTab->click();
    QVERIFY(settings->isVisible());
    m_window->close();
    QVERIFY(settings->isHidden());
    m_window->show();
}

QTEST_MAIN(TestMainWindowDevices)
#include "tst_mainwindow_devices.moc"
