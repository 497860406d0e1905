#pragma once

#include "uvc/CameraStatus.h"
#include "zarvocam/SystemSettingUi.h"

#include <QElapsedTimer>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QMainWindow>
#include <QMetaObject>
#include <QRect>
#include <QVariant>

#include <cstdint>
#include <functional>
#include <memory>

class DevButton;
class DownloadProgress;
class MsgInfoUi;
class DevSleep;
class DirectionHandler;
class GimbalControl;
class ImageItem;
class CurrentCameraGimbal;
class MsgProgressUi;
class QAbstractButton;
class QHotkey;
class QShortcut;
class QPushButton;
class QSlider;
class QThread;
class QTranslator;

namespace Ui {
class MainUserUi;
}

namespace vexo {
namespace pc {
class DevUsageReporter;
class PkgDownloader;
class HttpServer;
class UvcDevice;
using UvcDevicePtr = std::shared_ptr<UvcDevice>;
}
}

// The application's main window: one round button per connected camera, the
// control panel of the current camera (zoom, auto framing, field of view,
// virtual background, direction pad) and the sleep page laid over it while
// that camera sleeps.
//
// Every control sends its command straight to the current camera, restyles
// itself at once and lets the camera's next status read correct it: status
// updates that arrive within 100 ms of a user action are dropped, so that
// they never pull back a control the user just moved. Cameras come and go
// through the device registry's devChanged signal; the current one is looked
// up by serial number in the registry for every action, so a camera that
// vanished meanwhile makes the handler do nothing.
//
// The class is split by concern: MainUserUi.cpp (construction, tabs,
// language, layout, keys), MainUserUiDevices.cpp (device row, selection,
// status updates, sleep and wake), MainUserUiPanel.cpp (control panel) and
// MainUserUiReports.cpp (usage reports), MainUserUiSettings.cpp (what the
// settings panel asks for: language, maintenance actions, updates).
class MainUserUi : public QMainWindow
{
    Q_OBJECT
public:
    // Trigger sources of usage events.
    enum TriggerSource {
        SourceMouse = 0,
        SourceKey = 1,
        SourceRemote = 2,
        SourceDevice = 3,
        SourceNone = 4, // no report pending
    };

    explicit MainUserUi(QWidget *parent = nullptr);
    ~MainUserUi() override;

    // Adjustments that need the window's final geometry, called once after
    // show(): centring on the primary screen, caption-relative positions.
    void adjustAfterShow();

    // The virtual background section is shown only where the camera and the
    // user allow it (the settings panel decides); without it the panel takes
    // its compact layout.
    void setVirtualBgAvailable(bool available);
    bool isVirtualBgAvailable() const { return m_virtualBgAvailable; }

    // Sets the last user action time to now: status updates of the next
    // 100 ms are ignored.
    void markUserAction();

    // "Resume" of the settings side: wakes a sleeping camera, puts an awake
    // one to sleep.
    void on_devSleepResume();

    // ---- read-outs ----
    QString currentDevSn() const { return m_currentSn; }
    QList<DevButton *> devButtons() const { return m_devButtons; }
    DevSleep *devSleep() const { return m_devSleep; }
    DirectionHandler *directionHandler() const { return m_direction; }
    SystemSettingUi *systemSetting() const { return m_systemSetting; }
    bool isAwake() const { return m_awake; }
    bool isBackgroundOn() const { return m_bgOn; }
    bool isFramingOn() const { return m_framingOn; }
    bool isZoom4x() const { return m_zoom4x; }
    int cropAreaCounter() const { return m_cropAreaCounter; }
    int zoomHoldOff() const { return m_zoomHoldOff; }
    QString pendingSelection() const { return m_pendingSn; }
    vexo::pc::PkgDownloader *pkgDownloader() const { return m_downloader; }
    DownloadProgress *downloadProgress() const { return m_downloadProgress; }
    QJsonObject softwareInfo() const { return m_softwareInfo; }
    QList<ImageItem *> imageItems() const { return m_imageItems; }
    // Where "add picture" asks for a file (a file dialog; tests replace it).
    void setPicturePicker(std::function<QString(QWidget *)> picker);

    // ---- network cameras (MainUserUiNetwork.cpp) ----
    // Asks the current camera, up to five times, to upgrade from the local
    // service; 0 once it agreed, else its last refusal.
    int startUpgrade();
    // The log export over the network: a USB camera is first switched to its
    // network connection; the camera reboots afterwards.
    void extractLogByNet();
    // The network half of the firmware upgrade of the current camera: the
    // progress window (an UpgradeProgress) runs modally, and only when the
    // camera agreed; onProgress hands it the cameras' progress reports (its
    // onUpgradeProgressUpdate) on this thread meanwhile.
    using UpgradeProgressHandler = std::function<void(int type, const QString &uuid, const QString &msg)>;
    void runRndisUpgrade(MsgProgressUi *progressWindow, const UpgradeProgressHandler &onProgress);
    // The local service network cameras upgrade from, created on first use
    // on a thread of its own and kept until the window goes.
    void startLocalService();
    vexo::pc::HttpServer *localService() const { return m_localService; }

public slots:
    void recvSignalFromSysSetting(SystemSettingUi::SystemSettingEvent event);
    void onDevChanged(QByteArray dev_sn, bool flag);
    void onGimbalCtrlRef(double y, double z, bool first_press);
    void onMoveToPrePos(int16_t x, int16_t y, int16_t z, double speed_ref, double zoom);
    void onChangeLanguage(int type);
    void onCurrDevStateRefresh();
    void onDevSelectedChanged(DevButton *dev_btn);
    void onDevRenamed(DevButton *dev_btn);
    void onDevStateUpdate(vexo::pc::CameraStatus camera_status);
    void onDevSnMarked(QString dev_sn);
    void shortcutZoomIn();
    void shortcutZoomOut();
    void shortcutPreDev();
    void shortcutNextDev();
    void onDevChangedFromSleepUi(int index);
    void onDevResumed();
    // Updates (MainUserUiDownload.cpp): this software's and the current
    // camera's firmware.
    void onSoftwareUpgrade();
    void onInfoFromServer(QJsonObject info);
    void onFirmwareUpgrade();
    void onDevImageDownload(uint image_type, int result);
    bool onSelectPicAndUpload(ImageItem *image_item);
    void onImageAction(int action);
    // Keyboard (MainUserUiHotkeys.cpp): 1 makes the Alt keys system-wide
    // hotkeys, 0 application shortcuts (which also stand in for a hotkey
    // that cannot be had); the remote-control keys are global hotkeys while
    // enabled. Both are stored.
    void onShortcutRangeChanged(int shortcut_range);
    void onRemoteCtrlEnabled(bool enabled);
    // Firmware actions on the current camera (MainUserUiUpgrade.cpp).
    void onManualUpgrade();
    void onExportLog();
    // The settings panel's factory reset and help links
    // (MainUserUiSettings.cpp).
    void onRestoreFactorySetting();
    void onUpgradeManual();
    void onUpgradeHelp();

private slots:
    void on_pbCameraCtrl_clicked();
    void on_pbSystemSetting_clicked();
    void on_pbDevStatus_clicked();

    void on_slZoom_sliderPressed();
    void on_slZoom_sliderReleased();
    void on_slZoom_sliderMoved(int value);
    void on_slZoom_valueChanged(int value);
    void on_slBlurLevel_sliderPressed();
    void on_slBlurLevel_sliderReleased();
    void on_slBlurLevel_sliderMoved(int value);
    void on_slBlurLevel_valueChanged(int value);
    void on_pbAutoFraming_clicked();
    void on_pbGroupMode_clicked();
    void on_pbSingleMode_clicked();
    void on_pbCloseUp_clicked();
    void on_pbUpperBody_clicked();
    void on_pbVirtualBg_clicked();
    void on_pbBgBlur_clicked();
    void on_pbBgGreenScreen_clicked();
    void on_pbColorG_clicked();
    void on_pbColorB_clicked();
    void on_pbBgReplace_clicked();
    void on_pbView65_clicked();
    void on_pbView78_clicked();
    void on_pbView86_clicked();
    void on_pbAutoFramingHelp_clicked();
    void on_pbVirtualBgHelp_clicked();
    void on_pbDirectionHelp_clicked();
    void on_pbSelectHelp_clicked();
    void on_pbDirectionReset_clicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    // Status updates this soon after a user action would undo what the user
    // just did: the camera has not applied it yet.
    static constexpr qint64 UserActionQuietMs = 100;
    // Zoom commands from a dragged slider, and zoom shortcut steps, are
    // spaced at least this far apart.
    static constexpr qint64 ZoomSendIntervalMs = 100;
    static constexpr int ZoomShortcutStep = 10;
    // Status updates after a user zoom that leave the slider alone.
    static constexpr int ZoomHoldOffUpdates = -3;
    // A switch ignores clicks this long after one (the camera needs the time
    // to change its media mode).
    static constexpr int SwitchDeafMs = 4000;
    // A waking camera takes about this long before it answers again.
    static constexpr int WakeSettleMs = 1000;
    static constexpr int MaxVisibleDevButtons = 4;
    static constexpr int MaxDevIndex = 10;
    // The read-outs and sliders run 0..100.
    static constexpr int SliderMax = 100;

    // Camera values of the panel (command and status bytes).
    enum Fov { Fov86 = 0, Fov78 = 1, Fov65 = 2 };
    enum FramingMode { FramingGroup = 0, FramingSingle = 1 };
    enum FramingSize { FramingSizeKeep = -1, FramingCloseUp = 0, FramingUpperBody = 1 };
    // Looks of the two green-screen colour buttons besides blue and green.
    enum ColorLook { ColorNone = -1, ColorDimmed = -2 };

    // ---- firmware actions (MainUserUiUpgrade.cpp) ----
    // The package file the user picks (a file dialog).
    virtual QString chooseFirmwareFile();
    void showFirmwareInvalid();
    // The log export's message, its button held until the export ends.
    void prepareExtractingLog(MsgInfoUi &box);

    // ---- cameras and buttons (MainUserUiDevices.cpp) ----
    // The registry is asked here only.
    static vexo::pc::UvcDevicePtr findDev(const QString &sn);
    static QList<vexo::pc::UvcDevicePtr> allDevs();
    vexo::pc::UvcDevicePtr currentDev() const;
    static vexo::pc::CameraStatus readStatus(const vexo::pc::UvcDevicePtr &dev);
    DevButton *createDevButton(int index);
    DevButton *createNoneButton();
    void addDevButton(const QString &sn);
    void removeDevButton(const QString &sn);
    void renumberDevButtons();
    void selectButtonAt(int index);
    DevButton *selectedButton() const;
    int selectedIndex() const;
    QString assignDevIndex(const QString &sn);
    void followCameraZoom(int zoom);
    void followCameraBlur(int blur);
    void countCropArea();

    // ---- sleep and wake (MainUserUiDevices.cpp) ----
    void putCurrentToSleep();
    void wakeCurrent();
    void showAwake(bool awake);

    // ---- control panel (MainUserUiPanel.cpp) ----
    void setControlsEnabled(bool enabled);
    void applyMode(int mediaMode, const vexo::pc::CameraStatus &values);
    void applyBackgroundOn(const vexo::pc::CameraStatus &values);
    void applyBackgroundOff();
    void applyFramingOn(int framingMode, int framingSize);
    void applyFramingOff();
    void applyView(bool enabled, int fov);
    void restyleBgTabs(int bgMode);
    void restyleColors(int color);
    void restyleFramingMode(int framingMode);
    void restyleFramingSize(int framingSize, bool usable);
    void restyleViewButtons(int fov);
    void setSwitch(QPushButton *button, bool on);
    void deafen(QPushButton *button);
    void setZoomReadout(int value);
    void setBlurReadout(int value);
    void setSliderQuietly(QSlider *slider, int value);
    void sendZoom(int position);
    void sendBlur(int position);
    void releaseSlider(QSlider *slider, void (MainUserUi::*send)(int), int &pendingReport);
    void sendChangedValue(int value, void (MainUserUi::*send)(int), int &pendingReport);
    void onBgModeClicked(int bgMode, const QString &usageValue);
    void onColorClicked(int color, const QString &usageValue);
    void onViewClicked(int fov, const QString &usageValue);
    void onFramingClicked(int framingMode, int framingSize, int action, int usageValue);
    void scheduleStatusRead(const vexo::pc::UvcDevicePtr &dev, int pollCount);
    void commandSent(const vexo::pc::UvcDevicePtr &dev, int pollCount, int action, const QVariant &value, int source);
    void showHelp(const QString &text);
    void initLooks();

    // ---- window (MainUserUi.cpp) ----
    void setActiveTab(bool cameraControl);
    void placeHelpButtons();
    void applyLayout();
    void handleKeyRelease(QKeyEvent *event);

    // ---- updates (MainUserUiDownload.cpp) ----
    // The downloader and its window, the update rows' signals, the first
    // software check.
    void initDownload();
    // Downloads the package the downloader was given into dir (title of the
    // window: what is downloaded); true when the window ended with "OK"
    // after success. A cancelled or failed download is stopped.
    bool runDownload(const QJsonObject &request, const QString &dir, const QString &title);
    // Hands a downloaded installer to the desktop's package installer.
    bool startInstaller(const QString &path);
    // The release notes of an answer in the current language.
    static QString releaseNotes(const QJsonObject &info, int languageType);
    // The USB camera upgrade of sn after its firmware was downloaded.
    void runUvcUpgrade(const QString &sn);
    // ---- background pictures (MainUserUiPictures.cpp) ----
    void createImageItems();
    void picturesFollowCamera(const vexo::pc::UvcDevicePtr &dev);
    void requestThumbnails(const vexo::pc::UvcDevicePtr &dev);
    void imagesFollowBackground(bool on, int imageIndex);
    void selectImageItem(ImageItem *item);
    // ---- keyboard (MainUserUiHotkeys.cpp) ----
    // What a key binding needs before its action runs.
    enum class KeyNeeds { Nothing, Camera, CameraFramingOff };
    // The sleep/resume keys rest this long after use (the camera needs it).
    static constexpr int SleepKeyPauseMs = 4000;
    void initHotkeys();
    // One binding of the Alt table: a global hotkey and its application
    // shortcut twin; release, when given, answers the hotkey's release.
    QHotkey *addKeyBinding(const QString &keys, KeyNeeds needs, const std::function<void()> &press,
                           const std::function<void()> &release = {});
    QHotkey *addRemoteBinding(const QString &keys, KeyNeeds needs, const std::function<void()> &press,
                              const std::function<void()> &release = {});
    // Runs a key action with its trigger source, if its needs are met.
    void runKeyAction(int source, KeyNeeds needs, const std::function<void()> &action);
    // Registers or enables a key as the current switches say, unless it rests.
    void applyKeyState(QObject *key);
    void pauseKey(QObject *key);
    void keyDirection(int key);
    void keyDirectionStop(int source);
    void keySleepResume(QObject *key);
    void keySelectDev(int number);
    void keyVirtualBg(void (MainUserUi::*chooseOption)());
    void keyFraming(void (MainUserUi::*chooseMode)());
    void keyStandardMode();
    void keyOpenSettings();
    void keyStepFov();
    void keyStepBgOption();
    void keyStepFraming();
    void toggleGlobalHotkeys();
    // ---- settings panel (MainUserUiSettings.cpp) ----
    void connectSettingsPanel();
    // Widths of the background option buttons in the current language.
    void applyLanguageWidths();

    // ---- usage reports (MainUserUiReports.cpp) ----
    // Files one usage event of the current camera with the cloud service.
    void fileUsageEvent(int action, const QVariant &value, int source);
    // First-appearance reports of a camera the registry just announced.
    void reportNewDev(const QString &sn);

    Ui::MainUserUi *ui;
    SystemSettingUi *m_systemSetting = nullptr;
    DevSleep *m_devSleep = nullptr;
    DirectionHandler *m_direction = nullptr;
    std::unique_ptr<CurrentCameraGimbal> m_gimbalCamera;
    GimbalControl *m_gimbal = nullptr;
    vexo::pc::DevUsageReporter *m_reporter = nullptr;
    QList<ImageItem *> m_imageItems;
    QMetaObject::Connection m_imageConnection;
    std::function<QString(QWidget *)> m_picturePicker;

    QString m_currentSn;
    QList<DevButton *> m_devButtons;
    QString m_pendingSn;
    QMetaObject::Connection m_stateConnection;
    // The camera behind m_stateConnection, kept alive while it is connected:
    // the registry may drop a removed camera on its own thread, and a
    // disconnect must never race the camera's destruction.
    vexo::pc::UvcDevicePtr m_stateDev;

    int m_zoomHoldOff = ZoomHoldOffUpdates;
    bool m_bgOn = false;
    bool m_framingOn = false;
    bool m_framingSizeHidden = false;
    bool m_awake = false;
    bool m_zoom4x = false;
    qint64 m_lastUserAction = 0;
    int m_triggerSource = SourceMouse;
    int m_pendingZoomReport = SourceNone;
    int m_pendingBlurReport = SourceNone;
    int m_cropAreaCounter = -1;
    int m_desktopLeft = 0;
    int m_desktopRight = 0;
    QTranslator *m_translator = nullptr;

    bool m_virtualBgAvailable = true;
    QElapsedTimer m_zoomSendClock;
    QElapsedTimer m_zoomInClock;
    QElapsedTimer m_zoomOutClock;
    // Geometries of the full layout, as the form places them.
    QHash<QWidget *, QRect> m_fullGeometry;

    vexo::pc::PkgDownloader *m_downloader = nullptr;
    DownloadProgress *m_downloadProgress = nullptr;
    // The last software answer of the cloud service (empty: none yet).
    QJsonObject m_softwareInfo;
    // ---- network cameras (MainUserUiNetwork.cpp) ----
    // Waits, events running, until the registry lists the camera sn at ip
    // as a network camera; false after the time-out.
    bool waitForNetCamera(const QString &sn, const QString &ip);
    struct ThreadStopper
    {
        void operator()(QThread *thread) const;
    };
    vexo::pc::HttpServer *m_localService = nullptr;
    std::unique_ptr<QThread, ThreadStopper> m_localServiceThread;
    // Keyboard: the Alt table as hotkeys and as application shortcuts, the
    // remote-control keys, the range switch key (and its local stand-in for
    // when the hotkey cannot be had), keys resting after use.
    QList<QHotkey *> m_keyHotkeys;
    QList<QShortcut *> m_keyShortcuts;
    QList<QHotkey *> m_remoteHotkeys;
    QHotkey *m_rangeHotkey = nullptr;
    QShortcut *m_rangeShortcut = nullptr;
    QList<QObject *> m_restingKeys;
    int m_shortcutRange = 0;
    bool m_remoteKeys = false;
};
