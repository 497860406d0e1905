#pragma once

#include <QMetaType>
#include <QString>

namespace vexo {
namespace pc {

// What the registry knows of a camera before it opens it: the friendly name
// and the device path from the device listing, and for a network camera the
// temporary address it was found at (empty for USB cameras).
struct DevDescription
{
    QString friendlyName;
    QString devicePath;
    QString tempIpAddr;
    quint16 vendorId = 0;
    quint16 productId = 0;
};

} // namespace pc
} // namespace vexo

Q_DECLARE_METATYPE(vexo::pc::DevDescription)
