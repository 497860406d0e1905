#pragma once

#include <QList>
#include <QMetaType>
#include <QString>

namespace vexo {
namespace pc {

// One video input device as the operating system lists it. The device path
// is what finds the same camera again while it stays plugged in; the USB ids
// are 0 for devices that are not on USB.
struct VideoDeviceInfo
{
    QString friendlyName;
    QString devicePath;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString serial;      // USB serial string when the system knows it

    bool operator==(const VideoDeviceInfo &o) const
    {
        return friendlyName == o.friendlyName && devicePath == o.devicePath && vendorId == o.vendorId
            && productId == o.productId && serial == o.serial;
    }
};

using VideoDeviceList = QList<VideoDeviceInfo>;

} // namespace pc
} // namespace vexo

Q_DECLARE_METATYPE(vexo::pc::VideoDeviceInfo)
