#pragma once

#include <QByteArray>
#include <QObject>

#include <atomic>
#include <cstddef>

namespace vexo {
namespace pc {

// Framed request/answer messages exchanged with a camera over the message
// channel of its extension unit.
//
// Wire layout of a frame (at most 60 bytes; header fields big-endian):
//   0  sync     0xAA
//   1  lenVer   bits 15..12 version, bits 11..0 total length incl. header
//   3  flags    bit 0 answer, bit 1 answer wanted, bit 4 built by the host
//   4  seq      chosen by the host, copied into the answer
//   6  crc16    CRC-16/USB over the whole frame (computed with 6..7 zero)
//   8  crc8     header checksum, version 2 only (else 0)
//   9  route    high nibble sender, low nibble receiver (host = 0xE)
//  10  cmd      bits 15..12 command set, bits 11..0 command id
//  12  payload  request arguments; in an answer byte 12 is the result code
//               (0 = success) and the answer data start at byte 13
//
// Typical use by the sender:
//   ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 962, args);
//   f.seq = msg.nextSeq();
//   ProtocolMsg::packFrame(f);        // now in wire order; write frameLength(f)... bytes
// and by the receiver:
//   memcpy(&f, block, n);
//   if (ProtocolMsg::checkFrame(f, n) == ProtocolMsg::FrameOk) ...   // host order again
//
// One ProtocolMsg belongs to each device; it holds the device's sequence
// counter. packFrame, checkFrame and the builders are stateless.
class ProtocolMsg : public QObject
{
    Q_OBJECT

public:
#pragma pack(push, 1)
    // One frame in memory: the 12 header bytes in wire order followed by a
    // 64-byte payload area. lenVer, seq, crc16 and cmd are in host byte order
    // while a frame is built and after checkFrame accepted it; packFrame turns
    // them into wire order in place. A default FrmPacket is a fresh request
    // to the camera module that asks for an answer, with no payload.
    // The structure is packed: read its 16-bit fields by value (a const
    // reference, as taken by QCOMPARE or qMin, would be misaligned).
    struct FrmPacket
    {
        quint8 sync = 0xAA;
        quint16 lenVer = 12;
        quint8 flags = 0x12;
        quint16 seq = 0;
        quint16 crc16 = 0;
        quint8 crc8 = 0;
        quint8 route = 0xE1;
        quint16 cmd = 0;
        quint8 payload[64] = {};
    };
#pragma pack(pop)

    enum : int {
        HeaderSize = 12,
        MaxFrameSize = 60,                       // one extension-unit transfer
        MaxPayloadSize = MaxFrameSize - HeaderSize,
    };

    // Results of checkFrame, in the order the checks run.
    enum CheckResult : int {
        FrameOk = 0, FrameBadSync, FrameTooShort, FrameBadLength, FrameBadHeaderCrc, FrameBadCrc
    };

    // flags bits.
    enum Flag : quint8 { FlagAnswer = 0x01, FlagWantAnswer = 0x02, FlagHost = 0x10 };

    // Addresses in route, and the command sets (a request's receiver is
    // always its command set).
    enum Address : quint8 { AddrCamera = 1, AddrGimbal = 2, AddrAi = 3, AddrSystem = 8, AddrHost = 0xE };
    enum CmdSet : int { CmdSetCamera = 1, CmdSetGimbal = 2, CmdSetAi = 3, CmdSetSystem = 8 };

    explicit ProtocolMsg(QObject *parent = nullptr);
    ~ProtocolMsg() override;

    // The sequence number for the next frame: the counter's value before an
    // atomic increment (wraps from 65535 to 0). Thread safe.
    quint16 nextSeq();
    // Current counter value without changing it.
    quint16 currentSeq() const;

    // Turns a host-order frame (seq already set) into wire form in place and
    // fills in its checksums (crc8 only for version 2).
    static void packFrame(FrmPacket &frame);

    // Validates a block of `received` bytes read into frame; on FrameOk the
    // header fields are converted to host order in place (crc16 holds the
    // received checksum). Counts beyond sizeof(FrmPacket) are treated as
    // sizeof(FrmPacket), since no more can have been stored in it.
    static int checkFrame(FrmPacket &frame, int received);

    // ---- building (host order) ----

    // A request of cmdSet/cmdId to the module of that command set, with the
    // payload (at most MaxPayloadSize bytes; longer payloads are cut) and
    // the answer flag. seq is left 0 for the sender to set.
    static FrmPacket makeRequest(int cmdSet, int cmdId, const QByteArray &payload = QByteArray(),
                                 bool wantAnswer = true);
    static FrmPacket makeRequest(int cmdSet, int cmdId, const void *payload, int size,
                                 bool wantAnswer = true);

    // Sets cmd and the receiver nibble of route (= cmdSet); the sender stays.
    static void setCommand(FrmPacket &frame, int cmdSet, int cmdId);
    // Copies the payload and sets the length (version 0). False, leaving the
    // frame unchanged, when size is negative or above MaxPayloadSize.
    static bool setPayload(FrmPacket &frame, const void *payload, int size);

    // An answer to a (host-order) request as a camera builds it: answer flag,
    // same seq and cmd, route from the request's receiver to the host,
    // payload = result code followed by data. The virtual camera uses it.
    static FrmPacket makeAnswer(const FrmPacket &request, quint8 result,
                                const QByteArray &data = QByteArray());

    // ---- reading fields of a host-order frame ----
    static int frameLength(const FrmPacket &frame) { return frame.lenVer & 0x0FFF; }
    static int frameVersion(const FrmPacket &frame) { return (frame.lenVer >> 12) & 0x0F; }
    static int payloadLength(const FrmPacket &frame);
    static int cmdSet(const FrmPacket &frame) { return (frame.cmd >> 12) & 0x0F; }
    static int cmdId(const FrmPacket &frame) { return frame.cmd & 0x0FFF; }
    static int sender(const FrmPacket &frame) { return (frame.route >> 4) & 0x0F; }
    static int receiver(const FrmPacket &frame) { return frame.route & 0x0F; }
    static bool isAnswer(const FrmPacket &frame) { return frame.flags & FlagAnswer; }
    // Result code of an answer (payload byte 0).
    static quint8 resultCode(const FrmPacket &frame) { return frame.payload[0]; }
    // The answer data after the result code (empty when there is none).
    static QByteArray answerData(const FrmPacket &frame);

    // The first frameLength bytes of a packed frame (its wire bytes).
    static QByteArray wireBytes(const FrmPacket &packed);

private:
    std::atomic<quint16> m_seq{0};
};

static_assert(sizeof(ProtocolMsg::FrmPacket) == 76, "frame: 12-byte header + 64-byte payload");
static_assert(offsetof(ProtocolMsg::FrmPacket, seq) == 4, "frame layout");
static_assert(offsetof(ProtocolMsg::FrmPacket, crc16) == 6, "frame layout");
static_assert(offsetof(ProtocolMsg::FrmPacket, cmd) == 10, "frame layout");
static_assert(offsetof(ProtocolMsg::FrmPacket, payload) == 12, "frame layout");

} // namespace pc
} // namespace vexo
