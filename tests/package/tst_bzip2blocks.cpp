// Blocks compressed one at a time and joined make the stream a single
// compressor writes for the same cuts, and any bzip2 reader takes it back.

#include "package/Bzip2Blocks.h"

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

// One stream from one compressor, flushed at every cut.
std::vector<char> singleStream(const std::vector<quint8> &data, const std::vector<size_t> &cuts)
{
    bz_stream bz;
    std::memset(&bz, 0, sizeof bz);
    BZ2_bzCompressInit(&bz, 9, 0, 0);
    std::vector<char> out(data.size() + 65536);
    bz.next_out = out.data();
    bz.avail_out = unsigned(out.size());
    size_t pos = 0;
    for (size_t k = 0; k <= cuts.size(); ++k) {
        const size_t end = k < cuts.size() ? cuts[k] : data.size();
        bz.next_in = reinterpret_cast<char *>(const_cast<quint8 *>(data.data() + pos));
        bz.avail_in = unsigned(end - pos);
        pos = end;
        const int action = k < cuts.size() ? BZ_FLUSH : BZ_FINISH;
        while (BZ2_bzCompress(&bz, action) == (action == BZ_FLUSH ? BZ_FLUSH_OK : BZ_FINISH_OK)) {
        }
    }
    out.resize(out.size() - bz.avail_out);
    BZ2_bzCompressEnd(&bz);
    return out;
}

bool decompress(const std::vector<char> &stream, size_t expected, std::vector<quint8> *out)
{
    out->assign(expected + 1, 0);
    unsigned length = unsigned(out->size());
    const int rc = BZ2_bzBuffToBuffDecompress(reinterpret_cast<char *>(out->data()), &length,
                                              const_cast<char *>(stream.data()), unsigned(stream.size()), 0, 0);
    out->resize(length);
    return rc == BZ_OK;
}

} // namespace

class TestBzip2Blocks : public QObject
{
    Q_OBJECT

private slots:
    void joinedEqualsOneCompressor_data();
    void joinedEqualsOneCompressor();
    void limits();
};

void TestBzip2Blocks::joinedEqualsOneCompressor_data()
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

void TestBzip2Blocks::joinedEqualsOneCompressor()
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
    std::vector<char> joined;
    Bzip2Blocks::join(order, &joined);

    QVERIFY(joined == singleStream(data, cuts));
    std::vector<quint8> back;
    QVERIFY(decompress(joined, data.size(), &back));
    QVERIFY(back == data);
}

// No input makes no block (a valid empty stream, also between blocks); more
// than one block holds is refused.
void TestBzip2Blocks::limits()
{
    Bzip2Blocks compressor;
    Bzip2Blocks::Block none;
    QCOMPARE(compressor.compress(nullptr, 0, &none), BZ_OK);
    QVERIFY(none.empty);
    const std::vector<quint8> data = mixed(5000, 9);
    Bzip2Blocks::Block some;
    QCOMPARE(compressor.compress(data.data(), data.size(), &some), BZ_OK);
    std::vector<char> stream;
    Bzip2Blocks::join({&none, &some, &none}, &stream);
    std::vector<quint8> back;
    QVERIFY(decompress(stream, data.size(), &back));
    QVERIFY(back == data);
    stream.clear();
    Bzip2Blocks::join({&none}, &stream);
    QVERIFY(decompress(stream, 0, &back));
    QVERIFY(back.empty());

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
}

QTEST_GUILESS_MAIN(TestBzip2Blocks)
#include "tst_bzip2blocks.moc"
