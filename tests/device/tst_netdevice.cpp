// Network cameras against the virtual network camera on loopback (the PC at
// 127.0.89.20, cameras at 127.0.x.10): the HTTP requests with their faults,
// the upgrade frame of USB cameras and the registry's back-off. (The USB
// camera's switch to its network link and the upgrade through the local
// service run end to end in tst_mainwindow_net.)
#include "DeviceTestSupport.h"
#include "LogCapture.h"

#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "netcam/VirtualNetCamera.h"
#include "uvc/CommandIds.h"
#include "uvc/UvcDevices.h"

#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QTemporaryDir>

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
        // The camera's x.y.z.20 with its parts in reverse (a little-endian
        // number whose top byte is x), the port and server mode 2.
        const quint32 server = Util::ipToUint(UvcDevice::serverIpFor(usb.dev->getIpAddr()));
        QCOMPARE(payload.left(4), QByteArray(reinterpret_cast<const char *>(&server), 4));
        QCOMPARE(payload.mid(4, 3).toHex(), QByteArray("341202"));
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
};

QTEST_GUILESS_MAIN(TestNetDevice)
#include "tst_netdevice.moc"
