#include "uvc/CameraFamily.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QSettings>

namespace vexo {
namespace pc {

namespace {

const char *const ProductIds[] = {"FEF2", "FEF3"};

} // namespace

CameraFamily &CameraFamily::instance()
{
    static CameraFamily family;
    static const bool loaded = family.load(findConfigFile());
    Q_UNUSED(loaded)
    return family;
}

CameraFamily::CameraFamily() = default;

QString CameraFamily::findConfigFile()
{
    QStringList candidates;
    const QString explicitPath = qEnvironmentVariable("ZARVO_DEVICES_CONFIG");
    if (!explicitPath.isEmpty())
        candidates << explicitPath;
    if (QCoreApplication::instance())
        candidates << QCoreApplication::applicationDirPath() + QStringLiteral("/../config/zarvo_devices.ini");
    const QString stage = qEnvironmentVariable("ZARVO_STAGE_DIR");
    if (!stage.isEmpty())
        candidates << stage + QStringLiteral("/config/zarvo_devices.ini");
    for (const QString &c : candidates) {
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    }
    return QString();
}

bool CameraFamily::load(const QString &iniPath)
{
    QList<quint16> ids;
    if (!iniPath.isEmpty() && QFileInfo(iniPath).isFile()) {
        QSettings ini(iniPath, QSettings::IniFormat);
        QStringList parts = ini.value(QStringLiteral("usb/vendor_ids")).toStringList();
        if (parts.size() == 1)
            parts = parts.first().split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &p : qAsConst(parts)) {
            bool ok = false;
            const uint v = p.trimmed().toUInt(&ok, 16);
            if (ok && v > 0 && v <= 0xffff)
                ids << quint16(v);
        }
    }
    setVendorIds(ids);
    if (ids.isEmpty()) {
        qWarning() << "No camera vendor ids configured:" << iniPath;
        return false;
    }
    return true;
}

void CameraFamily::setVendorIds(const QList<quint16> &ids)
{
    std::lock_guard<std::mutex> locker(lock_);
    vendorIds_ = ids;
}

QList<quint16> CameraFamily::vendorIds() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return vendorIds_;
}

QString CameraFamily::idText(quint16 vendorId, quint16 productId)
{
    return QStringLiteral("USB#VID_%1&PID_%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'))
        .toUpper();
}

QString CameraFamily::firstVendorIdText() const
{
    const QList<quint16> ids = vendorIds();
    return QStringLiteral("%1").arg(ids.isEmpty() ? 0 : ids.first(), 4, 16, QLatin1Char('0')).toUpper();
}

bool CameraFamily::isFamilyCamera(const VideoDeviceInfo &dev) const
{
    if (dev.friendlyName.contains(QLatin1String("KAVORA Zarvo")))
        return true;
    const QString path = dev.devicePath.toUpper();
    const QString ids = dev.vendorId ? idText(dev.vendorId, dev.productId) : QString();
    for (quint16 vid : vendorIds()) {
        for (const char *pid : ProductIds) {
            const QString wanted = QStringLiteral("USB#VID_%1&PID_%2")
                                       .arg(vid, 4, 16, QLatin1Char('0'))
                                       .arg(QLatin1String(pid))
                                       .toUpper();
            if (path.contains(wanted) || ids == wanted)
                return true;
        }
    }
    return false;
}

} // namespace pc
} // namespace vexo
