#pragma once

#include "comm/GlobalParams.h"
#include "uvc/CameraStatus.h"

#include <QWidget>

// The "System Setting" window that the main window's settings tab opens
// beside it. For now it is an empty window: its rows (versions, auto sleep,
// button configuration, noise reduction, hotkeys, language, maintenance)
// come later. What the main window tells it about the current camera is
// already routed through the calls below, so that the rows only have to
// listen.
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
    };
    Q_ENUM(SystemSettingEvent)

    // 13..15 and 18..26: a row changed a setting of the current camera
    // (noise reduction, auto sleep, button mode, ...); the main window then
    // reads the camera's status soon.
    static bool isCameraSettingEvent(int event)
    {
        return (event >= 13 && event <= 15) || (event >= 18 && event <= 26);
    }

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

public slots:
    // Closes the open pop-ups of the panel (second-level menus).
    void hideSecondMenu();
    // The global-hotkeys switch (also Ctrl+Shift+Z): flips and reports 7
    // (now on) or 8 (now off).
    void on_pbGlobalHotkeys_clicked();

signals:
    void sendSettingEvent(SystemSettingUi::SystemSettingEvent event);
    void softwareUpgrade();
    void firmwareUpgrade();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QString m_currentSn;
    bool m_awake = false;
    bool m_globalHotkeys = false;
};
