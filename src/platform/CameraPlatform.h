#pragma once

#include "platform/VideoDeviceInfo.h"

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace vexo {
namespace pc {

class CameraBackend;
class CameraDevice;

// The set of camera backends the device layer works with: it lists the
// devices of all of them and opens a path through the backend that owns it.
// The registry and every device share one platform (the process-wide
// instance(), or one a test builds for itself). Thread safe.
class CameraPlatform final
{
public:
    CameraPlatform();
    ~CameraPlatform();

    // The process-wide platform. It starts with the Linux backend on the
    // system's /sys and /dev, unless the environment variable
    // ZARVO_REAL_CAMERAS is 0 (the virtual cameras alone are then seen).
    static CameraPlatform &instance();

    void addBackend(const std::shared_ptr<CameraBackend> &backend);
    void removeBackend(const std::shared_ptr<CameraBackend> &backend);
    std::vector<std::shared_ptr<CameraBackend>> backends() const;

    // Lists the devices of every backend. When a backend fails, the result
    // is false and the list is left empty for this pass.
    bool listDevices(VideoDeviceList &out) const;

    // Opens a device through the backend that owns its path; null if none
    // does or the backend cannot open it.
    std::shared_ptr<CameraDevice> open(const QString &devicePath) const;

    // When set, devices opened from now on report every extension-unit
    // block they write or read (see TracingCameraDevice). Empty: no trace.
    using TraceFn = std::function<void(bool write, int selector, const uchar *data, int len, int result)>;
    void setTrace(TraceFn trace);

private:
    Q_DISABLE_COPY(CameraPlatform)

    mutable std::mutex lock_;
    std::vector<std::shared_ptr<CameraBackend>> backends_;
    TraceFn trace_;
};

} // namespace pc
} // namespace vexo
