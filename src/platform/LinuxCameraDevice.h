#pragma once

#include "platform/CameraDevice.h"

#include <atomic>
#include <memory>

namespace vexo {
namespace pc {

class LinuxIoctl;
class LinuxVideoCapture;

// One opened /dev/videoN of the Linux video driver: extension-unit blocks
// through UVCIOC_CTRL_QUERY, standard controls through V4L2 controls, with
// the automatic flag mapped onto each control's automatic companion.
class LinuxCameraDevice final : public CameraDevice
{
public:
    // Takes over fd. descriptorsPath is the sysfs "descriptors" file of the
    // USB device (empty when unknown: the extension unit is then not found).
    LinuxCameraDevice(std::shared_ptr<LinuxIoctl> io, int fd, const QString &descriptorsPath);
    ~LinuxCameraDevice() override;

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

    int unitId() const { return unit_.load(); }

private:
    bool query(quint8 selector, quint8 request, quint16 size, uchar *data);
    bool getCtrl(quint32 id, int &value);
    bool setCtrl(quint32 id, int value);
    bool setAuto(Control c, bool on);
    bool autoState(Control c, bool &on);
    int fail(int negErrno);
    // One ioctl on the node; false (the error kept) when it fails.
    bool call(unsigned long request, void *arg);

    const std::shared_ptr<LinuxIoctl> io_;
    const int fd_;
    const QString descriptorsPath_;
    std::atomic<int> unit_{-1};
    std::unique_ptr<LinuxVideoCapture> capture_;
};

} // namespace pc
} // namespace vexo
