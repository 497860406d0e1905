#pragma once

#include "platform/CameraDevice.h"

#include <atomic>
#include <memory>
#include <thread>

namespace vexo {
namespace pc {

class VirtualCamera;

// The video stream of a virtual camera: a capture thread that takes the
// camera's next sample (an ordinary picture, or a piece of a file the camera
// sends) and hands its bytes to the callback, until stopped or until the
// camera is unplugged.
class VirtualCaptureSource final
{
public:
    VirtualCaptureSource(std::shared_ptr<VirtualCamera> camera, int generation,
                         CameraDevice::SampleCallback onSample);
    ~VirtualCaptureSource();

    void stop();

private:
    void loop();

    const std::shared_ptr<VirtualCamera> camera_;
    const int generation_;
    const CameraDevice::SampleCallback onSample_;
    std::atomic<bool> running_{true};
    std::thread thread_;
};

} // namespace pc
} // namespace vexo
