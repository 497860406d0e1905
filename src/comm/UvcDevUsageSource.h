#pragma once

#include "comm/DevUsageSource.h"

namespace vexo {
namespace pc {

class UvcDevice;
class UvcDevices;

// The cloud reports' view of the cameras in the device registry. Identity
// facts come from what the registry learned at initialisation; snapshot
// inputs are read from the camera on request, on the calling pool thread.
// Cameras that are network cameras, still upgrading, or not running their
// main system get no device traffic from here.
class UvcDevUsageSource final : public DevUsageSource
{
public:
    // registry: the registry to look cameras up in (null: the process-wide one).
    explicit UvcDevUsageSource(UvcDevices *registry = nullptr);
    // Uninstalls itself when it is the installed source.
    ~UvcDevUsageSource() override;

    // Installs a process-wide source over UvcDevices::instance() (once).
    static void install();

    DevUsageFacts identity(const QString &sn) override;
    bool readPanTilt(const QString &sn, int *pan, int *tilt) override;
    DevUsageFacts snapshot(const QString &sn, bool extended) override;
    QStringList uvcSerials() override;

    // Family of a device information record (product and platform).
    static int familyOf(const QJsonObject &devInfo);

private:
    Q_DISABLE_COPY(UvcDevUsageSource)

    UvcDevices *registry() const;
    static DevUsageFacts identityOf(UvcDevice *dev);
    static bool reachable(UvcDevice *dev);
    static bool panTiltOf(UvcDevice *dev, int *pan, int *tilt);
    static void readControls(UvcDevice *dev, DevUsageFacts &facts);
    static void readNimoFacts(UvcDevice *dev, DevUsageFacts &facts);

    UvcDevices *registry_;
};

} // namespace pc
} // namespace vexo
