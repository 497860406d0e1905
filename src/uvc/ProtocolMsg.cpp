#include "uvc/ProtocolMsg.h"

#include "comm/Util.h"

#include <QtEndian>

#include <cstring>

namespace vexo {
namespace pc {

namespace {

constexpr int kFrameStorage = static_cast<int>(sizeof(ProtocolMsg::FrmPacket));

quint8 *bytesOf(ProtocolMsg::FrmPacket &frame)
{
    return reinterpret_cast<quint8 *>(&frame);
}

quint16 readHost16(const quint8 *p)
{
    quint16 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void writeHost16(quint8 *p, quint16 v)
{
    std::memcpy(p, &v, sizeof v);
}

} // namespace

ProtocolMsg::ProtocolMsg(QObject *parent)
    : QObject(parent)
{
}

ProtocolMsg::~ProtocolMsg() = default;

quint16 ProtocolMsg::nextSeq()
{
    return m_seq.fetch_add(1, std::memory_order_relaxed);
}

quint16 ProtocolMsg::currentSeq() const
{
    return m_seq.load(std::memory_order_relaxed);
}

void ProtocolMsg::packFrame(FrmPacket &frame)
{
    quint8 *b = bytesOf(frame);
    const quint16 lenVer = readHost16(b + 1);
    const quint16 seq = readHost16(b + 4);
    const quint16 cmd = readHost16(b + 10);

    qToBigEndian(lenVer, b + 1);
    b[6] = 0;
    b[7] = 0;
    qToBigEndian(seq, b + 4);
    qToBigEndian(cmd, b + 10);
    b[8] = 0;

    if (((lenVer >> 12) & 0x0F) == 2)
        b[8] = Util::crc8(b, HeaderSize);

    const int length = qMin<int>(lenVer & 0x0FFF, kFrameStorage);
    qToBigEndian(Util::crc16(b, length), b + 6);
}

int ProtocolMsg::checkFrame(FrmPacket &frame, int received)
{
    if (received < HeaderSize)
        return FrameTooShort;
    quint8 *b = bytesOf(frame);
    if (b[0] != 0xAA)
        return FrameBadSync;

    const int length = ((b[1] & 0x0F) << 8) | b[2];
    if (length > qMin(received, kFrameStorage))
        return FrameBadLength;

    const quint16 receivedCrc = qFromBigEndian<quint16>(b + 6);
    b[6] = 0;
    b[7] = 0;

    if ((b[1] >> 4) == 2) {
        const quint8 saved = b[8];
        b[8] = 0;
        const quint8 computed = Util::crc8(b, HeaderSize);
        b[8] = computed;
        if (computed != saved)
            return FrameBadHeaderCrc;
    }

    if (Util::crc16(b, length) != receivedCrc)
        return FrameBadCrc;

    writeHost16(b + 1, qFromBigEndian<quint16>(b + 1));
    writeHost16(b + 4, qFromBigEndian<quint16>(b + 4));
    writeHost16(b + 10, qFromBigEndian<quint16>(b + 10));
    writeHost16(b + 6, receivedCrc);
    return FrameOk;
}

ProtocolMsg::FrmPacket ProtocolMsg::makeRequest(int cmdSet, int cmdId, const QByteArray &payload,
                                                bool wantAnswer)
{
    return makeRequest(cmdSet, cmdId, payload.constData(),
                       qMin<int>(payload.size(), MaxPayloadSize), wantAnswer);
}

ProtocolMsg::FrmPacket ProtocolMsg::makeRequest(int cmdSet, int cmdId, const void *payload,
                                                int size, bool wantAnswer)
{
    FrmPacket frame;
    frame.flags = wantAnswer ? quint8(FlagHost | FlagWantAnswer) : quint8(FlagHost);
    setCommand(frame, cmdSet, cmdId);
    setPayload(frame, payload, qBound(0, size, int(MaxPayloadSize)));
    return frame;
}

void ProtocolMsg::setCommand(FrmPacket &frame, int cmdSet, int cmdId)
{
    frame.cmd = static_cast<quint16>(((cmdSet & 0x0F) << 12) | (cmdId & 0x0FFF));
    frame.route = static_cast<quint8>((frame.route & 0xF0) | (cmdSet & 0x0F));
}

bool ProtocolMsg::setPayload(FrmPacket &frame, const void *payload, int size)
{
    if (size < 0 || size > MaxPayloadSize || (size > 0 && !payload))
        return false;
    std::memset(frame.payload, 0, sizeof frame.payload);
    if (size > 0)
        std::memcpy(frame.payload, payload, static_cast<size_t>(size));
    frame.lenVer = static_cast<quint16>(HeaderSize + size);
    return true;
}

ProtocolMsg::FrmPacket ProtocolMsg::makeAnswer(const FrmPacket &request, quint8 result,
                                               const QByteArray &data)
{
    FrmPacket frame;
    frame.flags = FlagAnswer;
    frame.seq = request.seq;
    frame.cmd = request.cmd;
    frame.route = static_cast<quint8>(((request.route & 0x0F) << 4) | AddrHost);
    QByteArray payload;
    payload.reserve(1 + data.size());
    payload.append(static_cast<char>(result));
    payload.append(data.left(MaxPayloadSize - 1));
    setPayload(frame, payload.constData(), payload.size());
    return frame;
}

int ProtocolMsg::payloadLength(const FrmPacket &frame)
{
    return qBound(0, frameLength(frame) - int(HeaderSize), int(sizeof frame.payload));
}

QByteArray ProtocolMsg::answerData(const FrmPacket &frame)
{
    const int n = payloadLength(frame) - 1;
    if (n <= 0)
        return QByteArray();
    return QByteArray(reinterpret_cast<const char *>(frame.payload) + 1, n);
}

QByteArray ProtocolMsg::wireBytes(const FrmPacket &packed)
{
    const quint8 *b = reinterpret_cast<const quint8 *>(&packed);
    const int length = qBound(0, ((b[1] & 0x0F) << 8) | b[2], kFrameStorage);
    return QByteArray(reinterpret_cast<const char *>(b), length);
}

} // namespace pc
} // namespace vexo
