#include "comm/Util.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <zlib.h>

using vexo::pc::Util;

namespace {

QByteArray randomBytes(int n, quint32 seed)
{
    QRandomGenerator rng(seed);
    QByteArray b(n, '\0');
    for (char &c : b)
        c = char(rng.bounded(256));
    return b;
}

quint32 refCrc32(const QByteArray &b)
{
    return quint32(::crc32(0, reinterpret_cast<const Bytef *>(b.constData()), uInt(b.size())));
}

QByteArray refMd5(const QByteArray &b)
{
    return QCryptographicHash::hash(b, QCryptographicHash::Md5);
}

} // namespace

class TstUtil : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        Util::setLocalIpsProvider(nullptr);
    }

    void ipConversions()
    {
        QCOMPARE(Util::ipToUint(QStringLiteral("192.168.88.10")), quint32(0xC0A8580A));
        QCOMPARE(Util::uintToIp(0xC0A8580A), QStringLiteral("192.168.88.10"));
        QCOMPARE(Util::ipToUint(QStringLiteral("192.168.1.10")), quint32(0xC0A8010A));
        QCOMPARE(Util::uintToIp(0), QStringLiteral("0.0.0.0"));
        QCOMPARE(Util::uintToIp(0xFFFFFFFF), QStringLiteral("255.255.255.255"));
        QCOMPARE(Util::ipToUint(QStringLiteral("10.x.0.1")), quint32(0x0A000001));
        QCOMPARE(Util::ipToUint(QString()), quint32(0));
        for (quint32 v : {0x01020304u, 0x7F000001u, 0xC0A8FF14u})
            QCOMPARE(Util::ipToUint(Util::uintToIp(v)), v);
    }

    void localIpsInjectable()
    {
        Util::setLocalIpsProvider([] {
            return QStringList{QStringLiteral("127.0.0.1"), QStringLiteral("192.168.5.20"),
                               QStringLiteral("192.168.5.21")};
        });
        QCOMPARE(Util::getLocalIps().size(), 3);
        QCOMPARE(Util::getLocalIpSegs(),
                 (QStringList{QStringLiteral("127.0.0"), QStringLiteral("192.168.5"),
                              QStringLiteral("192.168.5")}));
        Util::setLocalIpsProvider(nullptr);
        // The system's list: IPv4 dotted text only.
        for (const QString &ip : Util::getLocalIps())
            QCOMPARE(ip.count(QLatin1Char('.')), 3);
    }

    void fileChecksumsOverRanges()
    {
        // Sizes around the 2048-byte block.
        const QByteArray data = randomBytes(2048 * 3 + 17, 7);
        struct Range { qint64 off; qint64 len; };
        const Range ranges[] = {{0, 1}, {0, 2048}, {1, 2048}, {5, 4097}, {2047, 2},
                                {100, qint64(data.size()) - 100}, {qint64(data.size()) - 1, 1}};
        QBuffer buf;
        buf.setData(data);
        for (const Range &r : ranges) {
            const QByteArray part = data.mid(int(r.off), int(r.len));
            QCOMPARE(Util::fileCrc32(&buf, r.off, r.len), refCrc32(part));
            QCOMPARE(Util::fileMd5Range(&buf, r.off, r.len), refMd5(part));
            QVERIFY(!buf.isOpen()); // opened for the call only
        }
        // Length 0: CRC up to the end; MD5 from an offset to the end.
        QCOMPARE(Util::fileCrc32(&buf, 0, 0), refCrc32(data));
        QCOMPARE(Util::fileCrc32(&buf, 3000, 0), refCrc32(data.mid(3000)));
        QCOMPARE(Util::fileMd5(&buf, 0), refMd5(data));
        QCOMPARE(Util::fileMd5(&buf, 4096), refMd5(data.mid(4096)));
        // Ranges past the end contribute what there is.
        QCOMPARE(Util::fileCrc32(&buf, 6000, 5000), refCrc32(data.mid(6000)));
        QCOMPARE(Util::fileMd5(&buf, data.size() + 10), refMd5(QByteArray()));

        // A running hash over consecutive ranges equals the hash of the whole.
        QCryptographicHash h(QCryptographicHash::Md5);
        Util::addFileRangeToHash(&buf, 0, 1000, h);
        Util::addFileRangeToHash(&buf, 1000, 3000, h);
        Util::addFileRangeToHash(&buf, 4000, data.size() - 4000, h);
        QCOMPARE(h.result(), refMd5(data));

        // An open device stays open; Util::crc32 agrees with the file helper.
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("blob.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(data);
        file.close();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(Util::fileCrc32(&file, 0, 0), Util::crc32(data.constData(), data.size()));
        QVERIFY(file.isOpen());
        file.close();
        QCOMPARE(Util::fileMd5Range(&file, 10, 20), refMd5(data.mid(10, 20)));
        QVERIFY(!file.isOpen());

        // A device that cannot be opened: the digest of nothing.
        QFile missing(dir.filePath(QStringLiteral("missing.bin")));
        QCOMPARE(Util::fileCrc32(&missing, 0, 0), quint32(0));
        QCOMPARE(Util::fileMd5(&missing, 0), refMd5(QByteArray()));
    }

    void resizeImage()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src.png"));
        QImage img(64, 32, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(src));

        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Source image not exist:")));
        QVERIFY(!Util::resizeImage(dir.filePath(QStringLiteral("none.png")),
                                   dir.filePath(QStringLiteral("out.jpg")), 10, 10));

        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Directory not exist:")));
        QVERIFY(!Util::resizeImage(src, dir.filePath(QStringLiteral("no/such/out.jpg")), 10, 10));

        const QString text = dir.filePath(QStringLiteral("text.png"));
        QFile f(text);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("not an image at all");
        f.close();
        QTest::ignoreMessage(QtCriticalMsg, "Image format invalid");
        QVERIFY(!Util::resizeImage(text, dir.filePath(QStringLiteral("out.jpg")), 10, 10));

        const QString out = dir.filePath(QStringLiteral("out.jpg"));
        QVERIFY(Util::resizeImage(src, out, 20, 30)); // aspect ratio ignored
        const QImage scaled(out);
        QCOMPARE(scaled.size(), QSize(20, 30));
    }

    void countTextLines()
    {
        const QFontMetrics fm(QGuiApplication::font());
        const int w = fm.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrst"));
        QCOMPARE(Util::countTextLines(QString(), fm, w), 1);
        QCOMPARE(Util::countTextLines(QStringLiteral("one\ntwo\nthree"), fm, w), 3);
        QCOMPARE(Util::countTextLines(QStringLiteral("a\r\nb"), fm, w), 2);

        // Words wrap at blanks: each "word word" pair fits, three words do not.
        const QString word = QStringLiteral("abcdefg");
        const QString pair = word + QLatin1Char(' ') + word;
        QVERIFY(fm.horizontalAdvance(pair) <= w);
        QVERIFY(fm.horizontalAdvance(pair + QLatin1Char(' ') + word) > w);
        QCOMPARE(Util::countTextLines(pair, fm, w), 1);
        QCOMPARE(Util::countTextLines(QStringList{word, word, word, word, word, word}.join(QLatin1Char(' ')), fm, w), 3);

        // CJK text breaks anywhere: the line count follows the width.
        const QString cjk(40, QChar(0x4E2D));
        const int cjkLines = Util::countTextLines(cjk, fm, fm.horizontalAdvance(QString(10, QChar(0x4E2D))));
        QVERIFY2(cjkLines >= 4 && cjkLines <= 5, QByteArray::number(cjkLines));

        // A single word wider than the line stays whole: no endless loop, one line.
        QCOMPARE(Util::countTextLines(QString(200, QLatin1Char('x')), fm, w), 1);
        // A width too small for anything still terminates.
        QVERIFY(Util::countTextLines(QStringLiteral("a b c d"), fm, 1) >= 1);
        QVERIFY(Util::countTextLines(cjk, fm, 0) >= 1);

        // A long English message grows with a narrower width.
        const QString msg = QStringLiteral(
            "Warning: Do not disconnect the device during upgrade, otherwise the device will crash!");
        const int wide = Util::countTextLines(msg, fm, fm.horizontalAdvance(msg) + 10);
        const int narrow = Util::countTextLines(msg, fm, fm.horizontalAdvance(msg) / 3);
        QCOMPARE(wide, 1);
        QVERIFY2(narrow >= 3 && narrow <= 5, QByteArray::number(narrow));
    }

    void delayKeepsEventsRunning()
    {
        bool fired = false;
        QTimer::singleShot(20, this, [&fired] { fired = true; });
        QElapsedTimer t;
        t.start();
        Util::delayWithEvents(120);
        QVERIFY(t.elapsed() >= 120);
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(fired);
        Util::delayWithEvents(0);
        Util::delayWithEvents(-5);
    }
};

QTEST_MAIN(TstUtil)
#include "tst_util.moc"
