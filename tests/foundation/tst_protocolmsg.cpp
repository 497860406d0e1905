#include "comm/Util.h"
#include "uvc/ProtocolMsg.h"

#include <QRandomGenerator>
#include <QtTest>

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
    QByteArray storage(int(sizeof(Frame)), '\0');
    storage.replace(0, qMin<int>(wire.size(), storage.size()), wire.left(storage.size()));
    Frame f;
    std::memcpy(&f, storage.constData(), sizeof f);
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
    void checksumVectors()
    {
        const QByteArray check("123456789");
        QCOMPARE(Util::crc16(check.constData(), check.size()), quint16(0xB4C8));
        QCOMPARE(Util::crc8(check.constData(), check.size()), quint8(0xF4));
        const quint8 b47 = 0x47;
        QCOMPARE(Util::crc8(&b47, 1), quint8(0x0D));
        const quint8 b01 = 0x01;
        QCOMPARE(Util::crc8(&b01, 1), quint8(0x07)); // the rest of the table is textbook
        QCOMPARE(Util::crc32(check.constData(), check.size()), quint32(0xCBF43926));
        QCOMPARE(Util::crc32(check.constData(), 0), quint32(0));
        QCOMPARE(Util::crc16(nullptr, 0), quint16(0x0000)); // ~0xFFFF
    }

    void defaultFrame()
    {
        const Frame f;
        QCOMPARE(bytes(f, 12), QByteArray::fromHex("aa0c001200000000" "00e10000"));
        for (quint8 b : f.payload)
            QCOMPARE(b, quint8(0));
    }

    void sleepRequestOnTheWire()
    {
        // Put-to-sleep/resume request: camera set, id 962, payload 01 01,
        // no answer wanted, seq 5.
        Frame f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 962,
                                           QByteArray::fromHex("0101"), false);
        f.seq = 5;
        ProtocolMsg::packFrame(f);
        QCOMPARE(ProtocolMsg::wireBytes(f).toHex(' '),
                 QByteArray("aa 00 0e 10 00 05 2d a5 00 e1 13 c2 01 01"));

        // And the checker turns it back into host order.
        Frame back = fromBytes(ProtocolMsg::wireBytes(f));
        QCOMPARE(ProtocolMsg::checkFrame(back, 14), int(ProtocolMsg::FrameOk));
        QCOMPARE(quint16(back.lenVer), quint16(14));
        QCOMPARE(quint16(back.seq), quint16(5));
        QCOMPARE(quint16(back.crc16), quint16(0x2DA5));
        QCOMPARE(quint16(back.cmd), quint16(0x13C2));
        QCOMPARE(ProtocolMsg::cmdSet(back), 1);
        QCOMPARE(ProtocolMsg::cmdId(back), 962);
    }

    void requestBuilders()
    {
        Frame f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, 0xFFF);
        QCOMPARE(quint8(f.route), quint8(0xE8));
        QCOMPARE(quint8(f.flags), quint8(0x12));
        QCOMPARE(quint16(f.lenVer), quint16(12));
        QCOMPARE(quint16(f.cmd), quint16(0x8FFF));

        const QByteArray tooLong(ProtocolMsg::MaxPayloadSize + 1, 'x');
        QVERIFY(!ProtocolMsg::setPayload(f, tooLong.constData(), tooLong.size()));
        QCOMPARE(quint16(f.lenVer), quint16(12));
        QVERIFY(ProtocolMsg::setPayload(f, tooLong.constData(), ProtocolMsg::MaxPayloadSize));
        QCOMPARE(ProtocolMsg::frameLength(f), 60);

        // Answers come from the addressed module to the host.
        Frame req = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetGimbal, 7);
        req.seq = 42;
        Frame ans = ProtocolMsg::makeAnswer(req, 3, QByteArray("ab"));
        QCOMPARE(quint8(ans.route), quint8(0x2E));
        QVERIFY(ProtocolMsg::isAnswer(ans));
        QCOMPARE(quint16(ans.seq), quint16(42));
        QCOMPARE(ProtocolMsg::resultCode(ans), quint8(3));
        QCOMPARE(ProtocolMsg::answerData(ans), QByteArray("ab"));
    }

    void headerOnlyFrame()
    {
        Frame f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 1);
        f.seq = 0x1234;
        Frame copy = f;
        ProtocolMsg::packFrame(f);
        const QByteArray wire = ProtocolMsg::wireBytes(f);
        QCOMPARE(wire.size(), 12);
        QByteArray zeroed = wire;
        zeroed[6] = 0;
        zeroed[7] = 0;
        const quint16 crc = Util::crc16(zeroed.constData(), 12);
        QCOMPARE(quint8(wire[6]), quint8(crc >> 8));
        QCOMPARE(quint8(wire[7]), quint8(crc & 0xFF));
        // Bytes beyond the length do not enter the checksum.
        f.payload[0] = 0x55;
        QCOMPARE(ProtocolMsg::checkFrame(f, 60), int(ProtocolMsg::FrameOk));
        QCOMPARE(quint16(f.seq), quint16(copy.seq));
        QCOMPARE(quint16(f.lenVer), quint16(copy.lenVer));
        QCOMPARE(quint16(f.cmd), quint16(copy.cmd));
    }

    void checkFailures()
    {
        const QByteArray good = packedAnswer(0);
        {
            Frame f = fromBytes(good);
            QCOMPARE(ProtocolMsg::checkFrame(f, good.size()), int(ProtocolMsg::FrameOk));
            QCOMPARE(ProtocolMsg::resultCode(f), quint8(0));
            QCOMPARE(ProtocolMsg::answerData(f), QByteArray("\x07\x08", 2));
        }
        {   // too short wins over everything else
            Frame f = fromBytes(good);
            QCOMPARE(ProtocolMsg::checkFrame(f, 11), int(ProtocolMsg::FrameTooShort));
            Frame g = fromBytes(QByteArray(20, '\x55'));
            QCOMPARE(ProtocolMsg::checkFrame(g, 5), int(ProtocolMsg::FrameTooShort));
        }
        {   // bad sync
            QByteArray w = good;
            w[0] = char(0xAB);
            Frame f = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(f, w.size()), int(ProtocolMsg::FrameBadSync));
        }
        {   // length beyond the block, before any checksum: the block is untouched
            Frame f = fromBytes(good);
            QCOMPARE(ProtocolMsg::checkFrame(f, good.size() - 1), int(ProtocolMsg::FrameBadLength));
            QCOMPARE(bytes(f, good.size()), good);
            QByteArray w = good;
            w[1] = char(0x0F); // 0xF.. : length far beyond the frame storage
            Frame g = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(g, 4000), int(ProtocolMsg::FrameBadLength));
        }
        {   // payload corrupted
            QByteArray w = good;
            w[13] = char(w[13] ^ 0x01);
            Frame f = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(f, w.size()), int(ProtocolMsg::FrameBadCrc));
        }
        {   // version 0 ignores byte 8 in the header check, but not in the frame checksum
            QByteArray w = good;
            w[8] = char(0x99);
            Frame f = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(f, w.size()), int(ProtocolMsg::FrameBadCrc));
        }
    }

    void versionTwoAnswers()
    {
        const QByteArray good = packedAnswer(2);
        QCOMPARE(quint8(good[1]) >> 4, 2);
        QByteArray hdr = good.left(12);
        hdr[6] = hdr[7] = hdr[8] = 0;
        QCOMPARE(quint8(good[8]), Util::crc8(hdr.constData(), 12));
        {
            Frame f = fromBytes(good);
            QCOMPARE(ProtocolMsg::checkFrame(f, good.size()), int(ProtocolMsg::FrameOk));
            QCOMPARE(ProtocolMsg::frameVersion(f), 2);
            QCOMPARE(quint16(f.seq), quint16(0xBEEF));
        }
        {   // wrong header checksum, frame checksum recomputed to match: still 4
            QByteArray w = good;
            w[8] = char(w[8] ^ 0x40);
            w[6] = w[7] = 0;
            const quint16 crc = Util::crc16(w.constData(), w.size());
            w[6] = char(crc >> 8);
            w[7] = char(crc & 0xFF);
            Frame f = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(f, w.size()), int(ProtocolMsg::FrameBadHeaderCrc));
        }
        {   // header fine, payload broken
            QByteArray w = good;
            w[w.size() - 1] = char(w[w.size() - 1] ^ 0xFF);
            Frame f = fromBytes(w);
            QCOMPARE(ProtocolMsg::checkFrame(f, w.size()), int(ProtocolMsg::FrameBadCrc));
        }
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
                int expect;
                const int flen = ((quint8(block[1]) & 0x0F) << 8) | quint8(block[2]);
                if (len < 12)
                    expect = ProtocolMsg::FrameTooShort;
                else if (quint8(block[0]) != 0xAA)
                    expect = ProtocolMsg::FrameBadSync;
                else if (flen > len)
                    expect = ProtocolMsg::FrameBadLength;
                else
                    expect = -1; // 0, 4 or 5 depending on the bytes
                if (expect >= 0)
                    QCOMPARE(r, expect);
                else
                    QVERIFY(r == 0 || r == 4 || r == 5);
                if (expect == -1 && (quint8(block[1]) >> 4) != 2)
                    QVERIFY(r != 4);
            }
        }
        // Round trip of random valid frames of every payload length.
        for (int n = 0; n <= ProtocolMsg::MaxPayloadSize; ++n) {
            QByteArray payload(n, '\0');
            for (char &c : payload)
                c = char(rng.bounded(256));
            Frame f = ProtocolMsg::makeRequest(1 + rng.bounded(8), rng.bounded(4096), payload);
            f.seq = quint16(rng.bounded(65536));
            const Frame orig = f;
            ProtocolMsg::packFrame(f);
            QCOMPARE(ProtocolMsg::checkFrame(f, 60), int(ProtocolMsg::FrameOk));
            QCOMPARE(quint16(f.seq), quint16(orig.seq));
            QCOMPARE(quint16(f.cmd), quint16(orig.cmd));
            QCOMPARE(bytes(f, 12 + n).mid(12), payload);
        }
    }

    void sequenceWraps()
    {
        ProtocolMsg msg;
        QCOMPARE(msg.nextSeq(), quint16(0));
        QCOMPARE(msg.nextSeq(), quint16(1));
        for (int i = 2; i < 65535; ++i)
            msg.nextSeq();
        QCOMPARE(msg.nextSeq(), quint16(65535));
        QCOMPARE(msg.nextSeq(), quint16(0));
        QCOMPARE(msg.currentSeq(), quint16(1));
    }

    void sequenceIsAtomic()
    {
        ProtocolMsg msg;
        constexpr int kThreads = 4;
        constexpr int kEach = 20000;
        QVector<QVector<quint16>> seen(kThreads);
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t) {
            threads.emplace_back([&msg, &seen, t] {
                for (int i = 0; i < kEach; ++i)
                    seen[t].append(msg.nextSeq());
            });
        }
        for (std::thread &th : threads)
            th.join();
        // 80000 values over a 65536 cycle: every value appears once or twice.
        QVector<int> count(65536, 0);
        for (const auto &v : seen)
            for (quint16 s : v)
                ++count[s];
        int total = 0;
        for (int c : count) {
            QVERIFY(c == 1 || c == 2);
            total += c;
        }
        QCOMPARE(total, kThreads * kEach);
        QCOMPARE(msg.currentSeq(), quint16((kThreads * kEach) % 65536));
    }
};

QTEST_GUILESS_MAIN(TstProtocolMsg)
#include "tst_protocolmsg.moc"
