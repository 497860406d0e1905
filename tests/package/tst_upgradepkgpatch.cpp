// Single patches and patch lists, proven by the independent bsdiff 4.3
// applier and patch-list reader of PackageTestSupport.h.

#include "PackageTestSupport.h"

#include "package/FirmwareBuilder.h"
#include "package/UpgradePkgPatch.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexo::pc;
using namespace pkgtest;

namespace {

constexpr quint32 MiB = 1024 * 1024;

QByteArray firmware(int size, int revision = 0)
{
    return FirmwareBuilder::firmwareLikeData(7, size, revision);
}

} // namespace

class TestUpgradePkgPatch : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void roundTrip_data();
    void roundTrip();
    void fileFormAndFailures();
    void pieceBoundaries_data();
    void pieceBoundaries();
    void patchList();
    void patchListRefusals();

private:
    QByteArray patch(const QByteArray &oldData, const QByteArray &newData);

    QTemporaryDir m_dir;
};

QByteArray TestUpgradePkgPatch::patch(const QByteArray &oldData, const QByteArray &newData)
{
    const QString path = m_dir.filePath(QStringLiteral("mem.patch"));
    const int rc = UpgradePkgPatch::generatePatchFile(
        reinterpret_cast<const quint8 *>(oldData.constData()), oldData.size(),
        reinterpret_cast<const quint8 *>(newData.constData()), newData.size(), path);
    return rc == 0 ? readFile(path) : QByteArray();
}

void TestUpgradePkgPatch::roundTrip_data()
{
    QTest::addColumn<QByteArray>("oldData");
    QTest::addColumn<QByteArray>("newData");
    const QByteArray fw = firmware(600000);
    const QByteArray periodic = QByteArray("abc").repeated(20000);

    QTest::newRow("both empty") << QByteArray() << QByteArray();
    QTest::newRow("empty old") << QByteArray() << fw.left(5000);
    QTest::newRow("empty new") << fw.left(5000) << QByteArray();
    QTest::newRow("firmware revisions") << fw << firmware(600000, 2);
    QTest::newRow("unrelated data") << fw.left(65536) << FirmwareBuilder::firmwareLikeData(1, 65536, 0);
    QTest::newRow("periodic shifted") << periodic << periodic.mid(1) + "xyz";
    QTest::newRow("insertion at front") << fw.left(100000) << QByteArray("HEAD") + fw.left(100000);
    QTest::newRow("halves swapped") << fw.left(100000) << fw.mid(50000, 50000) + fw.left(50000);
    QTest::newRow("new longer than old") << fw.left(1000) << fw.left(300000);
    // Code moved by an insertion: its addresses change by the same amount
    // all over, and matches elsewhere compete with the moved stretch.
    QByteArray moved = fw.left(200000) + FirmwareBuilder::firmwareLikeData(3, 3000, 0) + fw.mid(200000);
    for (int i = 64; i + 4 <= moved.size(); i += 52)
        moved[i] = char(moved.at(i) + 0x70);
    QTest::newRow("relocated code") << fw << moved;
    // Changed only in place, no search: a few bytes, none, a shorter end.
    QByteArray patched = fw;
    for (int i = 777; i < patched.size(); i += 4099)
        patched[i] = char(~patched.at(i));
    QTest::newRow("changed in place") << fw << patched;
    QTest::newRow("unchanged") << fw << fw;
    QTest::newRow("cut short") << fw << fw.left(400000);
    // Several megabytes: the stream spans many bzip2 blocks.
    QTest::newRow("many blocks") << firmware(3000000) << firmware(3000000, 3);
    // An odd number of blocks: the last has no partner to be joined with.
    QTest::newRow("odd blocks") << firmware(3500000) << firmware(3500000, 3);
}

void TestUpgradePkgPatch::roundTrip()
{
    QFETCH(QByteArray, oldData);
    QFETCH(QByteArray, newData);
    // The applier checks the magic and sizes its output by the stated length.
    QByteArray rebuilt;
    QVERIFY(applyPatch(oldData, patch(oldData, newData), &rebuilt));
    QCOMPARE(rebuilt, newData);
}

void TestUpgradePkgPatch::fileFormAndFailures()
{
    const QString oldPath = m_dir.filePath(QStringLiteral("old.bin"));
    const QString newPath = m_dir.filePath(QStringLiteral("new.bin"));
    const QString missing = m_dir.filePath(QStringLiteral("missing"));
    const QString patchPath = m_dir.filePath(QStringLiteral("file.patch"));
    QVERIFY(writeFile(oldPath, firmware(200000)) && writeFile(newPath, firmware(200000, 1)));

    LogCapture log;
    QCOMPARE(UpgradePkgPatch::generatePatchFile(missing, newPath, patchPath), -1);
    QVERIFY(log.hasCritical(QStringLiteral("Old file does not exist:")));
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, missing, patchPath), -1);
    QVERIFY(log.hasCritical(QStringLiteral("New file does not exist:")));
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, m_dir.filePath(QStringLiteral("no/dir/p"))), -1);
    QVERIFY(log.hasCritical(QStringLiteral("Open patch file failed:")));
    QVERIFY(!QFileInfo::exists(patchPath));
    // A full disk fails the writing of the difference, not the compressor.
    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, QStringLiteral("/dev/full")), -1);
    QVERIFY(log.hasCritical(QStringLiteral("bsdiff failed")));
    QVERIFY(!log.has(QStringLiteral("BZ2_")));

    QCOMPARE(UpgradePkgPatch::generatePatchFile(oldPath, newPath, patchPath), 0);
    QVERIFY(log.has(QStringLiteral("old.bin Time for bsdiff:")));
    QByteArray rebuilt;
    QVERIFY(applyPatch(firmware(200000), readFile(patchPath), &rebuilt));
    QCOMPARE(rebuilt, firmware(200000, 1));
}

void TestUpgradePkgPatch::pieceBoundaries_data()
{
    QTest::addColumn<QList<quint32>>("splits");
    QTest::addColumn<QList<quint32>>("bounds");
    QTest::newRow("20 MiB in one split") << QList<quint32>{20 * MiB} << QList<quint32>{8 * MiB, 16 * MiB, 20 * MiB};
    QTest::newRow("splits closer than 8 MiB")
        << QList<quint32>{3 * MiB, 5 * MiB, 14 * MiB} << QList<quint32>{3 * MiB, 5 * MiB, 13 * MiB, 14 * MiB};
    QTest::newRow("exact multiples") << QList<quint32>{8 * MiB, 16 * MiB} << QList<quint32>{8 * MiB, 16 * MiB};
    QTest::newRow("one byte past 8 MiB") << QList<quint32>{8 * MiB + 1} << QList<quint32>{8 * MiB, 8 * MiB + 1};
    QTest::newRow("none") << QList<quint32>{} << QList<quint32>{};
}

void TestUpgradePkgPatch::pieceBoundaries()
{
    QFETCH(QList<quint32>, splits);
    QFETCH(QList<quint32>, bounds);
    QCOMPARE(UpgradePkgPatch::pieceBoundaries(splits), bounds);
}

// A list cut at split offsets and, past 8 MiB without one, at 8 MiB: every
// patch made of its own piece only, one piece unchanged yet patched, the
// progress raised at most once per piece, and the same bytes whatever the
// number of threads.
void TestUpgradePkgPatch::patchList()
{
    const quint32 size = 9 * MiB + 512 * 1024;
    const QString oldPath = m_dir.filePath(QStringLiteral("old9.bin"));
    const QString newPath = m_dir.filePath(QStringLiteral("new9.bin"));
    // Few differences keep the test quick under the sanitizers.
    const QByteArray oldData = firmware(int(size));
    QByteArray newData = oldData;
    for (int i = 1000; i < int(size); i += 333333)
        if (i < 300000 || i >= 1000000) // piece 300000..1000000 stays unchanged
            newData[i] = char(newData.at(i) + 1 + i % 7);
    newData.replace(int(size) - 5000, 4, "EDIT");
    QVERIFY(writeFile(oldPath, oldData) && writeFile(newPath, newData));
    const QList<quint32> expectEnds{300000, 1000000, 1000000 + 8 * MiB, size};

    QByteArray reference;
    for (const int threads : {1, 3}) {
        UpgradePkgPatch::setWorkerThreads(threads);
        const QString listPath = m_dir.filePath(QStringLiteral("list%1.bin").arg(threads));
        LogCapture log;
        int progress = 0;
        QVERIFY(UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, listPath, {300000, 1000000, size}, 4,
                                                     [&progress]() { ++progress; }));
        QVERIFY(log.has(QStringLiteral("generate patch list successfully")));
        // Thresholds at quarters: the third piece passes the first and is
        // counted once, the fourth the second.
        QCOMPARE(progress, 2);
        const QByteArray list = readFile(listPath);
        QVERIFY(reference.isEmpty() || list == reference);
        reference = list;
    }
    UpgradePkgPatch::setWorkerThreads(0);
    QCOMPARE(QDir(m_dir.path()).entryList({QStringLiteral("list*.tmp*")}, QDir::Files).size(), 0);

    std::vector<ListEntry> entries;
    QVERIFY(readPatchList(reference, &entries));
    QCOMPARE(int(entries.size()), expectEnds.size());
    quint32 start = 0;
    for (int i = 0; i < expectEnds.size(); ++i) {
        const ListEntry &e = entries[size_t(i)];
        QCOMPARE(e.start, start);
        QCOMPARE(e.start + e.length, expectEnds.at(i));
        QByteArray piece;
        QVERIFY(applyPatch(oldData.mid(int(e.start), int(e.length)), reference.mid(int(e.offset), int(e.size)), &piece));
        QCOMPARE(piece, newData.mid(int(e.start), int(e.length)));
        start = expectEnds.at(i);
    }
}

void TestUpgradePkgPatch::patchListRefusals()
{
    const QString oldPath = m_dir.filePath(QStringLiteral("oldr.bin"));
    const QString newPath = m_dir.filePath(QStringLiteral("newr.bin"));
    const QString shortPath = m_dir.filePath(QStringLiteral("shortr.bin"));
    const QString listPath = m_dir.filePath(QStringLiteral("listr.bin"));
    const QByteArray data = firmware(100000);
    QVERIFY(writeFile(oldPath, data) && writeFile(newPath, firmware(100000, 1)) && writeFile(shortPath, data.left(99999)));

    LogCapture log;
    QVERIFY(!UpgradePkgPatch::bspatchListGenerate(oldPath, shortPath, listPath, {99999}, 0));
    QVERIFY(log.hasCritical(QStringLiteral("length not match 100000 vs 99999")));
    QVERIFY(!UpgradePkgPatch::bspatchListGenerate(m_dir.filePath(QStringLiteral("missing")), newPath, listPath, {100000}, 0));
    QVERIFY(log.hasCritical(QStringLiteral("open ")));
    // Offsets (from a patch head that may be damaged) that do not cover the
    // data exactly, make an empty piece, or go backwards.
    for (const QList<quint32> &bad : {QList<quint32>{50000}, QList<quint32>{100001}, QList<quint32>{0, 100000},
                                      QList<quint32>{60000, 40000, 100000}, QList<quint32>{50000, 50000, 100000},
                                      QList<quint32>{100000, 0xFFFFFFFF}, QList<quint32>{}})
        QVERIFY(!UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, listPath, bad, 0));
    // Each refused with a reason before any piece is diffed, and nothing written.
    QCOMPARE(log.critical().size(), 9);
    QVERIFY(!log.has(QStringLiteral("bsdiff start")));
    QVERIFY(!QFileInfo::exists(listPath));
}

QTEST_GUILESS_MAIN(TestUpgradePkgPatch)
#include "tst_upgradepkgpatch.moc"
