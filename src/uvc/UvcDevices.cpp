#include "uvc/UvcDevices.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/UvcDevice.h"

#include <QCoreApplication>
#include <QDebug>
#include <QScopeGuard>

namespace vexo {
namespace pc {

namespace {

constexpr int ScanIntervalMs = 1000;
constexpr int OpenDelayMs = 100;
constexpr int InitDelayMs = 2000;
constexpr int MissingScansBeforeSignal = 7;

QString uuidTail(const UvcDevicePtr &dev)
{
    return QString::fromLatin1(dev->getUuid().toHex().toUpper()).right(16);
}

} // namespace

UvcDevices *UvcDevices::instance()
{
    static UvcDevices registry;
    // The scan thread and the device workers end while the application
    // object still exists: left to the exit handlers, a worker in the middle
    // of a transfer would run on Qt's already destroyed globals.
    static const bool stopsWithApp = [] {
        qAddPostRoutine([] {
            registry.stop();
            registry.releaseAll();
        });
        return true;
    }();
    Q_UNUSED(stopsWithApp)
    return &registry;
}

UvcDevices::UvcDevices(QObject *parent, CameraPlatform *platform)
    : QThread(parent)
    , graph_(platform ? platform : &CameraPlatform::instance())
{
    setObjectName(QStringLiteral("UvcDevices"));
}

UvcDevices::~UvcDevices()
{
    stop();
    // When the loop never ran, the devices are still listed.
    releaseAll();
}

void UvcDevices::stop()
{
    // The scan loop looks at the running flag between steps and in its
    // sleeps, so it ends by itself; cutting it off could leave a device half
    // made.
    running_.store(false);
    if (isRunning()) {
        quit();
        wait();
    }
    loopExited_.load(std::memory_order_acquire);
}

void UvcDevices::run()
{
    // Like the device workers: the loop's last act is a release that stop()
    // acquires after wait().
    loopExited_.store(false, std::memory_order_relaxed);
    const auto exitMark = qScopeGuard([this] { loopExited_.store(true, std::memory_order_release); });
    while (running_.load()) {
        detectDevByUvc();
        if (!running_.load())
            break;
        detectDevByNet();
        TimeScale::sleepWhile(running_, ScanIntervalMs);
    }
    qInfo() << "Quit uvc devices thread";
    qInfo() << "size =" << count();
    releaseAll();
}

void UvcDevices::retire(const UvcDevicePtr &dev)
{
    // Whoever looked the camera up keeps a usable object; its operations
    // fail by result from now on.
    dev->close();
    emit devChanged(dev->getSn().toLatin1(), false);
}

void UvcDevices::releaseAll()
{
    QList<UvcDevicePtr> devs;
    {
        std::lock_guard<std::recursive_mutex> locker(listLock_);
        devs.swap(devList_);
    }
    for (const UvcDevicePtr &d : qAsConst(devs))
        d->close();
}

UvcDevicePtr UvcDevices::takeFirst(const std::function<bool(const UvcDevice &)> &match)
{
    std::lock_guard<std::recursive_mutex> locker(listLock_);
    for (int i = 0; i < devList_.size(); ++i) {
        if (match(*devList_.at(i)))
            return devList_.takeAt(i);
    }
    return nullptr;
}

QString UvcDevices::upgradingSerial() const
{
    std::lock_guard<std::mutex> locker(snLock_);
    return upgradingSn_;
}

void UvcDevices::setUpgradingSerial(const QString &sn)
{
    std::lock_guard<std::mutex> locker(snLock_);
    upgradingSn_ = sn;
}

QList<UvcDevicePtr> UvcDevices::devices() const
{
    // A list that shares nothing with ours: a shared one would be detached
    // by the next scan on the registry thread, inside uninstrumented Qt.
    std::lock_guard<std::recursive_mutex> locker(listLock_);
    QList<UvcDevicePtr> copy;
    copy.reserve(devList_.size());
    for (const UvcDevicePtr &d : devList_)
        copy.append(d);
    return copy;
}

int UvcDevices::count() const
{
    std::lock_guard<std::recursive_mutex> locker(listLock_);
    return devList_.size();
}

UvcDevicePtr UvcDevices::findDevBySn(const QString &sn) const
{
    std::lock_guard<std::recursive_mutex> locker(listLock_);
    for (const UvcDevicePtr &d : devList_) {
        if (d->getSn() == sn)
            return d;
    }
    return nullptr;
}

bool UvcDevices::enumCameras(QList<DevDescription> &cameras)
{
    VideoDeviceList devices;
    if (!graph_->listDevices(devices))
        return false;
    const CameraFamily &family = CameraFamily::instance();
    for (const VideoDeviceInfo &d : qAsConst(devices)) {
        if (!family.isFamilyCamera(d))
            continue;
        DevDescription desc;
        desc.friendlyName = d.friendlyName;
        desc.devicePath = d.devicePath;
        desc.vendorId = d.vendorId;
        desc.productId = d.productId;
        cameras.append(desc);
    }
    return true;
}

bool UvcDevices::isKnownPath(const QString &path) const
{
    const QString upper = path.toUpper();
    std::lock_guard<std::recursive_mutex> locker(listLock_);
    for (const UvcDevicePtr &d : devList_) {
        if (d->devMode() != UvcDevice::DevModeNet && d->getDevicePath().toUpper() == upper)
            return true;
    }
    return false;
}

void UvcDevices::detectDevByUvc()
{
    QList<DevDescription> cameras;
    if (!enumCameras(cameras))
        cameras.clear();

    for (const DevDescription &desc : qAsConst(cameras)) {
        if (!running_.load())
            return;
        if (isKnownPath(desc.devicePath))
            continue;
        qInfo() << "Find new uvc device";
        const auto dev = std::make_shared<UvcDevice>(desc, graph_, UvcDevice::DevModeUvc);
        qInfo() << "Start to init device:" << dev->getDevName();
        TimeScale::sleep(OpenDelayMs);
        if (dev->open() != 0) {
            qWarning() << "Add uvc dev failed";
            continue;
        }
        TimeScale::sleep(InitDelayMs);
        if (!dev->initDev()) {
            qWarning() << "Uvc device init failed";
            continue;
        }
        const QString sn = dev->getSn();
        const QString upgrading = upgradingSerial();
        if (upgrading.isEmpty() || sn != upgrading) {
            {
                std::lock_guard<std::recursive_mutex> locker(listLock_);
                devList_.append(dev);
            }
            emit devChanged(sn.toLatin1(), true);
        } else {
            // The camera came back while its upgrade runs: the old object
            // leaves the list; the upgrade worker still holds it.
            takeFirst([&sn](const UvcDevice &d) { return d.getSn() == sn; });
            dev->setDevMode(UvcDevice::DevModeUpgrade);
            dev->setDisconnectWatch(false);
            std::lock_guard<std::recursive_mutex> locker(listLock_);
            devList_.append(dev);
        }
        break; // one new camera per scan
    }

    QList<UvcDevicePtr> removed;
    bool disconnected = false;
    {
        std::lock_guard<std::recursive_mutex> locker(listLock_);
        for (int i = 0; i < devList_.size();) {
            const UvcDevicePtr dev = devList_.at(i);
            const QString path = dev->getDevicePath().toUpper();
            bool listed = false;
            for (const DevDescription &c : qAsConst(cameras)) {
                if (c.devicePath.toUpper() == path) {
                    listed = true;
                    break;
                }
            }
            if (dev->devMode() == UvcDevice::DevModeUpgrade) {
                if (listed) {
                    dev->setPresent(true);
                    dev->setMissingCount(0);
                } else {
                    dev->setPresent(false);
                    if (dev->disconnectWatch()) {
                        dev->setMissingCount(dev->missingCount() + 1);
                        if (dev->missingCount() >= MissingScansBeforeSignal) {
                            dev->setMissingCount(0);
                            disconnected = true;
                        }
                    }
                }
            } else if (dev->devMode() == UvcDevice::DevModeUvc && !listed) {
                qInfo() << "Remove uvc device:" << uuidTail(dev);
                UvcDevice::globalParams()->releaseIpAddr(dev->getIpAddr());
                devList_.removeAt(i);
                removed.append(dev);
                continue;
            }
            ++i;
        }
    }
    for (const UvcDevicePtr &dev : qAsConst(removed))
        retire(dev);
    if (disconnected)
        emit devDisconnDuringUg();
}

void UvcDevices::detectDevByNet()
{
    GlobalParams *params = UvcDevice::globalParams();
    const GlobalParams::IpAddrInfo found = params->findNewDevIpAddr();
    if (found.ip.isEmpty())
        netRetry_.clear();
    if (!found.ip.isEmpty() && netRetryDue(found.ip)) {
        const bool streak = netRetry_.contains(found.ip);
        if (!streak)
            qInfo() << "Find new net device";
        DevDescription desc;
        desc.tempIpAddr = found.ip;
        const auto dev = std::make_shared<UvcDevice>(desc, graph_, UvcDevice::DevModeNet);
        if (dev->open() != 0) {
            qWarning() << "Add net dev failed";
        } else if (!dev->initDev()) {
            if (!streak)
                qWarning() << "Net device init failed or require device change ip";
            params->deleteAnIpAddr(found.ip);
            netInitFailed(found.ip);
        } else {
            if (streak)
                qInfo() << "Net device init succeeded after failures:" << netRetry_.value(found.ip).failures;
            netRetry_.remove(found.ip);
            {
                std::lock_guard<std::recursive_mutex> locker(listLock_);
                devList_.append(dev);
            }
            emit devChanged(dev->getSn().toLatin1(), true);
        }
    }

    const QList<GlobalParams::IpAddrInfo> lost = params->getLostIpAddrs();
    for (const GlobalParams::IpAddrInfo &addr : lost) {
        const UvcDevicePtr dev = takeFirst([&addr](const UvcDevice &d) {
            return d.devMode() == UvcDevice::DevModeNet && d.getIpAddr() == addr.ip;
        });
        if (!dev)
            continue;
        qInfo() << "Remove a net device:" << addr.ip;
        params->releaseIpAddr(addr.ip);
        retire(dev);
    }
}

bool UvcDevices::netRetryDue(const QString &ip)
{
    // A link that went away starts afresh when it comes back.
    for (auto it = netRetry_.begin(); it != netRetry_.end();) {
        if (it.key() != ip)
            it = netRetry_.erase(it);
        else
            ++it;
    }
    const auto it = netRetry_.find(ip);
    if (it == netRetry_.end() || it->skipLeft <= 0)
        return true;
    --it->skipLeft;
    return false;
}

void UvcDevices::netInitFailed(const QString &ip)
{
    NetRetry &r = netRetry_[ip];
    ++r.failures;
    r.skipLeft = qMin(1 << qMin(r.failures - 1, 16), MaxNetRetryScans);
}

void UvcDevices::onDevRemoved(const QString &devInfo)
{
    const QString wanted = devInfo.toUpper();
    if (wanted.isEmpty())
        return;
    const UvcDevicePtr dev
        = takeFirst([&wanted](const UvcDevice &d) { return d.getDevicePath().toUpper().contains(wanted); });
    if (!dev)
        return;
    qInfo() << "Start to remove device";
    UvcDevice::globalParams()->releaseIpAddr(dev->getIpAddr());
    retire(dev);
}

} // namespace pc
} // namespace vexo
