#include "platform/LinuxIoctl.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vexo {
namespace pc {

LinuxIoctl::~LinuxIoctl() = default;

int LinuxIoctl::openNode(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    int fd;
    do {
        fd = ::open(native.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? -errno : fd;
}

void LinuxIoctl::closeNode(int fd)
{
    if (fd >= 0)
        ::close(fd);
}

int LinuxIoctl::ioctl(int fd, unsigned long request, void *arg)
{
    int r;
    do {
        r = ::ioctl(fd, request, arg);
    } while (r < 0 && errno == EINTR);
    return r < 0 ? -errno : 0;
}

void *LinuxIoctl::mapBuffer(int fd, size_t length, long offset)
{
    void *p = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, off_t(offset));
    return p == MAP_FAILED ? nullptr : p;
}

void LinuxIoctl::unmapBuffer(void *address, size_t length)
{
    if (address)
        ::munmap(address, length);
}

int LinuxIoctl::waitReadable(int fd, int timeoutMs)
{
    pollfd p{};
    p.fd = fd;
    p.events = POLLIN;
    int r;
    do {
        r = ::poll(&p, 1, timeoutMs);
    } while (r < 0 && errno == EINTR);
    if (r < 0)
        return -errno;
    if (r > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) && !(p.revents & POLLIN))
        return -ENODEV;
    return r > 0 ? 1 : 0;
}

std::shared_ptr<LinuxIoctl> LinuxIoctl::system()
{
    static const std::shared_ptr<LinuxIoctl> io = std::make_shared<LinuxIoctl>();
    return io;
}

} // namespace pc
} // namespace vexo
