#pragma once

#include "platform/CameraDevice.h"
#include "uvc/DevDescription.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <memory>
#include <mutex>

class QTimer;

namespace vexo {
namespace pc {

class FirmwarePackage;
class UvcDevice;
class UvcDevices;
using UvcDevicePtr = std::shared_ptr<UvcDevice>;

// The upgrade worker of one USB camera: a firmware upgrade by patches (the
// updater first, then the main system, each patched against an image of
// what the camera has installed), or the export of the camera's log
// archive. It drives the camera's updater over the extension unit, moves
// files to the camera in 52-byte pieces and receives files inside the
// camera's video stream, waits through the camera's reboots and reports
// progress through progressUpdate.
//
// Threads: run() and all device traffic on the worker thread; the video
// samples arrive on the capture thread (they only fill the receive buffer,
// under its lock); the progress timer lives in the constructing thread.
class UvcPatchUpgrade : public QThread
{
    Q_OBJECT

public:
    enum UvcTaskType { UvcTaskUpgrade = 0, UvcTaskExtractLog = 1 };

    // Updater commands.
    enum UgUpCmd {
        UG_UVC_UP_CMD_FORMAT_UBI = 1,
        UG_UVC_UP_CMD_ENTER_UG_SYS = 2,
        UG_UVC_UP_CMD_RENAME_FW = 3,
        UG_UVC_UP_CMD_FREE_SOURCE = 4,
        UG_UVC_UP_CMD_BSPATCH = 5,
        UG_UVC_UP_CMD_RESET_TRANS_STATE = 8,
        UG_UVC_UP_CMD_PACK_LOG = 9,
    };

    static constexpr quint32 DownloadPieceLength = 0x40000;
    static constexpr int UploadPieceLength = 52;

    // registry: where the camera is looked up (null: the process-wide one).
    UvcPatchUpgrade(const QString &sn, UvcTaskType task, QObject *parent = nullptr, UvcDevices *registry = nullptr);
    ~UvcPatchUpgrade() override;

    // Whether a camera was found at construction.
    bool isValid() const { return firstDev_ != nullptr; }
    int progress() const { return progress_.load(); }
    // Milliseconds the last run spent in its fixed waits, and in all.
    qint64 waitedMs() const { return waitedMs_.load(); }
    qint64 tookMs() const { return tookMs_.load(); }
    // Milliseconds the last run spent computing patches.
    qint64 patchMs() const { return patchMs_.load(); }
    // Where the last run spent its time, by kind of work ("package checks",
    // "patch heads", "uploads", "downloads", "patches", "reopening", "device
    // init"): milliseconds of work beside the fixed waits, and in all.
    struct Spent
    {
        qint64 busyMs = 0;
        qint64 wallMs = 0;
    };
    QMap<QString, Spent> spent() const;

    bool devUpgrade();
    int doUpgrade();
    bool updateSysForNewDev(FirmwarePackage *pkg);
    bool updateUgSysForOldDev(const QString &ugfsPath);
    bool reopenWithDelay(int seconds, int steps);

    bool streamActivate();
    bool fileUploadByUvc(const QString &localPath, const QString &remotePath, bool compressed, int steps);
    bool fileUploadSyscallV0(const QString &localPath, const QString &remotePath);
    int transFileJoinSeqString(int pieceCount, const QString &remotePath);
    bool fileDownloadByUvc(const QString &remotePath, const QString &localPath, quint32 expectedLength,
                           bool generate);
    bool bspatchListGenerate(const QString &oldPath, const QString &newPath, const QString &outPath,
                             const QList<quint32> &splitOffsets, int steps);
    bool fileCompress(const QString &srcPath, const QString &dstPath);
    bool extractLogFromDev(QString &out);

    // The capture callback: one sample of the video stream.
    void dshowOnVideoData(const uchar *data, quint64 size);

    // The shell line of one hexadecimal piece of a shell-frame upload.
    static QByteArray shellPieceLine(const QByteArray &bytes, int piece);
    // How many file bytes one shell piece with this number carries.
    static int shellPieceCapacity(int piece);

    // The firmware directory ("<data>/firmware/").
    static QString firmwareDir();

public slots:
    void run() override;
    void updateProgress();
    void onEnableTimer(bool enable);

signals:
    void progressUpdate(int value, QString info);
    void enableTimer(bool enable);

private:
    UvcDevicePtr dev() const;
    void stopCapture();
    bool upCmd(int id, const QByteArray &args = QByteArray());
    bool syscall(const QString &line);
    bool shellFrame(const QString &line);
    QString magic();
    void addProgress(int n = 1) { progress_.fetch_add(n); }
    void setProgress(int v) { progress_.store(v); }
    bool fail(const char *text, int pauseMs = 0);
    // Books the work from now to the end of the returned guard's scope.
    auto spending(const char *kind);

    const QString sn_;
    const UvcTaskType task_;
    UvcDevices *const registry_;
    mutable std::mutex devLock_;
    UvcDevicePtr dev_;
    UvcDevicePtr firstDev_;
    DevDescription desc_;
    std::atomic<int> progress_{0};
    // Set by run() as its last act (release); the destructor acquires it
    // after the thread ended, so that everything run() wrote is seen.
    std::atomic<bool> runExited_{true};
    std::atomic<qint64> waitedMs_{0};
    std::atomic<qint64> tookMs_{0};
    std::atomic<qint64> patchMs_{0};
    mutable std::mutex spentLock_;
    QMap<QString, Spent> spent_;
    QTimer *timer_ = nullptr;

    // video capture
    std::shared_ptr<CameraDevice> capture_;

    // download reception (the capture thread writes under recvLock_)
    std::mutex recvLock_;
    std::atomic<int> transState_{0};
    quint32 fileLen_ = 0;
    quint32 startOffset_ = 0;
    quint32 packLen_ = 0;
    quint32 packCount_ = 0;
    quint32 recvSeq_ = 0;
    quint32 doneSeq_ = 0;
    QByteArray recvBuf_;
};

} // namespace pc
} // namespace vexo
