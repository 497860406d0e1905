// Blocks written one at a time and joined make one stream that the bzip2
// library reads back, whatever the data: runs at the first stage's edges,
// data that repeats itself whole, every byte value, a full block.

#include "package/Bzip2Blocks.h"
#include "package/Bzip2Encoder.h"

#include <QRandomGenerator>
#include <QtTest>

#include <bzlib.h>

#include <cstring>

using namespace vexo::pc;

namespace {

// Compiled-code-like bytes: runs of zeros, repeated words, noise.
std::vector<quint8> mixed(size_t size, quint32 seed)
{
    QRandomGenerator rng(seed);
    std::vector<quint8> data(size);
    for (size_t i = 0; i < size;) {
        const size_t run = std::min<size_t>(size - i, 1 + rng.bounded(3000u));
        const quint32 kind = rng.bounded(3u);
        for (size_t k = 0; k < run; ++k)
            data[i + k] = kind == 0 ? 0 : kind == 1 ? quint8("\x48\x8b\x45\xf8"[k % 4]) : quint8(rng.generate());
        i += run;
    }
    return data;
}

// The library's own stream for data: its size and its first block's CRC,
// which stands byte-aligned after the head and the block mark.
void libraryStream(const std::vector<quint8> &data, size_t *size, quint32 *crc)
{
    std::vector<char> out(data.size() + data.size() / 50 + 1024);
    unsigned length = unsigned(out.size());
    QCOMPARE(BZ2_bzBuffToBuffCompress(out.data(), &length, reinterpret_cast<char *>(const_cast<quint8 *>(data.data())),
                                      unsigned(data.size()), 9, 0, 0),
             BZ_OK);
    *size = length;
    *crc = 0;
    for (int i = 10; i < 14; ++i)
        *crc = *crc << 8 | quint8(out[size_t(i)]);
}

// Whether the blocks joined read back through the library as the size
// bytes at data; the joined stream's length in *joinedSize.
bool readsBack(const std::vector<const Bzip2Blocks::Block *> &blocks, const quint8 *data, size_t size,
               size_t *joinedSize = nullptr)
{
    std::vector<char> stream;
    Bzip2Blocks::join(blocks, &stream);
    if (joinedSize)
        *joinedSize = stream.size();
    std::vector<char> back(size + 1);
    unsigned length = unsigned(back.size());
    return BZ2_bzBuffToBuffDecompress(back.data(), &length, stream.data(), unsigned(stream.size()), 0, 0) == BZ_OK
           && length == size && (size == 0 || std::memcmp(back.data(), data, size) == 0);
}

} // namespace

class TestBzip2Blocks : public QObject
{
    Q_OBJECT

private slots:
    void joinedReadsBack_data();
    void joinedReadsBack();
    void kindsOfData_data();
    void kindsOfData();
    void manySmallBlocks();
    void limits();
};

void TestBzip2Blocks::joinedReadsBack_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("blocks");
    QTest::addColumn<quint32>("seed");
    // Many blocks of odd lengths end at every bit position; one block; one
    // short block; a block of a single run.
    QTest::newRow("many") << 600000 << 23 << 1u;
    QTest::newRow("one") << 200000 << 1 << 2u;
    QTest::newRow("tiny") << 7 << 1 << 3u;
    QTest::newRow("two uneven") << 300000 << 2 << 4u;
}

void TestBzip2Blocks::joinedReadsBack()
{
    QFETCH(int, size);
    QFETCH(int, blocks);
    QFETCH(quint32, seed);
    const std::vector<quint8> data = mixed(size_t(size), seed);
    QRandomGenerator rng(seed);
    std::vector<size_t> cuts;
    for (int k = 1; k < blocks; ++k)
        cuts.push_back(size_t(size) * size_t(k) / size_t(blocks) + rng.bounded(97u));

    Bzip2Blocks compressor;
    std::vector<Bzip2Blocks::Block> parts(cuts.size() + 1);
    std::vector<const Bzip2Blocks::Block *> order;
    // Compressed back to front: the order of compression does not matter.
    for (size_t k = parts.size(); k-- > 0;) {
        const size_t from = k == 0 ? 0 : cuts[k - 1];
        const size_t to = k == cuts.size() ? data.size() : cuts[k];
        QCOMPARE(compressor.compress(data.data() + from, to - from, &parts[k]), BZ_OK);
    }
    for (const Bzip2Blocks::Block &b : parts)
        order.push_back(&b);
    size_t joined = 0;
    QVERIFY(readsBack(order, data.data(), data.size(), &joined));
    size_t measured = 0;
    QCOMPARE(compressor.streamSize(data.data(), data.size(), &measured), BZ_OK);
    if (blocks == 1)
        QCOMPARE(measured, joined);
}

// One block of each kind: read back, the library's CRC, and no larger than
// the library makes it (the tables are fitted at least as well).
void TestBzip2Blocks::kindsOfData_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::newRow("one byte") << QByteArray("x");
    QTest::newRow("one run") << QByteArray(100000, '\0');
    // The first stage's edges: runs of 3, 4, 5, 255, 256 and 259 bytes, and
    // counts that are themselves bytes of the data.
    QByteArray edges;
    for (int run : {3, 4, 5, 255, 256, 259, 1, 4, 8})
        edges += QByteArray(run, char('a' + run % 7)) + QByteArray(1, char(run - 4 > 0 ? run - 4 : 9));
    QTest::newRow("run edges") << edges.repeated(50);
    // Whole repeats have no least rotation of their own.
    QTest::newRow("repeats whole") << QByteArray("abcab").repeated(1000).left(4000);
    QTest::newRow("two bytes alternating") << QByteArray("ab").repeated(30000);
    QByteArray all;
    for (int i = 0; i < 256 * 40; ++i)
        all += char(i * 7 % 256);
    QTest::newRow("every byte") << all;
    // Rotations that agree for long stretches: a two-letter alphabet, a
    // period broken once, a period with one letter more.
    QRandomGenerator rng(12);
    QByteArray binary(300000, '\0');
    for (char &c : binary)
        c = char(rng.bounded(2u));
    QTest::newRow("two letters") << binary;
    QByteArray broken = QByteArray("0123456789").repeated(20000);
    broken[123457] = 'x';
    QTest::newRow("period broken once") << broken;
    QTest::newRow("period and a letter") << QByteArray("ab").repeated(50000) + "a";
    const std::vector<quint8> m = mixed(400000, 11);
    QTest::newRow("code-like") << QByteArray(reinterpret_cast<const char *>(m.data()), int(m.size()));
}

void TestBzip2Blocks::kindsOfData()
{
    QFETCH(QByteArray, data);
    const std::vector<quint8> bytes(data.begin(), data.end());
    Bzip2Blocks compressor;
    Bzip2Blocks::Block block;
    QCOMPARE(compressor.compress(bytes.data(), bytes.size(), &block), BZ_OK);
    size_t joined = 0;
    QVERIFY(readsBack({&block}, bytes.data(), bytes.size(), &joined));

    size_t librarySize = 0;
    quint32 libraryCrc = 0;
    libraryStream(bytes, &librarySize, &libraryCrc);
    QCOMPARE(block.crc, libraryCrc);
    QCOMPARE(Bzip2Encoder::crc(bytes.data(), bytes.size()), libraryCrc);
    QVERIFY2(joined <= librarySize, qPrintable(QStringLiteral("%1 > %2").arg(joined).arg(librarySize)));
}

// Many short blocks of few letters, with runs of every length around the
// first stage's limits: each block alone and all of them joined read back,
// and measuring gives the joined size.
void TestBzip2Blocks::manySmallBlocks()
{
    QRandomGenerator rng(21);
    Bzip2Blocks compressor;
    std::vector<Bzip2Blocks::Block> blocks(300);
    std::vector<quint8> all;
    for (Bzip2Blocks::Block &block : blocks) {
        std::vector<quint8> data;
        const quint32 letters = 1 + rng.bounded(4u);
        const size_t size = 1 + rng.bounded(3000u);
        while (data.size() < size) {
            const size_t run = rng.bounded(8u) == 0 ? 250 + rng.bounded(12u) : 1 + rng.bounded(6u);
            data.insert(data.end(), std::min(run, size - data.size()), quint8('a' + rng.bounded(letters)));
        }
        QCOMPARE(compressor.compress(data.data(), data.size(), &block), BZ_OK);
        size_t joined = 0;
        QVERIFY(readsBack({&block}, data.data(), data.size(), &joined));
        size_t measured = 0;
        QCOMPARE(compressor.streamSize(data.data(), data.size(), &measured), BZ_OK);
        QCOMPARE(measured, joined);
        all.insert(all.end(), data.begin(), data.end());
    }
    std::vector<const Bzip2Blocks::Block *> order;
    for (const Bzip2Blocks::Block &b : blocks)
        order.push_back(&b);
    QVERIFY(readsBack(order, all.data(), all.size()));
}

// No input makes no block (a valid empty stream, also between blocks); more
// than one block holds is refused, a full block is taken. Runs of four
// grow by the first stage: input below the limit can still be too much.
void TestBzip2Blocks::limits()
{
    Bzip2Blocks compressor;
    Bzip2Blocks::Block none;
    QCOMPARE(compressor.compress(nullptr, 0, &none), BZ_OK);
    QVERIFY(none.empty);
    const std::vector<quint8> data = mixed(5000, 9);
    Bzip2Blocks::Block some;
    QCOMPARE(compressor.compress(data.data(), data.size(), &some), BZ_OK);
    QVERIFY(readsBack({&none, &some, &none}, data.data(), data.size()));
    QVERIFY(readsBack({&none}, nullptr, 0));

    std::vector<quint8> noise(Bzip2Blocks::kMaxShortened + 1);
    QRandomGenerator rng(5);
    for (quint8 &b : noise)
        b = quint8(rng.generate());
    for (size_t i = 1; i < noise.size(); ++i)
        if (noise[i] == noise[i - 1])
            noise[i] ^= 0x55; // no runs: every byte counts
    QCOMPARE(Bzip2Blocks::shortenedSize(noise.data(), noise.size()), noise.size());
    Bzip2Blocks::Block big;
    QCOMPARE(compressor.compress(noise.data(), noise.size(), &big), BZ_PARAM_ERROR);
    QCOMPARE(compressor.compress(noise.data(), noise.size() - 1, &big), BZ_OK);
    QVERIFY(readsBack({&big}, noise.data(), noise.size() - 1));

    std::vector<quint8> fours;
    for (size_t i = 0; fours.size() < Bzip2Blocks::kMaxShortened * 4 / 5 + 400; ++i)
        fours.insert(fours.end(), 4, quint8(i % 251));
    QVERIFY(fours.size() < Bzip2Blocks::kMaxShortened);
    QVERIFY(Bzip2Blocks::shortenedSize(fours.data(), fours.size()) > Bzip2Blocks::kMaxShortened);
    QCOMPARE(compressor.compress(fours.data(), fours.size(), &big), BZ_PARAM_ERROR);
    size_t measured = 0;
    QCOMPARE(compressor.streamSize(fours.data(), fours.size(), &measured), BZ_OK); // two blocks
    const size_t fit = fours.size() - 800;
    QCOMPARE(compressor.compress(fours.data(), fit, &big), BZ_OK);
    QVERIFY(readsBack({&big}, fours.data(), fit));
}

QTEST_GUILESS_MAIN(TestBzip2Blocks)
#include "tst_bzip2blocks.moc"
