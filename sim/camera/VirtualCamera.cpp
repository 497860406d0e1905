#include "camera/VirtualCamera.h"

#include "comm/ByteOrder.h"
#include "comm/CameraModel.h"
#include "comm/TimeScale.h"
#include "package/FirmwareBuilder.h"
#include "uvc/CameraFamily.h"
#include "uvc/CameraStatus.h"
#include "uvc/AiStatus.h"
#include "uvc/CommandIds.h"
#include "uvc/PictureProtocol.h"
#include "uvc/ProtocolMsg.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cmath>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

using Control = CameraDevice::Control;

constexpr int Block = CameraDevice::XuBlockSize;

// Result codes the model answers with when it cannot serve a request.
constexpr quint8 ResultUnknownCommand = 2;
constexpr quint8 ResultWrongSystem = 3;

// Reboot timing of the camera, in production milliseconds: it leaves the
// bus shortly after the request and is back within the host's reopen wait.
constexpr int LeaveMs = 300;
constexpr int BootMs = 5000;
constexpr int ReplugMs = 3000;

// The frame that asks the transfer utility to start (command word 0x8001).
constexpr int CmdTransferUtility = 1;
// Shell lines travel in frames of the camera command 461 with code 20.
constexpr quint8 ShellCode = 20;

quint32 commandKey(int cmdSet, int cmdId)
{
    return (quint32(cmdSet) << 16) | quint32(cmdId & 0xffff);
}

int normalized(const CameraDevice::Range &r, int value)
{
    if (r.maximum <= r.minimum)
        return 0;
    return qBound(0, int(std::lround((value - r.minimum) * 100.0 / (r.maximum - r.minimum))), 100);
}

} // namespace

VirtualCamera::VirtualCamera(Model model, int index)
    : updater_(std::make_unique<VirtualUpdater>(lock_, files_))
    , model_(model)
    , index_(index)
{
    serial_ = QStringLiteral("KZ%1").arg(240500000000LL + index, 12, 10, QLatin1Char('0'));
    QByteArray seed = serial_.toLatin1();
    uuid_ = QCryptographicHash::hash(seed, QCryptographicHash::Sha256).left(24);
    devicePath_ = QStringLiteral("virtual:") + serial_;
    clock_.start();
    setModel(model);
    std::lock_guard<std::mutex> locker(lock_);
    resetStatusLocked();
    resetControlsLocked();
}

VirtualCamera::~VirtualCamera()
{
    updater_.reset(); // joins the patch applier before the lock goes
}

const CameraModel &VirtualCamera::cameraModel(Model model)
{
    switch (model) {
    case Model::Zarvo: return CameraModel::byCode(CameraModel::Zarvo);
    case Model::Zarvo4K: return CameraModel::byCode(CameraModel::Zarvo4K);
    case Model::Nimo: return CameraModel::byCode(CameraModel::Nimo);
    case Model::Nimo4K: return CameraModel::byCode(CameraModel::Nimo4K);
    case Model::Unknown: break;
    }
    return CameraModel::byCode(CameraModel::Unknown);
}

QString VirtualCamera::modelName(Model model)
{
    return model == Model::Unknown ? QStringLiteral("USB Camera") : QLatin1String(cameraModel(model).reportName);
}

// ---- identity ----

void VirtualCamera::setModel(Model model)
{
    const QList<quint16> vendors = CameraFamily::instance().vendorIds();
    std::lock_guard<std::mutex> locker(lock_);
    model_ = model;
    friendlyName_ = modelName(model);
    vendorId_ = vendors.value(0, 0);
    productId_ = cameraModel(model).series == CameraModel::Series::Zarvo ? 0xFEF2 : 0xFEF3;
    infoBytes_.clear();
    // The controls' ranges depend on the model (the constructor sets them
    // up once the status block exists).
    if (!status_.isEmpty())
        resetControlsLocked();
}

void VirtualCamera::setInfoByte(int offset, quint8 value)
{
    std::lock_guard<std::mutex> locker(lock_);
    infoBytes_[offset] = value;
}

void VirtualCamera::setSerialAnswer(const QByteArray &data)
{
    std::lock_guard<std::mutex> locker(lock_);
    serialAnswerSet_ = true;
    serialAnswer_ = data;
}

void VirtualCamera::setUsbIds(quint16 vendorId, quint16 productId)
{
    std::lock_guard<std::mutex> locker(lock_);
    vendorId_ = vendorId;
    productId_ = productId;
}

// ---- plugging ----

void VirtualCamera::unplug()
{
    std::lock_guard<std::mutex> locker(lock_);
    unplugLocked();
}

void VirtualCamera::unplugLocked()
{
    if (!plugged_)
        return;
    plugged_ = false;
    ++generation_;
    answers_.clear();
    presetQuery_ = -1;
    pictures_.reset();
    leaveAt_ = backAt_ = -1;
    updater_->resetTransfers();
}

void VirtualCamera::replug()
{
    std::lock_guard<std::mutex> locker(lock_);
    if (plugged_)
        return;
    plugged_ = true;
    ++generation_;
}

bool VirtualCamera::isAlive(int generation) const
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    return plugged_ && generation == generation_;
}

void VirtualCamera::noteOpened()
{
    std::lock_guard<std::mutex> locker(lock_);
    answers_.clear();
}

bool VirtualCamera::isPlugged() const
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    return plugged_;
}

// ---- reboots ----

void VirtualCamera::scheduleLocked(System into, int leaveMs, int backMs)
{
    const qint64 now = clock_.elapsed();
    leaveAt_ = now + TimeScale::ms(leaveMs);
    backAt_ = now + TimeScale::ms(leaveMs) + TimeScale::ms(backMs);
    bootInto_ = into;
}

void VirtualCamera::reboot(System into)
{
    std::lock_guard<std::mutex> locker(lock_);
    scheduleLocked(into, LeaveMs, BootMs);
}

bool VirtualCamera::isRebooting() const
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    return backAt_ >= 0;
}

// The object is never const itself (cameras live in shared pointers);
// the const entry points only let due reboot steps happen.
void VirtualCamera::tickLocked() const
{
    if (backAt_ < 0)
        return;
    auto *self = const_cast<VirtualCamera *>(this);
    const qint64 now = clock_.elapsed();
    if (leaveAt_ >= 0 && now >= leaveAt_) {
        leaveAt_ = -1;
        if (self->plugged_) {
            self->plugged_ = false;
            ++self->generation_;
        }
        self->answers_.clear();
        self->presetQuery_ = -1;
        self->updater_->resetTransfers();
    }
    if (leaveAt_ < 0 && now >= backAt_) {
        backAt_ = -1;
        self->system_ = bootInto_;
        const quint32 v = self->updater_->mainVersion();
        if (v)
            self->version_ = v;
        self->plugged_ = true;
        ++self->generation_;
    }
}

void VirtualCamera::handleUpdaterActionLocked(VirtualUpdater::Action action)
{
    switch (action) {
    case VirtualUpdater::Action::None:
        break;
    case VirtualUpdater::Action::RebootToMain:
        scheduleLocked(System::Main, LeaveMs, BootMs);
        break;
    case VirtualUpdater::Action::RebootToUpgrade:
        scheduleLocked(System::Upgrade, LeaveMs, BootMs);
        break;
    case VirtualUpdater::Action::Unplug:
        // Pulled out by the user and put back in a moment later.
        scheduleLocked(system_, 0, ReplugMs);
        leaveAt_ = clock_.elapsed();
        tickLocked();
        break;
    }
}

// ---- firmware ----

void VirtualCamera::ensureImageLocked()
{
    if (!updater_->mainImage().isEmpty())
        return;
    const CameraModel &m = cameraModel(model_);
    FirmwareBuilder::Description d;
    d.product = CameraModel::productName(m.product);
    d.platform = CameraModel::platformName(infoBytes_.contains(2) ? infoBytes_.value(2) : int(m.platform));
    d.version = QStringLiteral("%1.%2.%3.%4")
                    .arg(version_ >> 24)
                    .arg((version_ >> 16) & 0xff)
                    .arg((version_ >> 8) & 0xff)
                    .arg(version_ & 0xff);
    d.seed = quint32(index_ + 1);
    d.size = 512 * 1024;
    updater_->setMainImage(FirmwareBuilder::syntheticPackage(d));
}

QByteArray VirtualCamera::installedImage()
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureImageLocked();
    return updater_->mainImage();
}

void VirtualCamera::setInstalledImage(const QByteArray &package)
{
    std::lock_guard<std::mutex> locker(lock_);
    updater_->setMainImage(package);
    const quint32 v = updater_->mainVersion();
    if (v)
        version_ = v;
}

QByteArray VirtualCamera::installedSha256()
{
    return QCryptographicHash::hash(installedImage(), QCryptographicHash::Sha256);
}

QByteArray VirtualCamera::updaterImage() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return updater_->updaterImage();
}

void VirtualCamera::setUpdaterFaults(const VirtualUpdater::Faults &faults)
{
    std::lock_guard<std::mutex> locker(lock_);
    updater_->setFaults(faults);
}

QStringList VirtualCamera::updaterLog() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return updater_->eventLog();
}

// ---- video ----

bool VirtualCamera::acquireCapture(int generation, const CameraDevice::CaptureFormat &format, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    if (!checkAliveLocked(generation, error))
        return false;
    if (captureBusy_ || capturing_) {
        *error = EBUSY;
        return false;
    }
    if (format.width != 1280 || format.height != 720 || format.fourcc != CameraDevice::CaptureFormat().fourcc) {
        *error = EINVAL;
        return false;
    }
    capturing_ = true;
    return true;
}

void VirtualCamera::releaseCapture()
{
    std::lock_guard<std::mutex> locker(lock_);
    capturing_ = false;
}

bool VirtualCamera::captureSample(int generation, QByteArray *sample, int *pauseUs)
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    if (!plugged_ || generation != generation_)
        return false;
    *sample = updater_->nextSample(pauseUs);
    if (updater_->takePendingUnplug()) {
        handleUpdaterActionLocked(VirtualUpdater::Action::Unplug);
        return false;
    }
    return true;
}

void VirtualCamera::setCaptureBusy(bool busy)
{
    std::lock_guard<std::mutex> locker(lock_);
    captureBusy_ = busy;
}

bool VirtualCamera::checkAliveLocked(int generation, int *error) const
{
    if (plugged_ && generation == generation_)
        return true;
    if (error)
        *error = ENODEV;
    return false;
}

// ---- extension unit ----

bool VirtualCamera::admitTransferLocked(int generation, int selector, int len, QHash<int, int> &counts,
                                        QHash<int, int> &failures, int *error)
{
    if (!checkAliveLocked(generation, error))
        return false;
    const int refusal = !hasXu_ ? ENOENT : (len != Block ? ENOBUFS : 0);
    if (refusal) {
        *error = refusal;
        return false;
    }
    ++counts[selector];
    if (failures.value(selector) > 0) {
        --failures[selector];
        *error = EIO;
        return false;
    }
    return true;
}

int VirtualCamera::xuGet(int generation, int selector, uchar *buf, int len, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    if (!admitTransferLocked(generation, selector, len, reads_, failReads_, error))
        return -1;
    std::memset(buf, 0, size_t(len));
    int count = Block;
    switch (selector) {
    case cmd::SelMessage:
        if (silent_)
            break;
        if (!answers_.empty()) {
            PendingAnswer &a = answers_.front();
            if (a.readsLeft > 0) {
                --a.readsLeft;
                break;
            }
            const PendingAnswer answer = a;
            answers_.pop_front();
            if (answer.readError) {
                *error = EIO;
                return -1;
            }
            std::memcpy(buf, answer.bytes.constData(), size_t(Block));
            count = answer.readLength;
        }
        break;
    case cmd::SelCommand:
        if (updater_->ownsCommandSelector(system_ == System::Upgrade))
            updater_->read(selector, buf, system_ == System::Upgrade);
        else if (system_ == System::Main)
            std::memcpy(buf, status_.constData(), size_t(Block));
        break;
    case cmd::SelUpload:
        if (!pictureOutcomeLocked(pictures_.read(selector, buf), error))
            return -1;
        break;
    case cmd::SelDownload:
        // Selector 4 answers whoever asked last: the updater's download or a
        // picture.
        if (downloadToUpdater_) {
            updater_->read(selector, buf, system_ == System::Upgrade);
        } else if (!pictureOutcomeLocked(pictures_.read(selector, buf), error)) {
            return -1;
        }
        break;
    case cmd::SelFileTransfer:
    case cmd::SelUpgradeCmd:
        updater_->read(selector, buf, system_ == System::Upgrade);
        break;
    case cmd::SelPreset:
        if (presetQuery_ >= 0 && presetQuery_ < 8) {
            const Preset &p = presets_[presetQuery_];
            buf[0] = cmd::PresetAnswerSync;
            buf[1] = 1;
            buf[2] = p.present ? 0 : 1;
            std::memcpy(buf + 3, p.data.leftJustified(9, '\0', true).constData(), 9);
            const QByteArray name = p.name.left(Block - 13);
            buf[12] = quint8(name.size());
            std::memcpy(buf + 13, name.constData(), size_t(name.size()));
        }
        break;
    default:
        break;
    }
    const int forced = readLengths_.value(selector, -1);
    if (forced >= 0)
        count = qMin(count, forced);
    return count;
}

int VirtualCamera::xuSet(int generation, int selector, const uchar *buf, int len, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    tickLocked();
    if (!admitTransferLocked(generation, selector, len, writes_, failWrites_, error))
        return -1;
    written_[selector].append(QByteArray(reinterpret_cast<const char *>(buf), len));
    switch (selector) {
    case cmd::SelMessage:
        if (silent_)
            break;
        if (lostWrites_ > 0) {
            --lostWrites_;
            break;
        }
        handleFrameLocked(buf, len);
        if (framesBeforeMute_ > 0 && --framesBeforeMute_ == 0)
            silent_ = true;
        break;
    case cmd::SelCommand:
        if (updater_->ownsCommandSelector(system_ == System::Upgrade))
            handleUpdaterActionLocked(updater_->write(selector, buf, system_ == System::Upgrade));
        else if (system_ == System::Main)
            applyBlockLocked(buf);
        break;
    case cmd::SelFileTransfer:
    case cmd::SelUpgradeCmd:
        handleUpdaterActionLocked(updater_->write(selector, buf, system_ == System::Upgrade));
        break;
    case cmd::SelUpload:
    case cmd::SelDownload: {
        // The updater's shell lines and download requests share these
        // selectors with the picture transfers.
        if (updater_->claims(selector, buf, system_ == System::Upgrade)) {
            if (selector == cmd::SelDownload)
                downloadToUpdater_ = true;
            handleUpdaterActionLocked(updater_->write(selector, buf, system_ == System::Upgrade));
            break;
        }
        if (selector == cmd::SelDownload)
            downloadToUpdater_ = false;
        if (!pictureOutcomeLocked(pictures_.write(selector, buf), error))
            return -1;
        // A new background picture is shown at once.
        const QString uploaded = pictures_.takeCompletedUpload();
        for (int i = 0; i < pic::PictureCount; ++i) {
            if (uploaded == pic::remotePicturePath(i))
                status_[CameraStatus::ReplaceImage] = char(i);
        }
        break;
    }
    case cmd::SelPreset:
        if (buf[0] == cmd::PresetQuery && buf[1] == 1)
            presetQuery_ = buf[2];
        break;
    default:
        break;
    }
    return len;
}

void VirtualCamera::handleFrameLocked(const uchar *buf, int len)
{
    ProtocolMsg::FrmPacket req;
    std::memcpy(static_cast<void *>(&req), buf, size_t(qMin(len, int(sizeof req))));
    if (ProtocolMsg::checkFrame(req, len) != ProtocolMsg::FrameOk)
        return;
    ReceivedFrame rf;
    rf.seq = req.seq;
    rf.cmdSet = ProtocolMsg::cmdSet(req);
    rf.cmdId = ProtocolMsg::cmdId(req);
    rf.flags = req.flags;
    rf.route = req.route;
    rf.payload = QByteArray(reinterpret_cast<const char *>(req.payload), ProtocolMsg::payloadLength(req));
    received_.append(rf);

    Reply reply = replyLocked(rf.cmdSet, rf.cmdId, rf.payload);
    if (!(req.flags & ProtocolMsg::FlagWantAnswer))
        return;
    const auto forced = resultCodes_.constFind(commandKey(rf.cmdSet, rf.cmdId));
    if (forced != resultCodes_.constEnd()) {
        reply.result = quint8(forced.value());
        reply.data.clear();
    }

    AnswerFault fault = AnswerFault::Version2;
    bool faulty = false;
    if (!answerFaults_.empty()) {
        fault = answerFaults_.front();
        answerFaults_.pop_front();
        faulty = true;
    }
    if (faulty && fault == AnswerFault::Drop)
        return;
    if (faulty && fault == AnswerFault::ShortData && !reply.data.isEmpty())
        reply.data.chop(1);

    ProtocolMsg::FrmPacket ans = ProtocolMsg::makeAnswer(req, reply.result, reply.data);
    if (faulty) {
        switch (fault) {
        case AnswerFault::Version2:
        case AnswerFault::BadHeaderCrc:
            ans.lenVer = quint16((ans.lenVer & 0x0fff) | 0x2000);
            break;
        case AnswerFault::WrongReceiver:
            ans.route = quint8((ans.route & 0xf0) | ProtocolMsg::AddrCamera);
            break;
        case AnswerFault::NotAnswer:
            ans.flags = quint8(ans.flags & ~ProtocolMsg::FlagAnswer);
            break;
        case AnswerFault::UnknownSeq:
            ans.seq = quint16(ans.seq + 0x4000);
            break;
        default:
            break;
        }
    }
    ProtocolMsg::packFrame(ans);
    PendingAnswer pending;
    pending.bytes = QByteArray(reinterpret_cast<const char *>(&ans), Block);
    pending.readsLeft = answerLatency_;
    if (faulty) {
        switch (fault) {
        case AnswerFault::BadSync:
            pending.bytes[0] = char(0x55);
            break;
        case AnswerFault::TooShort:
            pending.readLength = 11;
            break;
        case AnswerFault::BadLength:
            pending.bytes[1] = char(pending.bytes[1] & 0xf0);
            pending.bytes[2] = char(Block + 3);
            break;
        case AnswerFault::BadHeaderCrc:
            pending.bytes[8] = char(pending.bytes[8] ^ 0x5a);
            break;
        case AnswerFault::BadCrc: {
            const int last = ProtocolMsg::HeaderSize + 1 + reply.data.size() - 1;
            pending.bytes[last] = char(pending.bytes[last] ^ 0xff);
            break;
        }
        case AnswerFault::ReadError:
            pending.readError = true;
            break;
        default:
            break;
        }
    }
    answers_.push_back(pending);
}

QByteArray VirtualCamera::infoDataLocked() const
{
    QByteArray d(34, '\0');
    const CameraModel &m = cameraModel(model_);
    d[0] = char(m.product);
    d[1] = 0; // OA_E
    d[2] = char(m.platform);
    d[3] = 0; // release
    setLe32(d, 4, version_);
    d.replace(8, 24, uuid_.leftJustified(24, '\0', true));
    d[32] = char(system_ == System::Main ? 1 : 2);
    d[33] = 1;
    for (auto it = infoBytes_.constBegin(); it != infoBytes_.constEnd(); ++it) {
        if (it.key() >= 0 && it.key() < d.size())
            d[it.key()] = char(it.value());
    }
    return d;
}

VirtualCamera::Reply VirtualCamera::replyLocked(int cmdSet, int cmdId, const QByteArray &payload)
{
    Reply r;
    const QByteArray args = payload.leftJustified(ProtocolMsg::MaxPayloadSize, '\0');
    if (cmdSet == ProtocolMsg::CmdSetSystem) {
        switch (cmdId) {
        case cmd::SysVersion:
            r.data = QByteArray(4, '\0');
            setLe32(r.data, 0, version_);
            return r;
        case cmd::SysUuid:
            r.data = uuid_;
            return r;
        case cmd::SysSerial:
            r.data = serialAnswerSet_ ? serialAnswer_ : serial_.toLatin1();
            return r;
        case cmd::SysInfo:
            r.data = infoDataLocked();
            return r;
        case cmd::SysUpgrade:
            upgradeRequested_ = true;
            if (system_ == System::Main)
                scheduleLocked(System::Upgrade, LeaveMs, BootMs);
            return r;
        case CmdTransferUtility:
            return r;
        default:
            r.result = ResultUnknownCommand;
            return r;
        }
    }
    if (system_ != System::Main) {
        r.result = ResultWrongSystem;
        return r;
    }
    if (cmdSet == ProtocolMsg::CmdSetCamera) {
        switch (cmdId) {
        case cmd::CamDevStatus:
            status_[CameraStatus::RunState] = args[1];
            r.data = QByteArray(1, args[1]);
            return r;
        case cmd::CamFactoryReset:
            resetStatusLocked();
            resetControlsLocked();
            return r;
        case cmd::CamSetFaceFocus:
            status_[CameraStatus::FaceFocus] = char(args[0] ? 1 : 0);
            return r;
        case cmd::CamGetFaceFocus:
            r.data = QByteArray(1, status_[CameraStatus::FaceFocus]);
            return r;
        case cmd::CamZoomRatio: {
            ControlState &z = controls_[int(Control::Zoom)];
            const double ratio = qint32(le32(args, 2)) / 1000.0;
            z.value = qBound(z.range.minimum,
                             int(std::lround(z.range.minimum + (z.range.maximum - z.range.minimum) * (ratio - 1.0))),
                             z.range.maximum);
            syncStatusFromControlsLocked();
            return r;
        }
        case cmd::CamPrepareLog:
            if (quint8(args[0]) == ShellCode)
                handleUpdaterActionLocked(updater_->shell(QString::fromLatin1(args.constData() + 1)));
            return r;
        default:
            r.result = ResultUnknownCommand;
            return r;
        }
    }
    if (cmdSet == ProtocolMsg::CmdSetGimbal) {
        ControlState &pan = controls_[int(Control::Pan)];
        ControlState &tilt = controls_[int(Control::Tilt)];
        switch (cmdId) {
        case cmd::GimbalSpeedPosition: // degrees x 100
            pan.value = qBound(pan.range.minimum, qint16(le16(args, 0)) * 36, pan.range.maximum);
            tilt.value = qBound(tilt.range.minimum, qint16(le16(args, 2)) * 36, tilt.range.maximum);
            return r;
        case cmd::GimbalAttitude: // degrees x 100
            r.data = QByteArray(6, '\0');
            setLe16(r.data, 0, quint16(pan.value / 36));
            setLe16(r.data, 2, quint16(tilt.value / 36));
            return r;
        default:
            r.result = ResultUnknownCommand;
            return r;
        }
    }
    if (cmdSet == ProtocolMsg::CmdSetAi) {
        switch (cmdId) {
        case cmd::AiGimbalBootPos:
            r.data = QByteArray(20, '\0');
            setLeFloat(r.data, 12, 1.0f);
            return r;
        case cmd::AiShortStatus:
            r.data = QByteArray(AiStatus::AnswerSize, '\0');
            r.data[30] = char(ai_[0]);
            r.data[31] = char(ai_[1]);
            r.data[32] = char(ai_[2]);
            setLeFloat(r.data, 33, aiValue_);
            r.data[37] = char(ai_[3]);
            return r;
        default:
            r.result = ResultUnknownCommand;
            return r;
        }
    }
    r.result = ResultUnknownCommand;
    return r;
}

void VirtualCamera::applyBlockLocked(const uchar *b)
{
    using S = CameraStatus;
    // Blocks whose one value lands as it is in one status byte.
    static const QHash<int, int> direct = {
        {cmd::BlockMediaMode, S::MediaMode},     {cmd::BlockHdr, S::Hdr},
        {cmd::BlockFaceAe, S::FaceAe},           {cmd::BlockFov, S::Fov},
        {cmd::BlockBgMode, S::BgMode},           {cmd::BlockMaskLevel, S::BlurLevel},
        {cmd::BlockButtonMode, S::ButtonMode},   {cmd::BlockNoiseCancellation, S::NoiseCancellation},
        {cmd::BlockBgColor, S::GreenScreenColor}, {cmd::BlockBgDisable, S::BgUnavailable},
    };
    const quint8 code = b[0];
    const quint8 v0 = b[2];
    if (direct.contains(code)) {
        status_[direct.value(code)] = char(v0);
        return;
    }
    switch (code) {
    case cmd::BlockPanTiltRelative: { // direction and step each
        ControlState &pan = controls_[int(Control::Pan)];
        ControlState &tilt = controls_[int(Control::Tilt)];
        auto dir = [](quint8 d) { return d == 255 ? -1 : (d == 1 ? 1 : 0); };
        pan.value = qBound(pan.range.minimum, pan.value + dir(b[2]) * b[3] * 3600, pan.range.maximum);
        tilt.value = qBound(tilt.range.minimum, tilt.value + dir(b[4]) * b[5] * 3600, tilt.range.maximum);
        break;
    }
    case cmd::BlockSuspendTime:
        status_[S::AutoSleep] = char(b[2]);
        status_[S::AutoSleep + 1] = char(b[3]);
        break;
    case cmd::BlockAutoFraming: // mode, then size for the single mode
        status_[S::FramingMode] = char(v0 ? 1 : 0);
        if (v0 && qint8(b[3]) >= 0)
            status_[S::FramingSize] = char(b[3]);
        break;
    case cmd::BlockImageReplace: // 0 use, 1 delete
        applyImageReplaceLocked(v0, b[3]);
        break;
    default:
        break;
    }
}

// ---- pictures ----

bool VirtualCamera::pictureOutcomeLocked(VirtualPictureTransfer::Outcome outcome, int *error)
{
    switch (outcome) {
    case VirtualPictureTransfer::Outcome::Done:
        return true;
    case VirtualPictureTransfer::Outcome::Unplug:
        unplugLocked();
        *error = ENODEV;
        return false;
    case VirtualPictureTransfer::Outcome::Failed:
        break;
    }
    *error = EIO;
    return false;
}

// The camera keeps its built-in pictures 0 and 1; only picture 2 can be
// deleted, and the background then falls back to picture 0.
void VirtualCamera::applyImageReplaceLocked(quint8 op, quint8 index)
{
    if (index >= pic::PictureCount)
        return;
    if (op == 0) {
        status_[CameraStatus::ReplaceImage] = char(index);
    } else if (op == 1 && index == pic::PictureCount - 1) {
        files_.remove(pic::remotePicturePath(index));
        if (quint8(status_.at(CameraStatus::ReplaceImage)) == index)
            status_[CameraStatus::ReplaceImage] = 0;
    }
}

void VirtualCamera::setTransferFaults(const SimulatedFaults &faults)
{
    std::lock_guard<std::mutex> locker(lock_);
    pictures_.setFaults(faults);
}

int VirtualCamera::picturePiecesMoved() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return pictures_.piecesMoved();
}

// ---- status ----

void VirtualCamera::resetStatusLocked()
{
    status_ = QByteArray(Block, '\0');
    status_[CameraStatus::RunState] = CameraStatus::RunStateRunning;
    status_[CameraStatus::BgMode] = 18;   // blur
    status_[CameraStatus::BlurLevel] = 50;
    status_[CameraStatus::AntiFlicker] = 1;   // 50 Hz
    status_[CameraStatus::GreenScreenColor] = 1;
    status_[CameraStatus::AutoFocus] = 1;
    status_[CameraStatus::ManualFocus] = 50;
}

void VirtualCamera::resetControlsLocked()
{
    auto set = [this](Control c, int mn, int mx, int step, int def, bool hasAuto, bool autoOn) {
        ControlState &s = controls_[int(c)];
        s.range = {mn, mx, step, def, CameraDevice::FlagManual | (hasAuto ? CameraDevice::FlagAuto : 0)};
        s.value = def;
        s.autoOn = autoOn;
    };
    // The ranges the cameras' drivers report. The zarvo 4K firmware reports
    // its shutter between 1/5000 s and 1/3 s and its exposure compensation
    // in raw sensor steps; the others the full shutter table, compensation
    // as 19 steps of a third of a stop and the ISO as 48 steps of 100.
    const bool raw = model_ == Model::Zarvo4K;
    set(Control::Brightness, 0, 255, 1, 128, false, false);
    set(Control::Contrast, 0, 100, 1, 50, false, false);
    set(Control::Hue, -180, 180, 1, 0, true, false);
    set(Control::Saturation, 0, 100, 1, 64, false, false);
    set(Control::Sharpness, 0, 100, 1, 50, false, false);
    set(Control::WhiteBalance, 2800, 6500, 100, 5000, true, true);
    if (raw) {
        set(Control::BacklightCompensation, -64, 64, 1, 0, false, false);
        set(Control::Gain, 0, 100, 1, 0, true, false);
        set(Control::Exposure, 2, 3300, 1, 167, true, true);
    } else {
        set(Control::BacklightCompensation, 0, 18, 1, 9, false, false);
        set(Control::Gain, 1, 48, 1, 1, true, false);
        set(Control::Exposure, 1, 4000, 1, 167, true, true);
    }
    set(Control::PowerLineFrequency, 0, 2, 1, 1, true, false);
    set(Control::Focus, 0, 100, 1, 50, true, true);
    set(Control::Zoom, 100, 500, 1, 100, false, false);
    set(Control::Pan, -170 * 3600, 170 * 3600, 3600, 0, false, false);
    set(Control::Tilt, -30 * 3600, 90 * 3600, 3600, 0, false, false);
    set(Control::PanRelative, -10, 10, 1, 0, false, false);
    set(Control::TiltRelative, -10, 10, 1, 0, false, false);
    syncStatusFromControlsLocked();
}

void VirtualCamera::syncStatusFromControlsLocked()
{
    const ControlState &zoom = controls_[int(Control::Zoom)];
    setLe16(status_, CameraStatus::Zoom, quint16(normalized(zoom.range, zoom.value)));
    const ControlState &plf = controls_[int(Control::PowerLineFrequency)];
    if (plf.value >= 0 && plf.value <= 2)
        status_[CameraStatus::AntiFlicker] = char(plf.value);
    const ControlState &focus = controls_[int(Control::Focus)];
    status_[CameraStatus::AutoFocus] = char(focus.autoOn ? 1 : 0);
    status_[CameraStatus::ManualFocus] = char(normalized(focus.range, focus.value));
}

QByteArray VirtualCamera::statusBlock() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return status_;
}

// One byte by value: a QByteArray copy of the block would share its buffer
// with the camera, which writes it in place.
quint8 VirtualCamera::statusByte(int offset) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return offset >= 0 && offset < Block ? quint8(status_.at(offset)) : 0;
}

void VirtualCamera::setStatusByte(int offset, quint8 value)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (offset >= 0 && offset < Block)
        status_[offset] = char(value);
}

void VirtualCamera::setPreset(int index, const Preset &preset)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (index >= 0 && index < 8)
        presets_[index] = preset;
}

void VirtualCamera::setAiStatus(quint8 first, quint8 second, quint8 third, quint8 fourth, float value)
{
    std::lock_guard<std::mutex> locker(lock_);
    ai_[0] = first;
    ai_[1] = second;
    ai_[2] = third;
    ai_[3] = fourth;
    aiValue_ = value;
}

bool VirtualCamera::upgradeRequested() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return upgradeRequested_;
}

// ---- standard controls ----

VirtualCamera::ControlState *VirtualCamera::usableControlLocked(int generation, Control c, int *error)
{
    if (!checkAliveLocked(generation, error))
        return nullptr;
    ControlState &s = controls_[int(c)];
    if (s.fails) {
        *error = EIO;
        return nullptr;
    }
    return &s;
}

bool VirtualCamera::controlRange(int generation, Control c, CameraDevice::Range &range, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    const ControlState *s = usableControlLocked(generation, c, error);
    if (s)
        range = s->range;
    return s != nullptr;
}

bool VirtualCamera::controlGet(int generation, Control c, int &value, int &flags, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    const ControlState *s = usableControlLocked(generation, c, error);
    if (!s)
        return false;
    value = s->value;
    flags = s->autoOn ? CameraDevice::FlagAuto : CameraDevice::FlagManual;
    return true;
}

bool VirtualCamera::controlSet(int generation, Control c, int value, int flags, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    ControlState *usable = usableControlLocked(generation, c, error);
    controlWrites_.append({c, value, flags, false});
    if (!usable)
        return false;
    ControlState &s = *usable;
    if (flags == CameraDevice::FlagAuto && !(s.range.flags & CameraDevice::FlagAuto)) {
        *error = EINVAL;
        return false;
    }
    if (flags == CameraDevice::FlagAuto) {
        s.autoOn = true;
    } else {
        if (flags == CameraDevice::FlagManual)
            s.autoOn = false;
        if (s.autoOn || value < s.range.minimum || value > s.range.maximum) {
            // The driver refuses manual values while the automatic mode
            // owns the control, and values outside the range.
            *error = s.autoOn ? EBUSY : ERANGE;
            return false;
        }
        s.value = value;
    }
    controlWrites_.last().accepted = true;
    syncStatusFromControlsLocked();
    return true;
}

void VirtualCamera::setControlRange(Control c, const CameraDevice::Range &range)
{
    std::lock_guard<std::mutex> locker(lock_);
    ControlState &s = controls_[int(c)];
    s.range = range;
    s.value = qBound(range.minimum, s.value, range.maximum);
    syncStatusFromControlsLocked();
}

int VirtualCamera::controlValue(Control c) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return controls_.value(int(c)).value;
}

bool VirtualCamera::controlAuto(Control c) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return controls_.value(int(c)).autoOn;
}

void VirtualCamera::setControlFails(Control c, bool fails)
{
    std::lock_guard<std::mutex> locker(lock_);
    controls_[int(c)].fails = fails;
}

// ---- faults ----

void VirtualCamera::loseWrites(int count)
{
    std::lock_guard<std::mutex> locker(lock_);
    lostWrites_ = qMax(0, count);
}

void VirtualCamera::queueAnswerFaults(const QList<AnswerFault> &faults)
{
    std::lock_guard<std::mutex> locker(lock_);
    for (AnswerFault f : faults)
        answerFaults_.push_back(f);
}

void VirtualCamera::setSilent(bool silent)
{
    std::lock_guard<std::mutex> locker(lock_);
    silent_ = silent;
    if (silent)
        answers_.clear();
}

void VirtualCamera::setResultCode(int cmdSet, int cmdId, int code)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (code < 0)
        resultCodes_.remove(commandKey(cmdSet, cmdId));
    else
        resultCodes_[commandKey(cmdSet, cmdId)] = code;
}

void VirtualCamera::setReadLength(int selector, int bytes)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (bytes < 0)
        readLengths_.remove(selector);
    else
        readLengths_[selector] = bytes;
}

void VirtualCamera::failReads(int selector, int count)
{
    std::lock_guard<std::mutex> locker(lock_);
    failReads_[selector] = qMax(0, count);
}

void VirtualCamera::failWrites(int selector, int count)
{
    std::lock_guard<std::mutex> locker(lock_);
    failWrites_[selector] = qMax(0, count);
}

void VirtualCamera::muteAfterFrames(int frames)
{
    std::lock_guard<std::mutex> locker(lock_);
    framesBeforeMute_ = frames;
    if (frames == 0)
        silent_ = true;
}

void VirtualCamera::setAnswerLatency(int reads)
{
    std::lock_guard<std::mutex> locker(lock_);
    answerLatency_ = qMax(0, reads);
}

// ---- observation ----

// The observation getters hand out lists that share nothing with the
// camera's own: a shared list would be detached by the next frame on the
// device's thread, which the thread sanitizer cannot follow through Qt.
QList<VirtualCamera::ReceivedFrame> VirtualCamera::receivedFrames() const
{
    std::lock_guard<std::mutex> locker(lock_);
    QList<ReceivedFrame> copy;
    copy.reserve(received_.size());
    for (const ReceivedFrame &f : received_)
        copy.append(f);
    return copy;
}

QList<QByteArray> VirtualCamera::blocksWritten(int selector) const
{
    std::lock_guard<std::mutex> locker(lock_);
    QList<QByteArray> copy;
    const auto it = written_.constFind(selector);
    if (it != written_.constEnd()) {
        for (const QByteArray &b : it.value())
            copy.append(b);
    }
    return copy;
}

int VirtualCamera::readCount(int selector) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return reads_.value(selector);
}

int VirtualCamera::writeCount(int selector) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return writes_.value(selector);
}

int VirtualCamera::pendingAnswers() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return int(answers_.size());
}

QList<VirtualCamera::ControlWrite> VirtualCamera::controlWrites() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return controlWrites_;
}

void VirtualCamera::clearLog()
{
    std::lock_guard<std::mutex> locker(lock_);
    received_.clear();
    written_.clear();
    controlWrites_.clear();
    reads_.clear();
    writes_.clear();
}

} // namespace pc
} // namespace vexo
