#include "camera/VirtualCaptureSource.h"

#include "camera/VirtualCamera.h"

#include <QElapsedTimer>

#include <chrono>

namespace vexo {
namespace pc {

VirtualCaptureSource::VirtualCaptureSource(std::shared_ptr<VirtualCamera> camera, int generation,
                                           CameraDevice::SampleCallback onSample)
    : camera_(std::move(camera))
    , generation_(generation)
    , onSample_(std::move(onSample))
{
    thread_ = std::thread([this] { loop(); });
}

VirtualCaptureSource::~VirtualCaptureSource()
{
    stop();
}

void VirtualCaptureSource::stop()
{
    running_.store(false);
    if (thread_.joinable())
        thread_.join();
}

void VirtualCaptureSource::loop()
{
    QElapsedTimer clock;
    clock.start();
    while (running_.load()) {
        QByteArray sample;
        int pauseUs = 0;
        if (!camera_->captureSample(generation_, &sample, &pauseUs))
            break; // the camera left
        if (!sample.isEmpty() && onSample_)
            onSample_(reinterpret_cast<const uchar *>(sample.constData()), sample.size(), clock.nsecsElapsed() / 1000);
        // Pause in short slices so that a stop is quick.
        while (pauseUs > 0 && running_.load()) {
            const int slice = qMin(pauseUs, 5000);
            std::this_thread::sleep_for(std::chrono::microseconds(slice));
            pauseUs -= slice;
        }
    }
}

} // namespace pc
} // namespace vexo
