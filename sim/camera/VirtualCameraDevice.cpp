#include "camera/VirtualCameraDevice.h"

#include "camera/VirtualCamera.h"
#include "camera/VirtualCaptureSource.h"

#include <cerrno>

namespace vexo {
namespace pc {

namespace {

thread_local int t_lastError = 0;

} // namespace

VirtualCameraDevice::VirtualCameraDevice(std::shared_ptr<VirtualCamera> camera, int generation)
    : camera_(std::move(camera))
    , generation_(generation)
{
}

VirtualCameraDevice::~VirtualCameraDevice()
{
    stopCapture();
}

bool VirtualCameraDevice::startCapture(const CaptureFormat &format, SampleCallback onSample)
{
    if (capture_)
        return result(-1, EBUSY) >= 0;
    int error = 0;
    if (!camera_->acquireCapture(generation_, format, &error))
        return result(-1, error) >= 0;
    capture_ = std::make_unique<VirtualCaptureSource>(camera_, generation_, std::move(onSample));
    return true;
}

void VirtualCameraDevice::stopCapture()
{
    if (!capture_)
        return;
    capture_->stop();
    capture_.reset();
    camera_->releaseCapture();
}

int VirtualCameraDevice::result(int r, int error)
{
    if (r < 0)
        t_lastError = error;
    return r;
}

bool VirtualCameraDevice::xuInit()
{
    if (!camera_->isAlive(generation_))
        return result(-1, ENODEV) >= 0;
    if (!camera_->hasExtensionUnit())
        return result(-1, ENOENT) >= 0;
    return true;
}

int VirtualCameraDevice::xuGet(int selector, uchar *buf, int len)
{
    int error = 0;
    const int r = camera_->xuGet(generation_, selector, buf, len, &error);
    return result(r, error);
}

int VirtualCameraDevice::xuSet(int selector, const uchar *buf, int len)
{
    int error = 0;
    const int r = camera_->xuSet(generation_, selector, buf, len, &error);
    return result(r, error);
}

bool VirtualCameraDevice::controlRange(Control c, Range &range)
{
    int error = 0;
    return result(camera_->controlRange(generation_, c, range, &error) ? 0 : -1, error) == 0;
}

bool VirtualCameraDevice::controlGet(Control c, int &value, int &flags)
{
    int error = 0;
    return result(camera_->controlGet(generation_, c, value, flags, &error) ? 0 : -1, error) == 0;
}

bool VirtualCameraDevice::controlSet(Control c, int value, int flags)
{
    int error = 0;
    return result(camera_->controlSet(generation_, c, value, flags, &error) ? 0 : -1, error) == 0;
}

int VirtualCameraDevice::lastError() const
{
    return t_lastError;
}

} // namespace pc
} // namespace vexo
