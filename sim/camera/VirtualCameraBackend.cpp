#include "camera/VirtualCameraBackend.h"

#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraDevice.h"

#include <QDebug>

#include <algorithm>

namespace vexo {
namespace pc {

VirtualCameraBackend::VirtualCameraBackend() = default;

VirtualCameraBackend::~VirtualCameraBackend() = default;

QString VirtualCameraBackend::pathPrefix()
{
    return QStringLiteral("virtual:");
}

void VirtualCameraBackend::addCamera(const std::shared_ptr<VirtualCamera> &camera)
{
    if (!camera)
        return;
    std::lock_guard<std::mutex> locker(lock_);
    if (std::find(cameras_.begin(), cameras_.end(), camera) == cameras_.end())
        cameras_.push_back(camera);
}

std::shared_ptr<VirtualCamera> VirtualCameraBackend::createCamera(int model, int index)
{
    auto camera = std::make_shared<VirtualCamera>(VirtualCamera::Model(model), index);
    addCamera(camera);
    return camera;
}

void VirtualCameraBackend::removeCamera(const std::shared_ptr<VirtualCamera> &camera)
{
    std::lock_guard<std::mutex> locker(lock_);
    cameras_.erase(std::remove(cameras_.begin(), cameras_.end(), camera), cameras_.end());
}

std::vector<std::shared_ptr<VirtualCamera>> VirtualCameraBackend::cameras() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return cameras_;
}

std::shared_ptr<VirtualCamera> VirtualCameraBackend::cameraByPath(const QString &devicePath) const
{
    for (const auto &c : cameras()) {
        if (c->devicePath() == devicePath)
            return c;
    }
    return nullptr;
}

std::shared_ptr<VirtualCamera> VirtualCameraBackend::cameraBySerial(const QString &serial) const
{
    for (const auto &c : cameras()) {
        if (c->serial() == serial)
            return c;
    }
    return nullptr;
}

void VirtualCameraBackend::setListingFails(bool fails)
{
    std::lock_guard<std::mutex> locker(lock_);
    listingFails_ = fails;
}

QString VirtualCameraBackend::name() const
{
    return QStringLiteral("virtual");
}

bool VirtualCameraBackend::listDevices(VideoDeviceList &out)
{
    {
        std::lock_guard<std::mutex> locker(lock_);
        if (listingFails_)
            return false;
    }
    for (const auto &c : cameras()) {
        if (!c->isPlugged())
            continue;
        VideoDeviceInfo info;
        info.friendlyName = c->friendlyName();
        info.devicePath = c->devicePath();
        info.vendorId = c->vendorId();
        info.productId = c->productId();
        info.serial = c->serial();
        out.append(info);
    }
    return true;
}

bool VirtualCameraBackend::ownsPath(const QString &devicePath) const
{
    return devicePath.startsWith(pathPrefix());
}

std::shared_ptr<CameraDevice> VirtualCameraBackend::open(const QString &devicePath)
{
    const auto camera = cameraByPath(devicePath);
    if (!camera || !camera->isPlugged() || camera->openFails())
        return nullptr;
    camera->noteOpened();
    return std::make_shared<VirtualCameraDevice>(camera, camera->generation());
}

bool VirtualCameraBackend::isSimulated() const
{
    return true;
}

} // namespace pc
} // namespace vexo
