#include "platform/LinuxCameraBackend.h"

#include "platform/LinuxCameraDevice.h"
#include "platform/LinuxIoctl.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace vexo {
namespace pc {

namespace {

QString readAttr(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll()).trimmed();
}

quint16 readHexAttr(const QString &path)
{
    bool ok = false;
    const uint v = readAttr(path).toUInt(&ok, 16);
    return ok && v <= 0xffff ? quint16(v) : 0;
}

int nodeNumber(const QString &node)
{
    return node.midRef(5).toInt(); // after "video"
}

} // namespace

LinuxCameraBackend::LinuxCameraBackend(const QString &sysfsRoot, const QString &devRoot,
                                       std::shared_ptr<LinuxIoctl> io)
    : sysfsRoot_(sysfsRoot)
    , devRoot_(devRoot)
    , io_(io ? std::move(io) : LinuxIoctl::system())
{
}

LinuxCameraBackend::~LinuxCameraBackend() = default;

QString LinuxCameraBackend::name() const
{
    return QStringLiteral("linux");
}

QString LinuxCameraBackend::classDir() const
{
    return sysfsRoot_ + QStringLiteral("/class/video4linux");
}

QString LinuxCameraBackend::usbDeviceDir(const QString &devicePath) const
{
    const QString node = QFileInfo(devicePath).fileName();
    // "device" links to the USB interface; the USB device is its parent.
    const QString iface = QFileInfo(classDir() + QLatin1Char('/') + node + QStringLiteral("/device"))
                              .canonicalFilePath();
    if (iface.isEmpty())
        return QString();
    for (const QString &dir : {QFileInfo(iface).absolutePath(), iface}) {
        if (QFileInfo::exists(dir + QStringLiteral("/idVendor")))
            return dir;
    }
    return QString();
}

bool LinuxCameraBackend::listDevices(VideoDeviceList &out)
{
    QDir dir(classDir());
    if (!dir.exists())
        return true; // no video devices at all
    QStringList nodes = dir.entryList({QStringLiteral("video*")},
                                      QDir::Dirs | QDir::System | QDir::NoDotAndDotDot);
    std::sort(nodes.begin(), nodes.end(),
              [](const QString &a, const QString &b) { return nodeNumber(a) < nodeNumber(b); });
    for (const QString &node : nodes) {
        const QString nodeDir = dir.filePath(node);
        // Metadata nodes of the same camera have a non-zero index.
        const QString index = readAttr(nodeDir + QStringLiteral("/index"));
        if (!index.isEmpty() && index != QLatin1String("0"))
            continue;
        VideoDeviceInfo info;
        info.devicePath = devRoot_ + QLatin1Char('/') + node;
        info.friendlyName = readAttr(nodeDir + QStringLiteral("/name"));
        const QString usb = usbDeviceDir(info.devicePath);
        if (!usb.isEmpty()) {
            info.vendorId = readHexAttr(usb + QStringLiteral("/idVendor"));
            info.productId = readHexAttr(usb + QStringLiteral("/idProduct"));
            info.serial = readAttr(usb + QStringLiteral("/serial"));
            const QString product = readAttr(usb + QStringLiteral("/product"));
            if (!product.isEmpty())
                info.friendlyName = product;
        }
        out.append(info);
    }
    return true;
}

bool LinuxCameraBackend::ownsPath(const QString &devicePath) const
{
    return devicePath.startsWith(devRoot_ + QStringLiteral("/video"));
}

std::shared_ptr<CameraDevice> LinuxCameraBackend::open(const QString &devicePath)
{
    const int fd = io_->openNode(devicePath);
    if (fd < 0) {
        qWarning() << "Open" << devicePath << "failed, errno =" << -fd;
        return nullptr;
    }
    const QString usb = usbDeviceDir(devicePath);
    const QString descriptors = usb.isEmpty() ? QString() : usb + QStringLiteral("/descriptors");
    return std::make_shared<LinuxCameraDevice>(io_, fd, descriptors);
}

} // namespace pc
} // namespace vexo
