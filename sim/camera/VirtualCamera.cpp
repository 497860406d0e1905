#include "camera/VirtualCamera.h"

#include "uvc/CameraFamily.h"
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

quint32 commandKey(int cmdSet, int cmdId)
{
    return (quint32(cmdSet) << 16) | quint32(cmdId & 0xffff);
}

void putLe16(QByteArray &b, int offset, int v)
{
    b[offset] = char(v & 0xff);
    b[offset + 1] = char((v >> 8) & 0xff);
}

void putLe32(QByteArray &b, int offset, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((v >> (8 * i)) & 0xff);
}

void putFloat(QByteArray &b, int offset, float f)
{
    quint32 v;
    std::memcpy(&v, &f, sizeof v);
    putLe32(b, offset, v);
}

int le16(const QByteArray &b, int offset)
{
    return quint8(b[offset]) | (quint8(b[offset + 1]) << 8);
}

qint32 le32(const QByteArray &b, int offset)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(quint8(b[offset + i])) << (8 * i);
    return qint32(v);
}

int normalized(const CameraDevice::Range &r, int value)
{
    if (r.maximum <= r.minimum)
        return 0;
    return qBound(0, int(std::lround((value - r.minimum) * 100.0 / (r.maximum - r.minimum))), 100);
}

} // namespace

VirtualCamera::VirtualCamera(Model model, int index)
    : model_(model)
    , index_(index)
{
    serial_ = QStringLiteral("KZ%1").arg(240500000000LL + index, 12, 10, QLatin1Char('0'));
    QByteArray seed = serial_.toLatin1();
    uuid_ = QCryptographicHash::hash(seed, QCryptographicHash::Sha256).left(24);
    devicePath_ = QStringLiteral("virtual:") + serial_;
    setModel(model);
    std::lock_guard<std::mutex> locker(lock_);
    resetStatusLocked();
    resetControlsLocked();
}

VirtualCamera::~VirtualCamera() = default;

QString VirtualCamera::modelName(Model model)
{
    switch (model) {
    case Model::Zarvo: return QStringLiteral("KAVORA Zarvo");
    case Model::Zarvo4K: return QStringLiteral("KAVORA Zarvo4K");
    case Model::Nimo: return QStringLiteral("KAVORA Nimo");
    case Model::Nimo4K: return QStringLiteral("KAVORA Nimo4K");
    case Model::Unknown: return QStringLiteral("USB Camera");
    }
    return QString();
}

// ---- identity ----

VirtualCamera::Model VirtualCamera::model() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return model_;
}

void VirtualCamera::setModel(Model model)
{
    const QList<quint16> vendors = CameraFamily::instance().vendorIds();
    std::lock_guard<std::mutex> locker(lock_);
    model_ = model;
    friendlyName_ = modelName(model);
    vendorId_ = vendors.value(0, 0);
    productId_ = (model == Model::Zarvo || model == Model::Zarvo4K) ? 0xFEF2 : 0xFEF3;
    infoBytes_.clear();
}

VirtualCamera::System VirtualCamera::system() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return system_;
}

void VirtualCamera::setSystem(System system)
{
    std::lock_guard<std::mutex> locker(lock_);
    system_ = system;
}

QString VirtualCamera::serial() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return serial_;
}

void VirtualCamera::setSerial(const QString &serial)
{
    std::lock_guard<std::mutex> locker(lock_);
    serial_ = serial;
}

QByteArray VirtualCamera::uuid() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return uuid_;
}

void VirtualCamera::setUuid(const QByteArray &uuid)
{
    std::lock_guard<std::mutex> locker(lock_);
    uuid_ = uuid;
}

quint32 VirtualCamera::version() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return version_;
}

void VirtualCamera::setVersion(quint32 version)
{
    std::lock_guard<std::mutex> locker(lock_);
    version_ = version;
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

QString VirtualCamera::friendlyName() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return friendlyName_;
}

void VirtualCamera::setFriendlyName(const QString &name)
{
    std::lock_guard<std::mutex> locker(lock_);
    friendlyName_ = name;
}

quint16 VirtualCamera::vendorId() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return vendorId_;
}

quint16 VirtualCamera::productId() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return productId_;
}

void VirtualCamera::setUsbIds(quint16 vendorId, quint16 productId)
{
    std::lock_guard<std::mutex> locker(lock_);
    vendorId_ = vendorId;
    productId_ = productId;
}

QString VirtualCamera::devicePath() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return devicePath_;
}

void VirtualCamera::setDevicePath(const QString &path)
{
    std::lock_guard<std::mutex> locker(lock_);
    devicePath_ = path;
}

// ---- plugging ----

bool VirtualCamera::isPlugged() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return plugged_;
}

void VirtualCamera::unplug()
{
    std::lock_guard<std::mutex> locker(lock_);
    if (!plugged_)
        return;
    plugged_ = false;
    ++generation_;
    answers_.clear();
    presetQuery_ = -1;
}

void VirtualCamera::replug()
{
    std::lock_guard<std::mutex> locker(lock_);
    if (plugged_)
        return;
    plugged_ = true;
    ++generation_;
}

int VirtualCamera::generation() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return generation_;
}

bool VirtualCamera::isAlive(int generation) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return plugged_ && generation == generation_;
}

void VirtualCamera::setOpenFails(bool fails)
{
    std::lock_guard<std::mutex> locker(lock_);
    openFails_ = fails;
}

bool VirtualCamera::openFails() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return openFails_;
}

bool VirtualCamera::checkAliveLocked(int generation, int *error) const
{
    if (plugged_ && generation == generation_)
        return true;
    if (error)
        *error = ENODEV;
    return false;
}

bool VirtualCamera::hasExtensionUnit() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return hasXu_;
}

void VirtualCamera::setHasExtensionUnit(bool has)
{
    std::lock_guard<std::mutex> locker(lock_);
    hasXu_ = has;
}

// ---- extension unit ----

int VirtualCamera::xuGet(int generation, int selector, uchar *buf, int len, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (!checkAliveLocked(generation, error))
        return -1;
    if (!hasXu_) {
        *error = ENOENT;
        return -1;
    }
    if (len != Block) {
        *error = ENOBUFS;
        return -1;
    }
    ++reads_[selector];
    if (failReads_.value(selector) > 0) {
        --failReads_[selector];
        *error = EIO;
        return -1;
    }
    std::memset(buf, 0, size_t(len));
    int count = Block;
    switch (selector) {
    case 2:
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
    case 6:
        if (system_ == System::Main)
            std::memcpy(buf, status_.constData(), size_t(Block));
        break;
    case 7:
        if (presetQuery_ >= 0 && presetQuery_ < 8) {
            const Preset &p = presets_[presetQuery_];
            buf[0] = 0xAA;
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
    if (!checkAliveLocked(generation, error))
        return -1;
    if (!hasXu_) {
        *error = ENOENT;
        return -1;
    }
    if (len != Block) {
        *error = ENOBUFS;
        return -1;
    }
    ++writes_[selector];
    if (failWrites_.value(selector) > 0) {
        --failWrites_[selector];
        *error = EIO;
        return -1;
    }
    written_[selector].append(QByteArray(reinterpret_cast<const char *>(buf), len));
    switch (selector) {
    case 2:
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
    case 6:
        if (system_ == System::Main)
            applyBlockLocked(buf);
        break;
    case 7:
        if (buf[0] == 2 && buf[1] == 1)
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
    quint8 product = 5;
    quint8 platform = 0;
    switch (model_) {
    case Model::Zarvo: product = 4; platform = 4; break;   // Kavora_zarvo on SSC336Q
    case Model::Zarvo4K: product = 4; platform = 5; break; // Kavora_zarvo on SSC339G
    case Model::Nimo: product = 2; platform = 2; break;    // Kavora_nimo_2P on Hi3516DV300
    case Model::Nimo4K: product = 2; platform = 5; break;  // Kavora_nimo_2P on SSC339G
    case Model::Unknown: product = 5; platform = 0; break; // Kavora_nimoair on Hi3559A
    }
    d[0] = char(product);
    d[1] = 0; // OA_E
    d[2] = char(platform);
    d[3] = 0; // release
    putLe32(d, 4, version_);
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
        case 16:
            r.data = QByteArray(4, '\0');
            putLe32(r.data, 0, version_);
            return r;
        case 96:
            r.data = uuid_;
            return r;
        case 99:
            r.data = serialAnswerSet_ ? serialAnswer_ : serial_.toLatin1();
            return r;
        case 101:
            r.data = infoDataLocked();
            return r;
        case 97:
            upgradeRequested_ = true;
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
        case 962: // run state
            status_[2] = args[1];
            r.data = QByteArray(1, args[1]);
            return r;
        case 964: // factory settings
            resetStatusLocked();
            resetControlsLocked();
            return r;
        case 978: // face focus
            status_[23] = char(args[0] ? 1 : 0);
            return r;
        case 466:
            r.data = QByteArray(1, status_[23]);
            return r;
        case 643: { // zoom ratio
            ControlState &z = controls_[int(Control::Zoom)];
            const double ratio = le32(args, 2) / 1000.0;
            z.value = qBound(z.range.minimum,
                             int(std::lround(z.range.minimum + (z.range.maximum - z.range.minimum) * (ratio - 1.0))),
                             z.range.maximum);
            syncStatusFromControlsLocked();
            return r;
        }
        case 461: // prepare logs
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
        case 6: // speed and position, degrees x 100
            pan.value = qBound(pan.range.minimum, qint16(le16(args, 0)) * 36, pan.range.maximum);
            tilt.value = qBound(tilt.range.minimum, qint16(le16(args, 2)) * 36, tilt.range.maximum);
            return r;
        case 1: // attitude, degrees x 100
            r.data = QByteArray(6, '\0');
            putLe16(r.data, 0, pan.value / 36);
            putLe16(r.data, 2, tilt.value / 36);
            return r;
        default:
            r.result = ResultUnknownCommand;
            return r;
        }
    }
    if (cmdSet == ProtocolMsg::CmdSetAi) {
        switch (cmdId) {
        case 54: // gimbal boot position
            r.data = QByteArray(20, '\0');
            putFloat(r.data, 4, 0.0f);
            putFloat(r.data, 8, 0.0f);
            putFloat(r.data, 12, 1.0f);
            putFloat(r.data, 16, 0.0f);
            return r;
        case 146: // short AI status
            r.data = QByteArray(38, '\0');
            r.data[30] = char(ai_[0]);
            r.data[31] = char(ai_[1]);
            r.data[32] = char(ai_[2]);
            putFloat(r.data, 33, aiValue_);
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
    const quint8 code = b[0];
    const quint8 v0 = b[2];
    switch (code) {
    case 0: status_[0] = char(v0); break;   // media mode
    case 1: status_[1] = char(v0); break;   // HDR
    case 3: status_[3] = char(v0); break;   // face exposure
    case 4: status_[4] = char(v0); break;   // field of view
    case 5: status_[5] = char(v0); break;   // background mode
    case 6: status_[6] = char(v0); break;   // blur level
    case 7: status_[10] = char(v0); break;  // button mode
    case 9: { // relative pan and tilt: direction and step each
        ControlState &pan = controls_[int(Control::Pan)];
        ControlState &tilt = controls_[int(Control::Tilt)];
        auto dir = [](quint8 d) { return d == 255 ? -1 : (d == 1 ? 1 : 0); };
        pan.value = qBound(pan.range.minimum, pan.value + dir(b[2]) * b[3] * 3600, pan.range.maximum);
        tilt.value = qBound(tilt.range.minimum, tilt.value + dir(b[4]) * b[5] * 3600, tilt.range.maximum);
        break;
    }
    case 10: status_[14] = char(v0); break; // noise cancellation
    case 11:                                // auto-sleep time
        status_[18] = char(b[2]);
        status_[19] = char(b[3]);
        break;
    case 13: // framing: mode, then size for the single mode
        status_[16] = char(v0 ? 1 : 0);
        if (v0 && qint8(b[3]) >= 0)
            status_[17] = char(b[3]);
        break;
    case 14: // replacement picture: 0 use, 1 delete
        if (v0 == 0)
            status_[20] = char(b[3]);
        break;
    case 16: status_[22] = char(v0); break; // green-screen colour
    case 17: status_[26] = char(v0); break; // background unavailable
    default: break;
    }
}

// ---- status ----

void VirtualCamera::resetStatusLocked()
{
    status_ = QByteArray(Block, '\0');
    status_[2] = 1;    // running
    status_[5] = 18;   // blur
    status_[6] = 50;
    status_[7] = 1;    // 50 Hz
    status_[22] = 1;   // green
    status_[24] = 1;   // auto focus
    status_[25] = 50;
}

void VirtualCamera::resetControlsLocked()
{
    auto set = [this](Control c, int mn, int mx, int step, int def, bool hasAuto, bool autoOn) {
        ControlState &s = controls_[int(c)];
        s.range = {mn, mx, step, def, CameraDevice::FlagManual | (hasAuto ? CameraDevice::FlagAuto : 0)};
        s.value = def;
        s.autoOn = autoOn;
    };
    set(Control::Brightness, 0, 255, 1, 128, false, false);
    set(Control::Contrast, 0, 100, 1, 50, false, false);
    set(Control::Hue, -180, 180, 1, 0, true, false);
    set(Control::Saturation, 0, 100, 1, 64, false, false);
    set(Control::Sharpness, 0, 100, 1, 50, false, false);
    set(Control::WhiteBalance, 2800, 6500, 10, 4600, true, true);
    set(Control::BacklightCompensation, 0, 2, 1, 1, false, false);
    set(Control::Gain, 0, 100, 1, 0, true, false);
    set(Control::PowerLineFrequency, 0, 3, 1, 1, false, false);
    set(Control::Exposure, 3, 2047, 1, 156, true, true);
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
    putLe16(status_, 8, normalized(zoom.range, zoom.value));
    const ControlState &plf = controls_[int(Control::PowerLineFrequency)];
    if (plf.value >= 0 && plf.value <= 2)
        status_[7] = char(plf.value);
    const ControlState &focus = controls_[int(Control::Focus)];
    status_[24] = char(focus.autoOn ? 1 : 0);
    status_[25] = char(normalized(focus.range, focus.value));
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

bool VirtualCamera::controlRange(int generation, Control c, CameraDevice::Range &range, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (!checkAliveLocked(generation, error))
        return false;
    const ControlState &s = controls_[int(c)];
    if (s.fails) {
        *error = EIO;
        return false;
    }
    range = s.range;
    return true;
}

bool VirtualCamera::controlGet(int generation, Control c, int &value, int &flags, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (!checkAliveLocked(generation, error))
        return false;
    const ControlState &s = controls_[int(c)];
    if (s.fails) {
        *error = EIO;
        return false;
    }
    value = s.value;
    flags = s.autoOn ? CameraDevice::FlagAuto : CameraDevice::FlagManual;
    return true;
}

bool VirtualCamera::controlSet(int generation, Control c, int value, int flags, int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (!checkAliveLocked(generation, error))
        return false;
    ControlState &s = controls_[int(c)];
    const bool hasAuto = s.range.flags & CameraDevice::FlagAuto;
    if (s.fails || (flags == CameraDevice::FlagAuto && !hasAuto)) {
        *error = s.fails ? EIO : EINVAL;
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

void VirtualCamera::clearLog()
{
    std::lock_guard<std::mutex> locker(lock_);
    received_.clear();
    written_.clear();
    reads_.clear();
    writes_.clear();
}

} // namespace pc
} // namespace vexo
