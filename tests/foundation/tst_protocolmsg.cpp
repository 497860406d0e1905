#include "comm/Util.h"
#include "uvc/ProtocolMsg.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <thread>
#include <vector>

using vexo::pc::ProtocolMsg;
using vexo::pc::Util;
using Frame = ProtocolMsg::FrmPacket;

namespace {

QByteArray bytes(const Frame &f, int n)
{
    return QByteArray(reinterpret_cast<const char *>(&f), n);
}

Frame fromBytes(const QByteArray &wire)
{
    Frame f;
    std::memset(static_cast<void *>(&f), 0, sizeof f);
    std::memcpy(static_cast<void *>(&f), wire.constData(), qMin(size_t(wire.size()), sizeof f));
    return f;
}

// A packed camera answer (version 0 or 2) to the given request.
QByteArray packedAnswer(int version, const QByteArray &data = QByteArray("\x07\x08", 2))
{
    Frame req = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetAi, 0x123, QByteArray("\x01", 1));
    req.seq = 0xBEEF;
    Frame ans = ProtocolMsg::makeAnswer(req, 0, data);
    ans.lenVer = static_cast<quint16>((version << 12) | ProtocolMsg::frameLength(ans));
    ProtocolMsg::packFrame(ans);
    return ProtocolMsg::wireBytes(ans);
}

} // namespace

class TstProtocolMsg : public QObject
{
    Q_OBJECT

private slots:
    void sleepRequestOnTheWire()
    {
        // Put-to-sleep/resume request: camera set, id 962, payload 01 01, no answer wanted, seq 5.
        Frame f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 962, QByteArray::fromHex("0101"), false);
        f.seq = 5;
        ProtocolMsg::packFrame(f);
        QCOMPARE(ProtocolMsg::wireBytes(f).toHex(' '), QByteArray("aa 00 0e 10 00 05 2d a5 00 e1 13 c2 01 01"));

        // And the checker turns it back into host order.
        Frame back = fromBytes(ProtocolMsg::wireBytes(f));
        QCOMPARE(ProtocolMsg::checkFrame(back, 14), int(ProtocolMsg::FrameOk));
        QCOMPARE(ProtocolMsg::cmdSet(back) * 10000 + ProtocolMsg::cmdId(back), 10962);
    }

    void payloadBounds()
    {
        Frame f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, 0xFFF);
        const QByteArray tooLong(ProtocolMsg::MaxPayloadSize + 1, 'x');
        QVERIFY(!ProtocolMsg::setPayload(f, tooLong.constData(), tooLong.size()));
        QCOMPARE(ProtocolMsg::frameLength(f), 12);
        QVERIFY(ProtocolMsg::setPayload(f, tooLong.constData(), ProtocolMsg::MaxPayloadSize));
        QCOMPARE(ProtocolMsg::frameLength(f), 60);
    }

    // One byte of a packed answer changed, and what the check makes of it.
    void checkFailures()
    {
        const auto check = [](QByteArray w, int at, int value, int len = -1) {
            if (at >= 0)
                w[at] = char(value);
            Frame f = fromBytes(w);
            return ProtocolMsg::checkFrame(f, len < 0 ? w.size() : len);
        };
        const QByteArray v0 = packedAnswer(0);
        const QByteArray v2 = packedAnswer(2);
        Frame ok = fromBytes(v0);
        QCOMPARE(ProtocolMsg::checkFrame(ok, v0.size()), int(ProtocolMsg::FrameOk));
        QCOMPARE(ProtocolMsg::answerData(ok), QByteArray("\x07\x08", 2));
        QCOMPARE(check(v2, -1, 0), int(ProtocolMsg::FrameOk));
        QCOMPARE(check(v0, 0, 0xAB, 5), int(ProtocolMsg::FrameTooShort)); // before everything else
        QCOMPARE(check(v0, 0, 0xAB), int(ProtocolMsg::FrameBadSync));
        QCOMPARE(check(v0, 13, v0[13] ^ 0x01), int(ProtocolMsg::FrameBadCrc));
        // Version 0 ignores byte 8 in the header check, but not in the frame checksum.
        QCOMPARE(check(v0, 8, 0x99), int(ProtocolMsg::FrameBadCrc));
        QCOMPARE(check(v2, v2.size() - 1, ~v2[v2.size() - 1]), int(ProtocolMsg::FrameBadCrc));
        // Length beyond the block, found before any checksum: the block stays untouched.
        Frame f = fromBytes(v0);
        QCOMPARE(ProtocolMsg::checkFrame(f, v0.size() - 1), int(ProtocolMsg::FrameBadLength));
        QCOMPARE(bytes(f, v0.size()), v0);

        // Version 2: a wrong header checksum under a matching frame checksum.
        QByteArray hdr = v2.left(12);
        hdr[6] = hdr[7] = hdr[8] = 0;
        QCOMPARE(quint8(v2[8]), Util::crc8(hdr.constData(), 12));
        QByteArray w = v2;
        w[8] = char(w[8] ^ 0x40);
        w[6] = w[7] = 0;
        const quint16 crc = Util::crc16(w.constData(), w.size());
        w[6] = char(crc >> 8);
        w[7] = char(crc & 0xFF);
        QCOMPARE(check(w, -1, 0), int(ProtocolMsg::FrameBadHeaderCrc));
    }

    void fuzzEveryLength()
    {
        QRandomGenerator rng(20240611);
        for (int round = 0; round < 300; ++round) {
            for (int len = 0; len <= 60; ++len) {
                QByteArray block(60, '\0');
                for (int i = 0; i < len; ++i)
                    block[i] = char(rng.bounded(256));
                if (round % 2 == 0 && len > 0)
                    block[0] = char(0xAA); // get past the sync test more often
                if (round % 3 == 0 && len > 2) {
                    // plausible length field, random version
                    const int l = rng.bounded(len + 1);
                    block[1] = char((rng.bounded(4) << 4) | (l >> 8));
                    block[2] = char(l & 0xFF);
                }
                Frame f = fromBytes(block);
                const int r = ProtocolMsg::checkFrame(f, len);
                const int flen = ((quint8(block[1]) & 0x0F) << 8) | quint8(block[2]);
                // Otherwise 0 or a checksum failure; the header check is version 2's only.
                const int expect = len < 12 ? ProtocolMsg::FrameTooShort
                    : quint8(block[0]) != 0xAA ? ProtocolMsg::FrameBadSync
                    : flen > len ? ProtocolMsg::FrameBadLength : -1;
                if (expect >= 0)
                    QCOMPARE(r, expect);
                else
                    QVERIFY(r == 0 || r == 5 || (r == 4 && (quint8(block[1]) >> 4) == 2));
            }
        }
        // Round trip of random valid frames of every payload length.
        for (int n = 0; n <= ProtocolMsg::MaxPayloadSize; ++n) {
            QByteArray payload(n, '\0');
            for (char &c : payload)
                c = char(rng.bounded(256));
            Frame f = ProtocolMsg::makeRequest(1 + rng.bounded(8), rng.bounded(4096), payload);
            const Frame orig = f;
            ProtocolMsg::packFrame(f);
            QCOMPARE(ProtocolMsg::checkFrame(f, 60), int(ProtocolMsg::FrameOk));
            QCOMPARE(bytes(f, 12 + n), bytes(orig, 12 + n).left(6) + bytes(f, 12 + n).mid(6, 3) + bytes(orig, 12 + n).mid(9));
        }
    }

    void sequenceIsAtomic()
    {
        // 4 x 20000 values over a 65536 cycle (so it wraps): every value once or twice.
        ProtocolMsg msg;
        QVector<QVector<quint16>> seen(4);
        std::vector<std::thread> threads;
        for (auto &mine : seen)
            threads.emplace_back([&msg, &mine] {
                for (int i = 0; i < 20000; ++i)
                    mine.append(msg.nextSeq());
            });
        for (std::thread &th : threads)
            th.join();
        QVector<int> count(65536, 0);
        for (const auto &v : seen)
            for (quint16 s : v)
                ++count[s];
        QVERIFY(std::all_of(count.begin(), count.end(), [](int c) { return c == 1 || c == 2; }));
        QCOMPARE(msg.currentSeq(), quint16(80000 % 65536));
    }
};

QTEST_GUILESS_MAIN(TstProtocolMsg)
#include "tst_protocolmsg.moc"
