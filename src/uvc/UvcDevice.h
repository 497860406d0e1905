#pragma once

#include "platform/CameraDevice.h"
#include "uvc/AiStatus.h"
#include "uvc/CameraStatus.h"
#include "uvc/DevDescription.h"
#include "uvc/ProtocolMsg.h"
#include "uvc/UvcPreSetPosInfo.h"

#include <QByteArray>
#include <QJsonObject>
#include <QPointer>
#include <QSharedPointer>
#include <QString>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace vexo {
namespace pc {

struct CameraModel;
class CameraPlatform;
class GlobalParams;
struct UpgradeFileDownloadState;
struct UpgradeFileUpState;

// One camera. The object is the camera's transport (the extension unit's
// 60-byte blocks and the standard controls through the camera platform),
// its message engine (framed requests, answers matched by sequence number)
// and its worker thread, which every 20 ms writes one queued frame, reads
// one answer and every 100 cycles polls the status block.
//
// Threads: the registry creates, opens and initialises the device on its
// thread; the user interface and the upgrade worker call the operations
// from theirs. Queue changes are guarded by one recursive lock; extension
// unit reads and writes from callers go to the platform without a lock.
class UvcDevice : public QThread
{
    Q_OBJECT

public:
    enum DevMode {
        DevModeUvc = 0,      // USB camera
        DevModeNet = 1,      // network camera
        DevModeUpgrade = 2,  // the upgrade worker drives the selectors
    };

    // Results of the send operations, numbered from 0.
    enum ErrorType {
        NoError = 0, NetModeNotSupported, DevNotOpen, DataTooLong, SendFailed, Timeout, DevError
    };

    enum GetMethod { GetBlocking = 0, GetNonBlocking = 1 };

    // One-byte values of the command set; their meanings are the camera's.
    enum MediaMode : quint8 { MediaModeStandard = 0, MediaModeBackground = 1, MediaModeFraming = 2 };
    enum MediaBgMode : quint8 { MediaBgGreenScreen = 1, MediaBgReplace = 17, MediaBgBlur = 18 };
    enum MediaBgModeColorType : quint8 { MediaBgColorBlue = 0, MediaBgColorGreen = 1 };
    enum DevStatus : quint8 { DevStatusResume = 1, DevStatusSleep = 3 };

    // Range of a standard control: minimum, maximum, step, defaultValue,
    // flags (which modes it offers).
    using CameraParamRange = CameraDevice::Range;

    // A standard control's value and whether its automatic mode is on.
    struct ControlValue
    {
        int value = 0;
        bool isAuto = false;
    };

    // One standard control as the device layer and the tools name it.
    struct ControlInfo
    {
        CameraDevice::Control id;
        const char *name;  // command-line name ("white-balance")
        bool userAuto;     // offers its automatic mode to the user
    };

    // Where a synchronous sender waits for its answer (on its own stack).
    // Standard-library locks here and below: the thread sanitizer sees
    // through them, so the checked builds prove the locking.
    struct WaitRecord
    {
        int result = 0;
        bool done = false;
        std::mutex mutex;
        std::condition_variable cond;
    };

    // One queued request.
    struct SendPacket
    {
        quint8 *data = nullptr;              // packed frame bytes
        quint32 len = 0;
        quint16 seq = 0;
        quint8 sent = 0;                     // 0 waiting, 1 written
        QByteArray *response = nullptr;      // synchronous requests
        WaitRecord *waiter = nullptr;        // synchronous requests
        QPointer<QObject> receiver;          // non-blocking requests
        QSharedPointer<QString> method;      // non-blocking requests
        quint32 age = 0;                     // worker cycles since written
        std::unique_ptr<quint8[]> owned;     // the queue's copy, if any
    };

    static constexpr int XuBlockSize = 60;
    static constexpr int StatusPollCycles = 100;

    // graph: the camera platform shared by all devices (not owned).
    UvcDevice(const DevDescription &desc, CameraPlatform *graph, int devMode, QObject *parent = nullptr);
    ~UvcDevice() override;

    // ---- transport ----
    int open();
    void close();
    bool uvc_xu_init();
    int uvc_xu_get(int selector, unsigned char *buf, int len);
    int uvc_xu_set(int selector, unsigned char *buf, int len);
    bool isOpen() const;

    // ---- message engine ----
    ErrorType sendMsgSync(ProtocolMsg::FrmPacket &frame, QByteArray &answer);
    ErrorType sendMsgAsync(ProtocolMsg::FrmPacket &frame, bool needAnswer);
    ErrorType sendMsgAsyncDirectly(ProtocolMsg::FrmPacket &frame);
    ErrorType sendMsgSyncNonBlock(ProtocolMsg::FrmPacket &frame, QSharedPointer<QString> method,
                                  QObject *receiver);
    int queuedPackets() const;

    // ---- identity, information and status ----
    bool initDev();
    QByteArray getDevUuid();
    QString getDevVersion();
    QString getDevSn();
    QJsonObject getDevInfo();
    int getDevModel();
    // The model row of the device information (the Unknown model when none).
    const CameraModel &model() const;
    bool is4KDevice() const;
    QJsonObject getDevReportInfo() const;
    bool getCameraStatus(CameraStatus &status);
    // The installed firmware against the latest one the cloud named
    // (setLatestFwVersion). The caller words the outcome for the user.
    enum FwCheck : int { FwUpToDate = 0, FwNewer = 1, FwUnknown = 2 };
    int checkFwUpdate();
    int aiGetAiStatus(AiStatus *status, QSharedPointer<QString> method, QObject *receiver, int getMethod);

    // ---- network cameras ----
    // Requests to the camera's HTTP service at getNetBaseUrl(), each bounded
    // by about 5 s. reqDevUpgrade sends a frame to USB cameras instead.
    bool reqDevReboot();
    int reqDevChangeIpAddr(const QString &ip);
    int reqDevUpgrade();
    // Saves the camera's log archive in the log folder of the data root;
    // 0 on success, the saved path in *savedPath either way when known.
    int getDevLogFile(QString *savedPath = nullptr);
    // A network camera addressed directly (a tool given its address) keeps
    // its temporary address: initDev takes nothing from the address pool.
    void setFixedAddress(bool fixed) { fixedAddress_.store(fixed); }
    // "http://<address>:<device_port>".
    QString getNetBaseUrl() const;
    // The address of this PC towards a camera at ip: its segment + ".20".
    static QString serverIpFor(const QString &ip);

    // ---- standard controls ----
    // Any control: the value (none when it cannot be read), a write with the
    // value flags (0 or -1) and the range. The named uvc... operations below
    // are these with the classic signatures.
    std::optional<ControlValue> control(CameraDevice::Control id);
    int setControl(CameraDevice::Control id, int value, int flags);
    std::optional<CameraParamRange> range(CameraDevice::Control id);
    static const std::vector<ControlInfo> &controlTable();
    static const ControlInfo *controlInfo(CameraDevice::Control id);
    static const ControlInfo *controlInfo(const QString &name);

    bool uvc_IAMCameraControl_Get();
    bool uvc_ICameraControl_Get();
    bool uvc_IVideoProcAmp_Get();

    int uvcBacklightCompensationControlGet(bool &isAuto, int &value);
    int uvcBacklightCompensationControlRangeGet(CameraParamRange &range);
    int uvcBacklightCompensationControlSet(bool isAuto, int value);
    int uvcBrightnessControlGet(int &value);
    int uvcContrastControlGet(bool &isAuto, int &value);
    int uvcContrastControlRangeGet(CameraParamRange &range);
    int uvcContrastControlSet(int value);
    int uvcGainControlGet(bool &isAuto, int &value);
    int uvcGainControlRangeGet(CameraParamRange &range);
    int uvcGainControlSet(bool isAuto, int value);
    int uvcHueControlGet(bool &isAuto, int &value);
    int uvcHueControlRangeGet(CameraParamRange &range);
    int uvcHueControlSet(int value);
    int uvcSaturationControlGet(int &value);
    int uvcSaturationControlRangeGet(CameraParamRange &range);
    int uvcSaturationControlSet(int value);
    int uvcSharpnessControlGet(int &value);
    int uvcSharpnessControlRangeGet(CameraParamRange &range);
    int uvcSharpnessControlSet(int value);
    int uvcWhiteBalanceTemperatureControlGet(bool &isAuto, int &value);
    int uvcWhiteBalanceColorTemperatureControlRangeGet(CameraParamRange &range);
    int uvcWhiteBalanceTemperatureControlSet(bool isAuto, int value);
    int uvcExposureGet(bool &isAuto, int &value);
    int uvcExposureRangeAbsGet(CameraParamRange &range);
    int uvcExposureSet(bool isAuto, int value);
    int uvcFocusGet(bool &isAuto, int &value);
    int uvcFocusRangeAbsGet(CameraParamRange &range);
    int uvcFocusSet(bool isAuto, int value);
    int uvcPanTiltAbsoluteControlGet(int &pan, int &tilt);
    int uvcPanTiltAbsoluteControl(int pan, int tilt);
    bool uvcPanTiltRangeAbsGet();
    bool uvcPanTiltRangeRelGet();
    int uvcPanTiltRelativeControl(double x, double y);
    bool cameraZoomRangeGet();
    bool cameraFocusRangeGet();

    // ---- command set ----
    // Every command first checks that the device is initialised, not a
    // network camera and running its main system; failures are -1.
    int cameraSetMediaMode(MediaMode mode);
    int cameraSetHdr(bool on);
    int cameraSetFaceAE(int value);
    int cameraSetFov(int value);
    int cameraSetBgMode(MediaBgMode mode);
    int cameraSetMaskLevel(int level);
    int cameraSetButtonMode(int mode);
    int cameraSetNoiseCancellation(int value);
    int cameraSetSuspendTime(int seconds);
    int cameraSetAutoFramingMode(signed char mode, signed char size);
    int cameraSetImageReplace(int op, int index);
    int cameraSetBgColor(MediaBgModeColorType color);
    int cameraSetBgEnable(bool enable);
    int cameraSetDevRunStatus(DevStatus status);
    int cameraRestoreFactorySettings();
    int cameraSetFaceFocus(bool on);
    int cameraGetFaceFocus(QSharedPointer<QString> method, QObject *receiver, int getMethod);
    int cameraSetZoomRatio(double ratio, short speed, int method);
    int cameraPrepareLog();
    int cameraSetAntiFlicker(int value);
    int cameraGetFocusRatio(unsigned char *isAuto);
    int normalizedZoom(int zoom);
    int gimbalSetSpeedPosition(short s1, short s2, short s3, double p1, double p2, double p3);
    int gimbalGetAttitudeInfo(short &x, short &y, short &z);
    int aiGetGimbalBootPos(float &a, float &b, float &c, float &d);
    int presetPositionGet(unsigned char index, UvcPreSetPosInfo *info);
    CameraParamRange zoomRange() const;
    CameraParamRange focusRange() const;

    // ---- maintenance primitives (one 60-byte block each) ----
    bool transFileStart(unsigned char *block);                   // selector 1 write
    int transFileTransStateGet(UpgradeFileUpState *state);       // selector 1 read, 0 / -1
    bool ugSyscall(unsigned char *block);                        // selector 3 write
    bool fileDownloadReq(unsigned char *block);                  // selector 4 write
    bool fileDownloadStateGet(UpgradeFileDownloadState *state);  // selector 4 read
    bool ugUpCmd(unsigned char *block);                          // selector 5 write
    bool ugUpCmdState(unsigned char *block);                     // selector 5 read
    int transFileTrans(unsigned char *block);                    // selector 6 write, 0 / -1
    bool transFileMagicGet(unsigned char *block);                // selector 6 read

    // ---- state ----
    int devMode() const { return devMode_.load(); }
    void setDevMode(int mode) { devMode_.store(mode); }
    bool isPresent() const { return present_.load(); }
    void setPresent(bool present) { present_.store(present); }
    bool isInited() const { return inited_.load(); }
    bool disconnectWatch() const { return disconnWatch_.load(); }
    void setDisconnectWatch(bool on) { disconnWatch_.store(on); }
    int missingCount() const { return missingCount_.load(); }
    void setMissingCount(int count) { missingCount_.store(count); }

    // The worker reads the status block when this counter reaches 100, one
    // step per 20 ms; these starting values name when the next read comes.
    enum StatusPollDelay : int {
        StatusPollIn2s = 0,
        StatusPollIn400ms = 80,
        StatusPollIn3s = -50,
        StatusPollIn4s = -100,
        StatusPollIn5s = -150,
    };
    void setStatusPollCount(int count) { statusPollCount_.store(count); }
    int statusPollCount() const { return statusPollCount_.load(); }
    // Whether the worker emits devStateUpdate after each status poll.
    void setStatusSignalEnabled(bool on) { statusSignal_.store(on); }
    bool statusSignalEnabled() const { return statusSignal_.load(); }
    CameraStatus cachedStatus() const;

    // ---- identity fields ----
    QString getName() const;        // display name "KAVORA_ZarvoCam_<serial>"
    QString getIpAddr() const { return lockedCopy(ipAddr_); }
    QByteArray getUuid() const { return lockedCopy(uuid_); }
    QString getVersion() const { return lockedCopy(version_); }
    QJsonObject getInfo() const { return lockedCopy(devInfo_); }
    QString getSn() const { return lockedCopy(sn_); }
    int getSysType() const { return sysType_.load(); }
    // The upgrade worker records the system it left the camera in.
    void setSysType(int type);
    int getSocVer() const { return lockedCopy(socVer_); }
    int getModelCode() const { return lockedCopy(modelCode_); }
    QString getLatestFwVersion() const { return lockedCopy(latestFwVersion_); }
    void setLatestFwVersion(const QString &version);
    int getFwState() const { return lockedCopy(fwState_); }
    QString getFriendlyName() const { return ownCopy(friendlyName_); }
    QString getDevicePath() const { return ownCopy(devicePath_); }
    QString getTempIpAddr() const { return ownCopy(tempIpAddr_); }
    DevDescription getDescription() const;
    // The short device name used in logs.
    QString getDevName() const;

    // The parameters whose address pool gives cameras their addresses: the
    // process-wide GlobalParams unless a tool sets its own (a command-line
    // tool must not rewrite the application's settings file on exit).
    static void setGlobalParams(GlobalParams *params);
    static GlobalParams *globalParams();

    // Dotted version text <-> 32-bit value (first part most significant).
    static QString versionText(quint32 version);
    static quint32 versionValue(const QString &text);

    // ---- pictures (UvcDeviceFiles.cpp) ----
    // Results of fileDownloadByUvc.
    enum FileDownloadResult : int {
        DownloadOk = 0, DownloadSame = 1, DownloadMissing = -1, DownloadFailed = -2
    };
    // Request bits of the worker's picture transfers: thumbnails 0-2, the
    // pictures 0-2, uploads of the pictures 0-2.
    enum ImageRequest : unsigned {
        ImageThumb0 = 1, ImageThumb1 = 2, ImageThumb2 = 4,
        ImagePicture0 = 8, ImagePicture1 = 16, ImagePicture2 = 32,
        ImageUpload0 = 64, ImageUpload1 = 128, ImageUpload2 = 256,
    };
    // Transfer state: running while a device transfer runs, done after a
    // successful one.
    enum FileTransState : int { FileTransIdle = 0, FileTransDone = 2, FileTransRunning = 3 };

    // Camera file -> local file; see FileDownloadResult. The local file is
    // written only whole and checked; a failed download leaves none.
    int fileDownloadByUvc(const QString &localPath, const QString &remotePath, bool thumbnail);
    // Local file -> camera file; progress goes out with fileUploadProgress.
    bool fileUploadByUvc(const QString &localPath, const QString &remotePath);
    // Adds one request bit (1..32 downloads, 64/128/256 uploads) for the
    // worker; false for any other value or when the picture's host path is
    // not set.
    bool requestImageDownload(unsigned bit);
    bool requestImageUpload(unsigned bit);
    unsigned pendingImageRequests() const { return imgRequests_.load(); }
    unsigned presentThumbnails() const { return imgPresent_.load(); }
    int fileTransState() const { return fileTransState_.load(); }
    // Host paths of picture index 0..2: its thumbnail and the picture.
    void setImagePaths(int index, const QString &thumbnailPath, const QString &picturePath);
    QString imageThumbnailPath(int index) const;
    QString imagePicturePath(int index) const;
    // Bytes moved and total of the running (or last) transfer.
    qint64 transferDone() const { return transDone_.load(); }
    qint64 transferTotal() const { return transTotal_.load(); }

public slots:
    void run() override;

signals:
    void devStateUpdate(vexo::pc::CameraStatus camera_status);
    void fileUploadProgress(int result);
    void fileDownloadDone(unsigned int file_type, int result);

protected:
    void rx_msg();
    void parseRecvData(ProtocolMsg::FrmPacket *answer, SendPacket &packet);

private:
    template <typename T>
    T lockedCopy(const T &field) const
    {
        std::lock_guard<std::mutex> locker(infoLock_);
        return field;
    }
    // Text leaves the device in a buffer of its own. The device may be
    // released on its scanning thread while a widget on the main thread still
    // shows, say, its version: a shared buffer would then be freed inside Qt,
    // ordered only by a reference count the thread checker cannot see.
    QString lockedCopy(const QString &field) const
    {
        std::lock_guard<std::mutex> locker(infoLock_);
        return ownCopy(field);
    }
    QByteArray lockedCopy(const QByteArray &field) const
    {
        std::lock_guard<std::mutex> locker(infoLock_);
        return ownCopy(field);
    }
    static QString ownCopy(const QString &s) { return s.isNull() ? QString() : QString(s.constData(), s.size()); }
    static QByteArray ownCopy(const QByteArray &b)
    {
        return b.isNull() ? QByteArray() : QByteArray(b.constData(), b.size());
    }
    std::shared_ptr<CameraDevice> handle() const;
    ErrorType checkSend(const ProtocolMsg::FrmPacket &frame);
    // Numbers, packs and queues a copy of the frame (the queue owns it).
    ErrorType queueCopy(ProtocolMsg::FrmPacket &frame, QObject *receiver, QSharedPointer<QString> method);
    // The handle for an extension-unit transfer, or null (logged).
    std::shared_ptr<CameraDevice> xuHandle(bool write);
    // One block read or write: the byte count or -1 (logged).
    int xuTransfer(bool write, int selector, unsigned char *buf, int len);
    bool checkInited() const;
    bool checkUsbMainSys() const;  // not a network camera, main system
    bool checkCommon() const;      // inited, then checkUsbMainSys
    bool acquireInterface(std::atomic<bool> &held, const char *heldText, const char *missingText,
                          const char *nodeText);
    void pollStatus();
    void serveImageTransfer();
    // A synchronous request whose answer must hold at least minLength bytes
    // (exactly, when exact is set); what names the answer in the log.
    bool request(int cmdSet, int cmdId, int minLength, const char *what, QByteArray &answer, bool exact = false);
    bool identityRequest(int cmdId, int minLength, const char *what, QByteArray &answer, bool exact = false);
    // One POST to the camera's HTTP service; the answer object, empty on any
    // failure (logged).
    QJsonObject netPost(const char *operation, const char *path, const QByteArray &contentType,
                        const QByteArray &body);
    QJsonObject netDevInfo();
    int sendBlock(const char *operation, quint8 code, std::initializer_list<quint8> values, int shownValue);
    // Queues a frame that asks for no answer (after the common checks).
    int sendFrame(int cmdSet, int cmdId, const QByteArray &payload);
    bool acquireControl(const char *failMessage);
    std::shared_ptr<CameraDevice> controlHandle(const ControlInfo *c, bool set);
    int valueOut(CameraDevice::Control id, bool *isAuto, int &value);
    bool readPanTiltRanges(bool relative);
    // The kept pan and tilt ranges, read first when not known yet.
    bool panTiltRanges(bool relative, CameraParamRange &pan, CameraParamRange &tilt);
    int rangeOut(CameraDevice::Control id, CameraParamRange &out);

    // state
    std::atomic<bool> present_{true};
    std::atomic<bool> inited_{false};
    std::atomic<int> devMode_;
    std::atomic<bool> disconnWatch_{true};
    std::atomic<int> missingCount_{0};
    std::atomic<bool> fixedAddress_{false};

    // identity (written by initDev, read from any thread)
    mutable std::mutex infoLock_;
    QString name_;
    QString ipAddr_;
    QByteArray uuid_;
    QString version_;
    QJsonObject devInfo_;
    QString sn_;
    std::atomic<int> sysType_{0};
    int socVer_ = 0;
    int modelCode_ = 5;
    QString latestFwVersion_;
    int fwState_ = -1;

    // description
    const QString friendlyName_;
    const QString devicePath_;
    const QString tempIpAddr_;
    const quint16 vendorId_;
    const quint16 productId_;

    // platform
    CameraPlatform *const graph_;
    mutable std::mutex handleLock_;
    std::shared_ptr<CameraDevice> handle_;
    std::atomic<bool> xuReady_{false};
    std::atomic<bool> camCtrlHeld_{false};
    std::atomic<bool> procAmpHeld_{false};
    std::atomic<bool> amCamCtrlHeld_{false};

    // message engine
    mutable std::recursive_mutex queueLock_;
    std::list<SendPacket> queue_;
    ProtocolMsg protocolMsg_;

    // worker
    std::atomic<bool> running_{true};
    std::atomic<bool> workerExited_{true};
    std::atomic<int> statusPollCount_{0};
    std::atomic<bool> statusSignal_{false};
    mutable std::mutex statusLock_;
    CameraStatus statusCache_;

    // background-picture transfers served by the worker (one per cycle)
    std::atomic<unsigned> imgRequests_{0};
    std::atomic<int> imgRetry_{0};
    std::atomic<unsigned> imgPresent_{0};

    // host paths of the pictures, their transfer state and progress
    mutable std::mutex imgPathLock_;
    QString imgThumbPaths_[3];
    QString imgPicturePaths_[3];
    std::atomic<int> fileTransState_{0};
    std::atomic<qint64> transDone_{0};
    std::atomic<qint64> transTotal_{0};
    // One block of a picture transfer: true when all 60 bytes moved.
    bool picBlock(bool write, int selector, unsigned char *block);
    bool sendUploadPiece(const QByteArray &data, int piece);

    // control ranges
    // Reads one standard control's range into *dest (checks, log texts as given).
    bool readControlRange(int control, const char *failText, const char *label, CameraParamRange *dest);
    mutable std::mutex rangeLock_;
    CameraParamRange zoomRange_;
    CameraParamRange focusRange_;
    CameraParamRange panAbsRange_;
    CameraParamRange tiltAbsRange_;
    CameraParamRange panRelRange_;
    CameraParamRange tiltRelRange_;
};

} // namespace pc
} // namespace vexo
