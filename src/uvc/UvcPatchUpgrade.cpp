#include "uvc/UvcPatchUpgrade.h"

#include "comm/ByteOrder.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "package/FileCompressor.h"
#include "package/FirmwareManager.h"
#include "package/FirmwarePackage.h"
#include "package/UpgradePkgPatch.h"
#include "platform/CameraPlatform.h"
#include "uvc/ProtocolMsg.h"
#include "uvc/UpgradeFileState.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTimer>

#include <cstring>
#include <optional>

namespace vexo {
namespace pc {

namespace {

constexpr int Block = UvcDevice::XuBlockSize;
constexpr const char *MagicMain = "010203.VX";
constexpr const char *MagicUpgrade = "010203.VX_upgrade";
constexpr const char *RemoteFw = "/app/updater/fw";
constexpr const char *RemoteFwPatch = "/app/updater/fwpt";
constexpr const char *RemoteLog = "/log/vexo_log.tar.gz";
constexpr quint32 OldCameraVersion = 0x01000207;
constexpr quint32 TooOldPackage = 0x01000206;
// Frame command word 0x8001 and the camera command that carries shell lines.
constexpr int CmdTransferUtility = 1;
constexpr int CmdShellLine = 461;
constexpr int ShellLineMax = 46;

// Shell lines that rebuild a file from numbered hexadecimal pieces.
const char *const ShellLines[] = {
    "echo \"echo -n \\$1 > /log/\\$2\" > /log/r",
    "echo -n \"for i in \\$(seq %d); do \" > /log/m1",
    "echo -n \"cat \\$i | while read -n 2 \" > /log/m2",
    "echo -n \"j; do echo -en \\\"\\\\x\\$j\\\"\" > /log/m3",
    "echo -n \" >> %s; done; done\" > /log/m4",
    "cd /log&&mv m1 m&&cat m2>>m&&cat m3>>m",
    "cd /log&&mv m n&&cat m4>>n&&rm m*&&/bin/sh n&",
};

bool isHi3516(const QString &platform)
{
    return platform == QLatin1String("Hi3516DV300") || platform == QLatin1String("Hi3516CV500");
}

QString toolDir()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/..") + QStringLiteral("/ugpatch/");
}

qint64 tick()
{
    static QElapsedTimer clock;
    static std::once_flag once;
    std::call_once(once, [] { clock.start(); });
    return clock.elapsed();
}

} // namespace

QString UvcPatchUpgrade::firmwareDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/firmware") +
           QStringLiteral("/");
}

UvcPatchUpgrade::UvcPatchUpgrade(const QString &sn, UvcTaskType task, QObject *parent, UvcDevices *registry)
    : QThread(parent)
    , sn_(sn)
    , task_(task)
    , registry_(registry ? registry : UvcDevices::instance())
{
    const UvcDevicePtr d = registry_->findDevBySn(sn);
    if (!d) {
        qWarning() << "No matched device: sn =" << sn;
        return;
    }
    d->setDevMode(UvcDevice::DevModeUpgrade);
    dev_ = d;
    firstDev_ = d;
    desc_ = d->getDescription();
    registry_->setUpgradingSerial(sn);
    timer_ = new QTimer(this);
    connect(timer_, &QTimer::timeout, this, &UvcPatchUpgrade::updateProgress);
    connect(this, &UvcPatchUpgrade::enableTimer, this, &UvcPatchUpgrade::onEnableTimer);
}

UvcPatchUpgrade::~UvcPatchUpgrade()
{
    if (timer_) {
        timer_->stop();
        delete timer_;
        timer_ = nullptr;
    }
    if (isRunning()) {
        quit();
        if (!wait(1500)) {
            terminate();
            wait();
        }
    }
    runExited_.load(std::memory_order_acquire);
    stopCapture();
    if (firstDev_) {
        const UvcDevicePtr d = registry_->findDevBySn(sn_);
        if (d)
            d->setDevMode(UvcDevice::DevModeUvc);
        registry_->setUpgradingSerial(QString());
    }
}

UvcDevicePtr UvcPatchUpgrade::dev() const
{
    std::lock_guard<std::mutex> locker(devLock_);
    return dev_;
}

void UvcPatchUpgrade::updateProgress()
{
    emit progressUpdate(progress_.load(), QString());
}

void UvcPatchUpgrade::onEnableTimer(bool enable)
{
    if (!timer_)
        return;
    if (enable)
        timer_->start(TimeScale::ms(1000));
    else
        timer_->stop();
}

auto UvcPatchUpgrade::spending(const char *kind)
{
    const qint64 wall = tick();
    const qint64 slept = TimeScale::sleptOnThisThread();
    return qScopeGuard([this, kind, wall, slept] {
        const qint64 all = tick() - wall;
        std::lock_guard<std::mutex> locker(spentLock_);
        Spent &s = spent_[QString::fromLatin1(kind)];
        s.wallMs += all;
        s.busyMs += all - (TimeScale::sleptOnThisThread() - slept);
    });
}

QMap<QString, UvcPatchUpgrade::Spent> UvcPatchUpgrade::spent() const
{
    std::lock_guard<std::mutex> locker(spentLock_);
    return spent_;
}

bool UvcPatchUpgrade::fail(const char *text, int pauseMs)
{
    qWarning() << text;
    if (pauseMs > 0)
        TimeScale::sleep(pauseMs);
    return false;
}

void UvcPatchUpgrade::run()
{
    runExited_.store(false, std::memory_order_relaxed);
    const auto exitMark = qScopeGuard([this] { runExited_.store(true, std::memory_order_release); });
    qInfo() << "Thread =" << QThread::currentThreadId();
    if (!firstDev_) {
        if (task_ == UvcTaskExtractLog)
            emit progressUpdate(0, QString());
        else
            emit progressUpdate(-3, tr("Upgrade failed, please try again later."));
        return;
    }
    QElapsedTimer took;
    took.start();
    const qint64 sleptBefore = TimeScale::sleptOnThisThread();
    patchMs_.store(0);
    {
        std::lock_guard<std::mutex> locker(spentLock_);
        spent_.clear();
    }
    if (task_ == UvcTaskUpgrade) {
        devUpgrade();
    } else {
        QString out;
        const bool ok = extractLogFromDev(out);
        emit progressUpdate(ok ? 1 : 0, out);
    }
    waitedMs_.store(TimeScale::sleptOnThisThread() - sleptBefore);
    tookMs_.store(took.elapsed());
    qInfo() << "Task took" << tookMs_.load() << "ms, fixed waits" << waitedMs_.load() << "ms";
}

// ---- whole upgrade ----

bool UvcPatchUpgrade::devUpgrade()
{
    bool activated = false;
    for (int i = 0; i < 10 && !activated; ++i) {
        activated = streamActivate();
        if (!activated) {
            qWarning() << "streamActivate failed";
            emit progressUpdate(-2, tr("Warning: Please close any other programs that might use device!"));
            TimeScale::sleep(3000);
        }
    }
    stopCapture();
    if (!activated) {
        if (const UvcDevicePtr d = dev()) {
            d->setDevMode(UvcDevice::DevModeUvc);
            d->initDev();
        }
        emit progressUpdate(-3, tr("Upgrade failed, please try again later."));
        return false;
    }

    emit enableTimer(true);
    setProgress(0);
    const int ret = doUpgrade();
    emit enableTimer(false);
    UvcDevicePtr d = dev();
    if (d) {
        d->setStatusSignalEnabled(false);
        d->setDevMode(UvcDevice::DevModeUvc);
    }
    if (ret == -2) {
        qWarning() << "upgrade package is too old";
        emit progressUpdate(-3, tr("The ugprade package is out of date."));
    } else if (ret != 0) {
        qWarning() << "upgrade failed";
        emit progressUpdate(-3, tr("Upgrade failed, please try again later."));
    } else {
        if (d) {
            const auto booked = spending("device init");
            d->initDev();
        }
        qInfo() << "upgrade successfully!";
        emit progressUpdate(100, tr("Upgrade successfully!"));
        if (d)
            d->setStatusPollCount(-60);
    }
    if (d) {
        d->setStatusSignalEnabled(true);
        if (d != firstDev_) {
            emit registry_->devChanged(firstDev_->getSn().toLatin1(), false);
            firstDev_->close();
            emit registry_->devChanged(d->getSn().toLatin1(), true);
        }
    }
    qInfo() << "Quit Uvc patch upgrade";
    return true;
}

int UvcPatchUpgrade::doUpgrade()
{
    emit progressUpdate(0, tr("Warning:\n1 Do not disconnect the device during upgrade, otherwise the device will crash!\n"
                              "2 Please close all applications that may use the device during the upgrade, "
                              "such as Zoom, Skype, Teams and OBS.\n"));
    UvcDevicePtr d = dev();
    if (!d)
        return -1;

    std::optional<decltype(spending(""))> checks;
    checks.emplace(spending("package checks"));
    FirmwareManager *manager = FirmwareManager::instance();
    if (manager->chosenPackage().isEmpty())
        manager->init(d->getInfo());
    const QString name = manager->findLatestPackage();
    manager->setChosenPackage(QString());
    if (name.isEmpty()) {
        qWarning() << "Cannot find valid firmware";
        return -1;
    }
    const QString dir = manager->firmwareDir();
    const QString pkgPath = dir + name;
    const QString ugPath = dir + QStringLiteral("Ugsys_") + name;
    auto pkg = std::make_unique<FirmwarePackage>(pkgPath);
    if (!pkg->verifyFirmware()) {
        qWarning() << "firmware check " << pkgPath << " failed";
        return -1;
    }
    const qint8 soc = pkg->socVersion();
    if (soc != 0 && soc != d->getSocVer()) {
        qWarning() << "firmware soc version mismatch" << soc << d->getSocVer();
        return -1;
    }
    const QString platform = d->getInfo().value(QStringLiteral("platform")).toString();
    if (isHi3516(platform) && pkg->versionValue() <= TooOldPackage) {
        qWarning() << "Upgrade package is too old";
        return -2;
    }

    std::unique_ptr<FirmwarePackage> ug;
    for (int attempt = 0; attempt < 3 && !ug; ++attempt) {
        if (!QFile::exists(ugPath) && !pkg->generateUgsysFwPackage()) {
            qWarning() << "generateUgsysFwPackage failed";
            return -1;
        }
        auto candidate = std::make_unique<FirmwarePackage>(ugPath, true);
        if (candidate->verifyFirmware()) {
            ug = std::move(candidate);
        } else {
            qWarning() << "firmware check " << ugPath << " failed";
            candidate.reset();
            QFile::remove(ugPath);
        }
    }
    if (!ug) {
        qWarning() << "generateUgsysFwPackage failed";
        return -1;
    }
    checks.reset();
    setProgress(1);
    const int sysType = d->getSysType();
    if (sysType == 0) {
        qWarning() << "Unknown device system type";
        return -1;
    }
    auto dropUpdater = [&ug, &ugPath] {
        ug.reset();
        QFile::remove(ugPath);
    };

    if (sysType == 1) {
        ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, CmdTransferUtility,
                                                            QByteArray(1, '\1'), true);
        f.route = 0xE1;
        if (d->sendMsgAsyncDirectly(f) != UvcDevice::NoError)
            qWarning() << "sendMsgAsyncDirectly failed";
        TimeScale::sleep(100);
    }

    const bool oldCamera = isHi3516(platform) && UvcDevice::versionValue(d->getVersion()) < OldCameraVersion;
    if (oldCamera) {
        if (sysType != 1) {
            qWarning() << "Device is not in DevMainSys";
            return -1;
        }
        const QString ugfs = dir + QStringLiteral("/ugfs.bin");
        const bool ok = ug->extractUpdaterfs(ugfs) && updateUgSysForOldDev(ugfs);
        QFile::remove(ugfs);
        if (!ok) {
            qWarning() << "Update ug_sys failed";
            return -3;
        }
    } else if (sysType == 1) {
        bool asked = false;
        for (int i = 0; i < 3 && !asked; ++i) {
            asked = d->reqDevUpgrade() == 0;
            TimeScale::sleep(100);
        }
        if (!asked) {
            qWarning() << "reqDevUpgrade failed";
            return -1;
        }
        if (!reopenWithDelay(7, 5)) {
            fail("reopenWithDelay failed", 100);
            return -3;
        }
        TimeScale::sleep(1000);
        if (!updateSysForNewDev(ug.get())) {
            qWarning() << "Update upgrade system failed";
            return -3;
        }
    } else if (sysType == 2) {
        if (!reopenWithDelay(2, -1)) {
            fail("reopenWithDelay failed", 100);
            return -3;
        }
    } else {
        // Another system: nothing is transferred.
        setProgress(27);
        dropUpdater();
        setProgress(99);
        pkg.reset();
        QFile::remove(pkgPath);
        return 0;
    }

    setProgress(27);
    dropUpdater();
    qInfo() << "Enter upgrade system, progress:" << progress();
    if (!updateSysForNewDev(pkg.get())) {
        qWarning() << "Update main system failed";
        return -3;
    }
    if (const UvcDevicePtr now = dev())
        now->setSysType(1);
    qInfo() << "Upgrade done, progress:" << progress();
    setProgress(99);
    pkg.reset();
    QFile::remove(pkgPath);
    return 0;
}

// ---- one system by patches ----

bool UvcPatchUpgrade::updateSysForNewDev(FirmwarePackage *pkg)
{
    QElapsedTimer took;
    took.start();
    const bool updater = pkg->isUgsys();
    const QString dir = firmwareDir();
    QDir().mkpath(dir);
    const QString head = dir + QStringLiteral("fwheader.bin");
    const QString headLzma = head + QStringLiteral(".lzma");
    const QString devFw = dir + QStringLiteral("devFw.bin");
    const QString patch = dir + QStringLiteral("patch.bin");
    const quint32 size = pkg->totalSize();

    QList<quint32> splits;
    std::optional<decltype(spending(""))> heads;
    heads.emplace(spending("patch heads"));
    if (!pkg->generateFwPatchHead(head, splits))
        return fail("generate patch file header failed");
    const bool compressed = fileCompress(head, headLzma);
    QFile::remove(head);
    if (!compressed)
        return fail("compress failed");
    heads.reset();
    const bool headSent = fileUploadByUvc(headLzma, QString::fromLatin1(RemoteFw), true, 0);
    QFile::remove(headLzma);
    if (!headSent)
        return fail("fileUploadByUvc failed");
    if (!fileDownloadByUvc(QString::fromLatin1(RemoteFw), devFw, size, true))
        return fail("download fwpkg failed");
    const bool listed = bspatchListGenerate(devFw, pkg->path(), patch, splits, updater ? 2 : 10);
    QFile::remove(devFw);
    if (!listed)
        return fail("generate bsdiff patch list failed");
    qInfo() << "bsdiff successfully";
    const qint64 patchSize = QFileInfo(patch).size();
    if (patchSize > size / 2)
        qWarning() << "How can be fw bs patch so large " << patchSize;
    qInfo() << "firmware package bspatch size" << patchSize;
    const bool patchSent = fileUploadByUvc(patch, QString::fromLatin1(RemoteFwPatch), false, updater ? 8 : 28);
    QFile::remove(patch);
    if (!patchSent)
        return fail("fileUploadByUvc failed");
    TimeScale::sleep(300);

    const QByteArray paths = QByteArray(RemoteFw) + '#' + RemoteFw + '#' + RemoteFwPatch + '#';
    if (!upCmd(UG_UVC_UP_CMD_BSPATCH, paths))
        return fail("UG_UVC_UP_CMD_BSPATCH failed");
    TimeScale::sleep(100);
    UvcDevicePtr d = dev();
    unsigned char state[Block] = {};
    if (!d || !d->ugUpCmdState(state))
        return fail("get bspatch state failed");
    if (state[0] != UG_UVC_UP_CMD_BSPATCH) {
        qWarning() << "invalid bspatch state data[0] " << state[0];
        return false;
    }
    qInfo() << "start bspatch fw successfully";
    for (int i = 0; i < 60; ++i) {
        std::memset(state, 0, sizeof state);
        if (!d->ugUpCmdState(state))
            return fail("get bspatch state failed");
        if (state[0] != UG_UVC_UP_CMD_BSPATCH) {
            qWarning() << "invalid bspatch state data[0] " << state[0];
            return false;
        }
        if (state[1] == 2) {
            qInfo() << "bspatch fw successfully";
            break;
        }
        if (state[1] == 3)
            return fail("bspatch state failed");
        if (state[1] == 0)
            return fail("bspatch state idle");
        TimeScale::sleep(1000);
    }
    qInfo() << "bspatch fw end successfully";
    addProgress();
    TimeScale::sleep(300);

    if (!upCmd(UG_UVC_UP_CMD_FREE_SOURCE))
        return fail("UG_UVC_UP_CMD_FREE_SOURCE failed");
    TimeScale::sleep(300);
    syscall(QStringLiteral("rm -f /app/updater/fwpt &"));
    TimeScale::sleep(300);
    syscall(QStringLiteral("echo 3 > /proc/sys/vm/drop_caches; free &"));

    QByteArray rename(5, '\0');
    rename[0] = char(pkg->releaseState());
    const QByteArray &h = pkg->header();
    rename[1] = h.at(51);
    rename[2] = h.at(50);
    rename[3] = h.at(49);
    rename[4] = h.at(48);
    rename += QByteArray("/app/updater/fw ");
    if (!upCmd(UG_UVC_UP_CMD_RENAME_FW, rename))
        return fail("UG_UVC_UP_CMD_RENAME_FW failed");
    qInfo() << "upgrade take" << took.elapsed();

    bool left = false;
    for (int i = 0; i < 60 && !left; ++i) {
        TimeScale::sleep(updater ? 2000 : 3000);
        if (progress() < (updater ? 21 : 90))
            addProgress();
        const QString m = magic();
        left = m != QLatin1String(MagicUpgrade) && m != QLatin1String(MagicMain);
    }
    if (!left) {
        qWarning() << "timeout upgrade take";
        return fail("upgrade timeout");
    }
    setProgress(updater ? 21 : 90);
    if (!reopenWithDelay(18, updater ? 6 : 8))
        return fail("reopenWithDelay failed");
    return true;
}

// ---- old cameras: a new updater through shell lines ----

bool UvcPatchUpgrade::updateUgSysForOldDev(const QString &ugfsPath)
{
    QElapsedTimer took;
    took.start();
    UvcDevicePtr d = dev();
    if (!d)
        return false;
    qInfo() << "platform type:" << d->getInfo().value(QStringLiteral("platform")).toString();
    const QString tfu = toolDir() + QStringLiteral("rmtfu.lzma");
    if (!fileUploadSyscallV0(tfu, QStringLiteral("/log/tf"))) {
        qWarning() << "fileUploadSyscallV0" << tfu << "failed";
        return false;
    }
    qInfo() << "fileUploadSyscallV0 done";
    for (int i = 0; i < 4; ++i) {
        TimeScale::sleep(3750);
        addProgress();
    }
    const char *const start[] = {"cd /log&&mv tf tfx.lzma&&lzma -d tfx.lzma", "cd /log&&mv tfx tfu&&chmod +x tfu&",
                                 "cd /log&&mv tfu t&&sleep 2&& ./t&"};
    for (const char *line : start) {
        if (!shellFrame(QString::fromLatin1(line)))
            return fail("sendMsgAsyncDirectly failed", 1000);
        TimeScale::sleep(1000);
    }
    addProgress();
    if (!reopenWithDelay(4, 1))
        return fail("reopenWithDelay failed");
    bool running = false;
    for (int i = 0; i < 3 && !running; ++i) {
        running = magic() == QLatin1String(MagicMain);
        if (!running) {
            qWarning() << (i < 2 ? "run tfu failed, will try again" : "run tfu failed, will quit");
            if (i < 2)
                TimeScale::sleep(2000);
        }
    }
    if (!running)
        return false;
    addProgress();

    if (!fileUploadByUvc(toolDir() + QStringLiteral("bspatch.lzma"), QStringLiteral("/app/updater/bspatch.lzma"),
                         false, 0))
        return fail("fileUploadByUvc failed");
    if (!syscall(QStringLiteral("lzma -d /app/updater/bspatch.lzma &")))
        return false;
    QFile image(ugfsPath);
    if (!image.open(QIODevice::ReadOnly))
        return fail("open file failed");
    const qint64 length = image.size();
    image.close();
    if (!syscall(QString::asprintf("dd if=/dev/mtd6 of=/app/updater/ug bs=2k count=%d &", int(length / 2048))))
        return false;
    TimeScale::sleep(3000);
    addProgress();
    const QString dir = firmwareDir();
    const QString ugBin = dir + QStringLiteral("/ug.bin");
    const QString patch = dir + QStringLiteral("/patch.bin");
    if (!fileDownloadByUvc(QStringLiteral("/app/updater/ug"), ugBin, quint32(length), false))
        return fail("download failed");
    QElapsedTimer diffTime;
    diffTime.start();
    int diffed = -1;
    {
        const auto booked = spending("patches");
        diffed = UpgradePkgPatch::generatePatchFile(ugBin, ugfsPath, patch);
    }
    patchMs_.fetch_add(diffTime.elapsed());
    QFile::remove(ugBin);
    if (diffed != 0)
        return fail("bsdiff failed");
    addProgress();
    const bool sent = fileUploadByUvc(patch, QStringLiteral("/log/ugpt"), false, 3);
    QFile::remove(patch);
    if (!sent)
        return fail("fileUploadByUvc failed");

    if (!upCmd(UG_UVC_UP_CMD_FREE_SOURCE))
        return fail("UG_UVC_UP_CMD_FREE_SOURCE failed");
    if (!syscall(QStringLiteral("free; echo 3 > /proc/sys/vm/drop_caches; free &"))
        || !syscall(QStringLiteral("chmod +x /app/updater/bspatch")))
        return false;
    TimeScale::sleep(10);
    if (!syscall(QStringLiteral("cd /app/updater&&./bspatch ug ug /log/ugpt &")))
        return false;
    for (int i = 0; i < 2; ++i) {
        TimeScale::sleep(5000);
        addProgress();
    }
    QByteArray format(1, '\6');
    format += QByteArray("/app/updater/ug");
    if (!upCmd(UG_UVC_UP_CMD_FORMAT_UBI, format))
        return fail("ubi format failed");
    qInfo() << "format updater.ubi successfully";
    TimeScale::sleep(3000);
    addProgress();
    if (!upCmd(UG_UVC_UP_CMD_ENTER_UG_SYS))
        return fail("ubi format failed");
    TimeScale::sleep(2000);
    addProgress();
    if (!reopenWithDelay(16, 4))
        return fail("reopenWithDelay failed");
    if (magic() != QLatin1String(MagicUpgrade))
        return fail("run upgrade tfu failed", 1000);
    qInfo() << "enter upgrade take" << took.elapsed() << "ms";
    return true;
}

// ---- reopening after a restart ----

bool UvcPatchUpgrade::reopenWithDelay(int seconds, int steps)
{
    const auto booked = spending("reopening");
    UvcDevicePtr d = dev();
    if (!d)
        return fail("device cannot be null");
    d->setPresent(false);
    d->close();
    qInfo() << "Close device and sleep" << seconds << "seconds";
    const int total = seconds * 1000;
    if (steps - 1 > 0) {
        const int slice = (total + steps - 2) / (steps - 1);
        for (int left = total; left > 0; left -= slice) {
            TimeScale::sleep(qMin(slice, left));
            addProgress();
        }
    } else {
        for (int left = total; left > 0; left -= 1000)
            TimeScale::sleep(qMin(1000, left));
    }
    qInfo() << "Sleep done and try to reopen device";
    UvcDevicePtr found = registry_->findDevBySn(sn_);
    if (!found)
        found = d;
    bool opened = found->open() == 0;
    for (int i = 0; i < 5 && !opened; ++i) {
        qWarning() << "Open failed and retry";
        TimeScale::sleep(2 * 1000);
        UvcDevicePtr again = registry_->findDevBySn(sn_);
        if (again)
            found = again;
        opened = found->open() == 0;
    }
    {
        std::lock_guard<std::mutex> locker(devLock_);
        dev_ = found;
    }
    found->setDevMode(UvcDevice::DevModeUpgrade);
    desc_ = found->getDescription();
    TimeScale::sleep(1250);
    found->setPresent(true);
    if (!opened)
        return fail("Open device failed", 100);
    if (steps >= 1)
        addProgress();
    return true;
}

// ---- device helpers ----

bool UvcPatchUpgrade::upCmd(int id, const QByteArray &args)
{
    const UvcDevicePtr d = dev();
    unsigned char block[Block] = {};
    block[0] = quint8(id);
    std::memcpy(block + 1, args.constData(), size_t(qMin(args.size(), Block - 2)));
    return d && d->ugUpCmd(block);
}

bool UvcPatchUpgrade::syscall(const QString &line)
{
    const UvcDevicePtr d = dev();
    unsigned char block[Block] = {};
    const QByteArray text = line.toLatin1().left(Block - 1);
    std::memcpy(block, text.constData(), size_t(text.size()));
    if (!d || !d->ugSyscall(block)) {
        qWarning() << "ugSyscall failed:" << line;
        return false;
    }
    return true;
}

bool UvcPatchUpgrade::shellFrame(const QString &line)
{
    const UvcDevicePtr d = dev();
    // A frame of 60 bytes: 12 header bytes and 48 payload bytes.
    QByteArray payload(Block - 12, '\0');
    payload[0] = 20;
    const QByteArray text = line.toLatin1().left(ShellLineMax);
    payload.replace(1, text.size(), text);
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, CmdShellLine, payload, true);
    f.route = 0xE1;
    f.flags = 0x12;
    return d && d->sendMsgAsyncDirectly(f) == UvcDevice::NoError;
}

QString UvcPatchUpgrade::magic()
{
    const UvcDevicePtr d = dev();
    unsigned char block[Block + 1] = {};
    if (!d || !d->transFileMagicGet(block))
        return QString();
    return QString::fromLatin1(reinterpret_cast<const char *>(block));
}

bool UvcPatchUpgrade::fileCompress(const QString &srcPath, const QString &dstPath)
{
    bool writeFailed = false;
    const bool ok = FileCompressor::fileCompress(srcPath, dstPath, &writeFailed);
    if (writeFailed)
        transState_.store(3);
    return ok;
}

bool UvcPatchUpgrade::bspatchListGenerate(const QString &oldPath, const QString &newPath, const QString &outPath,
                                          const QList<quint32> &splitOffsets, int steps)
{
    QElapsedTimer t;
    t.start();
    const auto booked = spending("patches");
    const bool ok = UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, outPath, splitOffsets, steps,
                                                         [this] { addProgress(); });
    patchMs_.fetch_add(t.elapsed());
    return ok;
}

// ---- video ----

void UvcPatchUpgrade::stopCapture()
{
    if (capture_) {
        capture_->stopCapture();
        capture_.reset();
    }
}

bool UvcPatchUpgrade::streamActivate()
{
    stopCapture();
    CameraPlatform *platform = registry_->platform();
    capture_ = platform ? platform->open(desc_.devicePath) : nullptr;
    if (!capture_) {
        qWarning() << "device.SetVideoConfig failed" << desc_.friendlyName << desc_.devicePath;
        qWarning() << " Video configuration failed";
        qWarning() << "dshowActivate failed";
        return false;
    }
    CameraDevice::CaptureFormat format; // 1280 x 720 MJPEG, 30 frames per second
    if (!capture_->startCapture(format, [this](const uchar *data, int size, qint64) {
            dshowOnVideoData(data, quint64(size));
        })) {
        qWarning() << "start video failed, error" << capture_->lastError();
        qWarning() << "dshowActivate failed";
        capture_.reset();
        return false;
    }
    return true;
}

void UvcPatchUpgrade::dshowOnVideoData(const uchar *data, quint64 size)
{
    if (size < 13) {
        qWarning() << "Received size is less than" << 12;
        return;
    }
    std::lock_guard<std::mutex> locker(recvLock_);
    if (transState_.load() != 1)
        return; // not trans state
    const quint32 seq = le32(data);
    const quint32 len = le32(data + 8);
    if (seq == 0 || seq > packCount_) {
        qWarning() << "Invalid seq" << seq;
        return;
    }
    if (seq <= doneSeq_) {
        qDebug() << "Repeated pack seq" << seq;
        return;
    }
    const quint32 lastLen = fileLen_ - (packCount_ - 1) * packLen_;
    if (len != (seq == packCount_ ? lastLen : packLen_)) {
        qWarning() << "Invalid seq =" << seq << ", pack_len =" << len;
        return;
    }
    if (size != quint64(len) + 12) {
        qWarning() << "size " << size << "!= " << len + 12;
        return;
    }
    QByteArray copy(reinterpret_cast<const char *>(data), int(size));
    const quint32 crc = le32(data + 4);
    setLe32(copy, 4, 0);
    const quint32 computed = Util::crc32(copy.constData(), copy.size());
    if (crc != computed) {
        qWarning() << "Invalid crc:" << crc << computed << "in seq" << seq;
        return;
    }
    std::memcpy(recvBuf_.data() + qint64(seq - 1) * (packLen_ + 12), data, size_t(size));
    if (seq > recvSeq_) {
        recvSeq_ = seq;
        qDebug() << "trans_file_recv_seq =" << seq;
    }
}

// ---- download ----

bool UvcPatchUpgrade::fileDownloadByUvc(const QString &remotePath, const QString &localPath, quint32 expectedLength,
                                        bool generate)
{
    const auto booked = spending("downloads");
    stopCapture();
    UvcDevicePtr d = dev();
    if (!d)
        return false;
    const QByteArray path = remotePath.toLatin1();
    auto request = [&](quint8 code, quint32 start) {
        unsigned char b[Block] = {};
        b[0] = code;
        setLe32(b + 1, start);
        setLe32(b + 5, expectedLength);
        setLe32(b + 9, DownloadPieceLength);
        std::memcpy(b + 13, path.constData(), size_t(qMin(path.size(), 46)));
        return d->fileDownloadReq(b);
    };
    if (!request(generate ? 5 : 0, 0))
        return fail("fileDownloadReq failed for start request");
    qInfo() << "start download:" << remotePath << expectedLength << generate;
    TimeScale::sleep(500);

    UpgradeFileDownloadState st;
    if (!d->fileDownloadStateGet(&st))
        return fail("fileDownloadStateGet failed");
    if (st.state() != 1 && st.state() != 7) {
        qWarning() << "Invalid state: " << st.state();
        return false;
    }
    if (expectedLength != 0 && st.fileLength() != expectedLength) {
        qWarning() << "Invalid state file_len" << st.fileLength() << ", expect" << expectedLength;
        return false;
    }
    if (st.start() != 0)
        return fail("Invalid state offset");
    if (st.pieceLength() != DownloadPieceLength)
        return fail("Invalid state pack_len");
    if (st.path() != path) {
        qWarning() << "Invalid state file_name:" << st.path();
        return false;
    }
    for (int i = 0; st.state() == 7; ++i) {
        if (i >= 60)
            return fail("wait fw generate timeout");
        TimeScale::sleep(500);
        if (!d->fileDownloadStateGet(&st))
            return fail("fileDownloadStateGet failed");
        if (st.state() != 1 && st.state() != 7)
            return fail("Invalid file download state");
    }
    addProgress();
    {
        std::lock_guard<std::mutex> locker(recvLock_);
        fileLen_ = st.fileLength();
        startOffset_ = st.start();
        packLen_ = st.pieceLength();
        packCount_ = (fileLen_ + packLen_ - 1) / packLen_;
        recvSeq_ = 0;
        doneSeq_ = 0;
        recvBuf_ = QByteArray(qint64(packCount_) * (packLen_ + 12) > 0 ? int(packCount_ * (packLen_ + 12)) : 0, '\0');
        transState_.store(st.state());
    }
    qInfo() << "start successfully, state" << st.state();
    if (!streamActivate()) {
        transState_.store(0);
        return fail("streamActivate failed");
    }

    QElapsedTimer clock;
    clock.start();
    bool forced = false;
    const int forceMs = TimeScale::ms(18000);
    const int timeoutMs = TimeScale::ms(30000);
    auto stopWith = [this](const char *text) {
        stopCapture();
        transState_.store(0);
        return fail(text);
    };
    while (true) {
        TimeScale::sleep(50);
        quint32 before = 0;
        quint32 done = 0;
        quint32 highest = 0;
        {
            std::lock_guard<std::mutex> locker(recvLock_);
            before = doneSeq_;
            while (doneSeq_ < packCount_) {
                const quint32 n = le32(recvBuf_, int(doneSeq_ * (packLen_ + 12)));
                if (n == 0)
                    break;
                if (n != doneSeq_ + 1) {
                    qWarning() << "Invalid i =" << doneSeq_ << ", seq =" << n;
                    break;
                }
                ++doneSeq_;
                if (doneSeq_ % 10 == 0)
                    qDebug() << "done_seq =" << doneSeq_;
            }
            done = doneSeq_;
            highest = recvSeq_;
        }
        if (done == packCount_)
            break;
        if (highest == packCount_) {
            qInfo() << "Require restart" << done + 1;
            if (!request(3, done + 1))
                return stopWith("fileDownloadReq failed");
            // The camera sends again from there to the end.
            std::lock_guard<std::mutex> locker(recvLock_);
            recvSeq_ = doneSeq_;
        }
        if (done != before) {
            if (!d->fileDownloadStateGet(&st))
                return stopWith("fileDownloadStateGet failed");
            if (st.state() != 1)
                return stopWith("Invalid file download state");
        }
        if (!forced && clock.elapsed() > forceMs) {
            forced = true;
            std::lock_guard<std::mutex> locker(recvLock_);
            recvSeq_ = packCount_;
        }
        if (clock.elapsed() > timeoutMs)
            return stopWith("Unexpected timeout");
    }

    stopCapture();
    transState_.store(0);
    addProgress();
    if (!request(2, 0))
        return fail("fileDownloadReq failed");
    do {
        if (!d->fileDownloadStateGet(&st))
            return fail("req filedownload state failed");
        if (st.state() == 1)
            TimeScale::sleep(30);
    } while (st.state() == 1);
    if (st.state() != 2) {
        qWarning("Invalid filedownload state %d", st.state());
        return false;
    }
    QFile out(localPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning() << "open file failed" << localPath << out.errorString();
        transState_.store(3);
        return false;
    }
    for (quint32 i = 0; i < packCount_; ++i) {
        const char *slot = recvBuf_.constData() + qint64(i) * (packLen_ + 12);
        const quint32 len = le32(reinterpret_cast<const uchar *>(slot) + 8);
        if (out.write(slot + 12, len) != qint64(len)) {
            qWarning() << "write file failed: i =" << i << ", len =" << len;
            transState_.store(3);
            return false;
        }
    }
    out.close();
    recvBuf_.clear();
    qInfo() << "download " << remotePath << "successfully";
    qInfo() << "save to " << localPath;
    return true;
}

// ---- upload with the transfer protocol ----

bool UvcPatchUpgrade::fileUploadByUvc(const QString &localPath, const QString &remotePath, bool compressed,
                                      int steps)
{
    const auto booked = spending("uploads");
    const qint64 begin = tick();
    qInfo() << "start tick: " << begin;
    QFile f(localPath);
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) {
        qWarning() << localPath << f.errorString();
        return false;
    }
    const QByteArray data = f.readAll();
    f.close();
    UvcDevicePtr d = dev();
    if (!d)
        return false;
    if (!upCmd(UG_UVC_UP_CMD_RESET_TRANS_STATE))
        return fail("UG_UVC_UP_CMD_RESET_TRANS_STATE failed");
    unsigned char start[Block] = {};
    start[0] = compressed ? 4 : 0;
    setLe32(start + 1, quint32(data.size()));
    setLe16(start + 5, UploadPieceLength);
    const QByteArray rp = remotePath.toLatin1().left(51);
    std::memcpy(start + 7, rp.constData(), size_t(rp.size()));
    const quint32 count = quint32((data.size() + UploadPieceLength - 1) / UploadPieceLength);
    qInfo() << "send file len =" << data.size() << "pack_cnt =" << count;
    if (!d->transFileStart(start)) {
        qWarning() << "transFileStart failed" << remotePath;
        return false;
    }
    TimeScale::sleep(10);

    const quint32 perStep = steps > 0 ? qMax<quint32>(1, count / quint32(steps)) : 0;
    auto sendPiece = [&](quint32 seq) {
        unsigned char b[Block] = {};
        const int off = int((seq - 1) * UploadPieceLength);
        const int n = qMin(UploadPieceLength, data.size() - off);
        setLe32(b, seq);
        setLe16(b + 6, quint16(n));
        std::memcpy(b + 8, data.constData() + off, size_t(n));
        setLe16(b + 4, Util::crc16(b, 8 + n));
        return d->transFileTrans(b) == 0;
    };
    int errors = 0;
    bool complete = false;
    quint32 lastDone = 0;
    int stepsDone = 0;
    for (quint32 seq = 1; seq <= count; ++seq) {
        if (seq % 1000 == 0 && !complete) {
            UpgradeFileUpState st;
            if (d->transFileTransStateGet(&st) != 0) {
                ++errors;
            } else {
                if (st.state() != 1 && st.state() != 2) {
                    qWarning() << "invalid transfer state:" << st.state();
                    return false;
                }
                if (st.fileLength() != quint32(data.size())) {
                    qWarning() << "invalid file_len " << st.fileLength();
                    return false;
                }
                if (st.doneSeq() == lastDone)
                    qWarning() << "done_seq not increase " << lastDone;
                lastDone = st.doneSeq();
                complete = st.state() == 2;
            }
            TimeScale::sleep(20);
        }
        if (!sendPiece(seq)) {
            ++errors;
            qWarning() << "transFileTrans failed";
        }
        if (errors > 20)
            return fail("Too many data transmission errors");
        if (seq % 10000 == 0)
            qInfo() << "send len " << qMin<qint64>(qint64(seq) * UploadPieceLength, data.size());
        if (perStep && seq % perStep == 0 && stepsDone < steps) {
            ++stepsDone;
            addProgress();
        }
    }
    qInfo() << "send finished";

    errors = 0;
    lastDone = quint32(-1);
    qint64 lastMove = tick();
    const qint64 deadline = tick() + TimeScale::ms(100000);
    while (true) {
        UpgradeFileUpState st;
        if (d->transFileTransStateGet(&st) != 0) {
            ++errors;
        } else {
            if (st.state() == 2)
                break;
            if (st.state() != 1) {
                qWarning() << "invalid transfer state: " << st.state();
                return false;
            }
            if (st.doneSeq() != lastDone) {
                lastDone = st.doneSeq();
                lastMove = tick();
            } else if (tick() - lastMove > 10 && st.doneSeq() < count) {
                qInfo() << "need resend seq " << st.doneSeq() + 1;
                if (!sendPiece(st.doneSeq() + 1))
                    ++errors;
                lastMove = tick();
            }
        }
        if (errors > 10)
            return fail("Too many data transmission errors");
        if (tick() > deadline)
            return fail("Timeout for upload file");
        TimeScale::sleep(10);
    }
    qInfo() << "transfer check finished";
    qInfo() << "upload" << localPath << "end tick: " << tick() << " duration: " << tick() - begin;
    return true;
}

// ---- upload through shell frames ----

int UvcPatchUpgrade::shellPieceCapacity(int piece)
{
    const int fixed = int(std::strlen("/log/r ")) + 1 + QByteArray::number(piece).size();
    return (ShellLineMax - fixed) / 2;
}

QByteArray UvcPatchUpgrade::shellPieceLine(const QByteArray &bytes, int piece)
{
    return QByteArray("/log/r ") + bytes.toHex() + ' ' + QByteArray::number(piece);
}

bool UvcPatchUpgrade::fileUploadSyscallV0(const QString &localPath, const QString &remotePath)
{
    QFile f(localPath);
    if (!f.exists() || !f.open(QIODevice::ReadOnly)) {
        qWarning() << "open file failed" << localPath << f.errorString();
        return false;
    }
    const QByteArray data = f.readAll();
    f.close();
    qInfo() << "send file len =" << data.size();
    QElapsedTimer took;
    took.start();
    if (!shellFrame(QString::fromLatin1(ShellLines[0])))
        return fail("sendMsgAsyncDirectly failed");
    TimeScale::sleep(100);
    if (!shellFrame(QStringLiteral("chmod +x /log/r")))
        return fail("sendMsgAsyncDirectly failed");
    qInfo() << "Start to upload file:" << localPath;
    int piece = 0;
    int sent = 0;
    while (sent < data.size()) {
        ++piece;
        const int k = qMin(shellPieceCapacity(piece), data.size() - sent);
        const QByteArray line = shellPieceLine(data.mid(sent, k), piece);
        TimeScale::sleep(20);
        if (!shellFrame(QString::fromLatin1(line)))
            return fail("sendMsgAsyncDirectly failed");
        sent += k;
        if (piece % 100 == 0) {
            addProgress();
            qInfo() << "send len =" << sent;
            TimeScale::sleep(500);
        }
    }
    qInfo() << "send finished";
    qInfo() << "send len =" << sent;
    qInfo() << "Upload end, time spent:" << took.elapsed();
    for (int i = 0; i < 2; ++i) {
        TimeScale::sleep(2500);
        addProgress();
    }
    qInfo() << "Start to trans join shell and join all seq string";
    if (transFileJoinSeqString(piece, remotePath) != 0)
        return fail("trans join shell and join all seq string failed");
    return true;
}

int UvcPatchUpgrade::transFileJoinSeqString(int pieceCount, const QString &remotePath)
{
    for (int i = 1; i < 7; ++i) {
        QString line = QString::fromLatin1(ShellLines[i]);
        line.replace(QStringLiteral("%d"), QString::number(pieceCount));
        line.replace(QStringLiteral("%s"), remotePath);
        qInfo() << line;
        if (!shellFrame(line)) {
            qWarning() << "sendMsgAsyncDirectly failed";
            return -1;
        }
        TimeScale::sleep(100);
    }
    return 0;
}

// ---- log export ----

bool UvcPatchUpgrade::extractLogFromDev(QString &out)
{
    out.clear();
    auto leave = [this](bool ok) {
        if (const UvcDevicePtr d = dev())
            d->setDevMode(UvcDevice::DevModeUvc);
        return ok;
    };
    if (!streamActivate()) {
        qWarning() << "streamActivate failed";
        stopCapture();
        out = tr("Warning: Please close any other programs that might use device!");
        return leave(false);
    }
    stopCapture();
    UvcDevicePtr d = dev();
    if (!d)
        return leave(false);
    if (d->getSysType() == 1) {
        d->cameraPrepareLog();
        TimeScale::sleep(1000);
        d->reqDevUpgrade();
        if (!reopenWithDelay(7, -1)) {
            fail("reopenWithDelay failed", 100);
            return leave(false);
        }
        d = dev();
    }
    if (!upCmd(UG_UVC_UP_CMD_PACK_LOG)) {
        fail("UG_UVC_UP_CMD_PACK_LOG failed");
        return leave(false);
    }
    TimeScale::sleep(2000);
    unsigned char state[Block] = {};
    if (!d->ugUpCmdState(state)) {
        fail("get UG_UVC_UP_CMD_PACK_LOG state failed");
        return leave(false);
    }
    if (state[0] != UG_UVC_UP_CMD_PACK_LOG) {
        qWarning() << "invalid UG_UVC_UP_CMD_PACK_LOG state data[0] " << state[0];
        return leave(false);
    }
    const quint32 size = le32(state + 1);
    if (size == 0) {
        fail("Get log file size failed");
        return leave(false);
    }
    const QString logDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log/");
    QDir().mkpath(logDir);
    const QString local = logDir + QStringLiteral("%1vexo_log_%2.tar.gz")
                                       .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss_")),
                                            sn_);
    if (!fileDownloadByUvc(QString::fromLatin1(RemoteLog), local, size, false)) {
        fail("download failed");
        return leave(false);
    }
    if (!syscall(QStringLiteral("reboot")))
        return leave(false);
    reopenWithDelay(12, -1);
    d = dev();
    d->setDevMode(UvcDevice::DevModeUvc);
    d->initDev();
    out = local;
    return leave(true);
}

} // namespace pc
} // namespace vexo
