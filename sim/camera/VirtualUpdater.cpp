#include "camera/VirtualUpdater.h"

#include "camera/BsPatchApplier.h"
#include "camera/SimulatedFaults.h"
#include "camera/VirtualFileStore.h"
#include "comm/ByteOrder.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"

#include <QDateTime>
#include <QElapsedTimer>

#include <chrono>
#include <cstring>
#include <lzma.h>
#include <zlib.h>

namespace vexo {
namespace pc {

namespace {

constexpr int Block = 60;
constexpr quint32 PackageMagic = 0xAB20EC98;
constexpr quint32 UploadPieceLength = 52;
constexpr int PiecePauseUs = 1000;
constexpr int FramePauseUs = 33333;

QString cString(const uchar *p, int max)
{
    int n = 0;
    while (n < max && p[n])
        ++n;
    return QString::fromLatin1(reinterpret_cast<const char *>(p), n);
}

bool validPackage(const QByteArray &p)
{
    return p.size() >= 256 && le32(p, 0) == PackageMagic && le32(p, 8) == quint32(p.size());
}

// Offset and length of a device module's data, or false.
bool findModule(const QByteArray &p, quint32 id, quint32 *offset, quint32 *length)
{
    if (!validPackage(p))
        return false;
    const quint32 count = le32(p, 12);
    for (quint32 i = 0; i < count && 256 * (i + 2) <= quint32(p.size()); ++i) {
        const int h = int(256 * (i + 1));
        if (le32(p, h) == id) {
            *offset = le32(p, h + 8);
            *length = le32(p, h + 4);
            return qint64(*offset) + *length <= p.size();
        }
    }
    return false;
}

// The camera module ids of a package's camera package, in order.
QList<quint32> cameraModuleIds(const QByteArray &p)
{
    QList<quint32> ids;
    quint32 off = 0, len = 0;
    if (!findModule(p, 1, &off, &len) || len < 256)
        return ids;
    const quint32 count = le32(p, int(off) + 12);
    for (quint32 j = 0; j < count && 256 * (j + 2) <= len; ++j)
        ids.append(le32(p, int(off + 256 * (j + 1))));
    return ids;
}

QByteArray cameraModule(const QByteArray &p, quint32 id)
{
    quint32 off = 0, len = 0;
    if (!findModule(p, 1, &off, &len) || len < 256)
        return QByteArray();
    const quint32 count = le32(p, int(off) + 12);
    for (quint32 j = 0; j < count && 256 * (j + 2) <= len; ++j) {
        const int h = int(off + 256 * (j + 1));
        if (le32(p, h) == id) {
            const quint32 mOff = le32(p, h + 8);
            const quint32 mLen = le32(p, h + 4);
            if (qint64(mOff) + mLen <= len)
                return p.mid(int(off + mOff), int(mLen));
        }
    }
    return QByteArray();
}

// "lzma", property byte, size, raw LZMA2 stream.
bool decodeContainer(const QByteArray &in, QByteArray *out)
{
    if (in.size() < 9 || in.left(4) != "lzma")
        return false;
    const quint32 size = le32(in, 5);
    lzma_options_lzma opt;
    std::memset(&opt, 0, sizeof opt);
    lzma_filter filters[2];
    filters[0].id = LZMA_FILTER_LZMA2;
    filters[0].options = nullptr;
    filters[1].id = LZMA_VLI_UNKNOWN;
    const uint8_t prop = uint8_t(in.at(4));
    if (lzma_properties_decode(&filters[0], nullptr, &prop, 1) != LZMA_OK)
        return false;
    out->resize(int(size));
    size_t inPos = 0;
    size_t outPos = 0;
    const lzma_ret r = lzma_raw_buffer_decode(filters, nullptr, reinterpret_cast<const uint8_t *>(in.constData()) + 9,
                                              &inPos, size_t(in.size() - 9), reinterpret_cast<uint8_t *>(out->data()),
                                              &outPos, size_t(size));
    free(filters[0].options);
    return r == LZMA_OK && outPos == size;
}

// One ustar member.
void tarMember(QByteArray &tar, const QString &name, const QByteArray &data)
{
    QByteArray h(512, '\0');
    const QByteArray n = name.toLatin1().left(99);
    h.replace(0, n.size(), n);
    auto octal = [&h](int off, int width, qint64 v) {
        const QByteArray t = QByteArray::number(v, 8).rightJustified(width - 1, '0');
        h.replace(off, t.size(), t);
    };
    octal(100, 8, 0644);
    octal(108, 8, 0);
    octal(116, 8, 0);
    octal(124, 12, data.size());
    octal(136, 12, QDateTime::currentSecsSinceEpoch());
    h[156] = '0';
    h.replace(257, 6, QByteArray("ustar\0", 6));
    h.replace(263, 2, "00");
    h.replace(148, 8, QByteArray(8, ' '));
    int sum = 0;
    for (char c : qAsConst(h))
        sum += quint8(c);
    const QByteArray s = QByteArray::number(sum, 8).rightJustified(6, '0') + QByteArray("\0 ", 2);
    h.replace(148, 8, s);
    tar += h;
    tar += data;
    tar += QByteArray((512 - data.size() % 512) % 512, '\0');
}

QByteArray gzip(const QByteArray &data)
{
    z_stream z;
    std::memset(&z, 0, sizeof z);
    if (deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return QByteArray();
    QByteArray out(int(deflateBound(&z, uLong(data.size()))) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(int(z.total_out));
    deflateEnd(&z);
    return out;
}

} // namespace

bool VirtualUpdater::Faults::parse(const QString &text, Faults *out)
{
    const SimulatedFaults faults(text);
    const std::pair<const char *, int Faults::*> percents[] = {
        {"sample-loss", &Faults::sampleLossPct},
        {"sample-damage", &Faults::sampleDamagePct},
        {"sample-reorder", &Faults::sampleReorderPct},
        {"sample-duplicate", &Faults::sampleDuplicatePct},
        {"block-loss", &Faults::blockLossPct},
    };
    bool good = true;
    for (const auto &p : percents) {
        const QString key = QLatin1String(p.first);
        if (!faults.has(key))
            continue;
        const double pct = faults.percent(key);
        bool number = false;
        QString(faults.value(key)).remove(QLatin1Char('%')).toDouble(&number);
        if (number && pct >= 0 && pct <= 100)
            out->*p.second = int(pct);
        else
            good = false;
    }
    if (faults.has(QStringLiteral("unplug")))
        out->unplugPhase = faults.value(QStringLiteral("unplug"));
    out->bspatchSilent = faults.has(QStringLiteral("bspatch-silent"));
    out->emptyLog = faults.has(QStringLiteral("empty-log"));
    if (faults.has(QStringLiteral("generate-time"))) {
        out->generateMs = faults.integer(QStringLiteral("generate-time"), -1);
        good = good && out->generateMs >= 0;
    }
    if (faults.has(QStringLiteral("seed")))
        out->seed = quint32(faults.integer(QStringLiteral("seed"), 1));
    return good;
}

VirtualUpdater::VirtualUpdater(std::mutex &cameraLock, VirtualFileStore &files)
    : lock_(cameraLock)
    , files_(files)
    , shell_(files)
{
}

VirtualUpdater::~VirtualUpdater()
{
    stopGenerating();
    if (applier_.joinable())
        applier_.join();
}

void VirtualUpdater::note(const QString &line)
{
    events_.append(QDateTime::currentDateTime().toString(Qt::ISODateWithMs) + QLatin1Char(' ') + line);
    if (events_.size() > 2000)
        events_.removeFirst();
}

void VirtualUpdater::setFaults(const Faults &faults)
{
    faults_ = faults;
    rng_.seed(faults.seed);
}

bool VirtualUpdater::chance(int pct)
{
    if (pct <= 0)
        return false;
    return int(rng_() % 1000) < pct * 10;
}

bool VirtualUpdater::unplugNow(const char *phase)
{
    if (faults_.unplugPhase != QLatin1String(phase))
        return false;
    faults_.unplugPhase.clear();
    note(QStringLiteral("unplugged during ") + QLatin1String(phase));
    return true;
}

bool VirtualUpdater::ownsCommandSelector(bool inUpgradeSystem) const
{
    return inUpgradeSystem || tfuRunning_;
}

void VirtualUpdater::resetTransfers()
{
    upState_ = 0;
    upPieces_.clear();
    stopGenerating();
    dlState_ = DownloadNone;
    dlData_.clear();
    heldBack_.clear();
    tfuRunning_ = false;
}

bool VirtualUpdater::claims(int selector, const uchar *b, bool inUpgradeSystem) const
{
    if (!ownsCommandSelector(inUpgradeSystem))
        return false;
    switch (selector) {
    case 3:
        // Shell lines are text; the picture upload's blocks start with a
        // small code byte.
        return b[0] >= 0x20;
    case 4:
        // The worker's requests carry the piece length 0x40000 at 9..12 (or
        // are a finish or generate request); the rest belongs to pictures.
        return b[0] == 2 || b[0] == 5 || ((b[0] == 0 || b[0] == 3) && le32(b + 9) == 0x40000);
    default:
        return true;
    }
}

VirtualUpdater::Action VirtualUpdater::write(int selector, const uchar *b, bool inUpgradeSystem)
{
    if (!claims(selector, b, inUpgradeSystem))
        return Action::None;
    switch (selector) {
    case 1:
        return uploadStart(b);
    case 3:
        return shell(cString(b, Block));
    case 4:
        return downloadRequest(b);
    case 5:
        return command(b);
    case 6:
        return uploadPiece(b);
    default:
        return Action::None;
    }
}

void VirtualUpdater::read(int selector, uchar *b, bool inUpgradeSystem)
{
    std::memset(b, 0, Block);
    switch (selector) {
    case 1:
        b[0] = quint8(upState_);
        setLe32(b + 1, upDone_);
        setLe32(b + 5, upLength_);
        break;
    case 4: {
        settleGenerating();
        b[0] = quint8(dlState_);
        // While generating, the length is the one asked for.
        setLe32(b + 5, dlState_ == DownloadGenerating ? dlExpected_ : quint32(dlData_.size()));
        setLe32(b + 9, dlStart_);
        setLe32(b + 13, dlPieceLen_);
        const QByteArray p = dlPath_.toLatin1().left(Block - 18);
        std::memcpy(b + 17, p.constData(), size_t(p.size()));
        break;
    }
    case 5:
        b[0] = quint8(lastCmd_);
        if (lastCmd_ == CmdPackLog)
            setLe32(b + 1, logSize_);
        else
            b[1] = quint8(cmdState_);
        break;
    case 6: {
        const char *magic = inUpgradeSystem ? MagicUpgrade : MagicMain;
        std::memcpy(b, magic, std::strlen(magic));
        break;
    }
    default:
        break;
    }
}

// ---- updater commands ----

VirtualUpdater::Action VirtualUpdater::command(const uchar *b)
{
    const int id = b[0];
    note(QStringLiteral("updater command %1").arg(id));
    if (applierBusy_.load() && id != CmdBspatch) {
        // The applier has the flash; the camera reports it until it is done.
        return Action::None;
    }
    joinApplier();
    lastCmd_ = id;
    cmdState_ = StateDone;
    switch (id) {
    case CmdFormatUbi: {
        const QString path = cString(b + 2, Block - 2);
        if (!files_.contains(path)) {
            cmdState_ = StateFailed;
            break;
        }
        files_.put(QStringLiteral("/dev/mtd6"), files_.file(path));
        break;
    }
    case CmdEnterUgSys:
        tfuRunning_ = false;
        return Action::RebootToUpgrade;
    case CmdRenameFw: {
        const QByteArray fw = files_.file(QStringLiteral("/app/updater/fw"));
        if (!validPackage(fw)) {
            note(QStringLiteral("rename: no valid firmware"));
            cmdState_ = StateFailed;
            break;
        }
        files_.remove(QStringLiteral("/app/updater/fw"));
        if (isUpdaterPackage(fw)) {
            updaterImage_ = fw;
            files_.remove(QStringLiteral("/dev/mtd6"));
            return Action::RebootToUpgrade;
        }
        mainImage_ = fw;
        return Action::RebootToMain;
    }
    case CmdFreeSource:
        break;
    case CmdBspatch: {
        if (unplugNow("bspatch"))
            return Action::Unplug;
        if (applierBusy_.load() || !startBspatch(cString(b + 1, Block - 1)))
            cmdState_ = StateFailed;
        break;
    }
    case CmdResetTransState:
        upState_ = 0;
        upPieces_.clear();
        upDone_ = 0;
        break;
    case CmdPackLog: {
        const QByteArray archive = faults_.emptyLog ? QByteArray() : packLog();
        files_.put(QStringLiteral("/log/vexo_log.tar.gz"), archive);
        logSize_ = quint32(archive.size());
        break;
    }
    default:
        cmdState_ = StateFailed;
        break;
    }
    return Action::None;
}

void VirtualUpdater::joinApplier()
{
    if (!applierBusy_.load() && applier_.joinable())
        applier_.join();
}

bool VirtualUpdater::startBspatch(const QString &command)
{
    const QStringList parts = command.split(QLatin1Char('#'));
    if (parts.size() < 3 || !files_.contains(parts.at(0)) || !files_.contains(parts.at(2)))
        return false;
    const QByteArray old = files_.file(parts.at(0));
    const QByteArray list = files_.file(parts.at(2));
    const QString target = parts.at(1);
    const bool silent = faults_.bspatchSilent;
    cmdState_ = StateRunning;
    applierBusy_.store(true);
    if (applier_.joinable())
        applier_.join();
    applier_ = std::thread([this, old, list, target, silent] {
        QByteArray image = old;
        QString error;
        const bool ok = BsPatchApplier::applyList(&image, list, &error);
        std::lock_guard<std::mutex> locker(lock_);
        if (ok)
            files_.put(target, image);
        note(ok ? QStringLiteral("bspatch done") : QStringLiteral("bspatch failed: ") + error);
        if (!silent && lastCmd_ == CmdBspatch)
            cmdState_ = ok ? StateDone : StateFailed;
        applierBusy_.store(false);
    });
    return true;
}

// ---- upload ----

VirtualUpdater::Action VirtualUpdater::uploadStart(const uchar *b)
{
    upType_ = b[0];
    upLength_ = le32(b + 1);
    upPath_ = cString(b + 7, Block - 7);
    upPieces_.clear();
    upDone_ = 0;
    upState_ = le16(b + 5) == UploadPieceLength && !upPath_.isEmpty() ? 1 : 3;
    note(QStringLiteral("upload %1, %2 bytes").arg(upPath_).arg(upLength_));
    if (upState_ == 1 && upLength_ == 0)
        finishUpload();
    return Action::None;
}

VirtualUpdater::Action VirtualUpdater::uploadPiece(const uchar *b)
{
    if (upState_ != 1)
        return Action::None;
    const quint32 seq = le32(b);
    const quint16 n = le16(b + 6);
    const quint32 count = (upLength_ + UploadPieceLength - 1) / UploadPieceLength;
    if (seq == 0 || seq > count || n > UploadPieceLength)
        return Action::None;
    uchar copy[Block];
    std::memcpy(copy, b, Block);
    copy[4] = copy[5] = 0;
    if (Util::crc16(copy, 8 + n) != le16(b + 4))
        return Action::None;
    if (chance(faults_.blockLossPct))
        return Action::None;
    upPieces_.insert(seq, QByteArray(reinterpret_cast<const char *>(b + 8), n));
    while (upPieces_.contains(upDone_ + 1))
        ++upDone_;
    if (upDone_ >= count / 2 && unplugNow("upload"))
        return Action::Unplug;
    if (upDone_ == count)
        finishUpload();
    return Action::None;
}

void VirtualUpdater::finishUpload()
{
    QByteArray data;
    data.reserve(int(upLength_));
    for (quint32 i = 1; i <= upDone_; ++i)
        data += upPieces_.value(i);
    upPieces_.clear();
    if (quint32(data.size()) != upLength_) {
        upState_ = 3;
        return;
    }
    if (upType_ == 4) {
        QByteArray plain;
        if (!decodeContainer(data, &plain)) {
            note(QStringLiteral("upload %1: damaged container").arg(upPath_));
            upState_ = 3;
            return;
        }
        data = plain;
    }
    files_.put(upPath_, data);
    upState_ = 2;
}

// ---- download ----

VirtualUpdater::Action VirtualUpdater::downloadRequest(const uchar *b)
{
    const int req = b[0];
    if (req == 2) {
        if (dlState_ == 1)
            dlState_ = 2;
        heldBack_.clear();
        return Action::None;
    }
    if (req == 3) {
        const quint32 from = qMax<quint32>(1, le32(b + 1));
        if (dlState_ == 1 && (from < dlNext_ || dlNext_ > dlCount_))
            dlNext_ = from;
        return Action::None;
    }
    const QString path = cString(b + 13, Block - 13);
    stopGenerating();
    dlPath_ = path;
    dlExpected_ = le32(b + 5);
    dlStart_ = le32(b + 1);
    dlPieceLen_ = le32(b + 9);
    dlData_.clear();
    dlState_ = DownloadNone;
    heldBack_.clear();
    if (!files_.contains(path) || dlPieceLen_ == 0)
        return Action::None;
    if (req == 5) {
        if (unplugNow("generate"))
            return Action::Unplug;
        startGenerating(files_.file(path));
        return Action::None;
    }
    dlData_ = files_.file(path);
    dlCount_ = quint32((quint64(dlData_.size()) + dlPieceLen_ - 1) / dlPieceLen_);
    dlNext_ = dlStart_ + 1;
    dlState_ = DownloadSending;
    note(QStringLiteral("download %1, %2 bytes").arg(path).arg(dlData_.size()));
    return Action::None;
}

// The camera fills the uploaded layout with what it has installed while the
// host polls; the filled image replaces the layout under its path.
void VirtualUpdater::startGenerating(const QByteArray &head)
{
    dlState_ = DownloadGenerating;
    note(QStringLiteral("generating %1, %2 bytes").arg(dlPath_).arg(dlExpected_));
    {
        std::lock_guard<std::mutex> locker(genLock_);
        genDone_ = false;
        genImage_.clear();
        genError_.clear();
    }
    generatorOn_.store(true);
    generator_ = std::thread([this, head, length = dlExpected_, from = installed(), atLeastMs = faults_.generateMs] {
        QElapsedTimer took;
        took.start();
        QByteArray image;
        QString error;
        const bool ok = generateImage(head, length, from, &image, &error);
        // A slow camera (a fault) keeps generating for a while.
        const qint64 until = atLeastMs > 0 ? TimeScale::ms(atLeastMs) : 0;
        while (generatorOn_.load() && took.elapsed() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(qBound<qint64>(1, until - took.elapsed(), 5)));
        std::lock_guard<std::mutex> locker(genLock_);
        genOk_ = ok;
        genImage_ = image;
        genError_ = error;
        genDone_ = true;
    });
}

void VirtualUpdater::settleGenerating()
{
    if (!generator_.joinable())
        return;
    bool ok = false;
    QByteArray image;
    QString error;
    {
        std::lock_guard<std::mutex> locker(genLock_);
        if (!genDone_)
            return;
        ok = genOk_;
        image = std::exchange(genImage_, QByteArray());
        error = genError_;
    }
    generator_.join();
    generatorOn_.store(false);
    if (dlState_ != DownloadGenerating)
        return;
    if (!ok) {
        note(QStringLiteral("generate: ") + error);
        dlState_ = DownloadNone;
        return;
    }
    note(QStringLiteral("generated %1 bytes").arg(image.size()));
    files_.put(dlPath_, image);
    dlData_ = image;
    dlCount_ = quint32((quint64(dlData_.size()) + dlPieceLen_ - 1) / dlPieceLen_);
    dlNext_ = dlStart_ + 1;
    dlState_ = DownloadSending;
    note(QStringLiteral("download %1, %2 bytes").arg(dlPath_).arg(dlData_.size()));
}

// The generator never waits for the camera lock, so that joining it here is
// safe.
void VirtualUpdater::stopGenerating()
{
    generatorOn_.store(false);
    if (generator_.joinable())
        generator_.join();
    if (dlState_ == DownloadGenerating)
        dlState_ = DownloadNone;
}

QByteArray VirtualUpdater::nextSample(int *pauseUs)
{
    settleGenerating();
    *pauseUs = FramePauseUs;
    if (dlState_ == 1 && !heldBack_.isEmpty() && dlNext_ > dlCount_) {
        *pauseUs = PiecePauseUs;
        return std::exchange(heldBack_, QByteArray());
    }
    if (dlState_ != 1 || dlNext_ > dlCount_) {
        // An ordinary picture: start and end of a JPEG.
        static const QByteArray frame = QByteArray::fromHex("ffd8ffe000104a46494600010100000100010000ffd9");
        return frame;
    }
    *pauseUs = PiecePauseUs;
    const quint32 k = dlNext_++;
    if (k > dlCount_ / 2 && unplugNow("download")) {
        pendingUnplug_ = true;
        return QByteArray();
    }
    if (chance(faults_.sampleLossPct))
        return QByteArray();
    const QByteArray data = dlData_.mid(int(quint64(k - 1) * dlPieceLen_), int(dlPieceLen_));
    QByteArray s(12, '\0');
    setLe32(s, 0, k);
    setLe32(s, 8, quint32(data.size()));
    s += data;
    setLe32(s, 4, Util::crc32(s.constData(), s.size()));
    if (chance(faults_.sampleDamagePct) && s.size() > 12)
    {
        const int at = 12 + int(rng_() % quint32(data.size()));
        s[at] = char(s.at(at) ^ 0x20);
    }
    if (heldBack_.isEmpty() && chance(faults_.sampleReorderPct) && dlNext_ <= dlCount_) {
        heldBack_ = s;
        return QByteArray();
    }
    if (!heldBack_.isEmpty()) {
        // The held piece follows the one after it.
        const QByteArray late = std::exchange(heldBack_, s);
        return late;
    }
    if (chance(faults_.sampleDuplicatePct))
        heldBack_ = s;
    return s;
}

bool VirtualUpdater::takePendingUnplug()
{
    return std::exchange(pendingUnplug_, false);
}

// ---- images ----

void VirtualUpdater::setMainImage(const QByteArray &package)
{
    mainImage_ = package;
}

quint32 VirtualUpdater::mainVersion() const
{
    if (!validPackage(mainImage_))
        return 0;
    const uchar *v = bytesAt(mainImage_, 48);
    return quint32(v[0]) << 24 | quint32(v[1]) << 16 | quint32(v[2]) << 8 | v[3];
}

bool VirtualUpdater::isUpdaterPackage(const QByteArray &package)
{
    if (!validPackage(package) || le32(package, 12) != 1 || le32(package, 256) != 1)
        return false;
    const QList<quint32> ids = cameraModuleIds(package);
    return ids.size() == 2 && ids.contains(0) && (ids.contains(7) || ids.contains(10));
}

VirtualUpdater::Installed VirtualUpdater::installed() const
{
    Installed i;
    i.main = mainImage_;
    i.updater = updaterImage_;
    i.updaterPartition = files_.file(QStringLiteral("/dev/mtd6"));
    return i;
}

QByteArray VirtualUpdater::Installed::cameraModule(quint32 id) const
{
    if (id == 7 || id == 10) {
        QByteArray m = vexo::pc::cameraModule(updater, id);
        if (m.isEmpty())
            m = updaterPartition;
        if (!m.isEmpty())
            return m;
    }
    return vexo::pc::cameraModule(main, id);
}

// The uploaded patch head names the layout of the new package: its headers,
// the whole data of the small device modules, and for the camera package
// its headers only. The camera fills the camera modules' places with what
// it has installed under the same ids.
bool VirtualUpdater::generateImage(const QByteArray &head, quint32 length, const Installed &installed,
                                   QByteArray *image, QString *error)
{
    *error = QStringLiteral("not a patch head");
    if (head.size() < 256 || le32(head, 0) != PackageMagic || le32(head, 8) != length)
        return false;
    const quint32 dataOffset = le32(head, 4);
    const quint32 count = le32(head, 12);
    if (dataOffset > quint32(head.size()) || dataOffset != (count + 1) * 256)
        return false;
    *error = QStringLiteral("layout out of bounds");
    QByteArray out(int(length), '\0');
    out.replace(0, int(dataOffset), head.left(int(dataOffset)));
    for (quint32 i = 0; i < count; ++i) {
        const int h = int(256 * (i + 1));
        const quint32 id = le32(head, h);
        const quint32 len = le32(head, h + 4);
        const quint32 off = le32(head, h + 8);
        const quint32 cOff = le32(head, h + 152);
        const quint32 cLen = le32(head, h + 156);
        if (qint64(off) + len > length || qint64(cOff) + cLen > head.size())
            return false;
        const QByteArray content = head.mid(int(cOff), int(qMin(cLen, len)));
        out.replace(int(off), content.size(), content);
        if (id != 1 || cLen < 256)
            continue;
        const quint32 camCount = le32(content, 12);
        for (quint32 j = 0; j < camCount && 256 * (j + 2) <= quint32(content.size()); ++j) {
            const int ch = int(256 * (j + 1));
            const quint32 mId = le32(content, ch);
            const quint32 mLen = le32(content, ch + 4);
            const quint32 mOff = le32(content, ch + 8);
            if (qint64(mOff) + mLen > len)
                return false;
            const QByteArray module = installed.cameraModule(mId).left(int(mLen));
            out.replace(int(off + mOff), module.size(), module);
        }
    }
    error->clear();
    *image = out;
    return true;
}

QByteArray VirtualUpdater::packLog() const
{
    QByteArray tar;
    tarMember(tar, QStringLiteral("log/updater.log"), events_.join(QLatin1Char('\n')).toUtf8() + '\n');
    tarMember(tar, QStringLiteral("log/system.log"),
              QByteArray("main image bytes: ") + QByteArray::number(mainImage_.size()) + "\nupdater image bytes: "
                  + QByteArray::number(updaterImage_.size()) + '\n');
    tar += QByteArray(1024, '\0');
    return gzip(tar);
}

// ---- shell ----

VirtualUpdater::Action VirtualUpdater::shell(const QString &line)
{
    note(QStringLiteral("sh: ") + line);
    QString cmd = line.trimmed();
    if (cmd.endsWith(QLatin1Char('&')))
        cmd = cmd.left(cmd.size() - 1).trimmed();
    if (cmd == QLatin1String("reboot"))
        return Action::RebootToMain;
    // The flash partition of the updater holds the installed updater file
    // system.
    static const QString dd = QStringLiteral("dd if=/dev/mtd6 of=");
    if (cmd.startsWith(dd)) {
        const QStringList args = cmd.mid(dd.size()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const int count = args.value(2).section(QLatin1Char('='), 1).toInt();
        const Installed now = installed();
        QByteArray fs = now.cameraModule(7);
        if (fs.isEmpty())
            fs = now.cameraModule(10);
        files_.put(args.value(0), fs.leftJustified(count * 2048, '\0', true));
        return Action::None;
    }
    // The stand-in applier is recognised; the camera applies the patch.
    if (cmd == QLatin1String("cd /app/updater&&./bspatch ug ug /log/ugpt")) {
        QByteArray out;
        QString error;
        const bool tool = files_.file(QStringLiteral("/app/updater/bspatch")).contains("patch applier (bspatch)");
        if (tool && BsPatchApplier::applyPatch(files_.file(QStringLiteral("/app/updater/ug")),
                                               files_.file(QStringLiteral("/log/ugpt")), &out, &error))
            files_.put(QStringLiteral("/app/updater/ug"), out);
        else
            note(QStringLiteral("bspatch ug failed: ") + error);
        return Action::None;
    }
    if (!shell_.run(line))
        note(QStringLiteral("sh: failed: ") + shell_.failedCommand());
    // The stand-in transfer utility, started from the shell, serves the
    // upgrade channel in the main system.
    for (const QByteArray &program : shell_.takeStarted()) {
        if (program.contains("transfer utility (rmtfu)"))
            tfuRunning_ = true;
    }
    return Action::None;
}

} // namespace pc
} // namespace vexo
