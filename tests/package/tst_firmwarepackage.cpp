// Firmware and camera packages: the checks in their order, the packages cut
// out of a verified one, combined packages, the local package choice, and
// the command-line tool.

#include "PackageTestSupport.h"

#include "comm/GlobalParams.h"
#include "package/CameraPackage.h"
#include "package/FirmwareBuilder.h"
#include "package/FirmwareManager.h"
#include "package/FirmwarePackage.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace vexo::pc;
using namespace pkgtest;

namespace {

using Desc = FirmwareBuilder::Description;

Desc smallDesc(const QString &platform = QStringLiteral("SSC336Q"), quint32 seed = 1)
{
    Desc d;
    d.platform = platform;
    d.seed = seed;
    d.size = 96 * 1024;
    return d;
}

// Two 256-byte headers equal but for the given byte ranges.
bool sameExcept(QByteArray a, QByteArray b, const QList<QPair<int, int>> &changed)
{
    for (const auto &r : changed) {
        a.replace(r.first, r.second, QByteArray(r.second, '\0'));
        b.replace(r.first, r.second, QByteArray(r.second, '\0'));
    }
    return a.size() == 256 && a == b;
}

QList<quint32> camIds(const FirmwarePackage &pkg)
{
    QList<quint32> ids;
    for (const QByteArray &h : pkg.cameraPackage()->moduleHeaders())
        ids.append(le32(h, 0));
    return ids;
}

} // namespace

class TestFirmwarePackage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void verifiesWithAndWithoutCamera();
    void damagedPackages_data();
    void damagedPackages();
    void updaterPackage_data();
    void updaterPackage();
    void cutPackages();
    void patchHead();
    void combinedPackage();
    void managerChoosesNewest();
    void commandLineTool();

private:
    QString write(const QByteArray &data, const QString &name);
    QString writeDesc(const Desc &d, const QString &sub);

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
    return write(FirmwareBuilder::syntheticPackage(d), sub + QLatin1Char('/') + FirmwareBuilder::fileName(d, d.platform));
}

void TestFirmwarePackage::verifiesWithAndWithoutCamera()
{
    Desc d = smallDesc();
    d.socVersion = -3;
    d.version = QStringLiteral("1.2.30.4");
    FirmwarePackage pkg(writeDesc(d, QStringLiteral("good")));
    LogCapture log;
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(log.has(QStringLiteral("camera firmware verify successfully")));
    QCOMPARE(pkg.version(), QStringLiteral("1.2.30.4"));
    QCOMPARE(pkg.versionValue(), quint32(0x041E0201));
    QCOMPARE(int(pkg.socVersion()), -3);
    QCOMPARE(camIds(pkg), (QList<quint32>{0, 2, 3, 4, 10}));

    log.clear();
    d.withCamera = false;
    FirmwarePackage noCamera(writeDesc(d, QStringLiteral("nocam")));
    QVERIFY(noCamera.verifyFirmware());
    QVERIFY(!noCamera.cameraPackage());
    QVERIFY(!log.has(QStringLiteral("camera firmware verify successfully")));
    QList<quint32> splits{1, 2};
    QVERIFY(!noCamera.generateFwPatchHead(m_dir.filePath(QStringLiteral("nocam/head")), splits));
    QVERIFY(log.hasCritical(QStringLiteral("camera fw does not exist")));
    QVERIFY(splits.isEmpty());
    QVERIFY(!noCamera.extractUpdaterfs(m_dir.filePath(QStringLiteral("nocam/ugfs"))));
    QVERIFY(log.hasCritical(QStringLiteral("Cannot find updaterfs")));

    // An updater file system only for the four known platforms.
    FirmwarePackage other(writeDesc(smallDesc(QStringLiteral("Hi3559A")), QStringLiteral("other")));
    QVERIFY(other.verifyFirmware());
    QVERIFY(!other.extractUpdaterfs(m_dir.filePath(QStringLiteral("other/none.bin"))));
    QVERIFY(log.hasCritical(QStringLiteral("Only support Hi3516DV300, Hi3516CV500, SSC336Q, SSC339G at present")));
}

void TestFirmwarePackage::damagedPackages_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("name"); // other than the package's own
    const QString crc = QStringLiteral("crc32 check failed for package header:");
    const QString header = QStringLiteral("Package header error");
    const QString md5 = QStringLiteral("Md5 check failed:");

    const Desc d = smallDesc();
    const QByteArray camera = FirmwareBuilder::cameraPackage(
        {{0, QByteArray("main system ").repeated(40)}, {2, QByteArray("kernel ").repeated(90)},
         {10, QByteArray("updater fs ").repeated(70)}}, 3);
    // Damage inside the camera package comes with every outer checksum right.
    auto wrap = [&d](const QByteArray &cam) {
        return FirmwareBuilder::firmwarePackage(d, {{1, cam}, {2, QByteArray("mcu ").repeated(100)},
                                                    {5, QByteArray("lens table")}});
    };
    const QByteArray good = wrap(camera);
    // A byte flipped, or a field set and its header's checksum fixed.
    auto flip = [](QByteArray b, int at) {
        b[at] = char(b.at(at) ^ 1);
        return b;
    };
    auto field = [](QByteArray b, int headerAt, int at, quint32 value) {
        setLe32(b, headerAt + at, value);
        fixHeaderCrc(b, headerAt);
        return b;
    };
    const int mod2 = 512; // header of the second module

    QTest::newRow("header checksum") << flip(good, 100) << crc << QString();
    // The name is checked first: a package that was renamed so that its
    // version is gone, or belongs to another product, is refused before
    // any checksum is computed.
    QTest::newRow("version not in name") << flip(good, 100) << "Version in pkg header: 1.0.3.0"
                                         << "Kavora_zarvo_OA_E_SSC336Q_latest_release.bin";
    QTest::newRow("other product") << flip(good, 100) << "File name invalid: Kavora_nimo_2P"
                                   << "Kavora_nimo_2P_OA_E_SSC336Q_1.0.3.0.bin";
    QTest::newRow("magic") << field(good, 0, 0, 0x12345678) << header << QString();
    QTest::newRow("oversized") << good + QByteArray(1, '\0') << header << QString();
    QTest::newRow("truncated") << good.left(good.size() - 1) << header << QString();
    QTest::newRow("shorter than a header") << good.left(255) << header << QString();
    QTest::newRow("module count") << field(good, 0, 12, 1000000) << header << QString();
    QTest::newRow("module data") << flip(good, good.size() - 1) << md5 << QString();
    QTest::newRow("module header checksum") << flip(good, 256 + 30) << crc << QString();
    QTest::newRow("module data crc") << field(good, mod2, 68, 0x12345678) << crc << QString();
    QTest::newRow("module length") << field(good, mod2, 4, 0x7FFFFFFF) << header << QString();
    QTest::newRow("camera data") << wrap(flip(camera, camera.size() - 1)) << md5 << QString();
    QTest::newRow("camera header checksum") << wrap(flip(camera, 10)) << crc << QString();
    QTest::newRow("camera magic") << wrap(field(camera, 0, 0, 0x58414D41)) << header << QString();
    QTest::newRow("camera size") << wrap(field(camera, 0, 8, quint32(camera.size()) + 1)) << header << QString();
    QTest::newRow("camera module header") << wrap(flip(camera, 256 + 100)) << crc << QString();
    QTest::newRow("camera module md5") << wrap(field(camera, 256, 68, 0x12345678)) << md5 << QString();
}

void TestFirmwarePackage::damagedPackages()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QFETCH(QString, name);
    const Desc d = smallDesc();
    LogCapture log;
    FirmwarePackage pkg(write(bytes, QStringLiteral("damaged/") + (name.isEmpty() ? FirmwareBuilder::fileName(d, d.platform) : name)));
    QVERIFY(!pkg.verifyFirmware());
    QVERIFY2(log.hasCritical(message), qPrintable(log.critical().join(QLatin1Char('\n'))));
    QVERIFY(name.isEmpty() || !log.has(QStringLiteral("crc32")));

    // Nothing is cut out of a package that did not verify.
    QVERIFY(!pkg.generateUgsysFwPackage());
    QVERIFY(log.hasCritical(QStringLiteral("Please verify firmware first by calling verifyFirmware()")));
    QVERIFY(!QFileInfo::exists(pkg.ugsysPath()));
}

void TestFirmwarePackage::updaterPackage_data()
{
    QTest::addColumn<QString>("platform");
    QTest::addColumn<quint32>("ugfsId");
    QTest::newRow("SSC339G") << "SSC339G" << 10u;
    QTest::newRow("Hi3516CV500") << "Hi3516CV500" << 7u;
}

// The updater package carries module 1 with camera modules 0 and the
// updater file system (which is also extracted on its own); everything the
// program does not interpret is carried bit for bit. It verifies only as an
// updater package, and an updater package makes no updater package of its
// own.
void TestFirmwarePackage::updaterPackage()
{
    QFETCH(QString, platform);
    QFETCH(quint32, ugfsId);
    const QString path = writeDesc(smallDesc(platform, 17), QStringLiteral("ug_") + platform);
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    QVERIFY(pkg.generateUgsysFwPackage());
    QCOMPARE(QFileInfo(pkg.ugsysPath()).fileName(), QStringLiteral("Ugsys_") + QFileInfo(path).fileName());

    FirmwarePackage ug(pkg.ugsysPath(), true);
    QVERIFY(ug.verifyFirmware());
    QCOMPARE(ug.moduleHeaders().size(), 1);
    QCOMPARE(camIds(ug), (QList<quint32>{0, ugfsId}));
    // Header: only data offset, size, count, MD5 and CRC change.
    QVERIFY(sameExcept(pkg.header(), ug.header(), {{4, 12}, {56, 16}, {252, 4}}));
    QVERIFY(sameExcept(pkg.moduleHeaders().first(), ug.moduleHeaders().first(), {{4, 8}, {68, 20}, {252, 4}}));
    QVERIFY(sameExcept(pkg.cameraPackage()->header(), ug.cameraPackage()->header(), {{4, 12}, {20, 16}, {252, 4}}));
    // Camera module headers keep their MD5, which the verification above
    // compared with the data at the new offsets.
    for (const QByteArray &h : ug.cameraPackage()->moduleHeaders())
        QVERIFY(sameExcept(pkg.cameraPackage()->findModule(le32(h, 0)), h, {{8, 4}, {252, 4}}));
    // The module's MD5 describes the new camera package.
    const QByteArray mod = ug.moduleHeaders().first();
    QCOMPARE(mod.mid(72, 16), md5Of(readFile(ug.path()).mid(int(le32(mod, 8)), int(le32(mod, 4)))));
    QVERIFY(!QFileInfo::exists(ug.path() + QStringLiteral(".cam_temp")));
    const QString ugfs = m_dir.filePath(QStringLiteral("ugfs.bin"));
    QVERIFY(pkg.extractUpdaterfs(ugfs));
    const QByteArray h = pkg.cameraPackage()->findModule(ugfsId);
    QCOMPARE(readFile(ugfs), readFile(path).mid(int(pkg.cameraPackage()->offset() + le32(h, 8)), int(le32(h, 4))));

    LogCapture log;
    FirmwarePackage asNormal(ug.path());
    QVERIFY(!asNormal.verifyFirmware());
    QVERIFY(log.hasCritical(QStringLiteral("File name invalid: Ugsys_")));
    FirmwarePackage wrongFlag(path, true);
    QVERIFY(!wrongFlag.verifyFirmware());
    const QStringList before = QFileInfo(path).dir().entryList(QDir::Files);
    QVERIFY(ug.generateUgsysFwPackage());
    QVERIFY(log.has(QStringLiteral("Current package is already used for ugsys")));
    QCOMPARE(QFileInfo(path).dir().entryList(QDir::Files), before);
}

void TestFirmwarePackage::cutPackages()
{
    const Desc d = smallDesc();
    const QString path = writeDesc(d, QStringLiteral("cut"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    const QString out1 = write({}, QStringLiteral("cut1/") + FirmwareBuilder::fileName(d, d.platform));
    const QString out2 = write({}, QStringLiteral("cut2/") + FirmwareBuilder::fileName(d, d.platform));

    // Modules in the order asked for; a camera list without 0 gets 0 at its end.
    QVERIFY(pkg.generateFwPackage({5, 1}, {10, 3}, out1));
    FirmwarePackage cut1(out1);
    QVERIFY(cut1.verifyFirmware());
    QCOMPARE(le32(cut1.moduleHeaders().at(0), 0), 5u);
    QCOMPARE(le32(cut1.moduleHeaders().at(1), 0), 1u);
    QCOMPARE(camIds(cut1), (QList<quint32>{10, 3, 0}));
    QVERIFY(!QFileInfo::exists(out1 + QStringLiteral(".cam_temp")));

    // Without camera ids the camera package is carried whole.
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
}

// The patch head: the package header untouched, each module header with
// the place of its content in the head, then the camera package's headers
// or the module's whole data; split offsets at the camera module starts.
void TestFirmwarePackage::patchHead()
{
    const QString path = writeDesc(smallDesc(QStringLiteral("SSC339G"), 23), QStringLiteral("head"));
    FirmwarePackage pkg(path);
    QVERIFY(pkg.verifyFirmware());
    const QString headPath = m_dir.filePath(QStringLiteral("head/fwheader.bin"));
    QList<quint32> splits;
    QVERIFY(pkg.generateFwPatchHead(headPath, splits));

    const QByteArray src = readFile(path);
    const QByteArray head = readFile(headPath);
    const CameraPackage *cam = pkg.cameraPackage();
    QCOMPARE(head.left(256), pkg.header());
    int cursor = int(pkg.dataOffset());
    for (int i = 0; i < pkg.moduleHeaders().size(); ++i) {
        const QByteArray orig = pkg.moduleHeaders().at(i);
        const QByteArray h = head.mid(256 * (i + 1), 256);
        QVERIFY(headerCrcOk(h) && sameExcept(orig, h, {{152, 8}, {252, 4}}));
        const int length = le32(orig, 0) == 1 ? int(cam->dataOffset()) : int(le32(orig, 4));
        QCOMPARE(int(le32(h, 152)), cursor);
        QCOMPARE(int(le32(h, 156)), length);
        QCOMPARE(head.mid(cursor, length), src.mid(int(le32(orig, 8)), length));
        cursor += length;
    }
    QCOMPARE(head.size(), cursor);

    QList<quint32> expectSplits;
    for (const QByteArray &h : cam->moduleHeaders())
        if (le32(h, 8) != cam->dataOffset())
            expectSplits.append(quint32(cam->offset()) + le32(h, 8));
    expectSplits.append(pkg.totalSize());
    QCOMPARE(splits, expectSplits);
}

void TestFirmwarePackage::combinedPackage()
{
    QList<QByteArray> parts;
    QByteArray combined;
    for (const QString &platform : {QStringLiteral("Hi3516DV300"), QStringLiteral("SSC336Q"), QStringLiteral("SSC339G")}) {
        Desc d = smallDesc(platform, quint32(40 + parts.size()));
        d.size = 70 * 1024 + parts.size() * 4096; // offsets must come from the headers
        parts.append(FirmwareBuilder::syntheticPackage(d));
        combined += parts.last();
    }
    const QString name = FirmwareBuilder::fileName(smallDesc(), QStringLiteral("All"));
    const QString path = write(combined, QStringLiteral("combined/") + name);
    const QString outDir = m_dir.filePath(QStringLiteral("combined/out"));
    QDir().mkpath(outDir);

    const QString second = FirmwarePackage::extractFirmware(path, QStringLiteral("SSC336Q"), outDir);
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_1.0.3.0_release.bin"));
    QCOMPARE(readFile(second), parts.at(1));
    QCOMPARE(readFile(FirmwarePackage::extractFirmware(path, QStringLiteral("SSC339G"), outDir)), parts.at(2));
    // A package already named for the platform is copied as it is.
    const QString copied = FirmwarePackage::extractFirmware(second, QStringLiteral("SSC336Q"), m_dir.filePath(QStringLiteral("combined")));
    QCOMPARE(readFile(copied), parts.at(1));

    QByteArray damaged = combined;
    damaged[parts.at(0).size() + 100] = char(damaged.at(parts.at(0).size() + 100) ^ 1);
    QByteArray shortTotal = combined;
    setLe32(shortTotal, 8, 100);
    fixHeaderCrc(shortTotal);
    const QList<QPair<QString, QString>> refusals{
        {path, QString()}, // no such platform
        {m_dir.filePath(QStringLiteral("nothing")), QStringLiteral("File does not exist:")},
        {write(damaged, QStringLiteral("combined2/") + name), QStringLiteral("crc32 check failed for package header:")},
        {write(combined.left(parts.at(0).size() - 1), QStringLiteral("combined3/") + name),
         QStringLiteral("Package header error or size error")},
        // A size below one header would never move the walk on.
        {write(shortTotal, QStringLiteral("combined5/") + name), QStringLiteral("Package header error or size error")},
        {write(combined, QStringLiteral("combined4/Kavora_zarvo_OA_E_Mix_1.0.3.0.bin")), QStringLiteral("File name invalid:")}};
    for (const auto &r : refusals) {
        LogCapture log;
        const QString platform = r.second.isEmpty() ? QStringLiteral("SSC359G") : QStringLiteral("SSC339G");
        QVERIFY(FirmwarePackage::extractFirmware(r.first, platform, outDir).isEmpty());
        QVERIFY2(r.second.isEmpty() || log.hasCritical(r.second), qPrintable(r.second));
    }
}

void TestFirmwarePackage::managerChoosesNewest()
{
    const QString dir = m_dir.filePath(QStringLiteral("manager"));
    FirmwareManager manager;
    QVERIFY(manager.init(QJsonObject{{QStringLiteral("product"), QStringLiteral("Kavora_zarvo")},
                                     {QStringLiteral("branch"), QStringLiteral("OA_E")},
                                     {QStringLiteral("platform"), QStringLiteral("SSC336Q")}}, dir));
    QCOMPARE(manager.prefix(), QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_"));
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
    const QString latest = p + QStringLiteral("1.0.12.0_debug.bin");
    touch(latest);
    QCOMPARE(manager.findLatestPackage(), latest);

    touch(QStringLiteral("Ugsys_") + latest);
    touch(QStringLiteral("Ugsys_") + p + QStringLiteral("1.0.3.0_test.bin"));
    manager.deleteOtherPackages(latest);
    QStringList expected{QStringLiteral("Kavora_zarvo_OA_E_SSC339G_9.9.9.9_release.bin"), latest,
                         QStringLiteral("Ugsys_") + latest, QStringLiteral("Ugsys_") + p + QStringLiteral("9.0.0.0_release.bin")};
    expected.sort();
    QCOMPARE(QDir(dir).entryList(QDir::Files, QDir::Name), expected);

    // One of the three missing: all three come from the settings.
    const QJsonObject settings = GlobalParams::instance()->getDevFirmwareInfo();
    FirmwareManager fallback;
    fallback.init(QJsonObject{{QStringLiteral("product"), QStringLiteral("Other")},
                              {QStringLiteral("branch"), QStringLiteral("X")}});
    QCOMPARE(fallback.prefix(), QStringLiteral("%1_%2_%3_").arg(settings.value(QStringLiteral("product")).toString(),
             settings.value(QStringLiteral("branch")).toString(), settings.value(QStringLiteral("platform")).toString()));
    QVERIFY(fallback.firmwareDir().endsWith(QLatin1String("/firmware/")) && QFileInfo(fallback.firmwareDir()).isDir());
}

// "zarvoctl fw" as other programs use it: packages that are the same for
// the same seed, and exit codes 0 (valid), 1 (refused, with the reason on
// standard error) and 2 (usage).
void TestFirmwarePackage::commandLineTool()
{
    const QString tool = qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvoctl");
    QVERIFY2(QFileInfo::exists(tool), qPrintable(tool));
    QTemporaryDir dir;
    QByteArray err;
    auto run = [&tool, &err](const QString &args) {
        QProcess p;
        p.start(tool, QStringList{QStringLiteral("fw")} + args.split(QLatin1Char(' ')));
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
            return -1;
        err = p.readAllStandardError();
        return p.exitCode();
    };
    const QString name = QStringLiteral("Kavora_zarvo_OA_E_Hi3516CV500_1.0.5.0_test.bin");
    const QString a = dir.filePath(QStringLiteral("a/") + name);
    const QString b = dir.filePath(QStringLiteral("b/") + name);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("a"))) && QDir().mkpath(dir.filePath(QStringLiteral("b"))));
    const QString options = QStringLiteral(" --size 200K --platform Hi3516CV500 --version 1.0.5.0 --status test --seed ");
    QCOMPARE(run(QStringLiteral("build ") + a + options + QLatin1Char('4')), 0);
    QCOMPARE(run(QStringLiteral("build ") + b + options + QLatin1Char('4')), 0);
    const QByteArray bytes = readFile(a);
    QCOMPARE(bytes.size(), 200 * 1024);
    QCOMPARE(readFile(b), bytes);
    QCOMPARE(run(QStringLiteral("build ") + b + options + QLatin1Char('5')), 0);
    QVERIFY(readFile(b) != bytes);

    QCOMPARE(run(QStringLiteral("verify ") + a), 0);
    QCOMPARE(run(QStringLiteral("ugsys ") + a), 0);
    QCOMPARE(run(QStringLiteral("verify ") + dir.filePath(QStringLiteral("a/Ugsys_") + name) + QStringLiteral(" --ugsys")), 0);
    QByteArray damaged = bytes;
    damaged[damaged.size() - 1] = char(damaged.at(damaged.size() - 1) ^ 1);
    QVERIFY(writeFile(b, damaged));
    QCOMPARE(run(QStringLiteral("verify ") + b), 1);
    QVERIFY2(err.contains("Md5 check failed:"), err.constData());

    for (const QString &bad : QStringList{QStringLiteral("verify"), QStringLiteral("build ") + a + QStringLiteral(" --version 1.2"),
                               QStringLiteral("frobnicate"), QStringLiteral("patchlist ") + a + QLatin1Char(' ') + a
                                   + QLatin1Char(' ') + dir.filePath(QStringLiteral("l")) + QStringLiteral(" 12Q")})
        QCOMPARE(run(bad), 2);
}

QTEST_GUILESS_MAIN(TestFirmwarePackage)
#include "tst_firmwarepackage.moc"
