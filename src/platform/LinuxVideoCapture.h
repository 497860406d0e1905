#pragma once

#include "platform/CameraDevice.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace vexo {
namespace pc {

class LinuxIoctl;

// Memory-mapped V4L2 streaming on an opened video node: the format and
// frame rate are set, driver buffers are mapped and queued, and a capture
// thread hands each filled buffer's bytes unchanged to the callback before
// queueing it again. A node that another program streams from refuses the
// format or the stream with EBUSY; start() then fails with that error.
class LinuxVideoCapture final
{
public:
    static constexpr int BufferCount = 4;

    LinuxVideoCapture(std::shared_ptr<LinuxIoctl> io, int fd);
    ~LinuxVideoCapture();

    // false with the error number in *error when the node cannot stream the
    // format (EINVAL when the driver picks another format or size).
    bool start(const CameraDevice::CaptureFormat &format, CameraDevice::SampleCallback onSample, int *error);
    void stop();
    bool isRunning() const { return running_.load(); }

    // Samples delivered since start.
    quint64 samples() const { return samples_.load(); }

private:
    struct Buffer
    {
        void *address = nullptr;
        size_t length = 0;
    };
    int setUp(const CameraDevice::CaptureFormat &format);
    void release();
    void loop();

    const std::shared_ptr<LinuxIoctl> io_;
    const int fd_;
    std::mutex lock_;  // start and stop
    std::vector<Buffer> buffers_;
    bool streaming_ = false;
    std::thread thread_;
    std::atomic<bool> running_{false};
    std::atomic<quint64> samples_{0};
    CameraDevice::SampleCallback onSample_;
};

} // namespace pc
} // namespace vexo
