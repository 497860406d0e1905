#pragma once

#include "platform/VideoDeviceInfo.h"

#include <memory>

namespace vexo {
namespace pc {

class CameraDevice;

// One source of cameras: the operating system's video devices, or the
// virtual cameras of the simulator. Backends are used from several threads.
class CameraBackend
{
public:
    virtual ~CameraBackend();

    // Short name for logs ("linux", "virtual").
    virtual QString name() const = 0;

    // Appends the video input devices this backend sees. false when the
    // listing itself failed (nothing is appended then).
    virtual bool listDevices(VideoDeviceList &out) = 0;

    // Whether a device path belongs to this backend.
    virtual bool ownsPath(const QString &devicePath) const = 0;

    // Opens a device by path; null when it cannot be opened.
    virtual std::shared_ptr<CameraDevice> open(const QString &devicePath) = 0;

    // True for backends that model cameras rather than talk to them.
    virtual bool isSimulated() const;
};

} // namespace pc
} // namespace vexo
