// The "lzma" container: every file comes back through liblzma's raw LZMA2
// decoder configured only from the container's own property byte, and its
// stream is the one the xz tool writes.

#include "PackageTestSupport.h"
#include "SeededMutator.h"

#include "package/FileCompressor.h"
#include "package/FirmwareBuilder.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <lzma.h>

using namespace vexo::pc;
using namespace pkgtest;

namespace {

// Dictionary size that an LZMA2 property byte stands for.
quint64 dictionaryOf(quint8 prop)
{
    return (2ull | (prop & 1u)) << (prop / 2 + 11);
}

// Unpacks a container as the camera's updater would: the dictionary from
// the property byte, then the raw chunk stream up to the stated size.
bool unpack(const QByteArray &container, QByteArray *out)
{
    if (container.size() < 9 || !container.startsWith("lzma"))
        return false;
    const quint8 prop = quint8(container.at(4));
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA2, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (prop > 40 || lzma_properties_decode(&filters[0], nullptr, &prop, 1) != LZMA_OK)
        return false;
    const size_t size = le32(container, 5);
    QByteArray result(int(size) + 1, '\0'); // one spare byte catches overlong streams
    size_t inPos = 9;
    size_t outPos = 0;
    const lzma_ret ret = lzma_raw_buffer_decode(
        filters, nullptr, reinterpret_cast<const uint8_t *>(container.constData()), &inPos,
        size_t(container.size()), reinterpret_cast<uint8_t *>(result.data()), &outPos, size_t(result.size()));
    free(filters[0].options);
    *out = result.left(int(outPos));
    return ret == LZMA_OK && inPos == size_t(container.size()) && outPos == size;
}

} // namespace

class TestFileCompressor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void roundTrip_data();
    void roundTrip();
    void failures();

private:
    QTemporaryDir m_dir;
};

void TestFileCompressor::roundTrip_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("firmware-like 1 MiB") << FirmwareBuilder::firmwareLikeData(8, 1 << 20, 0);
    QTest::newRow("incompressible") << testsupport::SeededMutator(4).randomBytes(300000);
}

void TestFileCompressor::roundTrip()
{
    QFETCH(QByteArray, data);
    const QString src = m_dir.filePath(QStringLiteral("src.bin"));
    const QString dst = m_dir.filePath(QStringLiteral("src.bin.lzma"));
    QVERIFY(writeFile(src, data));

    LogCapture log;
    bool writeFailed = true;
    QVERIFY(FileCompressor::fileCompress(src, dst, &writeFailed));
    QVERIFY(!writeFailed);
    QVERIFY(log.has(QStringLiteral("compress successfully")));

    const QByteArray container = readFile(dst);
    QCOMPARE(container.left(4), QByteArray("lzma"));
    QCOMPARE(le32(container, 5), quint32(data.size()));
    // The property byte is the smallest one whose dictionary holds the
    // encoder's dictionary at level 5.
    lzma_options_lzma preset;
    QVERIFY(!lzma_lzma_preset(&preset, 5));
    quint8 expectProp = 0;
    while (dictionaryOf(expectProp) < preset.dict_size)
        ++expectProp;
    QCOMPARE(int(quint8(container.at(4))), int(expectProp));

    QByteArray unpacked;
    QVERIFY(unpack(container, &unpacked));
    QCOMPARE(unpacked, data);

    // The stream is exactly what the xz tool writes for a raw LZMA2 stream
    // at preset 5 (for empty input: the end marker alone).
    const QString xz = QStandardPaths::findExecutable(QStringLiteral("xz"));
    if (xz.isEmpty())
        QSKIP("xz is not installed");
    QProcess p;
    p.start(xz, {QStringLiteral("--format=raw"), QStringLiteral("--lzma2=preset=5"), QStringLiteral("-c"), src});
    QVERIFY(p.waitForFinished(60000) && p.exitCode() == 0);
    QCOMPARE(container.mid(9), p.readAllStandardOutput());
}

void TestFileCompressor::failures()
{
    LogCapture log;
    QVERIFY(!FileCompressor::fileCompress(m_dir.filePath(QStringLiteral("missing")),
                                          m_dir.filePath(QStringLiteral("out.lzma"))));
    QVERIFY(log.hasCritical(QStringLiteral("open file failed:")));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("out.lzma"))));

    const QString src = m_dir.filePath(QStringLiteral("in.bin"));
    QVERIFY(writeFile(src, "data"));
    log.clear();
    QVERIFY(!FileCompressor::fileCompress(src, m_dir.filePath(QStringLiteral("no/dir/out.lzma"))));
    QVERIFY(log.hasCritical(QStringLiteral("open file failed:")));

    // A full disk: the header or the stream cannot be written.
    bool writeFailed = false;
    QVERIFY(!FileCompressor::fileCompress(src, QStringLiteral("/dev/full"), &writeFailed));
    QVERIFY(writeFailed);
    QVERIFY(log.hasCritical(QStringLiteral("Write file failed:")));
}

QTEST_GUILESS_MAIN(TestFileCompressor)
#include "tst_filecompressor.moc"
