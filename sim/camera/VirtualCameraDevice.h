#pragma once

#include "platform/CameraDevice.h"

#include <memory>
#include <mutex>

namespace vexo {
namespace pc {

class VirtualCamera;
class VirtualCaptureSource;

// An opened virtual camera. It stays bound to the plug-in it was opened in:
// after the camera is unplugged every call fails with ENODEV, also when it
// has been plugged in again.
class VirtualCameraDevice final : public CameraDevice
{
public:
    VirtualCameraDevice(std::shared_ptr<VirtualCamera> camera, int generation);
    ~VirtualCameraDevice() override;

    bool xuInit() override;
    int xuGet(int selector, uchar *buf, int len) override;
    int xuSet(int selector, const uchar *buf, int len) override;
    bool controlRange(Control c, Range &range) override;
    bool controlGet(Control c, int &value, int &flags) override;
    bool controlSet(Control c, int value, int flags) override;
    bool startCapture(const CaptureFormat &format, SampleCallback onSample) override;
    void stopCapture() override;
    int lastError() const override;

    const std::shared_ptr<VirtualCamera> &camera() const { return camera_; }

private:
    int result(int r, int error);

    const std::shared_ptr<VirtualCamera> camera_;
    const int generation_;
    std::unique_ptr<VirtualCaptureSource> capture_;
};

} // namespace pc
} // namespace vexo
