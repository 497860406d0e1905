// Main window and network cameras on loopback (the PC at 127.0.89.20, the
// camera at 127.0.89.10): the log export over the network, and the upgrade
// through the local service.
#include "MainWindowTestSupport.h"

#include "comm/CameraModel.h"
#include "comm/GlobalParams.h"
#include "httpserver/HttpServer.h"
#include "netcam/VirtualNetCamera.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uicomm/UpgradeProgress.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QStandardPaths>
#include <QThreadPool>
#include <QTimer>

using namespace mwtest;

namespace {

// Presses the first enabled OK or Yes of a modal window of type T, once
// one shows; keeps looking while context lives.
template <typename T>
void pressWhenEnabled(QObject *context, const char *buttonName, QString *text = nullptr)
{
    auto *timer = new QTimer(context);
    QObject::connect(timer, &QTimer::timeout, context, [timer, buttonName, text] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<T *>(w);
            QPushButton *b = box && box->isVisible() ? box->template findChild<QPushButton *>(QLatin1String(buttonName)) : nullptr;
            if (b && b->isEnabled()) {
                if (text) {
                    for (const QLabel *l : box->template findChildren<QLabel *>())
                        *text += l->text() + QLatin1Char('\n');
                }
                timer->deleteLater();
                b->click();
                return;
            }
        }
    });
    timer->start(5);
}

} // namespace

class TestMainWindowNet : public QObject
{
    Q_OBJECT

    MainUserUi *m_window = nullptr;
    GlobalParams *m_params = nullptr;

    // A USB camera, current in the window, with its network side at its
    // pool address.
    std::shared_ptr<VirtualCamera> plugUsb(VirtualNetCamera &net, bool attach)
    {
        const auto cam = plugCameras(m_window, 1).front();
        if (!waitFor([&] { return m_window->currentDevSn() == cam->serial(); }, 10000))
            return nullptr;
        if (attach)
            net.attachUsbCamera(cam);
        net.start(UvcDevices::instance()->findDevBySn(cam->serial())->getIpAddr(), m_params->getDevicePort());
        return cam;
    }

private slots:
    void initTestCase()
    {
        setUpPlatform();
        // The settings the window's parameters load: camera links on loopback.
        const QString config = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/config");
        QDir().mkpath(config);
        QFile ini(config + QStringLiteral("/kavora_win_x64.ini"));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        const int port = 20000 + int(QCoreApplication::applicationPid() % 20000);
        ini.write(QStringLiteral("[local_server]\nhost_ip_prefix=127.0.\nhost_ip_seg_start=89\nhost_ip_seg_end=92\n"
                                 "host_port=%1\n[product_info]\ndevice_port=%2\n[others]\nupgrade_method=1\n")
                      .arg(port)
                      .arg(port + 1)
                      .toLatin1());
        ini.close();
        VirtualNetCamera::installLocalIps();
        m_params = GlobalParams::instance();
        QCOMPARE(m_params->getHostIpPrefix(), QStringLiteral("127.0."));
        m_window = new MainUserUi();
        m_window->show();
    }

    void cleanupTestCase()
    {
        unplugAll(m_window);
        delete m_window;
        QThreadPool::globalInstance()->waitForDone();
    }

    void cleanup() { QVERIFY(unplugAll(m_window)); }

    // A USB camera that never comes back on its network link: the export
    // gives up after about 53 s (scaled) with the failure text.
    void logExportCameraNeverReappears()
    {
        VirtualNetCamera other;  // answers at the address, another camera
        const auto cam = plugUsb(other, false);
        QVERIFY(cam);
        QString text;
        pressWhenEnabled<MsgInfoUi>(this, "pbYes", &text);
        QElapsedTimer t;
        t.start();
        m_window->extractLogByNet();
        qInfo() << "Export given up after" << t.elapsed() << "ms at time scale" << TimeScale::factor();
        QVERIFY(text.contains(QStringLiteral("Extract log failed, please try again later!")));
        QVERIFY(t.elapsed() >= TimeScale::ms(53000));
        QVERIFY(t.elapsed() < TimeScale::ms(53000) + 5000);
        QVERIFY(cam->isPlugged());
        QCOMPARE(other.requestCount(QStringLiteral("/change_ip")), 1);
    }

    // The USB camera switches to its network connection, its log is saved
    // and it reboots.
    void logExportOverTheNetwork()
    {
        VirtualNetCamera net;
        const auto cam = plugUsb(net, true);
        QVERIFY(cam);
        net.setLog(QByteArrayLiteral("the camera's log"), QStringLiteral("cam.tar.gz"));
        const QDir logs(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log"));
        const int before = logs.entryList({QStringLiteral("*_cam.tar.gz")}).size();
        QString text;
        pressWhenEnabled<MsgInfoUi>(this, "pbYes", &text);
        m_window->extractLogByNet();
        QVERIFY(text.contains(QStringLiteral("Extract the log file successfully and device will reboot now!")));
        QVERIFY(waitFor([&] { return net.rebootCount() == 1; }));
        QCOMPARE(logs.entryList({QStringLiteral("*_cam.tar.gz")}).size(), before + 1);
        QVERIFY(waitFor([&] { return cam->isPlugged(); }, 10000));
    }

    // With upgrade_method 1: a refusing camera is asked five times and no
    // progress window runs; a willing one upgrades through the local
    // service the window starts, to "Upgrade successfully!".
    void upgradeThroughLocalService()
    {
        VirtualNetCamera net;
        const auto cam = plugUsb(net, true);
        QVERIFY(cam);
        net.setFault(VirtualNetCamera::Fault::RefuseUpgrade);
        const UvcDevicePtr usb = UvcDevices::instance()->findDevBySn(cam->serial());
        QCOMPARE(usb->reqDevChangeIpAddr(usb->getIpAddr()), 0);
        QVERIFY(waitFor([&] {
            const UvcDevicePtr d = UvcDevices::instance()->findDevBySn(cam->serial());
            return d && d->devMode() == UvcDevice::DevModeNet && m_window->currentDevSn() == cam->serial();
        }, 10000));
        UpgradeProgress window(m_window);
        QList<int> reports;
        const auto toWindow = [&window, &reports](int type, const QString &uuid, const QString &msg) {
            reports.append(type);
            window.onUpgradeProgressUpdate(GlobalParams::UgProgressEnum(type), uuid, msg);
        };
        m_window->runRndisUpgrade(&window, toWindow);
        QCOMPARE(net.requestCount(QStringLiteral("/start_upgrade")), 5);
        QVERIFY(!window.isVisible());

        const QString fwDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/firmware/");
        QDir().mkpath(fwDir);
        const CameraModel &model = VirtualCamera::cameraModel(cam->model());
        QFile pkg(fwDir + model.productName() + QStringLiteral("_OA_E_") + model.platformName()
                  + QStringLiteral("_9.8.7.6_release.bin"));
        QVERIFY(pkg.open(QIODevice::WriteOnly));
        pkg.write(QByteArray(100000, 'P'));
        pkg.close();
        net.setFault(VirtualNetCamera::Fault::None);
        QString text;
        pressWhenEnabled<MsgProgressUi>(this, "pbOk", &text);
        m_window->runRndisUpgrade(&window, toWindow);
        QVERIFY(m_window->localService() && m_window->localService()->isListening());
        QVERIFY(text.contains(QStringLiteral("Upgrade successfully!")));
        QCOMPARE(reports.first(), int(GlobalParams::UgBegin));
        QCOMPARE(reports.last(), int(GlobalParams::UgSuccess));
        QVERIFY(waitFor([&] { return cam->isPlugged() && cam->version() == 0x09080706; }, 10000));
    }
};

QTEST_MAIN(TestMainWindowNet)
#include "tst_mainwindow_net.moc"
