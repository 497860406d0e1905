#pragma once

#include <QByteArray>
#include <QUuid>

namespace vexo {
namespace pc {

// Reading of raw USB descriptors as the kernel exposes them in sysfs
// (device descriptor followed by the active configuration).
class UsbDescriptors final
{
public:
    // The unit id of the video-control extension unit with this GUID, or -1
    // when the descriptors hold none (or are malformed before it).
    static int findExtensionUnit(const QByteArray &descriptors, const QUuid &guid);

    // A GUID as USB descriptors store it: the first three fields
    // little-endian, the last eight bytes as written.
    static QByteArray guidBytes(const QUuid &guid);

    UsbDescriptors() = delete;
};

} // namespace pc
} // namespace vexo
