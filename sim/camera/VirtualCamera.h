#pragma once

#include "camera/SimulatedFaults.h"
#include "camera/VirtualFileStore.h"
#include "camera/VirtualPictureTransfer.h"
#include "platform/CameraDevice.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>

#include "camera/VirtualUpdater.h"

#include <QElapsedTimer>

#include <deque>
#include <memory>
#include <mutex>

namespace vexo {
namespace pc {

struct CameraModel;

// A model of one camera's firmware as the host sees it through the
// extension unit and the standard controls: it answers the framed requests
// (identity of the system command set, the camera, gimbal and AI requests),
// keeps the status block and changes it as command blocks arrive, answers
// the preset query and keeps the standard controls with their ranges.
//
// Faults can be injected: lost writes, lost or damaged answers, wrong
// lengths, silence, failing reads, and unplugging. Every call is thread
// safe: the device layer reads and writes from its worker and from callers.
//
// The camera is reached through VirtualCameraBackend, which lists it while
// it is plugged and opens handles on it. Unplugging invalidates every
// handle opened before.
class VirtualCamera final
{
public:
    enum class Model { Zarvo, Zarvo4K, Nimo, Nimo4K, Unknown };
    enum class System { Main = 1, Upgrade = 2 };

    // Damage done to one produced answer (applied in the order queued).
    enum class AnswerFault {
        Drop,          // no answer at all
        BadSync,       // first byte not 0xAA
        TooShort,      // the read returns 11 bytes
        BadLength,     // length field larger than the block
        BadHeaderCrc,  // version-2 answer with a wrong header checksum
        BadCrc,        // frame checksum does not match
        WrongReceiver, // addressed to the camera module instead of the host
        NotAnswer,     // answer bit clear
        UnknownSeq,    // seq of no request
        ReadError,     // the read of this answer fails
        ShortData,     // last answer data byte missing
        Version2,      // valid answer in version 2 (with header checksum)
    };

    // One frame the camera accepted on the message selector.
    struct ReceivedFrame
    {
        quint16 seq = 0;
        int cmdSet = 0;
        int cmdId = 0;
        quint8 flags = 0;
        quint8 route = 0;
        QByteArray payload;
    };

    // One write of a standard control, as the host asked for it.
    struct ControlWrite
    {
        CameraDevice::Control control;
        int value;
        int flags;
        bool accepted;
    };

    struct Preset
    {
        bool present = false;
        QByteArray data;  // 9 bytes
        QByteArray name;  // below 48 bytes
    };

    explicit VirtualCamera(Model model = Model::Zarvo, int index = 0);
    ~VirtualCamera();

    // ---- identity and listing ----
    Model model() const { return locked(model_); }
    void setModel(Model model); // also resets name and device information
    System system() const { return locked(system_); }
    void setSystem(System system) { setLocked(system_, system); }
    QString serial() const { return locked(serial_); }
    void setSerial(const QString &serial) { setLocked(serial_, serial); }
    QByteArray uuid() const { return locked(uuid_); }
    void setUuid(const QByteArray &uuid) { setLocked(uuid_, uuid); }
    quint32 version() const { return locked(version_); }
    void setVersion(quint32 version) { setLocked(version_, version); }
    // Overrides one byte of the device information answer (0 product,
    // 1 branch, 2 platform, 3 status, 32 systype, 33 socver).
    void setInfoByte(int offset, quint8 value);
    // Raw data of the serial-number answer (e.g. empty).
    void setSerialAnswer(const QByteArray &data);
    QString friendlyName() const { return locked(friendlyName_); }
    void setFriendlyName(const QString &name) { setLocked(friendlyName_, name); }
    quint16 vendorId() const { return locked(vendorId_); }
    quint16 productId() const { return locked(productId_); }
    void setUsbIds(quint16 vendorId, quint16 productId);
    QString devicePath() const { return locked(devicePath_); }
    void setDevicePath(const QString &path) { setLocked(devicePath_, path); }

    // ---- plugging ----
    bool isPlugged() const;
    void unplug();
    void replug();
    // Handles remember the generation they were opened in.
    int generation() const { return locked(generation_); }
    bool isAlive(int generation) const;
    void setOpenFails(bool fails) { setLocked(openFails_, fails); }
    // A host opened the camera: an answer nobody read any more is gone.
    void noteOpened();
    bool openFails() const { return locked(openFails_); }

    // ---- firmware and upgrade channel ----
    // The installed firmware package (made up from the model and version
    // the first time it is needed, unless one was set).
    QByteArray installedImage();
    void setInstalledImage(const QByteArray &package); // version follows it
    QByteArray installedSha256();
    QByteArray updaterImage() const;
    void setUpdaterFaults(const VirtualUpdater::Faults &faults);
    QStringList updaterLog() const;
    // Restarts into a system: leaves after a moment, comes back after a
    // boot time (both scaled by TimeScale).
    void reboot(System into);
    bool isRebooting() const;

    // ---- video (the handle forwards here) ----
    // Whether a capture may start (ENODEV when unplugged, EBUSY when
    // another program has the stream or the format is not offered).
    bool acquireCapture(int generation, const CameraDevice::CaptureFormat &format, int *error);
    void releaseCapture();
    // The next sample and the pause after it; false when the camera left.
    bool captureSample(int generation, QByteArray *sample, int *pauseUs);
    // Another program holds the stream.
    void setCaptureBusy(bool busy);

    // ---- extension unit (the handle forwards here) ----
    // Both return -1 with *error set on failure (ENODEV when unplugged).
    int xuGet(int generation, int selector, uchar *buf, int len, int *error);
    int xuSet(int generation, int selector, const uchar *buf, int len, int *error);
    bool hasExtensionUnit() const { return locked(hasXu_); }
    void setHasExtensionUnit(bool has) { setLocked(hasXu_, has); }

    // ---- standard controls ----
    bool controlRange(int generation, CameraDevice::Control c, CameraDevice::Range &range, int *error);
    bool controlGet(int generation, CameraDevice::Control c, int &value, int &flags, int *error);
    bool controlSet(int generation, CameraDevice::Control c, int value, int flags, int *error);
    void setControlRange(CameraDevice::Control c, const CameraDevice::Range &range);
    int controlValue(CameraDevice::Control c) const;
    bool controlAuto(CameraDevice::Control c) const;
    void setControlFails(CameraDevice::Control c, bool fails);

    // ---- status and state ----
    QByteArray statusBlock() const;            // 60 bytes
    quint8 statusByte(int offset) const;       // 0 outside the block
    void setStatusByte(int offset, quint8 value);
    void setPreset(int index, const Preset &preset);
    void setAiStatus(quint8 first, quint8 second, quint8 third, quint8 fourth, float value);
    bool upgradeRequested() const;

    // ---- faults ----
    void loseWrites(int count);                 // next frame writes vanish
    void queueAnswerFaults(const QList<AnswerFault> &faults);
    void setSilent(bool silent);                // no answers, writes vanish
    // Answers to this command carry the result code (negative: normal again).
    void setResultCode(int cmdSet, int cmdId, int code);
    // Reads of a selector return this many bytes (negative: the full block).
    void setReadLength(int selector, int bytes);
    void failReads(int selector, int count);    // next reads fail with EIO
    void failWrites(int selector, int count);   // next writes fail with EIO
    // An answer becomes readable only after this many reads of selector 2.
    void setAnswerLatency(int reads);
    // After this many more accepted frames the camera falls silent
    // (negative: never).
    void muteAfterFrames(int frames);

    // ---- files ----
    // The camera's files: its three background pictures and what the
    // picture transfers, the updater and the shell put there.
    VirtualFileStore &files() { return files_; }
    // Faults of the picture transfers (see SimulatedFaults).
    void setTransferFaults(const SimulatedFaults &faults);
    // Pieces taken or given by the picture transfers so far.
    int picturePiecesMoved() const;

    // ---- observation ----
    QList<ReceivedFrame> receivedFrames() const;
    QList<QByteArray> blocksWritten(int selector) const;
    QList<ControlWrite> controlWrites() const;
    int readCount(int selector) const;
    int writeCount(int selector) const;
    int pendingAnswers() const;
    void clearLog();

    // Friendly names and model rows of the models.
    static QString modelName(Model model);
    static const CameraModel &cameraModel(Model model);

private:
    template <typename T>
    T locked(const T &field) const
    {
        std::lock_guard<std::mutex> locker(lock_);
        return field;
    }
    template <typename T>
    void setLocked(T &field, const T &value)
    {
        std::lock_guard<std::mutex> locker(lock_);
        field = value;
    }

    struct ControlState
    {
        CameraDevice::Range range;
        int value = 0;
        bool autoOn = false;
        bool fails = false;
    };
    struct PendingAnswer
    {
        QByteArray bytes;  // 60-byte block
        int readLength = 60;
        bool readError = false;
        int readsLeft = 0;
    };
    struct Reply
    {
        quint8 result = 0;
        QByteArray data;
    };

    // The control, or null (*error set) when the camera is gone or the
    // control made to fail.
    ControlState *usableControlLocked(int generation, CameraDevice::Control c, int *error);
    void resetStatusLocked();
    void resetControlsLocked();
    bool checkAliveLocked(int generation, int *error) const;
    // The common refusals of a block transfer; counts it and applies an
    // injected failure.
    bool admitTransferLocked(int generation, int selector, int len, QHash<int, int> &counts,
                             QHash<int, int> &failures, int *error);
    void handleFrameLocked(const uchar *buf, int len);
    Reply replyLocked(int cmdSet, int cmdId, const QByteArray &payload);
    void applyBlockLocked(const uchar *buf);
    void syncStatusFromControlsLocked();
    QByteArray infoDataLocked() const;
    // Carries out due reboot steps (leaving, coming back).
    void tickLocked() const;
    void handleUpdaterActionLocked(VirtualUpdater::Action action);
    void ensureImageLocked();
    void scheduleLocked(System into, int leaveMs, int backMs);

    mutable std::mutex lock_;
    // The camera's flash (before the parts that keep files in it).
    VirtualFileStore files_;
    std::unique_ptr<VirtualUpdater> updater_;
    // Reboot in progress: when to leave and when to come back (ms on the
    // clock), and into which system. Mutable: due steps run on any access.
    mutable qint64 leaveAt_ = -1;
    mutable qint64 backAt_ = -1;
    mutable System bootInto_ = System::Main;
    QElapsedTimer clock_;
    bool captureBusy_ = false;
    bool capturing_ = false;
    Model model_;
    int index_;
    mutable System system_ = System::Main;
    QString serial_;
    QByteArray uuid_;
    mutable quint32 version_ = 0x04020301;
    QMap<int, quint8> infoBytes_;
    bool serialAnswerSet_ = false;
    QByteArray serialAnswer_;
    QString friendlyName_;
    quint16 vendorId_ = 0;
    quint16 productId_ = 0;
    QString devicePath_;
    mutable bool plugged_ = true;
    mutable int generation_ = 1;
    bool openFails_ = false;
    bool hasXu_ = true;

    QByteArray status_;
    QHash<int, ControlState> controls_;
    Preset presets_[8];
    int presetQuery_ = -1;
    quint8 ai_[5] = {0, 0, 0, 0, 0};
    float aiValue_ = 0.0f;
    bool upgradeRequested_ = false;

    int lostWrites_ = 0;
    std::deque<AnswerFault> answerFaults_;
    bool silent_ = false;
    QHash<quint32, int> resultCodes_;
    QHash<int, int> readLengths_;
    QHash<int, int> failReads_;
    QHash<int, int> failWrites_;
    int answerLatency_ = 0;
    int framesBeforeMute_ = -1;
    std::deque<PendingAnswer> answers_;

    VirtualPictureTransfer pictures_{files_};
    // Who the last selector-4 request came from: reads answer it.
    bool downloadToUpdater_ = false;
    void unplugLocked();
    void applyImageReplaceLocked(quint8 op, quint8 index);
    // False (with *error) when a picture transfer block failed or unplugged.
    bool pictureOutcomeLocked(VirtualPictureTransfer::Outcome outcome, int *error);

    QList<ReceivedFrame> received_;
    QHash<int, QList<QByteArray>> written_;
    QList<ControlWrite> controlWrites_;
    QHash<int, int> reads_;
    QHash<int, int> writes_;
};

} // namespace pc
} // namespace vexo
