#pragma once

#include "platform/CameraBackend.h"

#include <memory>
#include <mutex>
#include <vector>

namespace vexo {
namespace pc {

class VirtualCamera;

// The virtual cameras as a camera backend: plugged cameras are listed like
// real ones (friendly name, a "virtual:" device path, USB ids) and opened
// through the same seam.
class VirtualCameraBackend final : public CameraBackend
{
public:
    VirtualCameraBackend();
    ~VirtualCameraBackend() override;

    // Adds a camera (plugged unless it was unplugged before).
    void addCamera(const std::shared_ptr<VirtualCamera> &camera);
    // Creates and adds a camera of a model; index makes serial and path unique.
    std::shared_ptr<VirtualCamera> createCamera(int model, int index);
    void removeCamera(const std::shared_ptr<VirtualCamera> &camera);
    std::vector<std::shared_ptr<VirtualCamera>> cameras() const;
    std::shared_ptr<VirtualCamera> cameraByPath(const QString &devicePath) const;
    std::shared_ptr<VirtualCamera> cameraBySerial(const QString &serial) const;

    // Makes the next listings fail as a broken enumeration would.
    void setListingFails(bool fails);

    QString name() const override;
    bool listDevices(VideoDeviceList &out) override;
    bool ownsPath(const QString &devicePath) const override;
    std::shared_ptr<CameraDevice> open(const QString &devicePath) override;
    bool isSimulated() const override;

    static QString pathPrefix();

private:
    mutable std::mutex lock_;
    std::vector<std::shared_ptr<VirtualCamera>> cameras_;
    bool listingFails_ = false;
};

} // namespace pc
} // namespace vexo
