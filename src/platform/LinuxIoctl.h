#pragma once

#include <QString>

#include <cstddef>
#include <memory>

namespace vexo {
namespace pc {

// The few system calls the Linux camera backend makes on a device node.
// Tests replace them to answer the backend without a camera; errors come
// back as negative errno values instead of through errno, so that the
// answers stay per call and per thread.
class LinuxIoctl
{
public:
    virtual ~LinuxIoctl();

    // A file descriptor, or -errno.
    virtual int openNode(const QString &path);
    virtual void closeNode(int fd);

    // 0 on success, or -errno.
    virtual int ioctl(int fd, unsigned long request, void *arg);

    // A shared read-write mapping of a driver buffer; null when it fails.
    virtual void *mapBuffer(int fd, size_t length, long offset);
    virtual void unmapBuffer(void *address, size_t length);

    // Waits until the node has a buffer to take: 1 ready, 0 time-out, -errno.
    virtual int waitReadable(int fd, int timeoutMs);

    // The real system calls.
    static std::shared_ptr<LinuxIoctl> system();
};

} // namespace pc
} // namespace vexo
