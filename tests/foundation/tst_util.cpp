#include "comm/Util.h"

#include "SeededMutator.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

using vexo::pc::Util;

namespace {

QByteArray md5(const QByteArray &b)
{
    return QCryptographicHash::hash(b, QCryptographicHash::Md5);
}

} // namespace

class TstUtil : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Util::setLocalIpsProvider(nullptr); }

    void numbersAndAddresses()
    {
        const QByteArray check("123456789");
        QCOMPARE(Util::crc16(check.constData(), check.size()), quint16(0xB4C8));
        QCOMPARE(Util::crc8(check.constData(), check.size()), quint8(0xF4));
        QCOMPARE(Util::crc32(check.constData(), check.size()), quint32(0xCBF43926));
        QCOMPARE(Util::crc32(check.constData(), 0), quint32(0));
        QCOMPARE(Util::ipToUint(QStringLiteral("192.168.88.10")), quint32(0xC0A8580A));
        QCOMPARE(Util::uintToIp(0xC0A8580A), QStringLiteral("192.168.88.10"));
        QCOMPARE(Util::ipToUint(QStringLiteral("10.x.0.1")), quint32(0x0A000001)); // not a number: 0
        Util::setLocalIpsProvider(
            [] { return QStringList{QStringLiteral("127.0.0.1"), QStringLiteral("192.168.5.20"), QStringLiteral("192.168.5.21")}; });
        QCOMPARE(Util::getLocalIpSegs(),
                 (QStringList{QStringLiteral("127.0.0"), QStringLiteral("192.168.5"), QStringLiteral("192.168.5")}));
    }

    void fileChecksumsOverRanges()
    {
        // Ranges around the 2048-byte block.
        const QByteArray data = testsupport::SeededMutator(7).randomBytes(2048 * 3 + 17);
        const QPair<int, int> ranges[] = {{0, 2048}, {1, 2048}, {5, 4097}, {2047, 2}, {data.size() - 1, 1}};
        QBuffer buf;
        buf.setData(data);
        for (const auto &r : ranges) {
            const QByteArray part = data.mid(r.first, r.second);
            QCOMPARE(Util::fileCrc32(&buf, r.first, r.second), Util::crc32(part.constData(), part.size()));
            QCOMPARE(Util::fileMd5Range(&buf, r.first, r.second), md5(part));
            QVERIFY(!buf.isOpen()); // opened for the call only
        }
        // Length 0 and ranges past the end: up to the end.
        const QByteArray tail = data.mid(6000);
        QCOMPARE(Util::fileCrc32(&buf, 6000, 0), Util::crc32(tail.constData(), tail.size()));
        QCOMPARE(Util::fileCrc32(&buf, 6000, 5000), Util::crc32(tail.constData(), tail.size()));
        QCOMPARE(Util::fileMd5(&buf, 4096), md5(data.mid(4096)));
        QCOMPARE(Util::fileMd5(&buf, data.size() + 10), md5(QByteArray()));
        // A running hash over consecutive ranges equals the hash of the whole;
        // an open device stays open.
        QVERIFY(buf.open(QIODevice::ReadOnly));
        QCryptographicHash h(QCryptographicHash::Md5);
        Util::addFileRangeToHash(&buf, 0, 1000, h);
        Util::addFileRangeToHash(&buf, 1000, data.size() - 1000, h);
        QCOMPARE(h.result(), md5(data));
        QVERIFY(buf.isOpen());
        // A device that cannot be opened: the digest of nothing.
        QFile missing(QStringLiteral("/nonexistent/missing.bin"));
        QCOMPARE(Util::fileCrc32(&missing, 0, 0), quint32(0));
        QCOMPARE(Util::fileMd5(&missing, 0), md5(QByteArray()));
    }

    void resizeImage()
    {
        QTemporaryDir dir;
        const QString src = dir.filePath(QStringLiteral("src.png"));
        const QString out = dir.filePath(QStringLiteral("out.jpg"));
        QImage img(64, 32, QImage::Format_RGB32);
        img.fill(Qt::red);
        QVERIFY(img.save(src));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Source image not exist:")));
        QVERIFY(!Util::resizeImage(dir.filePath(QStringLiteral("none.png")), out, 10, 10));
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Directory not exist:")));
        QVERIFY(!Util::resizeImage(src, dir.filePath(QStringLiteral("no/such/out.jpg")), 10, 10));
        QFile text(dir.filePath(QStringLiteral("text.png")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("not an image at all") > 0);
        text.close();
        QTest::ignoreMessage(QtCriticalMsg, "Image format invalid");
        QVERIFY(!Util::resizeImage(text.fileName(), out, 10, 10));
        QVERIFY(Util::resizeImage(src, out, 20, 30)); // aspect ratio ignored
        QCOMPARE(QImage(out).size(), QSize(20, 30));
    }

    void countTextLines()
    {
        const QFontMetrics fm(QGuiApplication::font());
        const int w = fm.horizontalAdvance(QStringLiteral("abcdefghijklmnopqrst"));
        QCOMPARE(Util::countTextLines(QString(), fm, w), 1);
        QCOMPARE(Util::countTextLines(QStringLiteral("one\ntwo\nthree"), fm, w), 3);
        // Words wrap at blanks: each "word word" pair fits, three words do not.
        const QString word = QStringLiteral("abcdefg");
        QVERIFY(fm.horizontalAdvance(QStringList{word, word}.join(QLatin1Char(' '))) <= w);
        QVERIFY(fm.horizontalAdvance(QStringList{word, word, word}.join(QLatin1Char(' '))) > w);
        QCOMPARE(Util::countTextLines(QString(word + QLatin1Char(' ')).repeated(6).trimmed(), fm, w), 3);
        // CJK text breaks anywhere: the line count follows the width.
        const QString cjk(40, QChar(0x4E2D));
        const int cjkLines = Util::countTextLines(cjk, fm, fm.horizontalAdvance(QString(10, QChar(0x4E2D))));
        QVERIFY2(cjkLines >= 4 && cjkLines <= 5, QByteArray::number(cjkLines));
        // A word wider than the line stays whole; a width too small for anything still ends.
        QCOMPARE(Util::countTextLines(QString(200, QLatin1Char('x')), fm, w), 1);
        QVERIFY(Util::countTextLines(cjk, fm, 0) >= 1);
    }

    void delayKeepsEventsRunning()
    {
        bool fired = false;
        QTimer::singleShot(20, this, [&fired] { fired = true; });
        QElapsedTimer t;
        t.start();
        Util::delayWithEvents(120);
        QVERIFY(t.elapsed() >= 120);
        QVERIFY(fired);
    }
};

QTEST_MAIN(TstUtil)
#include "tst_util.moc"
