#pragma once

#include "comm/GlobalParams.h"
#include "uicomm/AntiFlicker.h"
#include "uicomm/ForMoreUi.h"
#include "uvc/CameraStatus.h"
#include "zarvocam/ButtonMode.h"
#include "zarvocam/Language.h"

#include <QJsonObject>
#include <QPointer>
#include <QWidget>

#include <memory>

class CamSettings;
class QPushButton;

namespace Ui {
class SystemSettingUi;
}

namespace vexo {
namespace pc {
class UvcDevice;
}
}

// The "System Setting" window that the main window's settings tab opens
// beside it: software and firmware versions with their update buttons, the
// settings of the current camera (auto sleep, camera settings, button
// configuration, anti-flicker, noise reduction, virtual background) and of the
// application (global hotkeys, remote controller, language), and the "More"
// menu of maintenance actions. Its pop-ups (button mode, language, more,
// hotkey list) open beside it and close when it hides.
//
// The main window tells it which camera is current and whether it sleeps;
// the panel sends camera commands itself and tells the main window through
// sendSettingEvent, so that the camera's status is read soon after.
class SystemSettingUi : public QWidget
{
    Q_OBJECT
public:
    // What the panel tells the main window (recvSignalFromSysSetting).
    enum SystemSettingEvent {
        EventClosed = 0,
        EventGlobalHotkeysOn = 7,
        EventGlobalHotkeysOff = 8,
        EventRemoteCtrlOn = 9,
        EventRemoteCtrlOff = 10,
        // A row changed a setting of the current camera.
        EventNoiseCancellation = 13,
        EventAutoSleep = 14,
        EventButtonMode = 15,
        EventVirtualBg = 18,
        EventAntiFlicker = 19,
    };
    Q_ENUM(SystemSettingEvent)

    // 13..15 and 18..26: a row changed a setting of the current camera
    // (noise reduction, auto sleep, button mode, ...); the main window then
    // reads the camera's status soon.
    static bool isCameraSettingEvent(int event)
    {
        return (event >= 13 && event <= 15) || (event >= 18 && event <= 26);
    }

    // Lowest firmware versions of the virtual background and of the camera
    // settings window, for cameras with and without the 4x zoom.
    static constexpr quint32 VirtualBgMin4x = 0x04000201;
    static constexpr quint32 VirtualBgMin = 0x04020201;
    static constexpr quint32 CamSettingsMin4x = 0x04000301;
    static constexpr quint32 CamSettingsMin = 0x04020301;

    explicit SystemSettingUi(QWidget *parent = nullptr);
    ~SystemSettingUi() override;

    // ---- the current camera, as the main window sees it ----
    // No camera is current.
    void setNoDevice();
    // A camera became current: its record and its status.
    void setCurrentDevice(const vexo::pc::GlobalParams::DevInfo &info,
                          const vexo::pc::CameraStatus &status);
    // The current camera was renamed.
    void setDevName(const QString &sn, const QString &name);
    // Values of an accepted status update (auto sleep, noise reduction,
    // button mode).
    void updateDevStatus(const vexo::pc::CameraStatus &status);
    // Auto-sleep time of the current camera in seconds (<= 0: off).
    void setAutoSleep(int seconds);
    // The current camera sleeps (false) or runs (true).
    void setDevAwake(bool awake);

    // Addresses of the web pages the panel links to.
    static QString remoteCtrlShopUrl();
    static QString upgradeManualUrl(int languageType);

    // The window the hotkeys' help button opens beside the panel (the
    // hotkey list); it is closed with the other pop-ups.
    void setHotkeyList(QWidget *list) { m_hotkeyList = list; }

    // The software row's update mark (a newer software is known).
    void setSoftwareUpdateMark(bool shown);
    // The firmware answer kept for the upgrade (empty when none).
    QJsonObject firmwareInfo() const { return m_fwInfo; }

    // ---- read-outs ----
    QString currentSn() const { return m_currentSn; }
    bool isDevAwake() const { return m_awake; }
    bool isAutoSleepOn() const { return m_autoSleep; }
    bool isNoiseCancellationOn() const { return m_noiseCancellation; }
    bool isVirtualBgOn() const { return m_virtualBg; }
    bool isGlobalHotkeysOn() const { return m_globalHotkeys; }
    bool isRemoteCtrlOn() const { return m_remoteCtrl; }
    bool isCamSettingsOpen() const { return m_camSettingsOpen; }
    CamSettings *camSettings() const { return m_camSettings; }
    ButtonMode *buttonMode() const { return m_buttonMode; }
    Language *language() const { return m_language; }
    ForMoreUi *forMore() const { return m_forMore; }
    AntiFlicker *antiFlicker() const { return m_antiFlicker; }

public slots:
    void show();
    void hide();
    // Closes the open pop-ups of the panel (second-level menus).
    void hideSecondMenu();
    void on_pbNoiseCancellation_clicked();
    void onFirmwareInfoFromServer(QJsonObject fw_info);
    void on_pbGlobalHotkeys_clicked();
    void on_pbHotkeysHelp_clicked();
    void on_pbRemoteCtrlHelp_clicked();
    void on_pbSoftwareUpgrade_clicked();
    void on_pbFirmwareVersionHelp_clicked();
    void on_pbFirmwareUpgrade_clicked();
    void on_pbDevAutoSleep_clicked();
    void on_cbDevAutoSleep_currentIndexChanged(int index);
    void on_pbButtonAdapt_clicked();
    void on_pbButtonAdaptHelp_clicked();
    void on_pbCameraSettings_clicked();
    void on_pbLanguage_clicked();
    void on_pbForMore_clicked();
    void on_buttonModeChanged(int mode);
    void on_pbRemoteCtrl_clicked();
    void on_pbVirtualBg_clicked();
    void on_pbAntiFlicker_clicked();
    void onAntiFlickerChanged(int type);

signals:
    void sendSettingEvent(SystemSettingUi::SystemSettingEvent event);
    void openVideoCfg(bool action);
    void softwareUpgrade();
    void firmwareUpgrade();
    // Re-sent from the pop-ups, for the main window.
    void languageChanged(int type);
    void virtualBgChanged(bool on);
    void exportLog();
    void manualUpgrade();
    void upgradeHelp();
    void upgradeManual();
    void restoreFactorySetting();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    using DevicePtr = std::shared_ptr<vexo::pc::UvcDevice>;
    // Auto-sleep choices of the combo, in seconds.
    static constexpr int SleepTimes[3] = {30, 120, 600};

    DevicePtr currentDev() const;
    // The current camera when it exists and runs (rows of camera settings).
    DevicePtr awakeDev() const;
    void retranslate();
    void applyAwake();
    void applyAutoSleep(int seconds);
    void applyButtonMode(int mode);
    void applyAntiFlicker(int type);
    void applyVirtualBgRow(const DevicePtr &dev);
    void setSwitch(QPushButton *button, bool on);
    void fileUsage(int action, const QVariant &value);
    int sleepIndexFor(int seconds) const;
    // Shows a one-button message with this title and text (rich text).
    void showTips(const QString &title, const QString &text, bool rich = false, int height = 0);
    void popUpBeside(QWidget *popup, QWidget *anchor);
    void showFirmwareHelp();

    Ui::SystemSettingUi *ui;
    QString m_currentSn;
    bool m_awake = false;
    bool m_autoSleep = false;
    bool m_noiseCancellation = false;
    bool m_virtualBg = true;
    bool m_globalHotkeys = false;
    bool m_remoteCtrl = false;
    bool m_camSettingsOpen = false;
    int m_buttonModeValue = 0;
    int m_antiFlickerValue = 0;
    QJsonObject m_fwInfo;
    CamSettings *m_camSettings = nullptr;
    QPointer<ButtonMode> m_buttonMode;
    QPointer<Language> m_language;
    QPointer<ForMoreUi> m_forMore;
    QPointer<AntiFlicker> m_antiFlicker;
    QPointer<QWidget> m_hotkeyList;
};
