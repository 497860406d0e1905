// The registry of cameras: recognition, one new camera per scan, removal
// and return, the upgrade cases, its own thread and the lifetime of the
// devices it hands out; and how many virtual cameras the command line and
// the environment put into the process-wide platform.
#include "DeviceTestSupport.h"

#include "camera/VirtualCameras.h"
#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "uvc/UvcDevices.h"

#include <QSignalSpy>

#include <atomic>

using namespace vexo::pc;
using namespace devtest;

namespace {

struct RegistryRig : Rig
{
    UvcDevices registry{nullptr, &platform};
    QSignalSpy changed{&registry, &UvcDevices::devChanged};

    // The serial and flag of the n-th devChanged.
    QPair<QByteArray, bool> change(int n) const
    {
        return {changed.at(n).at(0).toByteArray(), changed.at(n).at(1).toBool()};
    }
};

} // namespace

class TestDevRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpFamily();
        // Only virtual cameras in this process, whatever the machine has.
        qputenv("ZARVO_REAL_CAMERAS", "0");
        qunsetenv("ZARVO_SIMULATE");
        // No network links to cameras.
        Util::setLocalIpsProvider([] { return QStringList{QStringLiteral("127.0.0.1")}; });
    }

    void cleanup()
    {
        VirtualCameras::uninstall();
        qunsetenv("ZARVO_SIMULATE");
    }

    void counts_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("env");
        QTest::addColumn<bool>("whenNoCamera");
        QTest::addColumn<int>("expected");
        QTest::newRow("nothing asked") << QStringList() << QByteArray() << false << 0;
        QTest::newRow("no camera rule") << QStringList() << QByteArray() << true << 2;
        QTest::newRow("option") << QStringList{QStringLiteral("--simulate"), QStringLiteral("3")} << QByteArray() << false << 3;
        QTest::newRow("option with =") << QStringList{QStringLiteral("--simulate=1")} << QByteArray("4") << false << 1;
        QTest::newRow("environment") << QStringList() << QByteArray("4") << false << 4;
        QTest::newRow("refused by option") << QStringList{QStringLiteral("--no-simulate")} << QByteArray("4") << true << 0;
        QTest::newRow("refused by environment") << QStringList() << QByteArray("0") << true << 0;
    }

    void counts()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, env);
        QFETCH(bool, whenNoCamera);
        QFETCH(int, expected);
        if (!env.isEmpty())
            qputenv("ZARVO_SIMULATE", env);
        QCOMPARE(VirtualCameras::installFromEnvironment(args, whenNoCamera), expected);
        QVERIFY(!VirtualCameras::realCameraPresent());
    }

    void recognition_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<bool>("recognised");
        QTest::newRow("name, any ids") << "KAVORA Zarvo Pro" << "virtual:a" << 0x1234 << 0x0001 << true;
        QTest::newRow("name is case-sensitive") << "kavora zarvo" << "virtual:b" << 0 << 0 << false;
        QTest::newRow("second vendor id") << "USB Camera" << "virtual:c" << 0x3A60 << 0xFEF3 << true;
        QTest::newRow("other product id") << "USB Camera" << "virtual:d" << 0x3A5F << 0xFEF0 << false;
        QTest::newRow("other vendor") << "USB Camera" << "virtual:e" << 0x046D << 0xFEF2 << false;
        QTest::newRow("ids in the path, lower case")
            << "Camera" << "virtual:\\\\?\\usb#vid_3a5f&pid_fef2&mi_00#7&1a2b3c" << 0 << 0 << true;
    }

    void recognition()
    {
        QFETCH(QString, name);
        QFETCH(QString, path);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(bool, recognised);
        RegistryRig rig;
        auto cam = rig.addCamera();
        cam->setFriendlyName(name);
        cam->setDevicePath(path);
        cam->setUsbIds(quint16(vid), quint16(pid));
        QList<DevDescription> found;
        QVERIFY(rig.registry.enumCameras(found));
        QCOMPARE(found.size(), recognised ? 1 : 0);
    }

    void oneNewCameraPerScan()
    {
        RegistryRig rig;
        auto a = rig.addCamera(VirtualCamera::Model::Zarvo, 1);
        auto b = rig.addCamera(VirtualCamera::Model::Zarvo4K, 2);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        QCOMPARE(rig.change(0), qMakePair(a->serial().toLatin1(), true));
        rig.registry.detectDevByUvc();
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 2);
        QCOMPARE(rig.changed.count(), 2);
        QCOMPARE(rig.change(1), qMakePair(b->serial().toLatin1(), true));
        QVERIFY(!rig.registry.findDevBySn(QStringLiteral("nobody")));
    }

    void unplugAndReplug()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        const QString ip = rig.registry.findDevBySn(cam->serial())->getIpAddr();
        cam->unplug();
        const QString tail = QString::fromLatin1(cam->uuid().toHex().toUpper()).right(16);
        QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("Remove uvc device: \"%1\"").arg(tail)));
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
        QCOMPARE(rig.change(1), qMakePair(cam->serial().toLatin1(), false));

        cam->replug();
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.changed.count(), 3);
        const UvcDevicePtr dev = rig.registry.findDevBySn(cam->serial());
        QVERIFY(dev);
        // The released address comes back to the same camera.
        QCOMPARE(dev->getIpAddr(), ip);

        // Removal on request: by a piece of the device path, any case.
        rig.registry.onDevRemoved(QString()); // a part of every path, and no request
        rig.registry.onDevRemoved(QStringLiteral("no-such-camera"));
        QCOMPARE(rig.registry.count(), 1);
        rig.registry.onDevRemoved(cam->serial().toLower());
        QCOMPARE(rig.registry.count(), 0);
        QCOMPARE(rig.change(3), qMakePair(cam->serial().toLatin1(), false));
    }

    void failuresAreRetriedOrEmptyTheList()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        cam->setOpenFails(true);
        QTest::ignoreMessage(QtWarningMsg, "Add uvc dev failed");
        rig.registry.detectDevByUvc();
        cam->setOpenFails(false);
        cam->setSilent(true);
        QTest::ignoreMessage(QtWarningMsg, "Uvc device init failed");
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
        cam->setSilent(false);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        // A failed listing counts as no camera at all.
        rig.backend->setListingFails(true);
        QTest::ignoreMessage(QtWarningMsg, "Enumerate video devices failed: \"virtual\"");
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
    }

    void cameraBackDuringUpgrade()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        UvcDevicePtr old = rig.registry.findDevBySn(cam->serial());
        // The upgrade worker takes the camera over; it restarts into its
        // upgrade system and shows up under another path.
        rig.registry.setUpgradingSerial(cam->serial());
        old->setDevMode(UvcDevice::DevModeUpgrade);
        cam->unplug();
        rig.registry.detectDevByUvc();
        cam->setSystem(VirtualCamera::System::Upgrade);
        cam->setDevicePath(cam->devicePath() + QStringLiteral("#upgrade"));
        cam->replug();
        rig.registry.detectDevByUvc();

        const QList<UvcDevicePtr> devs = rig.registry.devices();
        QCOMPARE(devs.size(), 1);
        QVERIFY(devs.first() != old);
        QCOMPARE(devs.first()->devMode(), int(UvcDevice::DevModeUpgrade));
        QVERIFY(!devs.first()->disconnectWatch());
        QCOMPARE(rig.changed.count(), 1); // only the first arrival
        // The old object left the registry; the worker's reference keeps it.
        QCOMPARE(old.use_count(), 1);
    }

    void disconnectCountInUpgradeMode()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        const UvcDevicePtr dev = rig.registry.findDevBySn(cam->serial());
        dev->setDevMode(UvcDevice::DevModeUpgrade);
        QSignalSpy lost(&rig.registry, &UvcDevices::devDisconnDuringUg);
        cam->unplug();
        for (int i = 0; i < 6; ++i)
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 0);
        QVERIFY(!dev->isPresent());
        rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 1);
        for (int i = 0; i < 7; ++i) // counting starts again
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 2);
        // Never removed while upgrading.
        QCOMPARE(rig.registry.count(), 1);
        QCOMPARE(rig.changed.count(), 1);
        // Without the watch nothing is counted.
        dev->setDisconnectWatch(false);
        for (int i = 0; i < 8; ++i)
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 2);
    }

    void scanThreadAndDeviceLifetime()
    {
        auto rig = std::make_unique<RegistryRig>();
        auto cam = rig->addCamera();
        // Counted on the scan thread: a queued copy of the serial would be
        // released inside Qt's event queue, which the thread sanitizer
        // cannot see into.
        std::atomic<int> added{0};
        std::atomic<int> removed{0};
        connect(&rig->registry, &UvcDevices::devChanged, this,
                [&](const QByteArray &, bool flag) { ++(flag ? added : removed); }, Qt::DirectConnection);
        rig->registry.start();
        QVERIFY(waitFor([&] { return added.load() == 1; }, 10000));

        // A handler looked the camera up; the registry drops it meanwhile.
        UvcDevicePtr held = rig->registry.findDevBySn(cam->serial());
        QVERIFY(held);
        const std::weak_ptr<UvcDevice> watch = held;
        cam->unplug();
        QVERIFY(waitFor([&] { return removed.load() == 1; }, 10000));
        QCOMPARE(held->getSn(), cam->serial());
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(held->cameraSetHdr(true), -1);
        held.reset(); // the last holder deletes it
        QVERIFY(watch.expired());

        rig.reset(); // stops the thread and releases the devices
    }
};

QTEST_GUILESS_MAIN(TestDevRegistry)
#include "tst_devregistry.moc"
