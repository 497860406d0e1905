#pragma once

#include <QString>

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

    // The real system calls.
    static std::shared_ptr<LinuxIoctl> system();
};

} // namespace pc
} // namespace vexo
