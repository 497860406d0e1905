// Network cameras against the virtual network camera on loopback (the PC at
// 127.0.89.20, cameras at 127.0.x.10): the HTTP requests with their faults,
// the upgrade frame of USB cameras, the registry's back-off, a USB camera
// switching to its network connection, and an upgrade through the local
// service.
#include "DeviceTestSupport.h"
#include "LogCapture.h"

#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "httpserver/HttpServer.h"
#include "netcam/VirtualNetCamera.h"
#include "uvc/CommandIds.h"
#include "uvc/UvcDevices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

using namespace vexo::pc;
using namespace devtest;
using testsupport::LogCapture;

namespace {

const QString CamIp = QStringLiteral("127.0.89.10");

QJsonObject bodyOf(const VirtualNetCamera &cam, const QString &path)
{
    for (const VirtualNetCamera::Request &r : cam.requests()) {
        if (r.path == path)
            return QJsonDocument::fromJson(r.body).object();
    }
    return QJsonObject();
}

} // namespace

class TestNetDevice : public QObject
{
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<GlobalParams> params_;
    std::unique_ptr<VirtualNetCamera> cam_;

    std::unique_ptr<UvcDevice> netDevice(const QString &ip, bool fixed)
    {
        DevDescription d;
        d.tempIpAddr = ip;
        auto dev = std::make_unique<UvcDevice>(d, nullptr, UvcDevice::DevModeNet);
        dev->setFixedAddress(fixed);
        return dev;
    }

private slots:
    void initTestCase()
    {
        setUpFamily();
        qputenv("ZARVO_REAL_CAMERAS", "0");
        QFile ini(dir_.filePath(QStringLiteral("settings.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[local_server]\nhost_ip=127.0.88.20\nhost_ip_prefix=127.0.\nhost_ip_seg_start=89\n"
                  "host_ip_seg_end=92\n");
        ini.close();
        VirtualNetCamera::installLocalIps();
        params_ = std::make_unique<GlobalParams>(ini.fileName());
        UvcDevice::setGlobalParams(params_.get());
    }

    void init()
    {
        cam_ = std::make_unique<VirtualNetCamera>();
        cam_->setRebootMs(2000);
        QVERIFY(cam_->start(CamIp, 0));
        params_->setDevicePort(cam_->port());
    }

    void cleanup()
    {
        cam_.reset();
        for (const GlobalParams::IpAddrInfo &e : params_->getIpAddrPool())
            params_->releaseIpAddr(e.ip);
    }

    void cleanupTestCase()
    {
        UvcDevice::setGlobalParams(nullptr);
        Util::setLocalIpsProvider(nullptr);
    }

    // Identity over HTTP, the request headers, and where an upgrade is
    // fetched from: a camera at x.y.5.77 is sent to x.y.5.20.
    void identityAndRequests()
    {
        auto dev = netDevice(CamIp, false);
        QVERIFY(dev->initDev());
        QCOMPARE(dev->getSn(), cam_->serial());
        QCOMPARE(dev->getUuid(), cam_->uuid());
        QCOMPARE(dev->getVersion(), QStringLiteral("1.2.3.4"));
        QCOMPARE(dev->getIpAddr(), CamIp);
        QCOMPARE(dev->getSysType(), 1);
        QCOMPARE(cam_->requests().first().contentType, QByteArray("application/json"));

        VirtualNetCamera far;
        QVERIFY(far.start(QStringLiteral("127.0.5.77"), cam_->port()));
        auto farDev = netDevice(QStringLiteral("127.0.5.77"), true);
        QVERIFY(farDev->initDev());
        params_->setHostPort(10123);
        far.setFault(VirtualNetCamera::Fault::RefuseUpgrade);
        QCOMPARE(farDev->reqDevUpgrade(), -1);
        far.setFault(VirtualNetCamera::Fault::None);
        QCOMPARE(farDev->reqDevUpgrade(), 0);
        const QJsonObject body = bodyOf(far, QStringLiteral("/start_upgrade"));
        QCOMPARE(body.value(QStringLiteral("server_ip")).toString(), QStringLiteral("127.0.5.20"));
        QCOMPARE(body.value(QStringLiteral("server_port")).toInt(), 10123);
        QCOMPARE(body.value(QStringLiteral("server_mode")).toInt(), 2);
    }

    void faults_data()
    {
        QTest::addColumn<int>("fault");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("not json") << int(VirtualNetCamera::Fault::InvalidJson) << "The response is an invalid json";
        QTest::newRow("empty object") << int(VirtualNetCamera::Fault::EmptyObject) << "The response is an invalid json";
        QTest::newRow("number 200") << int(VirtualNetCamera::Fault::NumericErrorcode) << "Execute shell cmd failed";
        QTest::newRow("silence") << int(VirtualNetCamera::Fault::Silent) << QString();
    }

    // Each fault fails the request within its bound, with its log line.
    void faults()
    {
        QFETCH(int, fault);
        QFETCH(QString, logLine);
        auto dev = netDevice(CamIp, false);
        QVERIFY(dev->initDev());
        cam_->setFault(VirtualNetCamera::Fault(fault));
        LogCapture log;
        QElapsedTimer t;
        t.start();
        QVERIFY(!dev->reqDevReboot());
        QVERIFY(t.elapsed() < TimeScale::ms(5000) + 1000);
        if (!logLine.isEmpty())
            QVERIFY(log.has(logLine));
        // The camera heard "reboot" unless it was silent; its answer failed.
        QCOMPARE(cam_->rebootCount(), fault == int(VirtualNetCamera::Fault::Silent) ? 0 : 1);
        QVERIFY(dev->getDevInfo().isEmpty());
    }

    // The log archive lands in the data root's log folder under a dated
    // name; USB cameras get the upgrade request as a frame.
    void logFileAndUpgradeFrame()
    {
        auto dev = netDevice(CamIp, false);
        QVERIFY(dev->initDev());
        cam_->setLog(QByteArray(300000, 'L'), QStringLiteral("cam.tar.gz"));
        QString path;
        QCOMPARE(dev->getDevLogFile(&path), 0);
        QVERIFY(path.endsWith(QStringLiteral("_cam.tar.gz")));
        QVERIFY(path.contains(QStringLiteral("/log/")));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(300000, 'L'));
        QVERIFY(dev->reqDevReboot());
        QVERIFY(waitFor([this] { return !cam_->linkUp(); }));

        OneCamera usb;
        QVERIFY(usb.dev);
        params_->setHostPort(0x1234);
        QCOMPARE(usb.dev->getDevLogFile(), -1);
        QCOMPARE(usb.dev->reqDevUpgrade(), 0);
        QVERIFY(waitFor([&] { return usb.cam->upgradeRequested(); }));
        const auto frames = usb.cam->receivedFrames();
        const QByteArray payload = frames.last().payload;
        QCOMPARE(frames.last().cmdId, int(cmd::SysUpgrade));
        // Server address x.y.z.20 of the camera's, parts in reverse, then
        // the port and server mode 2.
        const QStringList ip = UvcDevice::serverIpFor(usb.dev->getIpAddr()).split(QLatin1Char('.'));
        QCOMPARE(payload.left(7).toHex(), QByteArray::number(ip[3].toInt(), 16).rightJustified(2, '0')
                                              + QByteArray::number(ip[2].toInt(), 16).rightJustified(2, '0')
                                              + QByteArray::number(ip[1].toInt(), 16).rightJustified(2, '0')
                                              + QByteArray::number(ip[0].toInt(), 16).rightJustified(2, '0')
                                              + "341202");
    }

    // An unanswering camera address: 60 scans give a bounded number of log
    // lines and tries; the camera is found once it answers.
    void registryBackOff()
    {
        cam_->setFault(VirtualNetCamera::Fault::Silent);
        CameraPlatform noCameras;
        UvcDevices registry(nullptr, &noCameras);
        QSignalSpy changed(&registry, &UvcDevices::devChanged);
        int lines = 0;
        {
            LogCapture log;
            for (int i = 0; i < 60; ++i)
                registry.detectDevByNet();
            QCOMPARE(log.count(QStringLiteral("Net device init failed")), 1);
            lines = log.lines().size();
        }
        const int tries = cam_->requestCount(QStringLiteral("/query_device_info"));
        qInfo() << "60 scans of a silent camera:" << tries << "tries," << lines << "log lines";
        QVERIFY(tries <= 7);
        QVERIFY(lines < 40);
        cam_->setFault(VirtualNetCamera::Fault::None);
        for (int i = 0; i <= UvcDevices::MaxNetRetryScans && changed.isEmpty(); ++i)
            registry.detectDevByNet();
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first().at(0).toByteArray(), cam_->serial().toLatin1());
    }

    // A USB camera told to switch to its network connection comes back as
    // the network camera of the same serial and address.
    void usbSwitchesToNetwork()
    {
        cam_.reset();
        Rig rig;
        const auto usbCam = rig.addCamera();
        VirtualNetCamera net;
        net.attachUsbCamera(usbCam);
        UvcDevices registry(nullptr, &rig.platform);
        registry.detectDevByUvc();
        const UvcDevicePtr usb = registry.findDevBySn(usbCam->serial());
        QVERIFY(usb);
        QVERIFY(net.start(usb->getIpAddr(), 0));
        QVERIFY(!net.linkUp());
        params_->setDevicePort(net.port());
        QCOMPARE(usb->reqDevChangeIpAddr(usb->getIpAddr()), 0);
        QVERIFY(waitFor([&] {
            registry.detectDevByUvc();
            registry.detectDevByNet();
            const UvcDevicePtr d = registry.findDevBySn(usbCam->serial());
            return d && d->devMode() == UvcDevice::DevModeNet;
        }));
        QCOMPARE(registry.findDevBySn(usbCam->serial())->getIpAddr(), usb->getIpAddr());
        QVERIFY(!usbCam->isPlugged());
    }

    // The camera fetches its firmware from the local service, reports its
    // progress there, reboots and comes back with the new version.
    void upgradeThroughLocalService()
    {
        const QString fwDir = dir_.filePath(QStringLiteral("firmware/"));
        QDir().mkpath(fwDir);
        QFile pkg(fwDir + QStringLiteral("Kavora_zarvo_OA_E_SSC336Q_1.2.4.0_release.bin"));
        QVERIFY(pkg.open(QIODevice::WriteOnly));
        pkg.write(QByteArray(200000, 'F'));
        pkg.close();
        QThread thread;
        auto *service = new HttpServer(fwDir, 0, QHostAddress(QStringLiteral("127.0.89.20")));
        service->moveToThread(&thread);
        connect(&thread, &QThread::started, service, &HttpServer::initServer);
        connect(&thread, &QThread::finished, service, &QObject::deleteLater);
        thread.start();
        QVERIFY(waitFor([service] { return service->isListening(); }));
        params_->setHostPort(service->serverPort());
        QList<QPair<int, QString>> progress;  // delivered on this thread
        connect(GlobalParams::instance(), &GlobalParams::devUpgradeProgress, this,
                [&progress](GlobalParams::UgProgressEnum type, const QString &uuid) { progress.append({type, uuid}); },
                Qt::QueuedConnection);

        auto dev = netDevice(CamIp, false);
        QVERIFY(dev->initDev());
        QCOMPARE(dev->reqDevUpgrade(), 0);
        QVERIFY(waitFor([&] { return !progress.isEmpty() && progress.last().first == GlobalParams::UgSuccess; }));
        QCOMPARE(progress.first().first, int(GlobalParams::UgBegin));
        QCOMPARE(progress.size(), 5);
        QCOMPARE(progress.first().second, QString::fromLatin1(cam_->uuid().toHex().toUpper()));
        QVERIFY(waitFor([this] { return cam_->rebootCount() == 1 && cam_->linkUp(); }));
        auto again = netDevice(CamIp, false);
        QVERIFY(again->initDev());
        QCOMPARE(again->getVersion(), QStringLiteral("1.2.4.0"));
        thread.quit();
        thread.wait();
    }
};

QTEST_GUILESS_MAIN(TestNetDevice)
#include "tst_netdevice.moc"
