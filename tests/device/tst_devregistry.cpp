// The registry of cameras: recognition, one new camera per scan, removal
// and return, the upgrade cases, the network scan, and its own thread.
#include "DeviceTestSupport.h"

#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "uvc/UvcDevices.h"

#include <QRegularExpression>
#include <QSignalSpy>

#include <atomic>

using namespace vexo::pc;
using namespace devtest;

namespace {

struct RegistryRig : Rig
{
    UvcDevices registry{nullptr, &platform};
};

} // namespace

class TestDevRegistry : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpFamily();
        // No network links to cameras unless a test sets some up.
        Util::setLocalIpsProvider([] { return QStringList{QStringLiteral("127.0.0.1")}; });
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
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).toByteArray(), a->serial().toLatin1());
        QCOMPARE(changed.at(0).at(1).toBool(), true);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 2);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toByteArray(), b->serial().toLatin1());
        rig.registry.detectDevByUvc();
        QCOMPARE(changed.count(), 2);
        const UvcDevicePtr dev = rig.registry.findDevBySn(b->serial());
        QVERIFY(dev);
        QVERIFY(dev->is4KDevice());
        QVERIFY(!rig.registry.findDevBySn(QStringLiteral("nobody")));
    }

    void unplugAndReplug()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        const QString ip = rig.registry.findDevBySn(cam->serial())->getIpAddr();

        cam->unplug();
        const QString tail = QString::fromLatin1(cam->uuid().toHex().toUpper()).right(16);
        QTest::ignoreMessage(QtInfoMsg, qPrintable(QStringLiteral("Remove uvc device: \"%1\"").arg(tail)));
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.at(1).at(0).toByteArray(), cam->serial().toLatin1());
        QCOMPARE(changed.at(1).at(1).toBool(), false);

        cam->replug();
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        QCOMPARE(changed.count(), 3);
        const UvcDevicePtr dev = rig.registry.findDevBySn(cam->serial());
        QVERIFY(dev);
        // The released address comes back to the same camera.
        QCOMPARE(dev->getIpAddr(), ip);
        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
    }

    void failedCamerasAreRetried()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        cam->setOpenFails(true);
        QTest::ignoreMessage(QtWarningMsg, "Add uvc dev failed");
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
        cam->setOpenFails(false);
        cam->setSilent(true);
        QTest::ignoreMessage(QtWarningMsg, "Uvc device init failed");
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
        cam->setSilent(false);
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
    }

    void cameraBackDuringUpgrade()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        rig.registry.detectDevByUvc();
        const UvcDevicePtr old = rig.registry.findDevBySn(cam->serial());
        QVERIFY(old);
        // The upgrade worker takes the camera over; it restarts into its
        // upgrade system and shows up under another path.
        rig.registry.setUpgradingSerial(cam->serial());
        old->setDevMode(UvcDevice::DevModeUpgrade);
        cam->unplug();
        rig.registry.detectDevByUvc();
        QVERIFY(!old->isPresent());
        cam->setSystem(VirtualCamera::System::Upgrade);
        cam->setDevicePath(cam->devicePath() + QStringLiteral("#upgrade"));
        cam->replug();
        rig.registry.detectDevByUvc();

        const QList<UvcDevicePtr> devs = rig.registry.devices();
        QCOMPARE(devs.size(), 1);
        const UvcDevicePtr fresh = devs.first();
        QVERIFY(fresh != old);
        QCOMPARE(fresh->devMode(), int(UvcDevice::DevModeUpgrade));
        QVERIFY(!fresh->disconnectWatch());
        QCOMPARE(fresh->getSysType(), 2);
        QCOMPARE(changed.count(), 1); // only the first arrival
        // The old object left the registry; the worker's reference keeps it.
        QCOMPARE(old.use_count(), 1);
    }

    void disconnectCountInUpgradeMode()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        const UvcDevicePtr dev = rig.registry.findDevBySn(cam->serial());
        QVERIFY(dev);
        dev->setDevMode(UvcDevice::DevModeUpgrade);
        QSignalSpy lost(&rig.registry, &UvcDevices::devDisconnDuringUg);
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        cam->unplug();
        for (int i = 0; i < 6; ++i)
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 0);
        QCOMPARE(dev->missingCount(), 6);
        QVERIFY(!dev->isPresent());
        rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 1);
        QCOMPARE(dev->missingCount(), 0);
        for (int i = 0; i < 7; ++i)
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 2);
        // Never removed while upgrading.
        QCOMPARE(rig.registry.count(), 1);
        QCOMPARE(changed.count(), 0);
        cam->replug();
        rig.registry.detectDevByUvc();
        QVERIFY(dev->isPresent());
        QCOMPARE(dev->missingCount(), 0);
        // Without the watch nothing is counted.
        dev->setDisconnectWatch(false);
        cam->unplug();
        for (int i = 0; i < 8; ++i)
            rig.registry.detectDevByUvc();
        QCOMPARE(lost.count(), 2);
    }

    void failedListingEmptiesTheRegistry()
    {
        RegistryRig rig;
        rig.addCamera();
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 1);
        rig.backend->setListingFails(true);
        QTest::ignoreMessage(QtWarningMsg, "Enumerate video devices failed: \"virtual\"");
        rig.registry.detectDevByUvc();
        QCOMPARE(rig.registry.count(), 0);
    }

    void removalOnRequest()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        rig.registry.onDevRemoved(QString());
        rig.registry.onDevRemoved(QStringLiteral("no-such-camera"));
        QCOMPARE(rig.registry.count(), 1);
        rig.registry.onDevRemoved(cam->serial().toLower());
        QCOMPARE(rig.registry.count(), 0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(1).toBool(), false);
    }

    void networkScan()
    {
        RegistryRig rig;
        auto cam = rig.addCamera();
        rig.registry.detectDevByUvc();
        QSignalSpy changed(&rig.registry, &UvcDevices::devChanged);
        // No link to any camera: nothing found, and the USB camera's pool
        // address (whose link does not exist either) leaves it alone.
        rig.registry.detectDevByNet();
        QCOMPARE(changed.count(), 0);
        QCOMPARE(rig.registry.count(), 1);

        // A link at .20 in a pool segment: a camera is looked for at .10;
        // it cannot be reached, so it is given up for this scan.
        Util::setLocalIpsProvider([] { return QStringList{QStringLiteral("192.168.99.20")}; });
        QTest::ignoreMessage(QtWarningMsg, "Net device init failed or require device change ip");
        rig.registry.detectDevByNet();
        Util::setLocalIpsProvider([] { return QStringList{QStringLiteral("127.0.0.1")}; });
        QCOMPARE(changed.count(), 0);
        QCOMPARE(rig.registry.count(), 1);
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
        QVERIFY(!rig->registry.findDevBySn(cam->serial()));
        QCOMPARE(held->getSn(), cam->serial());
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(held->cameraSetHdr(true), -1);
        held.reset(); // the last holder deletes it
        QVERIFY(watch.expired());

        cam->replug();
        QVERIFY(waitFor([&] { return added.load() == 2; }, 10000));
        QCOMPARE(removed.load(), 1);
        QElapsedTimer t;
        t.start();
        rig.reset(); // stops the thread and releases the devices
        QVERIFY(t.elapsed() < 5000);
    }
};

QTEST_GUILESS_MAIN(TestDevRegistry)
#include "tst_devregistry.moc"
