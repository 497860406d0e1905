#pragma once

#include "platform/CameraBackend.h"

#include <QString>

#include <memory>

namespace vexo {
namespace pc {

class LinuxIoctl;

// Cameras of the Linux video driver. Devices are listed from sysfs
// (class video4linux): the friendly name is the USB product string (or the
// node's name), the device path the /dev node, the ids those of the USB
// device the node belongs to. Only the main node of each camera is listed:
// the driver's metadata nodes carry an index other than 0.
//
// Both roots and the system calls are parameters, so that the backend can
// run on a fake tree built by a test.
class LinuxCameraBackend final : public CameraBackend
{
public:
    explicit LinuxCameraBackend(const QString &sysfsRoot = QStringLiteral("/sys"),
                                const QString &devRoot = QStringLiteral("/dev"),
                                std::shared_ptr<LinuxIoctl> io = nullptr);
    ~LinuxCameraBackend() override;

    QString name() const override;
    bool listDevices(VideoDeviceList &out) override;
    bool ownsPath(const QString &devicePath) const override;
    std::shared_ptr<CameraDevice> open(const QString &devicePath) override;

    // The sysfs folder of the USB device a /dev node belongs to, empty when
    // the node is not a USB device.
    QString usbDeviceDir(const QString &devicePath) const;

private:
    QString classDir() const;

    const QString sysfsRoot_;
    const QString devRoot_;
    const std::shared_ptr<LinuxIoctl> io_;
};

} // namespace pc
} // namespace vexo
