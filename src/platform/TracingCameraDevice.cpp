#include "platform/TracingCameraDevice.h"

namespace vexo {
namespace pc {

TracingCameraDevice::TracingCameraDevice(std::shared_ptr<CameraDevice> inner, TraceFn trace)
    : inner_(std::move(inner))
    , trace_(std::move(trace))
{
}

TracingCameraDevice::~TracingCameraDevice() = default;

bool TracingCameraDevice::xuInit()
{
    return inner_->xuInit();
}

int TracingCameraDevice::xuGet(int selector, uchar *buf, int len)
{
    const int r = inner_->xuGet(selector, buf, len);
    trace_(false, selector, buf, r > 0 ? r : 0, r);
    return r;
}

int TracingCameraDevice::xuSet(int selector, const uchar *buf, int len)
{
    const int r = inner_->xuSet(selector, buf, len);
    trace_(true, selector, buf, len, r);
    return r;
}

bool TracingCameraDevice::controlRange(Control c, Range &range)
{
    return inner_->controlRange(c, range);
}

bool TracingCameraDevice::controlGet(Control c, int &value, int &flags)
{
    return inner_->controlGet(c, value, flags);
}

bool TracingCameraDevice::controlSet(Control c, int value, int flags)
{
    return inner_->controlSet(c, value, flags);
}

bool TracingCameraDevice::panTiltSet(int pan, int tilt, int flags)
{
    return inner_->panTiltSet(pan, tilt, flags);
}

bool TracingCameraDevice::startCapture(const CaptureFormat &format, SampleCallback onSample)
{
    return inner_->startCapture(format, std::move(onSample));
}

void TracingCameraDevice::stopCapture()
{
    inner_->stopCapture();
}

int TracingCameraDevice::lastError() const
{
    return inner_->lastError();
}

} // namespace pc
} // namespace vexo
