// Seeded mutation fuzzing of everything that reads untrusted bytes:
// packages (truncated, oversized, mis-counted, damaged, with and without
// repaired checksums), patch heads read as packages, combined packages,
// split offsets of patch lists, and the patch generator on arbitrary pairs.
//
// Every input is either refused with a critical log line or accepted and
// then consistent (what is cut out of an accepted package verifies again,
// every patch rebuilds its new data). The sanitizer build runs 100000
// package cases and catches out-of-bounds reads and oversized allocations.

#include "PackageTestSupport.h"

#include "package/FirmwareBuilder.h"
#include "package/FirmwarePackage.h"
#include "package/UpgradePkgPatch.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#ifndef ZARVO_FUZZ_CASES
#define ZARVO_FUZZ_CASES 10000
#endif

using namespace vexo::pc;
using namespace pkgtest;

namespace {

using Desc = FirmwareBuilder::Description;
using Module = FirmwareBuilder::Module;

int caseCount(int defaultCount)
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZARVO_FUZZ_CASES", &ok);
    const int base = ok && n > 0 ? n : ZARVO_FUZZ_CASES;
    return int(qint64(base) * defaultCount / 20000);
}

QByteArray camera(quint32 seed, quint32 ugfsId)
{
    std::mt19937 rng(seed);
    QList<Module> mods;
    for (const quint32 id : {0u, 3u, ugfsId}) {
        QByteArray data(int(rng() % 600), '\0');
        for (char &c : data)
            c = char(rng() % 7); // small alphabet: patches stay cheap
        mods.append({id, data});
    }
    return FirmwareBuilder::cameraPackage(mods, seed);
}

QByteArray package(const Desc &d, bool withCamera)
{
    QList<Module> mods;
    if (withCamera)
        mods.append({1, camera(d.seed, d.platform.startsWith(QLatin1String("SSC")) ? 10 : 7)});
    mods.append({2, QByteArray(300, 'b')});
    mods.append({5, QByteArray("tbl")});
    return FirmwareBuilder::firmwarePackage(d, mods);
}

void fixCrcAt(QByteArray &b, qint64 at)
{
    if (at >= 0 && at + 256 <= b.size())
        setLe32(b, int(at + 252), crc32Of(b.constData() + at, 252));
}

// Repairs what a mutation broke so that the deeper checks are reached:
// header checksums (level 1), and also the module data checksums and the
// package digest (level 2). Nothing is trusted: every offset is bounded.
void repair(QByteArray &b, int level)
{
    if (level == 0 || b.size() < 256)
        return;
    const qint64 size = b.size();
    const qint64 count = qMin<qint64>(le32(b, 12), size / 256 - 1);
    for (qint64 i = 0; i < count; ++i) {
        const qint64 at = 256 * (i + 1);
        if (le32(b, int(at)) == 1) {
            const qint64 cam = le32(b, int(at + 8));
            if (cam + 256 <= size) {
                const qint64 camCount = qMin<qint64>(le32(b, int(cam + 12)), (size - cam) / 256 - 1);
                for (qint64 j = 0; j < camCount; ++j)
                    fixCrcAt(b, cam + 256 * (j + 1));
                fixCrcAt(b, cam);
            }
        }
        if (level >= 2) {
            const quint64 off = le32(b, int(at + 8));
            const quint64 len = le32(b, int(at + 4));
            if (off + len <= quint64(size))
                setLe32(b, int(at + 68), len ? crc32Of(b.constData() + off, int(len)) : 0);
        }
        fixCrcAt(b, at);
    }
    const quint32 dataOff = le32(b, 4);
    if (level >= 2 && dataOff <= quint32(size))
        b.replace(56, 16, md5Of(b.mid(int(dataOff))));
    fixCrcAt(b, 0);
}

const quint32 kInteresting[] = {0, 1, 2, 255, 256, 257, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0xFFFFFF00};

// One to three mutations. Returns whether the result must be refused:
// damage that no checksum was repaired for.
bool mutate(std::mt19937 &rng, QByteArray &b, int *repairLevel)
{
    const int ops = 1 + int(rng() % 3);
    bool mustRefuse = false;
    for (int k = 0; k < ops; ++k) {
        const int size = b.size();
        switch (rng() % 7) {
        case 0: // truncated
            b.truncate(size ? int(rng() % quint32(size)) : 0);
            mustRefuse = true;
            break;
        case 1: { // oversized
            QByteArray extra(1 + int(rng() % 300), '\0');
            for (char &c : extra)
                c = char(rng());
            b += extra;
            mustRefuse = true;
            break;
        }
        case 2: // damaged byte
            if (size) {
                const int at = int(rng() % quint32(size));
                b[at] = char(b.at(at) ^ (1 + rng() % 255));
                mustRefuse = true;
            }
            break;
        case 3: // a header field set to an edge value
        case 4: {
            if (size < 8)
                break;
            const int headerBytes = qMin(size - 4, 256 * 6);
            const int at = int(rng() % quint32(headerBytes / 4)) * 4;
            const quint32 v = rng() % 3 == 0 ? quint32(rng())
                              : rng() % 2 ? kInteresting[rng() % 10]
                                          : quint32(size + int(rng() % 5) - 2);
            if (le32(b, at) != v)
                mustRefuse = true;
            setLe32(b, at, v);
            break;
        }
        case 5: { // mis-counted: package or camera module count
            if (size < 16)
                break;
            const bool cameraCount = rng() % 2 && size >= 256 * 2 + 16
                                     && le32(b, 256 + 8) + 16 <= quint32(size);
            const int at = cameraCount ? int(le32(b, 256 + 8)) + 12 : 12;
            const quint32 v = rng() % 2 ? le32(b, at) + 1 + rng() % 3 : quint32(rng() % 1000000);
            if (le32(b, at) != v)
                mustRefuse = true;
            setLe32(b, at, v);
            break;
        }
        default: { // bytes inserted in the middle
            const int at = size ? int(rng() % quint32(size)) : 0;
            b.insert(at, QByteArray(1 + int(rng() % 64), char(rng())));
            mustRefuse = true;
            break;
        }
        }
    }
    *repairLevel = int(rng() % 3);
    if (*repairLevel > 0)
        mustRefuse = false; // the repair may have made it a valid package again
    repair(b, *repairLevel);
    return mustRefuse;
}

} // namespace

class TestPackageFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void packages();
    void combinedPackages();
    void patchListSplits();
    void patchPairs();

private:
    QTemporaryDir m_dir;
};

void TestPackageFuzz::packages()
{
    Desc ssc;
    ssc.seed = 5;
    Desc hi;
    hi.platform = QStringLiteral("Hi3516DV300");
    hi.seed = 6;
    const QString dir = m_dir.filePath(QStringLiteral("pkg"));
    QDir().mkpath(dir);

    // Seeds: packages with and without camera, and patch heads.
    QList<QPair<Desc, QByteArray>> seeds;
    for (const Desc &d : {ssc, hi}) {
        seeds.append({d, package(d, true)});
        seeds.append({d, package(d, false)});
        const QString path = dir + QLatin1Char('/') + FirmwareBuilder::fileName(d, d.platform);
        QVERIFY(writeFile(path, seeds.at(seeds.size() - 2).second));
        FirmwarePackage pkg(path);
        QVERIFY(pkg.verifyFirmware());
        QList<quint32> splits;
        QVERIFY(pkg.generateFwPatchHead(dir + QStringLiteral("/head"), splits));
        seeds.append({d, readFile(dir + QStringLiteral("/head"))});
    }

    const int cases = caseCount(20000);
    std::mt19937 rng(20240601);
    int refused = 0;
    int accepted = 0;
    {
        LogCapture log;
        for (int n = 0; n < cases; ++n) {
            const auto &seed = seeds.at(int(rng() % quint32(seeds.size())));
            QByteArray bytes = seed.second;
            int repairLevel = 0;
            const bool mustRefuse = mutate(rng, bytes, &repairLevel);
            const bool ugsysName = rng() % 8 == 0;
            const QString name = (ugsysName ? QStringLiteral("Ugsys_") : QString())
                                 + FirmwareBuilder::fileName(seed.first, seed.first.platform);
            const QString path = dir + QLatin1Char('/') + name;
            QVERIFY(writeFile(path, bytes));

            log.clear();
            FirmwarePackage pkg(path, ugsysName);
            if (!pkg.verifyFirmware()) {
                ++refused;
                if (log.critical().isEmpty())
                    QFAIL(qPrintable(QStringLiteral("case %1 refused without a log line").arg(n)));
                continue;
            }
            if (mustRefuse)
                QFAIL(qPrintable(QStringLiteral("case %1: damaged package accepted").arg(n)));
            ++accepted;

            // Whatever an accepted package yields must hold up itself.
            QList<quint32> splits;
            if (pkg.generateFwPatchHead(dir + QStringLiteral("/fuzzhead"), splits)) {
                QVERIFY(!splits.isEmpty());
                QCOMPARE(splits.last(), pkg.totalSize());
            } else {
                QVERIFY(!log.critical().isEmpty());
            }
            log.clear();
            if (!ugsysName && pkg.generateUgsysFwPackage()) {
                FirmwarePackage ug(pkg.ugsysPath(), true);
                QVERIFY2(ug.verifyFirmware(), qPrintable(QStringLiteral("case %1").arg(n)));
                QFile::remove(pkg.ugsysPath());
            } else if (!ugsysName) {
                QVERIFY(!log.critical().isEmpty());
            }
            log.clear();
            if (!pkg.extractUpdaterfs(dir + QStringLiteral("/fuzzugfs")))
                QVERIFY(!log.critical().isEmpty());
        }
    }
    qInfo("%d package cases: %d refused, %d accepted", cases, refused, accepted);
    QVERIFY(refused > cases / 2);
}

void TestPackageFuzz::combinedPackages()
{
    Desc d;
    const QStringList platforms{QStringLiteral("Hi3516CV500"), QStringLiteral("SSC336Q"),
                                QStringLiteral("SSC339G")};
    QByteArray combined;
    for (int i = 0; i < platforms.size(); ++i) {
        Desc p = d;
        p.platform = platforms.at(i);
        p.seed = quint32(30 + i);
        combined += package(p, i != 1);
    }
    const QString dir = m_dir.filePath(QStringLiteral("combined"));
    const QString outDir = dir + QStringLiteral("/out");
    QDir().mkpath(outDir);
    const QString path = dir + QLatin1Char('/') + FirmwareBuilder::fileName(d, QStringLiteral("All"));

    const int cases = caseCount(2000);
    std::mt19937 rng(77);
    LogCapture log;
    for (int n = 0; n < cases; ++n) {
        QByteArray bytes = combined;
        int repairLevel = 0;
        mutate(rng, bytes, &repairLevel);
        // Mutations may land in any of the parts; repair the later headers
        // too now and then so that the walk goes on.
        if (rng() % 2) {
            qint64 at = 0;
            for (int part = 0; part < 3 && at + 256 <= bytes.size(); ++part) {
                fixCrcAt(bytes, at);
                const quint32 total = le32(bytes, int(at) + 8);
                if (total < 256)
                    break;
                at += total;
            }
        }
        QVERIFY(writeFile(path, bytes));
        const QString platform = platforms.at(int(rng() % 3));
        log.clear();
        const QString out = FirmwarePackage::extractFirmware(path, platform, outDir);
        if (out.isEmpty()) {
            QVERIFY(!log.critical().isEmpty());
            continue;
        }
        const QByteArray part = readFile(out);
        QVERIFY(part.size() >= 256);
        QVERIFY(bytes.contains(part));
        QCOMPARE(le32(part, 8), quint32(part.size()));
        QFile::remove(out);
    }
}

// Split offsets come from a patch head and may be anything.
void TestPackageFuzz::patchListSplits()
{
    const QString dir = m_dir.filePath(QStringLiteral("splits"));
    QDir().mkpath(dir);
    const int size = 3000;
    const QByteArray oldData = FirmwareBuilder::firmwareLikeData(3, size, 0);
    const QByteArray newData = FirmwareBuilder::firmwareLikeData(3, size, 1);
    QVERIFY(writeFile(dir + QStringLiteral("/old"), oldData));
    QVERIFY(writeFile(dir + QStringLiteral("/new"), newData));
    const QString listPath = dir + QStringLiteral("/list");

    const int cases = caseCount(300);
    std::mt19937 rng(11);
    LogCapture log;
    for (int n = 0; n < cases; ++n) {
        QList<quint32> splits;
        const int count = int(rng() % 6);
        for (int i = 0; i < count; ++i)
            splits.append(rng() % 4 == 0 ? kInteresting[rng() % 10] : rng() % (size + 2));
        if (rng() % 2)
            std::sort(splits.begin(), splits.end());
        if (rng() % 2)
            splits.append(size);
        QFile::remove(listPath);
        log.clear();
        if (!UpgradePkgPatch::bspatchListGenerate(dir + QStringLiteral("/old"),
                                                  dir + QStringLiteral("/new"), listPath, splits, 3)) {
            QVERIFY(!log.critical().isEmpty());
            QVERIFY(!QFileInfo::exists(listPath));
            continue;
        }
        std::vector<ListEntry> entries;
        QVERIFY(readPatchList(readFile(listPath), &entries));
        quint32 covered = 0;
        const QByteArray list = readFile(listPath);
        for (const ListEntry &e : entries) {
            QCOMPARE(e.start, covered);
            QByteArray piece;
            QVERIFY(applyPatch(oldData.mid(int(e.start), int(e.length)),
                               list.mid(int(e.offset), int(e.size)), &piece));
            QCOMPARE(piece, newData.mid(int(e.start), int(e.length)));
            covered += e.length;
        }
        QCOMPARE(covered, quint32(size));
    }
}

// Arbitrary old and new data, related or not: every patch rebuilds the new
// data exactly.
void TestPackageFuzz::patchPairs()
{
    const QString path = m_dir.filePath(QStringLiteral("pair.patch"));
    const int cases = caseCount(400);
    std::mt19937 rng(99);
    for (int n = 0; n < cases; ++n) {
        QByteArray oldData(int(rng() % 3000), '\0');
        const int alphabet = 1 + int(rng() % 256);
        for (char &c : oldData)
            c = char(rng() % quint32(alphabet));
        QByteArray newData = oldData;
        int dummy = 0;
        if (rng() % 4)
            mutate(rng, newData, &dummy);
        else
            newData = QByteArray(int(rng() % 3000), char(rng()));
        const int rc = UpgradePkgPatch::generatePatchFile(
            reinterpret_cast<const quint8 *>(oldData.constData()), oldData.size(),
            reinterpret_cast<const quint8 *>(newData.constData()), newData.size(), path);
        QCOMPARE(rc, 0);
        QByteArray rebuilt;
        QVERIFY2(applyPatch(oldData, readFile(path), &rebuilt), qPrintable(QString::number(n)));
        QVERIFY2(rebuilt == newData, qPrintable(QString::number(n)));
    }
}

QTEST_GUILESS_MAIN(TestPackageFuzz)
#include "tst_packagefuzz.moc"
