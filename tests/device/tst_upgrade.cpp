// The upgrade worker end to end against the virtual camera: the patch path
// through the updater to the main system, faults of every transfer, the
// refusals, and the log export.
#include "DeviceTestSupport.h"
#include "comm/CameraModel.h"
#include "package/FirmwareBuilder.h"
#include "camera/BsPatchApplier.h"
#include "package/FirmwareManager.h"
#include "package/UpgradePkgPatch.h"
#include "uvc/UvcDevices.h"
#include "uvc/UvcPatchUpgrade.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace devtest;

namespace {

struct Report
{
    QList<int> values;
    QStringList texts;
    qint64 tookMs = 0;
    int last() const { return values.isEmpty() ? -99 : values.last(); }
    // What the progress timer reported (its reports carry no text).
    QList<int> ticks() const
    {
        QList<int> t;
        for (int i = 0; i < values.size(); ++i) {
            if (texts.at(i).isEmpty() && values.at(i) >= 0)
                t << values.at(i);
        }
        return t;
    }
};

FirmwareBuilder::Description packageFor(const VirtualCamera &cam, const QString &version, int revision)
{
    const CameraModel &m = VirtualCamera::cameraModel(cam.model());
    FirmwareBuilder::Description d;
    d.product = m.productName();
    d.platform = m.platformName();
    d.version = version;
    d.revision = revision;
    d.seed = 7;
    d.size = 1024 * 1024;
    return d;
}

} // namespace

class TstUpgrade : public QObject
{
    Q_OBJECT

    Rig rig_;
    std::unique_ptr<UvcDevices> registry_;
    std::shared_ptr<VirtualCamera> cam_;

    // Writes the new package into the firmware directory; its bytes.
    QByteArray offerPackage(const FirmwareBuilder::Description &d)
    {
        const QString dir = UvcPatchUpgrade::firmwareDir();
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        const QByteArray pkg = FirmwareBuilder::syntheticPackage(d);
        QFile f(dir + FirmwareBuilder::fileName(d, d.platform));
        f.open(QIODevice::WriteOnly);
        f.write(pkg);
        return pkg;
    }

    Report runTask(UvcPatchUpgrade::UvcTaskType task, const QString &serial = QString())
    {
        Report r;
        UvcPatchUpgrade worker(serial.isEmpty() ? cam_->serial() : serial, task, nullptr, registry_.get());
        connect(&worker, &UvcPatchUpgrade::progressUpdate, this, [&r](int v, const QString &t) {
            r.values.append(v);
            r.texts.append(t);
        });
        QElapsedTimer took;
        took.start();
        worker.start();
        waitFor([&worker] { return worker.isFinished(); }, 60000);
        r.tookMs = took.elapsed();
        QCoreApplication::processEvents();
        return r;
    }

    void waitListed(const std::shared_ptr<VirtualCamera> &cam = nullptr, int sysType = 0)
    {
        const QString sn = (cam ? cam : cam_)->serial();
        const bool listed = waitFor([&] {
            const auto d = registry_->findDevBySn(sn);
            return d && d->isInited() && (!sysType || d->getSysType() == sysType);
        }, 10000);
        if (!listed) {
            for (const auto &d : registry_->devices())
                qDebug() << "registry holds" << d->getSn() << d->isInited() << d->devMode() << d->getSysType() << d->isOpen();
            qDebug() << "camera plugged, system, upgrading:" << cam_->isPlugged() << int(cam_->system()) << registry_->upgradingSerial();
        }
        QVERIFY(listed);
    }

private slots:
    void initTestCase()
    {
        setUpFamily();
        TimeScale::setFactor(0.02);
        cam_ = rig_.addCamera(VirtualCamera::Model::Zarvo);
        cam_->setInstalledImage(FirmwareBuilder::syntheticPackage(packageFor(*cam_, "1.0.3.0", 0)));
        registry_ = std::make_unique<UvcDevices>(nullptr, &rig_.platform);
        registry_->start();
        waitListed();
    }

    void cleanupTestCase() { registry_.reset(); }

    void init()
    {
        cam_->setUpdaterFaults({});
        cam_->setCaptureBusy(false);
        QVERIFY(waitFor([this] { return !cam_->isRebooting() && cam_->isPlugged(); }, 10000));
    }

    // Main system -> updater -> patched updater -> patched main -> main, and
    // again from a camera that starts in its upgrade system.
    void upgradesToTheNewPackage_data()
    {
        QTest::addColumn<bool>("fromUpgradeSystem");
        QTest::addColumn<int>("faultPct");
        QTest::newRow("main system") << false << 0;
        QTest::newRow("upgrade system") << true << 0;
        // Also: a patch applier that never gives a verdict is waited for 60
        // polls and then taken as finished.
        QTest::newRow("lost and damaged pieces, silent applier") << false << 5;
    }
    void upgradesToTheNewPackage()
    {
        QFETCH(bool, fromUpgradeSystem);
        QFETCH(int, faultPct);
        static int round = 0;
        const QString version = QStringLiteral("1.0.%1.2").arg(4 + round++);
        const QByteArray pkg = offerPackage(packageFor(*cam_, version, round));
        VirtualUpdater::Faults f;
        f.sampleLossPct = f.sampleDamagePct = faultPct;
        f.sampleReorderPct = f.sampleDuplicatePct = faultPct;
        f.blockLossPct = faultPct ? 2 : 0;
        f.bspatchSilent = faultPct > 0;
        cam_->setUpdaterFaults(f);
        if (fromUpgradeSystem) {
            cam_->reboot(VirtualCamera::System::Upgrade);
            QVERIFY(waitFor([this] {
                const auto d = registry_->findDevBySn(cam_->serial());
                return !cam_->isRebooting() && d && d->isInited() && d->getSysType() == 2;
            }, 10000));
        }
        const Report r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.last(), 100);
        QCOMPARE(r.texts.last(), QStringLiteral("Upgrade successfully!"));
        QCOMPARE(cam_->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        QCOMPARE(cam_->system(), VirtualCamera::System::Main);
        const auto dev = registry_->findDevBySn(cam_->serial());
        QCOMPARE(dev->getVersion(), version);
        QCOMPARE(dev->getSysType(), 1);
        QCOMPARE(dev->devMode(), int(UvcDevice::DevModeUvc));
        QVERIFY(!cam_->updaterImage().isEmpty());
        // The progress timer runs on the scaled second and the counter only
        // grows.
        const QList<int> ticks = r.ticks();
        QVERIFY2(ticks.size() >= r.tookMs / TimeScale::ms(1000) / 3, qPrintable(QString::number(ticks.size())));
        for (int i = 1; i < ticks.size(); ++i)
            QVERIFY2(ticks.at(i) >= ticks.at(i - 1), qPrintable(QString("%1 after %2").arg(ticks.at(i)).arg(ticks.at(i - 1))));
    }

    // The camera takes its time to fill the uploaded layout: the worker polls
    // through "generating" and carries on; a camera that does not finish
    // within the 60 polls fails the upgrade and is left as it was.
    void waitsWhileTheCameraGenerates()
    {
        VirtualUpdater::Faults slow;
        slow.generateMs = 8000;
        cam_->setUpdaterFaults(slow);
        const QByteArray pkg = offerPackage(packageFor(*cam_, QStringLiteral("1.0.9.2"), 5));
        auto generated = [this] { return cam_->updaterLog().filter(QStringLiteral(" generated ")).size(); };
        const int before = generated();
        Report r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.last(), 100);
        QCOMPARE(cam_->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        QCOMPARE(generated() - before, 2); // the updater's image and the main system's

        waitListed(cam_, 1);
        slow.generateMs = 300000;
        cam_->setUpdaterFaults(slow);
        offerPackage(packageFor(*cam_, QStringLiteral("1.0.9.3"), 6));
        r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.last(), -3);
        QCOMPARE(cam_->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        QCOMPARE(generated() - before, 2);
        cam_->reboot(VirtualCamera::System::Main);
        QVERIFY(waitFor([this] { return !cam_->isRebooting(); }, 10000));
        waitListed(cam_, 1);
    }

    // An unplug in each transfer phase fails the upgrade; the camera still
    // works afterwards and the next upgrade succeeds.
    void unplugInEachPhase_data()
    {
        QTest::addColumn<QString>("phase");
        QTest::newRow("upload") << "upload";
        QTest::newRow("generate") << "generate";
        QTest::newRow("download") << "download";
        QTest::newRow("bspatch") << "bspatch";
    }
    void unplugInEachPhase()
    {
        QFETCH(QString, phase);
        const QByteArray before = cam_->installedImage();
        offerPackage(packageFor(*cam_, QStringLiteral("2.0.0.2"), 9));
        VirtualUpdater::Faults f;
        f.unplugPhase = phase;
        cam_->setUpdaterFaults(f);
        const Report r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.last(), -3);
        QCOMPARE(r.texts.last(), QStringLiteral("Upgrade failed, please try again later."));
        QCOMPARE(cam_->installedImage(), before);
        QVERIFY(waitFor([this] { return cam_->isPlugged(); }, 10000));
        if (phase == QLatin1String("bspatch")) {
            // The second try from wherever the camera was left.
            cam_->setUpdaterFaults({});
            const QByteArray pkg = offerPackage(packageFor(*cam_, QStringLiteral("2.0.0.3"), 10));
            waitListed();
            const Report again = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
            QCOMPARE(again.last(), 100);
            QCOMPARE(cam_->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        }
    }

    void refusals()
    {
        // A package for another SoC version.
        FirmwareBuilder::Description d = packageFor(*cam_, QStringLiteral("3.0.0.2"), 12);
        d.socVersion = 9;
        offerPackage(d);
        const QByteArray before = cam_->installedImage();
        Report r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.texts.last(), QStringLiteral("Upgrade failed, please try again later."));
        QCOMPARE(cam_->installedImage(), before);
        // No package at all.
        QDir(UvcPatchUpgrade::firmwareDir()).removeRecursively();
        r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.last(), -3);
        // Another program holds the video: ten warnings, then the failure.
        offerPackage(packageFor(*cam_, QStringLiteral("3.0.0.3"), 12));
        cam_->setCaptureBusy(true);
        r = runTask(UvcPatchUpgrade::UvcTaskUpgrade);
        QCOMPARE(r.values.count(-2), 10);
        QCOMPARE(r.last(), -3);
        QCOMPARE(cam_->installedImage(), before);
    }

    // A Hi3516 camera below 1.0.2.7 gets the transfer utility through shell
    // frames and a patched updater first; refused in its upgrade system and
    // with a package too old for the platform.
    void oldHi3516Camera()
    {
        auto old = std::make_shared<VirtualCamera>(VirtualCamera::Model::Zarvo, 1);
        old->setInfoByte(2, DevPlatformHi3516DV300);
        FirmwareBuilder::Description d = packageFor(*old, QStringLiteral("1.0.2.5"), 0);
        d.platform = QStringLiteral("Hi3516DV300");
        old->setInstalledImage(FirmwareBuilder::syntheticPackage(d));
        rig_.backend->addCamera(old);
        waitListed(old, 1);

        d.version = QStringLiteral("1.0.0.0");
        offerPackage(d);
        Report r = runTask(UvcPatchUpgrade::UvcTaskUpgrade, old->serial());
        QCOMPARE(r.texts.last(), QStringLiteral("The ugprade package is out of date."));

        d.version = QStringLiteral("1.0.3.2");
        d.revision = 1;
        const QByteArray pkg = offerPackage(d);
        r = runTask(UvcPatchUpgrade::UvcTaskUpgrade, old->serial());
        QCOMPARE(r.last(), 100);
        QCOMPARE(old->installedSha256(), QCryptographicHash::hash(pkg, QCryptographicHash::Sha256));
        QVERIFY(old->files().contains(QStringLiteral("/app/updater/bspatch")));

        // Old again, but in its upgrade system.
        d.version = QStringLiteral("1.0.2.5");
        old->setInstalledImage(FirmwareBuilder::syntheticPackage(d));
        old->reboot(VirtualCamera::System::Upgrade);
        waitListed(old, 2);
        offerPackage(packageFor(*old, QStringLiteral("1.0.3.3"), 2));
        r = runTask(UvcPatchUpgrade::UvcTaskUpgrade, old->serial());
        QCOMPARE(r.last(), -3);
        QCOMPARE(old->system(), VirtualCamera::System::Upgrade);
        rig_.backend->removeCamera(old);
    }

    // The camera's applier rebuilds what our patch writer diffed, piece by
    // piece of a list, and refuses a damaged list without touching the image.
    void applierReadsOurPatches()
    {
        const QByteArray oldData = FirmwareBuilder::firmwareLikeData(5, 300000, 0);
        const QByteArray newData = FirmwareBuilder::firmwareLikeData(5, 300000, 2);
        QTemporaryDir tmp;
        const QString oldPath = tmp.filePath("old"), newPath = tmp.filePath("new"), list = tmp.filePath("list");
        for (const auto &[path, data] : {std::make_pair(oldPath, oldData), std::make_pair(newPath, newData)}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(data) == data.size());
        }
        QVERIFY(UpgradePkgPatch::bspatchListGenerate(oldPath, newPath, list, {100000, 300000}, 0));
        QFile f(list);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray patches = f.readAll();
        QByteArray image = oldData;
        QString error;
        QVERIFY2(BsPatchApplier::applyList(&image, patches, &error), qPrintable(error));
        QCOMPARE(image, newData);
        image = oldData;
        patches[patches.size() - 40] = char(patches.at(patches.size() - 40) ^ 1);
        QVERIFY(!BsPatchApplier::applyList(&image, patches, &error));
        QCOMPARE(image, oldData);
    }

    // The shell upload of one byte is one "/log/r" line of two hex digits.
    void shellPieces()
    {
        QCOMPARE(UvcPatchUpgrade::shellPieceLine(QByteArray(1, '\xab'), 1), QByteArray("/log/r ab 1"));
        QCOMPARE(UvcPatchUpgrade::shellPieceCapacity(1), 18);
        QCOMPARE(UvcPatchUpgrade::shellPieceCapacity(100), 17);
        QVERIFY(UvcPatchUpgrade::shellPieceLine(QByteArray(17, 'x'), 100).size() <= 46);
    }

    void exportsTheLog()
    {
        Report r = runTask(UvcPatchUpgrade::UvcTaskExtractLog);
        QCOMPARE(r.last(), 1);
        const QString path = r.texts.last();
        QVERIFY2(QFileInfo(path).fileName().endsWith(QStringLiteral("vexo_log_") + cam_->serial() + ".tar.gz"),
                 qPrintable(path));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), cam_->files().file(QStringLiteral("/log/vexo_log.tar.gz")));
        QCOMPARE(cam_->system(), VirtualCamera::System::Main);
        waitListed();

        VirtualUpdater::Faults empty;
        empty.emptyLog = true;
        cam_->setUpdaterFaults(empty);
        r = runTask(UvcPatchUpgrade::UvcTaskExtractLog);
        QCOMPARE(r.last(), 0);
        QVERIFY(r.texts.last().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstUpgrade)
#include "tst_upgrade.moc"
