#include "platform/CameraPlatform.h"

#include "platform/CameraBackend.h"
#include "platform/CameraDevice.h"
#include "platform/LinuxCameraBackend.h"
#include "platform/TracingCameraDevice.h"

#include <QDebug>

#include <algorithm>

namespace vexo {
namespace pc {

CameraPlatform::CameraPlatform() = default;

CameraPlatform::~CameraPlatform() = default;

CameraPlatform &CameraPlatform::instance()
{
    static CameraPlatform platform;
    static const bool init = [] {
        if (qEnvironmentVariable("ZARVO_REAL_CAMERAS") != QLatin1String("0"))
            platform.addBackend(std::make_shared<LinuxCameraBackend>());
        return true;
    }();
    Q_UNUSED(init)
    return platform;
}

void CameraPlatform::addBackend(const std::shared_ptr<CameraBackend> &backend)
{
    if (!backend)
        return;
    std::lock_guard<std::mutex> locker(lock_);
    if (std::find(backends_.begin(), backends_.end(), backend) == backends_.end())
        backends_.push_back(backend);
}

void CameraPlatform::removeBackend(const std::shared_ptr<CameraBackend> &backend)
{
    std::lock_guard<std::mutex> locker(lock_);
    backends_.erase(std::remove(backends_.begin(), backends_.end(), backend), backends_.end());
}

std::vector<std::shared_ptr<CameraBackend>> CameraPlatform::backends() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return backends_;
}

bool CameraPlatform::listDevices(VideoDeviceList &out) const
{
    // Each backend lists without the platform lock held: a listing may take
    // a while and must not block the opening of other devices.
    VideoDeviceList found;
    for (const auto &backend : backends()) {
        if (!backend->listDevices(found)) {
            qWarning() << "Enumerate video devices failed:" << backend->name();
            return false;
        }
    }
    out.append(found);
    return true;
}

std::shared_ptr<CameraDevice> CameraPlatform::open(const QString &devicePath) const
{
    TraceFn trace;
    {
        std::lock_guard<std::mutex> locker(lock_);
        trace = trace_;
    }
    for (const auto &backend : backends()) {
        if (!backend->ownsPath(devicePath))
            continue;
        auto device = backend->open(devicePath);
        if (device && trace)
            return std::make_shared<TracingCameraDevice>(device, trace);
        return device;
    }
    return nullptr;
}

void CameraPlatform::setTrace(TraceFn trace)
{
    std::lock_guard<std::mutex> locker(lock_);
    trace_ = std::move(trace);
}

} // namespace pc
} // namespace vexo
