// Seeded mutation fuzzing of everything that reads untrusted bytes:
// packages (damaged, with and without repaired checksums), patch heads read
// as packages, and the patch generator on arbitrary pairs. Every input is
// either refused with a critical log line or accepted and then consistent
// (what is cut out of an accepted package verifies again, every patch
// rebuilds its new data); under the address sanitizer the same cases also
// catch out-of-bounds reads and oversized allocations.

#include "PackageTestSupport.h"
#include "SeededMutator.h"

#include "package/FirmwareBuilder.h"
#include "package/FirmwarePackage.h"
#include "package/UpgradePkgPatch.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexo::pc;
using namespace pkgtest;
using testsupport::SeededMutator;

namespace {

using Desc = FirmwareBuilder::Description;
using Module = FirmwareBuilder::Module;

constexpr int kCases = ZARVO_FUZZ_CASES; // set by the build; patch pairs a fiftieth

// Small modules over a small alphabet: patch heads and patches stay cheap.
QByteArray package(const Desc &d, bool withCamera)
{
    SeededMutator m(d.seed);
    QList<Module> mods;
    if (withCamera) {
        QList<Module> cam;
        for (const quint32 id : {0u, 3u, d.platform.startsWith(QLatin1String("SSC")) ? 10u : 7u}) {
            cam.append({id, QByteArray(m.below(600), char('a' + m.below(7)))});
        }
        mods.append({1, FirmwareBuilder::cameraPackage(cam, d.seed)});
    }
    mods.append({2, QByteArray(300, 'b')});
    mods.append({5, QByteArray("tbl")});
    return FirmwareBuilder::firmwarePackage(d, mods);
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
    for (qint64 at = 256; at <= 256 * count; at += 256) {
        const qint64 cam = le32(b, int(at + 8));
        if (le32(b, int(at)) == 1 && cam + 256 <= size) {
            const qint64 camCount = qMin<qint64>(le32(b, int(cam + 12)), (size - cam) / 256 - 1);
            for (qint64 j = 1; j <= camCount; ++j)
                fixHeaderCrc(b, cam + 256 * j);
            fixHeaderCrc(b, cam);
        }
        const quint64 len = le32(b, int(at + 4));
        if (level >= 2 && quint64(cam) + len <= quint64(size))
            setLe32(b, int(at + 68), len ? crc32Of(b.constData() + cam, int(len)) : 0);
        fixHeaderCrc(b, at);
    }
    const quint32 dataOff = le32(b, 4);
    if (level >= 2 && dataOff <= quint32(size))
        b.replace(56, 16, md5Of(b.mid(int(dataOff))));
    fixHeaderCrc(b, 0);
}

// One to three rounds of damage: byte-level damage, header fields (counts,
// sizes, offsets) set to edge values, or a camera module count changed.
// Then, by chance, checksums repaired (returned: 0 none, 1 headers, 2 all).
int damage(SeededMutator &m, QByteArray &b)
{
    for (int k = 1 + m.below(3); k > 0; --k) {
        const int size = b.size();
        switch (m.below(3)) {
        case 0:
            b = m.mutate({b});
            break;
        case 1:
            if (size >= 8) {
                const int at = 4 * m.below(qMin(size - 4, 256 * 6) / 4);
                setLe32(b, at, m.edgeValue(quint32(size)));
            }
            break;
        default:
            if (size >= 256 * 2 + 16 && le32(b, 256 + 8) + 16 <= quint32(size)) {
                const int at = int(le32(b, 256 + 8)) + 12;
                setLe32(b, at, m.oneIn(2) ? le32(b, at) + 1 + quint32(m.below(3)) : quint32(m.below(1000000)));
            }
            break;
        }
    }
    const int level = m.below(3);
    repair(b, level);
    return level;
}

} // namespace

class TestPackageFuzz : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void packages();
    void patchPairs();

private:
    QTemporaryDir m_dir;
};

void TestPackageFuzz::packages()
{
    const QString dir = m_dir.filePath(QStringLiteral("pkg"));
    QDir().mkpath(dir);
    // Seeds: packages with and without camera, and patch heads.
    QList<QPair<Desc, QByteArray>> seeds;
    for (const QString &platform : {QStringLiteral("SSC336Q"), QStringLiteral("Hi3516DV300")}) {
        Desc d;
        d.platform = platform;
        d.seed = quint32(seeds.size() + 5);
        seeds.append({d, package(d, false)});
        seeds.append({d, package(d, true)});
        const QString path = dir + QLatin1Char('/') + FirmwareBuilder::fileName(d, d.platform);
        QVERIFY(writeFile(path, seeds.last().second));
        FirmwarePackage pkg(path);
        QList<quint32> splits;
        QVERIFY(pkg.verifyFirmware() && pkg.generateFwPatchHead(dir + QStringLiteral("/head"), splits));
        seeds.append({d, readFile(dir + QStringLiteral("/head"))});
    }

    const int cases = kCases;
    SeededMutator m(20240601);
    int refused = 0;
    LogCapture log;
    for (int n = 0; n < cases; ++n) {
        const auto &seed = seeds.at(m.below(seeds.size()));
        QByteArray bytes = seed.second;
        const bool mustRefuse = damage(m, bytes) == 0 && bytes != seed.second;
        const bool ugsysName = m.oneIn(8);
        const QString path = dir + QLatin1Char('/') + (ugsysName ? QStringLiteral("Ugsys_") : QString())
                             + FirmwareBuilder::fileName(seed.first, seed.first.platform);
        QVERIFY(writeFile(path, bytes));

        log.clear();
        FirmwarePackage pkg(path, ugsysName);
        if (!pkg.verifyFirmware()) {
            ++refused;
            QVERIFY2(!log.critical().isEmpty(), qPrintable(QStringLiteral("case %1 refused silently").arg(n)));
            continue;
        }
        QVERIFY2(!mustRefuse, qPrintable(QStringLiteral("case %1: damaged package accepted").arg(n)));

        // Whatever an accepted package yields holds up itself; a refusal
        // says why.
        QList<quint32> splits;
        log.clear();
        const bool head = pkg.generateFwPatchHead(dir + QStringLiteral("/fuzzhead"), splits);
        QVERIFY(head ? splits.last() == pkg.totalSize() : !log.critical().isEmpty());
        log.clear();
        if (!ugsysName) {
            const bool ug = pkg.generateUgsysFwPackage();
            QVERIFY2(ug ? FirmwarePackage(pkg.ugsysPath(), true).verifyFirmware() : !log.critical().isEmpty(),
                     qPrintable(QStringLiteral("case %1").arg(n)));
            QFile::remove(pkg.ugsysPath());
        }
        log.clear();
        QVERIFY(pkg.extractUpdaterfs(dir + QStringLiteral("/fuzzugfs")) || !log.critical().isEmpty());
    }
    // Most damage is refused, yet repaired packages reach the deeper paths.
    QVERIFY2(refused > cases / 2 && refused < cases, qPrintable(QString::number(refused)));
}

// Arbitrary old and new data, related or not: every patch rebuilds the new
// data exactly.
void TestPackageFuzz::patchPairs()
{
    const QString path = m_dir.filePath(QStringLiteral("pair.patch"));
    SeededMutator m(99);
    for (int n = kCases / 50; n > 0; --n) {
        QByteArray oldData = m.randomBytes(m.below(3000));
        const int alphabet = 1 + m.below(256);
        for (char &c : oldData)
            c = char(quint8(c) % alphabet);
        const QByteArray newData = m.oneIn(4) ? QByteArray(m.below(3000), char(m.next()))
                                              : m.mutate({oldData.isEmpty() ? QByteArray("x") : oldData});
        QCOMPARE(UpgradePkgPatch::generatePatchFile(
                     reinterpret_cast<const quint8 *>(oldData.constData()), oldData.size(),
                     reinterpret_cast<const quint8 *>(newData.constData()), newData.size(), path),
                 0);
        QByteArray rebuilt;
        QVERIFY2(applyPatch(oldData, readFile(path), &rebuilt) && rebuilt == newData,
                 qPrintable(QString::number(n)));
    }
}

QTEST_GUILESS_MAIN(TestPackageFuzz)
#include "tst_packagefuzz.moc"
