#include "platform/LinuxVideoCapture.h"

#include "platform/LinuxIoctl.h"

#include <QDebug>

#include <cerrno>
#include <cstring>
#include <linux/videodev2.h>

namespace vexo {
namespace pc {

LinuxVideoCapture::LinuxVideoCapture(std::shared_ptr<LinuxIoctl> io, int fd)
    : io_(std::move(io))
    , fd_(fd)
{
}

LinuxVideoCapture::~LinuxVideoCapture()
{
    stop();
}

int LinuxVideoCapture::setUp(const CameraDevice::CaptureFormat &format)
{
    v4l2_format fmt;
    std::memset(&fmt, 0, sizeof fmt);
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = quint32(format.width);
    fmt.fmt.pix.height = quint32(format.height);
    fmt.fmt.pix.pixelformat = format.fourcc;
    fmt.fmt.pix.field = V4L2_FIELD_ANY;
    int r = io_->ioctl(fd_, VIDIOC_S_FMT, &fmt);
    if (r < 0)
        return r;
    // The driver answers with the nearest format it has; anything else than
    // what was asked is no use to a reader of the samples.
    if (fmt.fmt.pix.pixelformat != format.fourcc || int(fmt.fmt.pix.width) != format.width
        || int(fmt.fmt.pix.height) != format.height) {
        qWarning() << "Video format not available:" << format.width << "x" << format.height;
        return -EINVAL;
    }

    v4l2_streamparm parm;
    std::memset(&parm, 0, sizeof parm);
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    parm.parm.capture.timeperframe.numerator = 1;
    parm.parm.capture.timeperframe.denominator = quint32(format.fps);
    r = io_->ioctl(fd_, VIDIOC_S_PARM, &parm);
    if (r < 0)
        qWarning() << "Frame rate not set:" << -r; // the driver keeps its own rate

    v4l2_requestbuffers req;
    std::memset(&req, 0, sizeof req);
    req.count = BufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    r = io_->ioctl(fd_, VIDIOC_REQBUFS, &req);
    if (r < 0)
        return r;
    if (req.count < 1)
        return -ENOMEM;
    for (quint32 i = 0; i < req.count; ++i) {
        v4l2_buffer buf;
        std::memset(&buf, 0, sizeof buf);
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        r = io_->ioctl(fd_, VIDIOC_QUERYBUF, &buf);
        if (r < 0)
            return r;
        Buffer b;
        b.length = buf.length;
        b.address = io_->mapBuffer(fd_, buf.length, long(buf.m.offset));
        if (!b.address)
            return -ENOMEM;
        buffers_.push_back(b);
        r = io_->ioctl(fd_, VIDIOC_QBUF, &buf);
        if (r < 0)
            return r;
    }
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    r = io_->ioctl(fd_, VIDIOC_STREAMON, &type);
    if (r < 0)
        return r;
    streaming_ = true;
    return 0;
}

void LinuxVideoCapture::release()
{
    if (streaming_) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        io_->ioctl(fd_, VIDIOC_STREAMOFF, &type);
        streaming_ = false;
    }
    for (const Buffer &b : buffers_)
        io_->unmapBuffer(b.address, b.length);
    if (!buffers_.empty()) {
        v4l2_requestbuffers req;
        std::memset(&req, 0, sizeof req);
        req.count = 0;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        io_->ioctl(fd_, VIDIOC_REQBUFS, &req);
    }
    buffers_.clear();
}

bool LinuxVideoCapture::start(const CameraDevice::CaptureFormat &format, CameraDevice::SampleCallback onSample,
                              int *error)
{
    std::lock_guard<std::mutex> locker(lock_);
    if (running_.load()) {
        *error = EBUSY;
        return false;
    }
    const int r = setUp(format);
    if (r < 0) {
        release();
        *error = -r;
        return false;
    }
    onSample_ = std::move(onSample);
    samples_.store(0);
    running_.store(true);
    thread_ = std::thread([this] { loop(); });
    return true;
}

void LinuxVideoCapture::stop()
{
    std::lock_guard<std::mutex> locker(lock_);
    running_.store(false);
    if (thread_.joinable())
        thread_.join();
    release();
    onSample_ = nullptr;
}

void LinuxVideoCapture::loop()
{
    while (running_.load()) {
        const int ready = io_->waitReadable(fd_, 100);
        if (ready < 0) {
            qWarning() << "Video capture ended, error" << -ready;
            break;
        }
        if (ready == 0)
            continue;
        v4l2_buffer buf;
        std::memset(&buf, 0, sizeof buf);
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        const int r = io_->ioctl(fd_, VIDIOC_DQBUF, &buf);
        if (r == -EAGAIN)
            continue;
        if (r < 0) {
            qWarning() << "Video capture ended, error" << -r;
            break;
        }
        if (buf.index < buffers_.size() && !(buf.flags & V4L2_BUF_FLAG_ERROR)) {
            const Buffer &b = buffers_[buf.index];
            const int used = int(qMin<size_t>(buf.bytesused, b.length));
            const qint64 us = qint64(buf.timestamp.tv_sec) * 1000000 + buf.timestamp.tv_usec;
            if (onSample_)
                onSample_(static_cast<const uchar *>(b.address), used, us);
            samples_.fetch_add(1);
        }
        io_->ioctl(fd_, VIDIOC_QBUF, &buf);
    }
    running_.store(false);
}

} // namespace pc
} // namespace vexo
