#pragma once

#include "platform/CameraDevice.h"

#include <functional>
#include <memory>

namespace vexo {
namespace pc {

// Wraps an opened camera and reports every extension-unit block that goes
// through it: written blocks as sent, read blocks as received (result is
// the byte count or -1). Used for the wire view of command-line tools.
class TracingCameraDevice final : public CameraDevice
{
public:
    using TraceFn = std::function<void(bool write, int selector, const uchar *data, int len, int result)>;

    TracingCameraDevice(std::shared_ptr<CameraDevice> inner, TraceFn trace);
    ~TracingCameraDevice() override;

    bool xuInit() override;
    int xuGet(int selector, uchar *buf, int len) override;
    int xuSet(int selector, const uchar *buf, int len) override;
    bool controlRange(Control c, Range &range) override;
    bool controlGet(Control c, int &value, int &flags) override;
    bool controlSet(Control c, int value, int flags) override;
    bool panTiltSet(int pan, int tilt, int flags) override;
    bool startCapture(const CaptureFormat &format, SampleCallback onSample) override;
    void stopCapture() override;
    int lastError() const override;

private:
    const std::shared_ptr<CameraDevice> inner_;
    const TraceFn trace_;
};

} // namespace pc
} // namespace vexo
