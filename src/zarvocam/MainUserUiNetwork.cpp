// Main window, network cameras: the upgrade through the local service and the
// log export over the camera's network connection.
#include "zarvocam/MainUserUi.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "httpserver/HttpServer.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QThread>

using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;

namespace {

constexpr int UpgradeRequestTries = 5;
// After asking a USB camera to switch to its network connection: a pause,
// then a look every second for at most 50 s.
constexpr int SwitchSettleMs = 3000;
constexpr int SwitchPollMs = 1000;
constexpr int SwitchWaitMs = 50000;
constexpr int LocalServiceStartMs = 2000;

} // namespace

void MainUserUi::ThreadStopper::operator()(QThread *thread) const
{
    thread->quit();
    thread->wait();
    delete thread;
}

int MainUserUi::startUpgrade()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev) {
        qCritical() << "No device is selected";
        return -1;
    }
    qInfo().noquote() << "Start to get device uuid" << QString::fromLatin1(dev->getUuid().toHex().toUpper());
    int ret = -1;
    for (int i = 0; i < UpgradeRequestTries && ret != 0; ++i)
        ret = dev->reqDevUpgrade();
    qInfo() << "Require dev to upgrade, ret_val =" << ret;
    return ret;
}

void MainUserUi::startLocalService()
{
    if (m_localService)
        return;
    // On loopback test links the service listens only where the cameras are
    // told to fetch from; on real links on every IPv4 interface.
    QHostAddress address(QHostAddress::AnyIPv4);
    GlobalParams *params = UvcDevice::globalParams();
    const UvcDevicePtr dev = currentDev();
    if (dev && params->getHostIpPrefix().startsWith(QLatin1String("127.")))
        address = QHostAddress(UvcDevice::serverIpFor(dev->getIpAddr()));
    m_localService = new vexo::pc::HttpServer(QString(), params->getHostPort(), address);
    m_localServiceThread.reset(new QThread);
    m_localServiceThread->setObjectName(QStringLiteral("HttpServer"));
    m_localService->moveToThread(m_localServiceThread.get());
    connect(m_localServiceThread.get(), &QThread::started, m_localService, &vexo::pc::HttpServer::initServer);
    connect(m_localServiceThread.get(), &QThread::finished, m_localService, &QObject::deleteLater);
    m_localServiceThread->start();
    // The camera asks the service soon after it agreed: give it a moment
    // to listen (a failed listen is logged by the service).
    QElapsedTimer started;
    started.start();
    while (!m_localService->isListening() && started.elapsed() < LocalServiceStartMs)
        QThread::msleep(5);
}

void MainUserUi::runRndisUpgrade(MsgProgressUi *progressWindow, const UpgradeProgressHandler &onProgress)
{
    qInfo().noquote() << m_currentSn << "Enter rndis upgrade";
    // Reports come from the service's thread; the window takes them on ours.
    const QMetaObject::Connection progress = connect(
        GlobalParams::instance(), &GlobalParams::devUpgradeProgress, progressWindow,
        [onProgress](GlobalParams::UgProgressEnum type, const QString &uuid, const QString &msg) {
            onProgress(type, uuid, msg);
        },
        Qt::QueuedConnection);
    startLocalService();
    if (startUpgrade() == 0)
        progressWindow->exec();
    disconnect(progress);
}

bool MainUserUi::waitForNetCamera(const QString &sn, const QString &ip)
{
    QElapsedTimer waited;
    waited.start();
    while (true) {
        const UvcDevicePtr dev = findDev(sn);
        if (dev && dev->getIpAddr() == ip && dev->devMode() == UvcDevice::DevModeNet)
            return true;
        if (waited.elapsed() >= TimeScale::ms(SwitchWaitMs))
            return false;
        TimeScale::waitWithEvents(SwitchPollMs);
    }
}

void MainUserUi::extractLogByNet()
{
    UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    MsgInfoUi box(this);
    prepareExtractingLog(box);
    box.show();
    const QString sn = m_currentSn;
    const auto finish = [&box](const QString &text) {
        box.setText(text);
        box.enableButtons(MsgInfoUi::Yes, true);
        box.exec();
    };

    if (dev->devMode() == UvcDevice::DevModeUvc) {
        const QString ip = dev->getIpAddr();
        if (dev->reqDevChangeIpAddr(ip) != 0) {
            qCritical() << "Require device switch to net mode failed!";
            return;
        }
        dev.reset();
        TimeScale::waitWithEvents(SwitchSettleMs);
        if (!waitForNetCamera(sn, ip)) {
            finish(tr("Extract log failed, please try again later!"));
            return;
        }
        dev = findDev(sn);
        if (!dev) {
            finish(tr("Extract log failed, please try again later!"));
            return;
        }
    }
    const bool ok = dev->getDevLogFile() == 0;
    finish(ok ? tr("Extract the log file successfully and device will reboot now!")
              : tr("Extract log failed, please try again later!"));
    dev->reqDevReboot();
}
