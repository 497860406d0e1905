// Firmware and camera packages: every check in its order, the packages cut
// out of a verified one, combined packages and the local package choice.

#include "PackageTestSupport.h"

#include "comm/GlobalParams.h"
#include "package/CameraPackage.h"
#include "package/FirmwareBuilder.h"
#include "package/FirmwareManager.h"
#include "package/FirmwarePackage.h"
#include "package/UpgradePkgPatch.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexo::pc;
using namespace pkgtest;

namespace {

using Desc = FirmwareBuilder::Description;
using Module = FirmwareBuilder::Module;

Desc smallDesc(const QString &platform = QStringLiteral("SSC336Q"), quint32 seed = 1)
{
    Desc d;
    d.platform = platform;
    d.seed = seed;
    d.size = 96 * 1024;
    return d;
}

// Hand-made modules, small enough to damage one field at a time.
QList<Module> cameraModules(quint32 ugfsId = 10)
{
    return {{0, QByteArray("main system ").repeated(40)},
            {2, QByteArray("kernel ").repeated(90)},
            {ugfsId, QByteArray("updater fs ").repeated(70)}};
}

QList<Module> deviceModules(const QByteArray &camera)
{
    return {{1, camera}, {2, QByteArray("mcu ").repeated(100)}, {5, QByteArray("lens table")}};
}

// Byte ranges of a 256-byte header that a regenerated header must keep.
bool sameExcept(const QByteArray &a, const QByteArray &b, const QList<QPair<int, int>> &changed)
{
    if (a.size() != 256 || b.size() != 256)
        return false;
    for (int i = 0; i < 256; ++i) {
        bool skip = false;
        for (const auto &r : changed)
            skip = skip || (i >= r.first && i < r.first + r.second);
        if (!skip && a.at(i) != b.at(i))
            return false;
    }
    return true;
}

bool crcOk(const QByteArray &header)
{
    return le32(header, 252) == crc32Of(header.constData(), 252);
}

void fixCrc(QByteArray &bytes, int headerAt)
{
    setLe32(bytes, headerAt + 252, crc32Of(bytes.constData() + headerAt, 252));
}

} // namespace

class TestFirmwarePackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verifiesSyntheticPackage();
    void packageWithoutCamera();
    void nameIsCheckedBeforeAnyChecksum();
    void updaterPackageNeedsItsFlag();
    void damagedPackages_data();
    void damagedPackages();
    void updaterPackage_data();
    void updaterPackage();
    void updaterFlagWritesNothing();
    void cutPackages();
    void patchHead();
    void updaterFileSystem();
    void combinedPackage();
    void managerChoosesNewest();
    void managerFallsBackToSettings();

private:
    QString write(const QByteArray &data, const QString &name);
    QString writeDesc(const Desc &d, const QString &sub = QString());

    QTemporaryDir m_dir;
};

void TestFirmwarePackage::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QVERIFY(m_dir.isValid());
}

QString TestFirmwarePackage::write(const QByteArray &data, const QString &name)
{
    const QString path = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return writeFile(path, data) ? path : QString();
}

QString TestFirmwarePackage::writeDesc(const Desc &d, const QString &sub)
{
    const QString name = FirmwareBuilder::fileName(d, d.platform);
    return write(FirmwareBuilder::syntheticPackage(d), sub.isEmpty() ? name : sub + QLatin1Char('/') + name);
}

void TestFirmwarePackage::verifiesSyntheticPackage()
{
    Desc d = smallDesc();
    d.socVersion = -3;
    d.version = QStringLiteral("1.2.30.4");
    const QString path = writeDesc(d);
    FirmwarePackage pkg(path);
    LogCapture log;
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(log.has(QStringLiteral("camera firmware verify successfully")));
    QCOMPARE(pkg.product(), QStringLiteral("Kavora_zarvo"));
    QCOMPARE(pkg.branch(), QStringLiteral("OA_E"));
    QCOMPARE(pkg.platform(), QStringLiteral("SSC336Q"));
    QCOMPARE(pkg.version(), QStringLiteral("1.2.30.4"));
    QCOMPARE(pkg.versionValue(), quint32(0x041E0201));
    QCOMPARE(int(pkg.socVersion()), -3);
    QCOMPARE(qint64(pkg.totalSize()), QFileInfo(path).size());
    QCOMPARE(pkg.moduleHeaders().size(), 3);
    QVERIFY(pkg.cameraPackage());
    QList<quint32> camIds;
    for (const QByteArray &h : pkg.cameraPackage()->moduleHeaders())
        camIds.append(le32(h, 0));
    QCOMPARE(camIds, (QList<quint32>{0, 2, 3, 4, 10}));
}

void TestFirmwarePackage::packageWithoutCamera()
{
    Desc d = smallDesc();
    d.withCamera = false;
    FirmwarePackage pkg(writeDesc(d, QStringLiteral("nocam")));
    LogCapture log;
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(!pkg.cameraPackage());
    QVERIFY(!log.has(QStringLiteral("camera firmware verify successfully")));

    QList<quint32> splits{1, 2};
    QVERIFY(!pkg.generateFwPatchHead(m_dir.filePath(QStringLiteral("nocam/head")), splits));
    QVERIFY(log.hasCritical(QStringLiteral("camera fw does not exist")));
    QVERIFY(splits.isEmpty());
    QVERIFY(!pkg.extractUpdaterfs(m_dir.filePath(QStringLiteral("nocam/ugfs"))));
    QVERIFY(log.hasCritical(QStringLiteral("Cannot find updaterfs")));

    // A module list with only one module that is not the camera package.
    Desc one = smallDesc();
    const QString path = write(FirmwareBuilder::firmwarePackage(one, {{7, QByteArray(5000, 'm')}}),
                               QStringLiteral("nocam/") + FirmwareBuilder::fileName(one, one.platform));
    FirmwarePackage single(path);
    QVERIFY(single.verifyFirmware());
    QVERIFY(!single.cameraPackage());
}

// A package renamed so that its version is gone is refused on the name,
// even when its header checksum is broken too: no checksum is computed.
void TestFirmwarePackage::nameIsCheckedBeforeAnyChecksum()
{
    const Desc d = smallDesc();
    QByteArray bytes = FirmwareBuilder::syntheticPackage(d);
    bytes[200] = char(bytes.at(200) ^ 0x5A);
    const QString renamed = write(bytes, QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_latest_release.bin"));
    LogCapture log;
    FirmwarePackage pkg(renamed);
    QVERIFY(!pkg.verifyFirmware());
    QVERIFY(log.hasCritical(QStringLiteral("Version in file name: Kavora_zarvo_OA_E_SSC336Q_latest")));
    QVERIFY(log.hasCritical(QStringLiteral("Version in pkg header: 1.0.3.0")));
    QVERIFY(!log.has(QStringLiteral("crc32")));

    log.clear();
    FirmwarePackage other(write(bytes, QStringLiteral("Kavora_nimo_2P_OA_E_SSC336Q_1.0.3.0.bin")));
    QVERIFY(!other.verifyFirmware());
    QVERIFY(log.hasCritical(QStringLiteral("File name invalid: Kavora_nimo_2P")));
    QVERIFY(!log.has(QStringLiteral("crc32")));

    // The same bytes under the right name reach the checksum.
    log.clear();
    FirmwarePackage named(write(bytes, FirmwareBuilder::fileName(d, d.platform)));
    QVERIFY(!named.verifyFirmware());
    QVERIFY(log.hasCritical(QStringLiteral("crc32 check failed for package header:")));
}

void TestFirmwarePackage::updaterPackageNeedsItsFlag()
{
    const Desc d = smallDesc();
    const QString path = writeDesc(d, QStringLiteral("flag"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(pkg.generateUgsysFwPackage());
    const QString ugsys = pkg.ugsysPath();
    QCOMPARE(QFileInfo(ugsys).fileName(), QStringLiteral("Ugsys_") + QFileInfo(path).fileName());

    LogCapture log;
    FirmwarePackage asNormal(ugsys);
    QVERIFY(!asNormal.verifyFirmware());
    QVERIFY(log.hasCritical(QStringLiteral("File name invalid: Ugsys_")));
    FirmwarePackage asUpdater(ugsys, true);
    QVERIFY(asUpdater.verifyFirmware());
    // And a normal package is no updater package.
    FirmwarePackage wrongFlag(path, true);
    QVERIFY(!wrongFlag.verifyFirmware());
}

void TestFirmwarePackage::damagedPackages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");

    const Desc d = smallDesc();
    const QByteArray camera = FirmwareBuilder::cameraPackage(cameraModules(), 3);
    const QByteArray good = FirmwareBuilder::firmwarePackage(d, deviceModules(camera));
    const int mod0 = 256; // first module header

    QByteArray b = good;
    b[100] = char(b.at(100) ^ 1);
    QTest::newRow("header checksum") << b << "crc32 check failed for package header:";

    b = good;
    b[0] = char(0x99);
    fixCrc(b, 0);
    QTest::newRow("magic") << b << "Package header error";

    QTest::newRow("oversized") << good + QByteArray(1, '\0') << "Package header error";
    QTest::newRow("truncated") << good.left(good.size() - 1) << "Package header error";
    QTest::newRow("shorter than a header") << good.left(255) << "Package header error";

    b = good;
    setLe32(b, 12, 1000000); // module count far beyond the data offset
    fixCrc(b, 0);
    QTest::newRow("module count") << b << "Package header error";

    b = good;
    b[b.size() - 1] = char(b.at(b.size() - 1) ^ 1);
    QTest::newRow("module data") << b << "Md5 check failed:";

    b = good;
    b[mod0 + 30] = char(b.at(mod0 + 30) ^ 1);
    QTest::newRow("module header checksum") << b << "crc32 check failed for package header:";

    b = good;
    setLe32(b, mod0 + 256 + 68, 0x12345678); // data CRC of module 2, header CRC fixed
    fixCrc(b, mod0 + 256);
    QTest::newRow("module data crc") << b << "crc32 check failed for package header:";

    b = good;
    setLe32(b, mod0 + 256 + 4, 0x7FFFFFFF); // module 2 runs past the file end
    fixCrc(b, mod0 + 256);
    QTest::newRow("module length") << b << "Package header error";

    // Damage inside the camera package, with every outer checksum right.
    auto wrap = [&d](const QByteArray &cam) {
        return FirmwareBuilder::firmwarePackage(d, deviceModules(cam));
    };
    QByteArray cam = camera;
    cam[cam.size() - 1] = char(cam.at(cam.size() - 1) ^ 1);
    QTest::newRow("camera data") << wrap(cam) << "Md5 check failed:";

    cam = camera;
    cam[10] = char(cam.at(10) ^ 1);
    QTest::newRow("camera header checksum") << wrap(cam) << "crc32 check failed for package header:";

    cam = camera;
    cam[0] = 'X';
    fixCrc(cam, 0);
    QTest::newRow("camera magic") << wrap(cam) << "Package header error";

    cam = camera;
    setLe32(cam, 8, quint32(cam.size()) + 1);
    fixCrc(cam, 0);
    QTest::newRow("camera size") << wrap(cam) << "Package header error";

    cam = camera;
    cam[256 + 100] = char(cam.at(256 + 100) ^ 1);
    QTest::newRow("camera module header") << wrap(cam) << "crc32 check failed for package header:";

    cam = camera;
    cam[256 + 68] = char(cam.at(256 + 68) ^ 1); // module MD5, header CRC fixed
    fixCrc(cam, 256);
    QTest::newRow("camera module md5") << wrap(cam) << "Md5 check failed:";
}

void TestFirmwarePackage::damagedPackages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    const Desc d = smallDesc();
    const QString path = write(bytes, QStringLiteral("damaged/") + FirmwareBuilder::fileName(d, d.platform));
    LogCapture log;
    FirmwarePackage pkg(path);
    QVERIFY(!pkg.verifyFirmware());
    QVERIFY2(log.hasCritical(message), qPrintable(log.critical().join(QLatin1Char('\n'))));
    QVERIFY(!pkg.isVerified());

    // Nothing is cut out of a package that did not verify.
    QVERIFY(!pkg.generateUgsysFwPackage());
    QVERIFY(log.hasCritical(QStringLiteral("Please verify firmware first by calling verifyFirmware()")));
    QVERIFY(!QFileInfo::exists(pkg.ugsysPath()));
}

void TestFirmwarePackage::updaterPackage_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<quint32>("ugfsId");
    QTest::newRow("SSC336Q") << "SSC336Q" << 10u;
    QTest::newRow("SSC339G") << "SSC339G" << 10u;
    QTest::newRow("Hi3516DV300") << "Hi3516DV300" << 7u;
    QTest::newRow("Hi3516CV500") << "Hi3516CV500" << 7u;
}

// The updater package carries module 1 with camera modules 0 and the
// updater file system; everything the program does not interpret is
// carried bit for bit.
void TestFirmwarePackage::updaterPackage()
{
    QFETCH(QString, platform);
    QFETCH(quint32, ugfsId);
    Desc d = smallDesc(platform, 17);
    const QString path = writeDesc(d, QStringLiteral("ug_") + platform);
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(pkg.generateUgsysFwPackage());

    FirmwarePackage ug(pkg.ugsysPath(), true);
    QVERIFY(ug.verifyFirmware());
    QCOMPARE(ug.moduleHeaders().size(), 1);
    QCOMPARE(le32(ug.moduleHeaders().first(), 0), 1u);
    QList<quint32> ids;
    for (const QByteArray &h : ug.cameraPackage()->moduleHeaders())
        ids.append(le32(h, 0));
    QCOMPARE(ids, (QList<quint32>{0, ugfsId}));

    // Header: only data offset, size, count, MD5 and CRC change.
    QVERIFY(sameExcept(pkg.header(), ug.header(), {{4, 12}, {56, 16}, {252, 4}}));
    QVERIFY(sameExcept(pkg.moduleHeaders().first(), ug.moduleHeaders().first(),
                       {{4, 8}, {68, 20}, {252, 4}}));
    QVERIFY(sameExcept(pkg.cameraPackage()->header(), ug.cameraPackage()->header(),
                       {{4, 12}, {20, 16}, {252, 4}}));
    const QByteArray src = readFile(path);
    const QByteArray dst = readFile(ug.path());
    for (const QByteArray &h : ug.cameraPackage()->moduleHeaders()) {
        const QByteArray orig = pkg.cameraPackage()->findModule(le32(h, 0));
        QVERIFY(sameExcept(orig, h, {{8, 4}, {252, 4}}));
        QVERIFY(crcOk(h));
        // Same module data at the new place.
        QCOMPARE(dst.mid(int(ug.cameraPackage()->offset() + le32(h, 8)), int(le32(h, 4))),
                 src.mid(int(pkg.cameraPackage()->offset() + le32(orig, 8)), int(le32(orig, 4))));
    }
    // The module's data checksums describe the new camera package.
    const QByteArray modHeader = ug.moduleHeaders().first();
    const QByteArray camBytes = dst.mid(int(le32(modHeader, 8)), int(le32(modHeader, 4)));
    QCOMPARE(le32(modHeader, 68), crc32Of(camBytes.constData(), camBytes.size()));
    QCOMPARE(modHeader.mid(72, 16), md5Of(camBytes));
    QVERIFY(!QFileInfo::exists(ug.path() + QStringLiteral(".cam_temp")));
}

void TestFirmwarePackage::updaterFlagWritesNothing()
{
    const QString path = writeDesc(smallDesc(), QStringLiteral("flagged"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(pkg.generateUgsysFwPackage());
    const QStringList before = QDir(m_dir.filePath(QStringLiteral("flagged"))).entryList(QDir::Files);

    FirmwarePackage ug(pkg.ugsysPath(), true);
    QVERIFY(ug.verifyFirmware());
    LogCapture log;
    QVERIFY(ug.generateUgsysFwPackage());
    QVERIFY(log.has(QStringLiteral("Current package is already used for ugsys")));
    QCOMPARE(QDir(m_dir.filePath(QStringLiteral("flagged"))).entryList(QDir::Files), before);
}

void TestFirmwarePackage::cutPackages()
{
    const Desc d = smallDesc();
    const QString path = writeDesc(d, QStringLiteral("cut"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    const QString outName = FirmwareBuilder::fileName(d, d.platform);

    // A camera list without 0 gets 0 appended at its end.
    const QString out1 = m_dir.filePath(QStringLiteral("cut1/") + outName);
    QDir().mkpath(QFileInfo(out1).absolutePath());
    QVERIFY(pkg.generateFwPackage({5, 1}, {10, 3}, out1));
    FirmwarePackage cut1(out1);
    QVERIFY(cut1.verifyFirmware());
    QCOMPARE(le32(cut1.moduleHeaders().at(0), 0), 5u);
    QCOMPARE(le32(cut1.moduleHeaders().at(1), 0), 1u);
    QList<quint32> ids;
    for (const QByteArray &h : cut1.cameraPackage()->moduleHeaders())
        ids.append(le32(h, 0));
    QCOMPARE(ids, (QList<quint32>{10, 3, 0}));
    QVERIFY(!QFileInfo::exists(out1 + QStringLiteral(".cam_temp")));

    // Without camera ids the camera package is carried whole.
    const QString out2 = m_dir.filePath(QStringLiteral("cut2/") + outName);
    QDir().mkpath(QFileInfo(out2).absolutePath());
    QVERIFY(pkg.generateFwPackage({1, 2}, {}, out2));
    FirmwarePackage cut2(out2);
    QVERIFY(cut2.verifyFirmware());
    QCOMPARE(cut2.cameraPackage()->moduleHeaders(), pkg.cameraPackage()->moduleHeaders());
    QCOMPARE(cut2.moduleHeaders().at(0).mid(68, 20), pkg.moduleHeaders().at(0).mid(68, 20));

    LogCapture log;
    QVERIFY(!pkg.generateFwPackage({1, 9}, {}, m_dir.filePath(QStringLiteral("cut3"))));
    QVERIFY(log.hasCritical(QStringLiteral("Cannot find module with device id = 9")));
    QVERIFY(!pkg.generateFwPackage({1}, {0, 42}, m_dir.filePath(QStringLiteral("cut4"))));
    QVERIFY(log.hasCritical(QStringLiteral("Cannot find module with packet id = 42")));
    QVERIFY(log.hasCritical(QStringLiteral("generateCameraModule camera package failed")));
    QVERIFY(!pkg.generateFwPackage({1}, {}, m_dir.filePath(QStringLiteral("no/such/dir/x"))));
    QVERIFY(log.hasCritical(QStringLiteral("Open file failed:")));

    FirmwarePackage unverified(path);
    QVERIFY(!unverified.generateFwPackage({1}, {}, m_dir.filePath(QStringLiteral("cut5"))));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("cut5"))));
}

void TestFirmwarePackage::patchHead()
{
    const Desc d = smallDesc(QStringLiteral("SSC339G"), 23);
    const QString path = writeDesc(d, QStringLiteral("head"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    const QString headPath = m_dir.filePath(QStringLiteral("head/fwheader.bin"));
    QList<quint32> splits;
    QVERIFY(pkg.generateFwPatchHead(headPath, splits));

    const QByteArray src = readFile(path);
    const QByteArray head = readFile(headPath);
    const CameraPackage *cam = pkg.cameraPackage();
    QCOMPARE(head.left(256), pkg.header()); // the package header is untouched

    qint64 expectSize = pkg.dataOffset();
    int cursor = int(pkg.dataOffset());
    for (int i = 0; i < pkg.moduleHeaders().size(); ++i) {
        const QByteArray orig = pkg.moduleHeaders().at(i);
        const QByteArray h = head.mid(256 * (i + 1), 256);
        QVERIFY(crcOk(h));
        QVERIFY(sameExcept(orig, h, {{152, 8}, {252, 4}}));
        const bool isCamera = le32(orig, 0) == 1;
        const int length = isCamera ? int(cam->dataOffset()) : int(le32(orig, 4));
        QCOMPARE(int(le32(h, 152)), cursor);
        QCOMPARE(int(le32(h, 156)), length);
        QCOMPARE(head.mid(cursor, length), src.mid(int(le32(orig, 8)), length));
        cursor += length;
        expectSize += length;
    }
    QCOMPARE(qint64(head.size()), expectSize);

    QList<quint32> expectSplits;
    for (const QByteArray &h : cam->moduleHeaders())
        if (le32(h, 8) != cam->dataOffset())
            expectSplits.append(quint32(cam->offset()) + le32(h, 8));
    expectSplits.append(pkg.totalSize());
    QCOMPARE(splits, expectSplits);
    QCOMPARE(splits.size(), cam->moduleHeaders().size());

    // Cut at those offsets, no patch piece crosses a camera module start.
    const QList<quint32> bounds = UpgradePkgPatch::pieceBoundaries(splits);
    for (const quint32 s : splits)
        QVERIFY(bounds.contains(s));
}

void TestFirmwarePackage::updaterFileSystem()
{
    for (const QString &platform : {QStringLiteral("SSC336Q"), QStringLiteral("Hi3516DV300")}) {
        const QString path = writeDesc(smallDesc(platform), QStringLiteral("ugfs"));
        FirmwarePackage pkg(path);
        QVERIFY(pkg.verifyFirmware());
        const QString out = m_dir.filePath(QStringLiteral("ugfs/ugfs.bin"));
        QVERIFY(pkg.extractUpdaterfs(out));
        const quint32 id = platform.startsWith(QLatin1String("SSC")) ? 10 : 7;
        const QByteArray h = pkg.cameraPackage()->findModule(id);
        QCOMPARE(readFile(out), readFile(path).mid(int(pkg.cameraPackage()->offset() + le32(h, 8)),
                                                   int(le32(h, 4))));
    }

    const QString other = writeDesc(smallDesc(QStringLiteral("Hi3559A")), QStringLiteral("ugfs"));
    FirmwarePackage pkg(other);
    QVERIFY(pkg.verifyFirmware());
    LogCapture log;
    QVERIFY(!pkg.extractUpdaterfs(m_dir.filePath(QStringLiteral("ugfs/none.bin"))));
    QVERIFY(log.hasCritical(
        QStringLiteral("Only support Hi3516DV300, Hi3516CV500, SSC336Q, SSC339G at present")));
}

void TestFirmwarePackage::combinedPackage()
{
    const QStringList platforms{QStringLiteral("Hi3516DV300"), QStringLiteral("SSC336Q"),
                                QStringLiteral("SSC339G")};
    QList<QByteArray> parts;
    QByteArray combined;
    for (int i = 0; i < platforms.size(); ++i) {
        Desc d = smallDesc(platforms.at(i), quint32(40 + i));
        d.size = 70 * 1024 + i * 4096; // different sizes: offsets must come from the headers
        parts.append(FirmwareBuilder::syntheticPackage(d));
        combined += parts.last();
    }
    const Desc d = smallDesc();
    const QString name = FirmwareBuilder::fileName(d, QStringLiteral("All"));
    const QString path = write(combined, QStringLiteral("combined/") + name);
    const QString outDir = m_dir.filePath(QStringLiteral("combined/out"));
    QDir().mkpath(outDir);

    const QString second = FirmwarePackage::extractFirmware(path, QStringLiteral("SSC336Q"), outDir);
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_1.0.3.0_release.bin"));
    QCOMPARE(readFile(second), parts.at(1));
    FirmwarePackage pkg(second);
    QVERIFY(pkg.verifyFirmware());
    QCOMPARE(readFile(FirmwarePackage::extractFirmware(path, QStringLiteral("SSC339G"), outDir)),
             parts.at(2));

    LogCapture log;
    QVERIFY(FirmwarePackage::extractFirmware(path, QStringLiteral("SSC359G"), outDir).isEmpty());
    QVERIFY(FirmwarePackage::extractFirmware(m_dir.filePath(QStringLiteral("nothing")),
                                             QStringLiteral("SSC336Q"), outDir).isEmpty());
    QVERIFY(log.hasCritical(QStringLiteral("File does not exist:")));

    // A package already named for the platform is copied as it is.
    const QString copied = FirmwarePackage::extractFirmware(second, QStringLiteral("SSC336Q"),
                                                            m_dir.filePath(QStringLiteral("combined")));
    QCOMPARE(readFile(copied), parts.at(1));

    // Damage in the second header stops the walk there.
    QByteArray damaged = combined;
    damaged[parts.at(0).size() + 100] = char(damaged.at(parts.at(0).size() + 100) ^ 1);
    const QString damagedPath = write(damaged, QStringLiteral("combined2/") + name);
    log.clear();
    QVERIFY(FirmwarePackage::extractFirmware(damagedPath, QStringLiteral("SSC339G"), outDir).isEmpty());
    QVERIFY(log.hasCritical(QStringLiteral("crc32 check failed for package header:")));
    // A first part whose size runs past the end.
    log.clear();
    const QString cutPath = write(combined.left(parts.at(0).size() - 1), QStringLiteral("combined3/") + name);
    QVERIFY(FirmwarePackage::extractFirmware(cutPath, QStringLiteral("SSC336Q"), outDir).isEmpty());
    QVERIFY(log.hasCritical(QStringLiteral("Package header error or size error")));
    // Not named as a combined package.
    log.clear();
    const QString badName = write(combined, QStringLiteral("combined4/Kavora_zarvo_OA_E_Mix_1.0.3.0.bin"));
    QVERIFY(FirmwarePackage::extractFirmware(badName, QStringLiteral("SSC336Q"), outDir).isEmpty());
    QVERIFY(log.hasCritical(QStringLiteral("File name invalid:")));
}

void TestFirmwarePackage::managerChoosesNewest()
{
    const QString dir = m_dir.filePath(QStringLiteral("manager"));
    FirmwareManager manager;
    QVERIFY(manager.init(QJsonObject{{QStringLiteral("product"), QStringLiteral("Kavora_zarvo")},
                                     {QStringLiteral("branch"), QStringLiteral("OA_E")},
                                     {QStringLiteral("platform"), QStringLiteral("SSC336Q")}},
                         dir));
    QCOMPARE(manager.prefix(), QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_"));
    QCOMPARE(manager.firmwareDir(), dir + QLatin1Char('/'));
    QVERIFY(manager.findLatestPackage().isEmpty());

    const QString p = manager.prefix();
    auto touch = [&](const QString &name) { QVERIFY(writeFile(manager.firmwareDir() + name, "x")); };
    touch(p + QStringLiteral("1.0.3.0_debug.bin"));
    touch(p + QStringLiteral("1.0.2.9_release.bin"));
    touch(QStringLiteral("Kavora_zarvo_OA_E_SSC339G_9.9.9.9_release.bin"));
    touch(QStringLiteral("Ugsys_") + p + QStringLiteral("9.0.0.0_release.bin"));
    QCOMPARE(manager.findLatestPackage(), p + QStringLiteral("1.0.3.0_debug.bin"));
    touch(p + QStringLiteral("1.0.3.0_test.bin"));
    QCOMPARE(manager.findLatestPackage(), p + QStringLiteral("1.0.3.0_test.bin"));
    touch(p + QStringLiteral("1.0.3.0_release.bin"));
    QCOMPARE(manager.findLatestPackage(), p + QStringLiteral("1.0.3.0_release.bin"));
    // Numbers, not text: 1.0.12.0 is newer than 1.0.3.0.
    touch(p + QStringLiteral("1.0.12.0_debug.bin"));
    const QString latest = manager.findLatestPackage();
    QCOMPARE(latest, p + QStringLiteral("1.0.12.0_debug.bin"));

    touch(QStringLiteral("Ugsys_") + latest);
    touch(QStringLiteral("Ugsys_") + p + QStringLiteral("1.0.3.0_test.bin"));
    manager.deleteOtherPackages(latest);
    QStringList expected{QStringLiteral("Kavora_zarvo_OA_E_SSC339G_9.9.9.9_release.bin"), latest,
                         QStringLiteral("Ugsys_") + latest,
                         QStringLiteral("Ugsys_") + p + QStringLiteral("9.0.0.0_release.bin")};
    expected.sort();
    QCOMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), expected);
}

void TestFirmwarePackage::managerFallsBackToSettings()
{
    const QJsonObject settings = GlobalParams::instance()->getDevFirmwareInfo();
    FirmwareManager manager;
    // "platform" is missing: all three come from the settings.
    manager.init(QJsonObject{{QStringLiteral("product"), QStringLiteral("Other")},
                             {QStringLiteral("branch"), QStringLiteral("X")}});
    QCOMPARE(manager.prefix(), settings.value(QStringLiteral("product")).toString() + QLatin1Char('_')
                                   + settings.value(QStringLiteral("branch")).toString()
                                   + QLatin1Char('_')
                                   + settings.value(QStringLiteral("platform")).toString()
                                   + QLatin1Char('_'));
    QVERIFY(manager.firmwareDir().endsWith(QLatin1String("/firmware/")));
    QVERIFY(QFileInfo(manager.firmwareDir()).isDir());
}

QTEST_GUILESS_MAIN(TestFirmwarePackage)
#include "tst_firmwarepackage.moc"
