// The "lzma" container: every file comes back through liblzma's raw LZMA2
// decoder configured only from the container's own property byte.

#include "PackageTestSupport.h"

#include "package/FileCompressor.h"
#include "package/FirmwareBuilder.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <lzma.h>

#include <random>

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
    if (container.size() < 9 || container.left(4) != "lzma")
        return false;
    const quint8 prop = quint8(container.at(4));
    const quint32 size = le32(container, 5);
    if (prop > 40)
        return false;

    lzma_options_lzma opt;
    std::memset(&opt, 0, sizeof opt);
    lzma_filter filters[2];
    filters[0].id = LZMA_FILTER_LZMA2;
    filters[0].options = nullptr;
    filters[1].id = LZMA_VLI_UNKNOWN;
    filters[1].options = nullptr;
    if (lzma_properties_decode(&filters[0], nullptr, &prop, 1) != LZMA_OK)
        return false;
    const bool dictOk =
        static_cast<lzma_options_lzma *>(filters[0].options)->dict_size == dictionaryOf(prop)
        || prop == 40;
    lzma_stream strm = LZMA_STREAM_INIT;
    lzma_ret ret = lzma_raw_decoder(&strm, filters);
    free(filters[0].options);
    if (ret != LZMA_OK || !dictOk)
        return false;

    QByteArray result(int(size) + 1, '\0'); // one spare byte catches overlong streams
    strm.next_in = reinterpret_cast<const uint8_t *>(container.constData()) + 9;
    strm.avail_in = size_t(container.size() - 9);
    strm.next_out = reinterpret_cast<uint8_t *>(result.data());
    strm.avail_out = size_t(result.size());
    ret = lzma_code(&strm, LZMA_FINISH);
    const size_t produced = size_t(result.size()) - strm.avail_out;
    const bool consumed = strm.avail_in == 0;
    lzma_end(&strm);
    if (ret != LZMA_STREAM_END || produced != size || !consumed)
        return false;
    result.truncate(int(size));
    *out = result;
    return true;
}

} // namespace

class TestFileCompressor : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void roundTrip_data();
    void roundTrip();
    void sameStreamAsXz();
    void failures();

private:
    QTemporaryDir m_dir;
};

void TestFileCompressor::roundTrip_data()
{
    QTest::addColumn<QByteArray>("data");
    std::mt19937 rng(4);
    QByteArray random(300000, '\0');
    for (char &c : random)
        c = char(rng() & 0xFF);
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("text") << QByteArray("patch head ").repeated(5000);
    QTest::newRow("firmware-like 1 MiB") << FirmwareBuilder::firmwareLikeData(8, 1 << 20, 0);
    QTest::newRow("incompressible") << random;
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
    if (data.isEmpty()) // header, then the encoder's end of an empty stream
        QCOMPARE(container.mid(9), QByteArray(1, '\0'));
}

// The stream is exactly what the xz tool writes for a raw LZMA2 stream at
// preset 5.
void TestFileCompressor::sameStreamAsXz()
{
    const QString xz = QStandardPaths::findExecutable(QStringLiteral("xz"));
    if (xz.isEmpty())
        QSKIP("xz is not installed");
    const QByteArray data = FirmwareBuilder::firmwareLikeData(12, 200000, 0);
    const QString src = m_dir.filePath(QStringLiteral("xz.bin"));
    const QString dst = m_dir.filePath(QStringLiteral("xz.bin.lzma"));
    QVERIFY(writeFile(src, data));
    QVERIFY(FileCompressor::fileCompress(src, dst));

    QProcess p;
    p.start(xz, {QStringLiteral("--format=raw"), QStringLiteral("--lzma2=preset=5"),
                 QStringLiteral("-c"), src});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    QCOMPARE(readFile(dst).mid(9), p.readAllStandardOutput());
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
    if (QFileInfo::exists(QStringLiteral("/dev/full"))) {
        log.clear();
        bool writeFailed = false;
        QVERIFY(!FileCompressor::fileCompress(src, QStringLiteral("/dev/full"), &writeFailed));
        QVERIFY(writeFailed);
        QVERIFY(log.hasCritical(QStringLiteral("Write file failed:")));
    }
}

QTEST_GUILESS_MAIN(TestFileCompressor)
#include "tst_filecompressor.moc"
