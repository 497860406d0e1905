// Single patches and patch lists, proven by the independent bsdiff 4.3
// applier and patch-list reader of PackageTestSupport.h.

#include "PackageTestSupport.h"

#include "package/FirmwareBuilder.h"
#include "package/UpgradePkgPatch.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

using namespace vexo::pc;
using namespace pkgtest;

namespace {

QByteArray randomBytes(quint32 seed, int size)
{
    std::mt19937 rng(seed);
    QByteArray b(size, '\0');
    for (int i = 0; i < size; ++i)
        b[i] = char(rng() & 0xFF);
    return b;
}

QByteArray patchInMemory(const QString &dir, const QByteArray &oldData, const QByteArray &newData)
{
    const QString path = dir + QStringLiteral("/mem.patch");
    const int rc = UpgradePkgPatch::generatePatchFile(
        reinterpret_cast<const quint8 *>(oldData.constData()), oldData.size(),
        reinterpret_cast<const quint8 *>(newData.constData()), newData.size(), path);
    return rc == 0 ? readFile(path) : QByteArray();
}

constexpr quint32 MiB = 1024 * 1024;

} // namespace

class TestUpgradePkgPatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void identicalDataStillPatchedWithNegativeSeek();
    void fileForm();
    void pieceBoundaries_data();
    void pieceBoundaries();
    void patchListOfTwentyMiB();
    void patchListSplitsProgressAndThreads();
    void patchListRefusals();

private:
    QTemporaryDir m_dir;
};

void TestUpgradePkgPatch::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestUpgradePkgPatch::roundTrip_data()
{
    QTest::addColumn<QByteArray>("oldData");
    QTest::addColumn<QByteArray>("newData");

    const QByteArray fw = FirmwareBuilder::firmwareLikeData(7, 600000, 0);
    const QByteArray fwNext = FirmwareBuilder::firmwareLikeData(7, 600000, 2);
    QByteArray zeros(200000, '\0');
    QByteArray zerosEdited = zeros;
    for (int i = 0; i < zerosEdited.size(); i += 9973)
        zerosEdited[i] = char(i & 0x7F);
    QByteArray periodic;
    for (int i = 0; i < 50000; ++i)
        periodic.append(char("abc"[i % 3]));
    const QByteArray random = randomBytes(1, 65536);

    QTest::newRow("both empty") << QByteArray() << QByteArray();
    QTest::newRow("empty old") << QByteArray() << random.left(5000);
    QTest::newRow("empty new") << random.left(5000) << QByteArray();
    QTest::newRow("one byte") << QByteArray("a") << QByteArray("b");
    QTest::newRow("firmware revisions") << fw << fwNext;
    QTest::newRow("firmware to unrelated random") << fw.left(65536) << random;
    QTest::newRow("sparse edits in zeros") << zeros << zerosEdited;
    QTest::newRow("periodic shifted") << periodic << periodic.mid(1) + "xyz";
    QTest::newRow("insertion at front") << fw.left(100000) << QByteArray("HEAD") + fw.left(100000);
    QTest::newRow("halves swapped") << fw.left(100000) << fw.mid(50000, 50000) + fw.left(50000);
    QTest::newRow("new longer than old") << fw.left(1000) << fw.left(300000);
}

void TestUpgradePkgPatch::roundTrip()
{
    QFETCH(QByteArray, oldData);
    QFETCH(QByteArray, newData);

    const QByteArray patch = patchInMemory(m_dir.path(), oldData, newData);
    QVERIFY(!patch.isEmpty());
    QCOMPARE(patch.left(16), QByteArray("ENDSLEY/BSDIFF43"));
    QCOMPARE(readOffset(reinterpret_cast<const quint8 *>(patch.constData()) + 16),
             qint64(newData.size()));
    QByteArray rebuilt;
    QVERIFY(applyPatch(oldData, patch, &rebuilt));
    QCOMPARE(rebuilt, newData);
}

// Unchanged data still gets a patch: one record that adds every byte to a
// zero difference and then moves the old position back to where the match
// began, which is a negative number in the patch's sign-and-magnitude form.
void TestUpgradePkgPatch::identicalDataStillPatchedWithNegativeSeek()
{
    const QByteArray data = FirmwareBuilder::firmwareLikeData(3, 50000, 0);
    const QByteArray patch = patchInMemory(m_dir.path(), data, data);
    QVERIFY(!patch.isEmpty());

    std::vector<quint8> stream;
    QVERIFY(bunzipAll(patch.constData() + 24, patch.size() - 24, 1 << 20, &stream));
    QCOMPARE(stream.size(), size_t(24 + data.size()));
    for (size_t i = 24; i < stream.size(); ++i)
        QCOMPARE(int(stream[i]), 0);

    // add = n, extra = 0, seek = -n: magnitude little-endian in the low 63
    // bits, sign in bit 7 of the eighth byte.
    const quint64 n = quint64(data.size());
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(int(stream[size_t(i)]), int((n >> (8 * i)) & 0xFF));
        QCOMPARE(int(stream[size_t(8 + i)]), 0);
        const int expected = int((n >> (8 * i)) & 0xFF) | (i == 7 ? 0x80 : 0);
        QCOMPARE(int(stream[size_t(16 + i)]), expected);
    }
    QByteArray rebuilt;
    QVERIFY(applyPatch(data, patch, &rebuilt));
    QCOMPARE(rebuilt, data);
}

void TestUpgradePkgPatch::fileForm()
{
    const QString dir = m_dir.path();
    const QString oldPath = dir + QStringLiteral("/old.bin");
    const QString newPath = dir + QStringLiteral("/new.bin");
    const QString patchPath = dir + QStringLiteral("/file.patch");
    const QByteArray oldData = FirmwareBuilder::firmwareLikeData(11, 200000, 0);
    const QByteArray newData = FirmwareBuilder::firmwareLikeData(11, 200000, 1);
    QVERIFY(writeFile(oldPath, oldData));
    QVERIFY(writeFile(newPath, newData));

    LogCapture log;
    QCOMPARE(UpgradePkgPatch::generatePatchFile(dir + QStringLiteral("/missing"), newPath, patchPath), -1);
    QVERIFY(log.hasCritical(QStringLiteral("Old file does not exist:")));
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, dir + QStringLiteral("/missing"), patchPath), -1);
    QVERIFY(log.hasCritical(QStringLiteral("New file does not exist:")));
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, dir + QStringLiteral("/no/such/dir/p")), -1);
    QVERIFY(log.hasCritical(QStringLiteral("Open patch file failed:")));
    QVERIFY(!QFileInfo::exists(patchPath));
    // A full disk fails the writing of the difference, not the compressor.
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, QStringLiteral("/dev/full")), -1);
    QVERIFY(log.hasCritical(QStringLiteral("bsdiff failed")));
    QVERIFY(!log.has(QStringLiteral("BZ2_")));

    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, patchPath), 0);
    QVERIFY(log.has(QStringLiteral("old.bin Time for bsdiff:")));
    QByteArray rebuilt;
    QVERIFY(applyPatch(oldData, readFile(patchPath), &rebuilt));
    QCOMPARE(rebuilt, newData);
}

void TestUpgradePkgPatch::pieceBoundaries_data()
{
    QTest::addColumn<QList<quint32>>("splits");
    QTest::addColumn<QList<quint32>>("bounds");
    QTest::newRow("20 MiB in one split")
        << QList<quint32>{20 * MiB} << QList<quint32>{8 * MiB, 16 * MiB, 20 * MiB};
    QTest::newRow("splits closer than 8 MiB")
        << QList<quint32>{3 * MiB, 5 * MiB, 14 * MiB}
        << QList<quint32>{3 * MiB, 5 * MiB, 13 * MiB, 14 * MiB};
    QTest::newRow("exact multiples") << QList<quint32>{8 * MiB, 16 * MiB}
                                     << QList<quint32>{8 * MiB, 16 * MiB};
    QTest::newRow("one byte past 8 MiB") << QList<quint32>{8 * MiB + 1}
                                         << QList<quint32>{8 * MiB, 8 * MiB + 1};
    QTest::newRow("none") << QList<quint32>{} << QList<quint32>{};
}

void TestUpgradePkgPatch::pieceBoundaries()
{
    QFETCH(QList<quint32>, splits);
    QFETCH(QList<quint32>, bounds);
    QCOMPARE(UpgradePkgPatch::pieceBoundaries(splits), bounds);
}

// The patch head of a 20 MiB package with one split offset: three pieces,
// each patch made of its own piece only and applicable on its own.
void TestUpgradePkgPatch::patchListOfTwentyMiB()
{
    const int size = int(20 * MiB);
    const QString dir = m_dir.path();
    const QString oldPath = dir + QStringLiteral("/old20.bin");
    const QString newPath = dir + QStringLiteral("/new20.bin");
    const QString listPath = dir + QStringLiteral("/list20.bin");
    // Few differences keep the test quick under the sanitizers; what is
    // checked here is how the list is cut and put together.
    const QByteArray oldData = FirmwareBuilder::firmwareLikeData(5, size, 0);
    QByteArray newData = oldData;
    for (int i = 1000; i < size; i += 333333)
        newData[i] = char(newData.at(i) + 1 + i % 7);
    newData.replace(size - 5000, 4, "EDIT");
    QVERIFY(writeFile(oldPath, oldData));
    QVERIFY(writeFile(newPath, newData));

    LogCapture log;
    int progress = 0;
    QVERIFY(UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, listPath, {quint32(size)}, 10,
                                                 [&progress]() { ++progress; }));
    QVERIFY(log.has(QStringLiteral("generate patch list successfully")));
    QCOMPARE(progress, 3);

    const QByteArray list = readFile(listPath);
    std::vector<ListEntry> entries;
    QVERIFY(readPatchList(list, &entries));
    QCOMPARE(entries.size(), size_t(3));
    const quint32 starts[] = {0, 8 * MiB, 16 * MiB};
    const quint32 lengths[] = {8 * MiB, 8 * MiB, 4 * MiB};
    for (size_t i = 0; i < entries.size(); ++i) {
        QCOMPARE(entries[i].start, starts[i]);
        QCOMPARE(entries[i].length, lengths[i]);
        QByteArray piece;
        QVERIFY(applyPatch(oldData.mid(int(starts[i]), int(lengths[i])),
                           list.mid(int(entries[i].offset), int(entries[i].size)), &piece));
        QCOMPARE(piece, newData.mid(int(starts[i]), int(lengths[i])));
    }
    // The pieces' temporary files are gone.
    QCOMPARE(QDir(dir).entryList({QStringLiteral("list20.bin.tmp*")}, QDir::Files).size(), 0);
}

void TestUpgradePkgPatch::patchListSplitsProgressAndThreads()
{
    const int size = 3 * 1024 * 1024;
    const QString dir = m_dir.path();
    const QString oldPath = dir + QStringLiteral("/old3.bin");
    const QString newPath = dir + QStringLiteral("/new3.bin");
    QByteArray oldData = FirmwareBuilder::firmwareLikeData(9, size, 0);
    QByteArray newData = FirmwareBuilder::firmwareLikeData(9, size, 3);
    // One piece stays unchanged and must still get its patch.
    newData.replace(1000000, 48576, oldData.mid(1000000, 48576));
    QVERIFY(writeFile(oldPath, oldData));
    QVERIFY(writeFile(newPath, newData));

    const QList<quint32> splits{300000, 1000000, 1048576, quint32(size) - 1, quint32(size)};
    const QList<quint32> expectStarts{0, 300000, 1000000, 1048576, quint32(size) - 1};

    QByteArray reference;
    for (const int threads : {1, 2, 5}) {
        UpgradePkgPatch::setWorkerThreads(threads);
        const QString listPath = dir + QStringLiteral("/list3_%1.bin").arg(threads);
        int progress = 0;
        QVERIFY(UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, listPath, splits, 2,
                                                     [&progress]() { ++progress; }));
        // Boundaries at 0.3, 1.0, 1.05, 3.1 and 3.1 MB of 3.1 MB with two
        // steps: the threshold is passed by the fourth piece and raised only
        // once per piece, so the fifth piece adds the second step.
        QCOMPARE(progress, 2);
        const QByteArray list = readFile(listPath);
        if (reference.isEmpty())
            reference = list;
        QCOMPARE(list, reference); // byte-identical whatever the thread count
    }
    UpgradePkgPatch::setWorkerThreads(0);

    std::vector<ListEntry> entries;
    QVERIFY(readPatchList(reference, &entries));
    QCOMPARE(int(entries.size()), splits.size());
    for (int i = 0; i < splits.size(); ++i) {
        const ListEntry &e = entries[size_t(i)];
        QCOMPARE(e.start, expectStarts.at(i));
        QCOMPARE(e.start + e.length, splits.at(i)); // ends exactly at the split
        QByteArray piece;
        QVERIFY(applyPatch(oldData.mid(int(e.start), int(e.length)),
                           reference.mid(int(e.offset), int(e.size)), &piece));
        QCOMPARE(piece, newData.mid(int(e.start), int(e.length)));
    }
}

void TestUpgradePkgPatch::patchListRefusals()
{
    const QString dir = m_dir.path();
    const QString oldPath = dir + QStringLiteral("/oldr.bin");
    const QString newPath = dir + QStringLiteral("/newr.bin");
    const QString shortPath = dir + QStringLiteral("/shortr.bin");
    const QString listPath = dir + QStringLiteral("/listr.bin");
    const QByteArray data = FirmwareBuilder::firmwareLikeData(2, 100000, 0);
    QVERIFY(writeFile(oldPath, data));
    QVERIFY(writeFile(newPath, FirmwareBuilder::firmwareLikeData(2, 100000, 1)));
    QVERIFY(writeFile(shortPath, data.left(99999)));

    LogCapture log;
    // Different lengths: refused before any piece is diffed.
    QVERIFY(!UpgradePkgPatch::bspatchListGenerate(oldPath, shortPath, listPath, {99999}, 0));
    QVERIFY(log.hasCritical(QStringLiteral("length not match 100000 vs 99999")));
    QVERIFY(!log.has(QStringLiteral("bsdiff start")));
    QVERIFY(!QFileInfo::exists(listPath));

    log.clear();
    QVERIFY(!UpgradePkgPatch::bspatchListGenerate(dir + QStringLiteral("/missing"), newPath,
                                                  listPath, {100000}, 0));
    QVERIFY(log.hasCritical(QStringLiteral("open ")));

    // Offsets that do not cover the data exactly, or go backwards.
    for (const QList<quint32> &bad : {QList<quint32>{50000}, QList<quint32>{100001},
                                      QList<quint32>{60000, 40000, 100000},
                                      QList<quint32>{50000, 50000, 100000}, QList<quint32>{}}) {
        log.clear();
        QVERIFY(!UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, listPath, bad, 0));
        QVERIFY(!log.critical().isEmpty());
        QVERIFY(!log.has(QStringLiteral("bsdiff start")));
        QVERIFY(!QFileInfo::exists(listPath));
    }
}

QTEST_GUILESS_MAIN(TestUpgradePkgPatch)
#include "tst_upgradepkgpatch.moc"
