// The settings panel with the main window and virtual cameras: the auto
// sleep rules, firmware-dependent rows, the hotkey switch's events, the
// factory reset flow and a run-time language switch.

#include "MainWindowTestSupport.h"

#include "comm/GlobalParams.h"
#include "uicomm/CamSettings.h"
#include "uicomm/ForMoreUi.h"

#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QThreadPool>
#include <QtTest>

using namespace mwtest;

class TestSettingsPanel : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();

    void autoSleepKeepsItsTime();
    void oldFirmwareHidesAndBlocks();
    void hotkeySwitchEvents();
    void factoryResetFlow();
    void virtualBackgroundSwitch();
    void languageSwitchAtRunTime();

private:
    void plugOne(quint32 version = 0x04020301);
    QPushButton *panelButton(const char *name) const { return button(m_panel, name); }
    int cameraSleepTime() const
    {
        return qint16(m_cam->statusByte(CameraStatus::AutoSleep) | (m_cam->statusByte(CameraStatus::AutoSleep + 1) << 8));
    }

    MainUserUi *m_window = nullptr;
    SystemSettingUi *m_panel = nullptr;
    std::shared_ptr<VirtualCamera> m_cam;
};

void TestSettingsPanel::initTestCase()
{
    setUpPlatform();
    qRegisterMetaType<SystemSettingUi::SystemSettingEvent>();
    m_window = new MainUserUi();
    m_window->onChangeLanguage(0); // whatever an earlier run stored
    m_window->show();
    m_panel = m_window->systemSetting();
    button(m_window, "pbSystemSetting")->click();
    QVERIFY(m_panel->isVisible());
}

void TestSettingsPanel::cleanupTestCase()
{
    m_cam.reset();
    unplugAll(m_window);
    delete m_window;
    QThreadPool::globalInstance()->waitForDone();
}

void TestSettingsPanel::cleanup()
{
    m_panel->setDevAwake(true);
}

// The one camera (a zarvo), current and awake, with this firmware.
void TestSettingsPanel::plugOne(quint32 version)
{
    if (!m_cam) {
        VirtualCameras::install(1);
        m_cam = VirtualCameras::backend()->cameras().back();
    }
    QVERIFY(waitFor([&] { return m_panel->currentSn() == m_cam->serial(); }, 10000));
    if (version != m_cam->version()) {
        // The registry reads the version when the camera comes.
        m_cam->setVersion(version);
        m_cam->unplug();
        QVERIFY(waitFor([&] { return m_panel->currentSn().isEmpty(); }, 10000));
        m_cam->replug();
    }
    QVERIFY(waitFor([&] { return m_panel->currentSn() == m_cam->serial() && m_panel->isDevAwake(); }, 10000));
}

void TestSettingsPanel::autoSleepKeepsItsTime()
{
    plugOne();
    auto *combo = m_panel->findChild<QComboBox *>(QStringLiteral("cbDevAutoSleep"));
    // A camera reporting 31 s shows "2 min".
    m_panel->setAutoSleep(31);
    QVERIFY(m_panel->isAutoSleepOn());
    QCOMPARE(combo->currentIndex(), 1);

    // Off keeps the time as a negative value; on again takes it back.
    panelButton("pbDevAutoSleep")->click();
    QVERIFY(!m_panel->isAutoSleepOn());
    QVERIFY(waitFor([&] { return cameraSleepTime() == -120; }));
    combo->setCurrentIndex(0); // no effect while off
    QCOMPARE(cameraSleepTime(), -120);
    { const QSignalBlocker b(combo); combo->setCurrentIndex(2); }
    panelButton("pbDevAutoSleep")->click();
    QCOMPARE(combo->currentIndex(), 1);
    QVERIFY(waitFor([&] { return cameraSleepTime() == 120; }));

    // Asleep, the camera rows do nothing.
    m_panel->setDevAwake(false);
    QVERIFY(!panelButton("pbNoiseCancellation")->isEnabled());
    m_panel->on_pbNoiseCancellation_clicked();
    QVERIFY(!m_panel->isNoiseCancellationOn());
}

void TestSettingsPanel::oldFirmwareHidesAndBlocks()
{
    plugOne(0x04020200);
    QVERIFY(m_panel->findChild<QWidget *>(QStringLiteral("wVirtualBg"))->isHidden());
    QString text;
    QTimer::singleShot(0, this, [&] {
        if (MsgInfoUi *box = openMessageBox()) {
            text = box->findChild<QLabel *>(QStringLiteral("lbContent"))->text();
            box->close();
        }
    });
    panelButton("pbCameraSettings")->click();
    QCOMPARE(text, QStringLiteral("Please upgrade to the v4.2.3.1 or higher for new features with your ZarvoCam."));
    QVERIFY(!m_panel->camSettings()->isVisible());
}

void TestSettingsPanel::hotkeySwitchEvents()
{
    QSignalSpy events(m_panel, &SystemSettingUi::sendSettingEvent);
    const bool first = m_panel->isGlobalHotkeysOn();
    m_panel->on_pbGlobalHotkeys_clicked();
    m_panel->on_pbGlobalHotkeys_clicked();
    QCOMPARE(m_panel->isGlobalHotkeysOn(), first);
    QCOMPARE(events.count(), 2);
    const int on = SystemSettingUi::EventGlobalHotkeysOn, off = SystemSettingUi::EventGlobalHotkeysOff;
    QCOMPARE(events.at(0).at(0).toInt(), first ? off : on);
    QCOMPARE(events.at(1).at(0).toInt(), first ? on : off);
    QCOMPARE(GlobalParams::instance()->getShortcutRange(), first ? 1 : 0);

    // Closing the panel brings back the camera tab.
    m_panel->close();
    QVERIFY(!m_panel->isVisible());
    QCOMPARE(events.last().at(0).toInt(), int(SystemSettingUi::EventClosed));
    button(m_window, "pbSystemSetting")->click();
    QVERIFY(m_panel->isVisible());
}

void TestSettingsPanel::factoryResetFlow()
{
    plugOne();
    m_cam->setStatusByte(CameraStatus::NoiseCancellation, 1);
    // The "More" pop-up hands the request over and hides.
    panelButton("pbForMore")->click();
    ForMoreUi *more = m_panel->forMore();
    QVERIFY(more && more->isVisible());
    QStringList texts;
    QTimer::singleShot(0, this, [&] {
        openMessageBox()->findChild<QPushButton *>(QStringLiteral("pbYes"))->click();
        // The progress box: Yes usable only once the camera is done.
        QTimer::singleShot(0, this, [&] {
            MsgInfoUi *box = openMessageBox();
            auto *yes = box->findChild<QPushButton *>(QStringLiteral("pbYes"));
            auto *content = box->findChild<QLabel *>(QStringLiteral("lbContent"));
            texts << content->text() << QString::number(yes->isEnabled());
            QVERIFY(waitFor([&] { return yes->isEnabled(); }));
            texts << content->text();
            yes->click();
        });
    });
    more->findChild<QPushButton *>(QStringLiteral("pbRestoreFactory"))->click();
    QVERIFY(!more->isVisible());
    QCOMPARE(texts, QStringList({QStringLiteral("Device is restoring the factory settings, please waiting..."),
                                 QStringLiteral("0"), QStringLiteral("Factory reset successfully!")}));
    // The camera reset its settings; the panel reads them back (the status
    // arrives from the device's worker).
    QVERIFY(waitFor([&] { return !m_panel->isNoiseCancellationOn(); }));
}

void TestSettingsPanel::virtualBackgroundSwitch()
{
    plugOne();
    if (!m_panel->isVirtualBgOn())
        m_panel->on_pbVirtualBg_clicked();
    // Off: the main window drops its section and the camera its feature.
    m_panel->on_pbVirtualBg_clicked();
    QVERIFY(!m_window->isVirtualBgAvailable());
    QVERIFY(!GlobalParams::instance()->getPcVirtualBg());
    QCOMPARE(lastCommand(m_cam, 17), 1); // the camera's flag says "disabled"
    // On: the beta notice first.
    bool shown = false;
    answerBox(this, true, &shown);
    m_panel->on_pbVirtualBg_clicked();
    QVERIFY(shown);
    QVERIFY(m_window->isVirtualBgAvailable() && m_panel->isVirtualBgOn());
    QCOMPARE(lastCommand(m_cam, 17), 0);
}

void TestSettingsPanel::languageSwitchAtRunTime()
{
    QPushButton *sleep = button(m_window, "pbDevStatus");
    QCOMPARE(sleep->text(), QStringLiteral("Sleep"));
    const QString panelTitle = m_panel->windowTitle();
    // The change reaches every window through the event loop.
    m_window->onChangeLanguage(1);
    QCOMPARE(GlobalParams::instance()->getLanguageType(), 1);
    QVERIFY(waitFor([&] { return sleep->text() == QStringLiteral("休眠"); }));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbDevStatus"))->text(), QStringLiteral("设备状态"));
    QCOMPARE(m_window->findChild<QLabel *>(QStringLiteral("lbZoom"))->text(), QStringLiteral("变焦"));
    QVERIFY(waitFor([&] { return m_panel->windowTitle() == QStringLiteral("系统设置"); }));
    QVERIFY(waitFor([&] { return m_panel->camSettings()->windowTitle() == QStringLiteral("相机设置"); }));
    m_window->onChangeLanguage(4);
    QVERIFY(waitFor([&] { return sleep->text() == QStringLiteral("Schlaf"); }));
    m_window->onChangeLanguage(0);
    QVERIFY(waitFor([&] { return sleep->text() == QStringLiteral("Sleep") && m_panel->windowTitle() == panelTitle; }));
}

QTEST_MAIN(TestSettingsPanel)
#include "tst_settingspanel.moc"
