#pragma once

#include "camera/VirtualShell.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

#include <atomic>
#include <mutex>
#include <random>
#include <thread>

namespace vexo {
namespace pc {

class VirtualFileStore;

// The camera side of the upgrade channel of a virtual camera: the updater
// commands on selector 5, shell lines on selector 3, uploads (start and state
// on selector 1, pieces on selector 6), downloads (requests and state on
// selector 4, pieces in the video samples), the transfer utility's magic on
// selector 6, the installed images, the patch applier and the log archive.
// Files live in the camera's file store.
//
// The installed main image is a firmware package as the host downloads it;
// after an upgrade the camera holds exactly the package it was patched to.
//
// Not thread safe on its own: VirtualCamera calls it under its lock, which
// is passed in so that the patch applier's thread can store its result. The
// image a generate request asks for is filled on a thread of its own (the
// download reports "generating" meanwhile); that thread never takes the
// camera lock, its result is picked up on the next access.
class VirtualUpdater final
{
public:
    // What the camera must do after a block was handled.
    enum class Action { None, RebootToMain, RebootToUpgrade, Unplug };

    // Injected faults of the transfers.
    struct Faults
    {
        int sampleLossPct = 0;      // download pieces never sent
        int sampleDamagePct = 0;    // a byte of the piece flipped
        int sampleReorderPct = 0;   // a piece held back behind the next
        int sampleDuplicatePct = 0; // a piece sent twice
        int blockLossPct = 0;       // upload pieces ignored
        QString unplugPhase;        // "upload", "download", "generate", "bspatch": once
        bool bspatchSilent = false; // the applier never reports a verdict
        bool emptyLog = false;      // the packed log archive is empty
        int generateMs = 0;         // filling a generated image takes at least this long (scaled)
        quint32 seed = 1;

        // Comma-separated switches: sample-loss:P, sample-damage:P,
        // sample-reorder:P, sample-duplicate:P, block-loss:P (percent),
        // unplug:PHASE, bspatch-silent, empty-log, generate-time:MS. Unknown
        // switches are left to other parsers; false when a known one is
        // malformed.
        static bool parse(const QString &text, Faults *out);
    };

    // Whether a block written on selector is the updater's (shell lines on
    // 3, the worker's download requests on 4); the rest of 3 and 4 is the
    // picture transfers'.
    bool claims(int selector, const uchar *b, bool inUpgradeSystem) const;

    // Updater commands (byte 0 of a selector-5 block).
    enum Command {
        CmdFormatUbi = 1, CmdEnterUgSys = 2, CmdRenameFw = 3, CmdFreeSource = 4, CmdBspatch = 5,
        CmdResetTransState = 8, CmdPackLog = 9
    };
    enum CommandState { StateIdle = 0, StateRunning = 1, StateDone = 2, StateFailed = 3 };
    // Download states (byte 0 of the selector-4 answer).
    enum DownloadState { DownloadNone = 0, DownloadSending = 1, DownloadFinished = 2, DownloadGenerating = 7 };

    static constexpr const char *MagicMain = "010203.VX";
    static constexpr const char *MagicUpgrade = "010203.VX_upgrade";

    VirtualUpdater(std::mutex &cameraLock, VirtualFileStore &files);
    ~VirtualUpdater();

    // ---- blocks (called under the camera lock) ----
    // inUpgradeSystem: the camera runs its updater; the main system serves
    // the channel only while the transfer utility runs.
    Action write(int selector, const uchar *block, bool inUpgradeSystem);
    void read(int selector, uchar *block, bool inUpgradeSystem);
    // Whether selector 6 belongs to the transfer channel now.
    bool ownsCommandSelector(bool inUpgradeSystem) const;
    // A shell line (from selector 3 or a shell frame).
    Action shell(const QString &line);
    // The camera left (unplug, reboot): transfers end.
    void resetTransfers();

    // ---- video samples (called under the camera lock) ----
    // The next sample to deliver and the pause after it in microseconds.
    QByteArray nextSample(int *pauseUs);
    // Whether the camera is to leave now (an unplug fault of a download).
    bool takePendingUnplug();

    // ---- installed images ----
    void setMainImage(const QByteArray &package);
    QByteArray mainImage() const { return mainImage_; }
    QByteArray updaterImage() const { return updaterImage_; }
    // Version (first part most significant) of the main image, 0 if none.
    quint32 mainVersion() const;
    // Whether a package is an updater package (camera modules 0 and the
    // updater file system only).
    static bool isUpdaterPackage(const QByteArray &package);

    void setFaults(const Faults &faults);
    Faults faults() const { return faults_; }
    bool transferUtilityRunning() const { return tfuRunning_; }
    void setTransferUtilityRunning(bool on) { tfuRunning_ = on; }
    QStringList eventLog() const { return events_; }

private:
    void note(const QString &line);
    Action command(const uchar *b);
    Action uploadStart(const uchar *b);
    Action uploadPiece(const uchar *b);
    void finishUpload();
    Action downloadRequest(const uchar *b);
    // What the camera has installed, as the image generator reads it.
    struct Installed
    {
        QByteArray main;
        QByteArray updater;
        QByteArray updaterPartition;
        QByteArray cameraModule(quint32 id) const;
    };
    Installed installed() const;
    static bool generateImage(const QByteArray &head, quint32 length, const Installed &installed, QByteArray *image,
                              QString *error);
    void startGenerating(const QByteArray &head);
    // Takes over a finished generation (the download can start then).
    void settleGenerating();
    void stopGenerating();
    bool startBspatch(const QString &command);
    QByteArray packLog() const;
    bool chance(int pct);
    bool unplugNow(const char *phase);
    void joinApplier();

    std::mutex &lock_;
    VirtualFileStore &files_;
    Faults faults_;
    std::mt19937 rng_{1};
    VirtualShell shell_;
    QByteArray mainImage_;
    QByteArray updaterImage_;
    bool tfuRunning_ = false;
    QStringList events_;

    // updater command state
    int lastCmd_ = 0;
    int cmdState_ = StateIdle;
    quint32 logSize_ = 0;
    std::thread applier_;
    std::atomic<bool> applierBusy_{false};

    // upload
    int upState_ = 0;        // 0 none, 1 receiving, 2 complete, 3 failed
    int upType_ = 0;
    quint32 upLength_ = 0;
    QString upPath_;
    QHash<quint32, QByteArray> upPieces_;
    quint32 upDone_ = 0;

    // download
    int dlState_ = DownloadNone;
    QString dlPath_;
    QByteArray dlData_;
    quint32 dlExpected_ = 0;
    quint32 dlStart_ = 0;
    quint32 dlPieceLen_ = 0;
    quint32 dlCount_ = 0;
    quint32 dlNext_ = 1;
    QByteArray heldBack_;
    bool pendingUnplug_ = false;

    // image generation (genLock_ guards what the generator hands over)
    std::thread generator_;
    std::atomic<bool> generatorOn_{false};
    std::mutex genLock_;
    bool genDone_ = false;
    bool genOk_ = false;
    QByteArray genImage_;
    QString genError_;
};

} // namespace pc
} // namespace vexo
