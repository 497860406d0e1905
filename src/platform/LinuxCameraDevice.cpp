#include "platform/LinuxCameraDevice.h"

#include "comm/ByteOrder.h"
#include "platform/LinuxIoctl.h"
#include "platform/LinuxVideoCapture.h"
#include "platform/UsbDescriptors.h"

#include <QDebug>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <linux/usb/video.h>
#include <linux/uvcvideo.h>
#include <linux/videodev2.h>

namespace vexo {
namespace pc {

namespace {

thread_local int t_lastError = 0;

// How the automatic mode of a control is switched: none, a companion
// on/off control, the exposure menu, or a value of the control itself.
enum class AutoKind { None, Bool, ExposureMenu, OwnValue };

struct ControlMap
{
    quint32 id;
    quint32 autoId;
    AutoKind kind;
};

ControlMap mapControl(CameraDevice::Control c)
{
    using C = CameraDevice::Control;
    switch (c) {
    case C::Brightness: return {V4L2_CID_BRIGHTNESS, 0, AutoKind::None};
    case C::Contrast: return {V4L2_CID_CONTRAST, 0, AutoKind::None};
    case C::Hue: return {V4L2_CID_HUE, V4L2_CID_HUE_AUTO, AutoKind::Bool};
    case C::Saturation: return {V4L2_CID_SATURATION, 0, AutoKind::None};
    case C::Sharpness: return {V4L2_CID_SHARPNESS, 0, AutoKind::None};
    case C::WhiteBalance:
        return {V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CID_AUTO_WHITE_BALANCE, AutoKind::Bool};
    case C::BacklightCompensation: return {V4L2_CID_BACKLIGHT_COMPENSATION, 0, AutoKind::None};
    case C::Gain: return {V4L2_CID_GAIN, V4L2_CID_AUTOGAIN, AutoKind::Bool};
    case C::PowerLineFrequency:
        return {V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CID_POWER_LINE_FREQUENCY_AUTO, AutoKind::OwnValue};
    case C::Exposure: return {V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_EXPOSURE_AUTO, AutoKind::ExposureMenu};
    case C::Focus: return {V4L2_CID_FOCUS_ABSOLUTE, V4L2_CID_FOCUS_AUTO, AutoKind::Bool};
    case C::Zoom: return {V4L2_CID_ZOOM_ABSOLUTE, 0, AutoKind::None};
    case C::Pan: return {V4L2_CID_PAN_ABSOLUTE, 0, AutoKind::None};
    case C::Tilt: return {V4L2_CID_TILT_ABSOLUTE, 0, AutoKind::None};
    case C::PanRelative: return {V4L2_CID_PAN_RELATIVE, 0, AutoKind::None};
    case C::TiltRelative: return {V4L2_CID_TILT_RELATIVE, 0, AutoKind::None};
    }
    return {0, 0, AutoKind::None};
}

} // namespace

LinuxCameraDevice::LinuxCameraDevice(std::shared_ptr<LinuxIoctl> io, int fd, const QString &descriptorsPath)
    : io_(std::move(io))
    , fd_(fd)
    , descriptorsPath_(descriptorsPath)
    , capture_(std::make_unique<LinuxVideoCapture>(io_, fd))
{
}

LinuxCameraDevice::~LinuxCameraDevice()
{
    capture_.reset();
    io_->closeNode(fd_);
}

int LinuxCameraDevice::fail(int negErrno)
{
    t_lastError = negErrno < 0 ? -negErrno : EIO;
    return -1;
}

bool LinuxCameraDevice::call(unsigned long request, void *arg)
{
    const int r = io_->ioctl(fd_, request, arg);
    if (r < 0)
        fail(r);
    return r >= 0;
}

int LinuxCameraDevice::lastError() const
{
    return t_lastError;
}

bool LinuxCameraDevice::query(quint8 selector, quint8 request, quint16 size, uchar *data)
{
    const int unit = unit_.load();
    if (unit < 0) {
        fail(-ENOENT);
        return false;
    }
    uvc_xu_control_query q;
    std::memset(&q, 0, sizeof q);
    q.unit = quint8(unit);
    q.selector = selector;
    q.query = request;
    q.size = size;
    q.data = data;
    if (!call(UVCIOC_CTRL_QUERY, &q))
        return false;
    return true;
}

bool LinuxCameraDevice::xuInit()
{
    if (unit_.load() >= 0)
        return true;
    QFile f(descriptorsPath_);
    if (descriptorsPath_.isEmpty() || !f.open(QIODevice::ReadOnly)) {
        fail(-ENODEV);
        return false;
    }
    const int unit = UsbDescriptors::findExtensionUnit(f.readAll(), extensionUnitGuid());
    if (unit < 0) {
        fail(-ENOENT);
        return false;
    }
    // The kernel checks the unit when asked; the length of the message
    // selector tells that this unit is the one we speak to.
    uvc_xu_control_query q;
    std::memset(&q, 0, sizeof q);
    quint8 len[2] = {0, 0};
    q.unit = quint8(unit);
    q.selector = 2;
    q.query = UVC_GET_LEN;
    q.size = 2;
    q.data = len;
    if (!call(UVCIOC_CTRL_QUERY, &q))
        return false;
    const int blockLen = le16(len);
    if (blockLen != XuBlockSize) {
        qWarning() << "Extension unit" << unit << "has block length" << blockLen;
        fail(-ENOBUFS);
        return false;
    }
    unit_.store(unit);
    return true;
}

int LinuxCameraDevice::xuGet(int selector, uchar *buf, int len)
{
    if (!buf || len <= 0 || len > 0xffff)
        return fail(-EINVAL);
    if (unit_.load() < 0 && !xuInit())
        return -1;
    if (!query(quint8(selector), UVC_GET_CUR, quint16(len), buf))
        return -1;
    return len;
}

int LinuxCameraDevice::xuSet(int selector, const uchar *buf, int len)
{
    if (!buf || len <= 0 || len > 0xffff)
        return fail(-EINVAL);
    if (unit_.load() < 0 && !xuInit())
        return -1;
    // The query takes a writable buffer even for SET_CUR.
    QByteArray copy(reinterpret_cast<const char *>(buf), len);
    if (!query(quint8(selector), UVC_SET_CUR, quint16(len), reinterpret_cast<uchar *>(copy.data())))
        return -1;
    return len;
}

bool LinuxCameraDevice::getCtrl(quint32 id, int &value)
{
    v4l2_control ctrl;
    std::memset(&ctrl, 0, sizeof ctrl);
    ctrl.id = id;
    if (!call(VIDIOC_G_CTRL, &ctrl))
        return false;
    value = ctrl.value;
    return true;
}

bool LinuxCameraDevice::setCtrl(quint32 id, int value)
{
    v4l2_control ctrl;
    std::memset(&ctrl, 0, sizeof ctrl);
    ctrl.id = id;
    ctrl.value = value;
    if (!call(VIDIOC_S_CTRL, &ctrl))
        return false;
    return true;
}

bool LinuxCameraDevice::autoState(Control c, bool &on)
{
    const ControlMap m = mapControl(c);
    on = false;
    if (m.kind == AutoKind::None)
        return true;
    int v = 0;
    if (!getCtrl(m.kind == AutoKind::OwnValue ? m.id : m.autoId, v))
        return false;
    if (m.kind == AutoKind::OwnValue)
        on = v == int(m.autoId);
    else
        on = m.kind == AutoKind::ExposureMenu ? v != V4L2_EXPOSURE_MANUAL : v != 0;
    return true;
}

bool LinuxCameraDevice::setAuto(Control c, bool on)
{
    const ControlMap m = mapControl(c);
    if (m.kind == AutoKind::None)
        return !on;
    if (m.kind == AutoKind::OwnValue)
        return !on || setCtrl(m.id, int(m.autoId));
    if (m.kind == AutoKind::ExposureMenu)
        return setCtrl(m.autoId, on ? V4L2_EXPOSURE_APERTURE_PRIORITY : V4L2_EXPOSURE_MANUAL);
    return setCtrl(m.autoId, on ? 1 : 0);
}

bool LinuxCameraDevice::controlRange(Control c, Range &range)
{
    const ControlMap m = mapControl(c);
    v4l2_queryctrl q;
    std::memset(&q, 0, sizeof q);
    q.id = m.id;
    if (!call(VIDIOC_QUERYCTRL, &q))
        return false;
    if (q.flags & V4L2_CTRL_FLAG_DISABLED) {
        fail(-EINVAL);
        return false;
    }
    range.minimum = q.minimum;
    range.maximum = q.maximum;
    range.step = q.step;
    range.defaultValue = q.default_value;
    range.flags = FlagManual;
    if (m.kind == AutoKind::OwnValue) {
        if (range.maximum >= int(m.autoId)) {
            range.maximum = int(m.autoId) - 1;
            range.flags |= FlagAuto;
        }
    } else if (m.kind != AutoKind::None) {
        v4l2_queryctrl qa;
        std::memset(&qa, 0, sizeof qa);
        qa.id = m.autoId;
        if (io_->ioctl(fd_, VIDIOC_QUERYCTRL, &qa) == 0 && !(qa.flags & V4L2_CTRL_FLAG_DISABLED))
            range.flags |= FlagAuto;
    }
    return true;
}

bool LinuxCameraDevice::controlGet(Control c, int &value, int &flags)
{
    int v = 0;
    if (!getCtrl(mapControl(c).id, v))
        return false;
    bool on = false;
    if (!autoState(c, on))
        return false;
    value = v;
    flags = on ? FlagAuto : FlagManual;
    return true;
}

bool LinuxCameraDevice::controlSet(Control c, int value, int flags)
{
    if (flags == FlagAuto)
        return setAuto(c, true);
    // The driver refuses a manual value while the automatic mode owns the
    // control, so the mode goes first.
    if (flags == FlagManual && mapControl(c).kind != AutoKind::None && !setAuto(c, false))
        return false;
    return setCtrl(mapControl(c).id, value);
}

bool LinuxCameraDevice::startCapture(const CaptureFormat &format, SampleCallback onSample)
{
    int error = 0;
    if (!capture_->start(format, std::move(onSample), &error)) {
        fail(-error);
        return false;
    }
    return true;
}

void LinuxCameraDevice::stopCapture()
{
    capture_->stop();
}

bool LinuxCameraDevice::panTiltSet(int pan, int tilt, int flags)
{
    Q_UNUSED(flags) // pan and tilt have no automatic mode
    v4l2_ext_control ctrls[2];
    std::memset(ctrls, 0, sizeof ctrls);
    ctrls[0].id = V4L2_CID_PAN_ABSOLUTE;
    ctrls[0].value = pan;
    ctrls[1].id = V4L2_CID_TILT_ABSOLUTE;
    ctrls[1].value = tilt;
    v4l2_ext_controls ext;
    std::memset(&ext, 0, sizeof ext);
    ext.ctrl_class = V4L2_CTRL_CLASS_CAMERA;
    ext.count = 2;
    ext.controls = ctrls;
    if (!call(VIDIOC_S_EXT_CTRLS, &ext))
        return false;
    return true;
}

} // namespace pc
} // namespace vexo
