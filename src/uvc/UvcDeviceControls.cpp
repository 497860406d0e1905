// The standard camera-terminal and processing-unit controls of a camera.
#include "uvc/UvcDevice.h"

#include "platform/CameraDevice.h"

#include <QDebug>

#include <cmath>

namespace vexo {
namespace pc {

namespace {

using Control = CameraDevice::Control;

constexpr int ArcSecondsPerDegree = 3600;

const char *const ProcAmpFail = "uvc_IVideoProcAmp_Get failed";
const char *const AmCamFail = "Get IAMCameraControl failed";
const char *const CamCtrlFail = "uvc_ICameraControl_Get failed";
const char *const PanTiltFail = "get ICameraControl failed";

UvcDevice::CameraParamRange toRange(const CameraDevice::Range &r, int divisor = 1)
{
    UvcDevice::CameraParamRange out;
    out.min = r.minimum / divisor;
    out.max = r.maximum / divisor;
    out.step = r.step / divisor;
    out.def = r.defaultValue / divisor;
    out.flags = r.flags;
    return out;
}

int autoFlags(bool isAuto)
{
    return isAuto ? CameraDevice::FlagAuto : CameraDevice::FlagManual;
}

void logRange(const char *text, const UvcDevice::CameraParamRange &r)
{
    qInfo() << text << r.min << r.max << r.step << r.def << r.flags;
}

} // namespace

// ---- interface acquisition ----
// The platform hands out one handle for all controls; the three acquisition
// steps remain so that a missing camera is reported the same way.

bool UvcDevice::uvc_IAMCameraControl_Get()
{
    if (amCamCtrlHeld_.load()) {
        qInfo() << "am_cam_ctrl_ is already got";
        return true;
    }
    if (!handle()) {
        qWarning() << "Query IID_IAMCameraControl failed";
        return false;
    }
    amCamCtrlHeld_.store(true);
    return true;
}

bool UvcDevice::uvc_ICameraControl_Get()
{
    if (camCtrlHeld_.load()) {
        qInfo() << "camera_ctrl_ is already got";
        return true;
    }
    if (!handle()) {
        qWarning() << "capture filter not inited";
        return false;
    }
    qInfo() << "Node:" << 0 << " is IID_ICameraControl";
    camCtrlHeld_.store(true);
    return true;
}

bool UvcDevice::uvc_IVideoProcAmp_Get()
{
    if (procAmpHeld_.load()) {
        qInfo() << "video_proc_amp_ is already got";
        return true;
    }
    if (!handle()) {
        qWarning() << "capture filter not inited";
        return false;
    }
    qInfo() << "Node:" << 0 << " is IID_IVideoProcAmp";
    procAmpHeld_.store(true);
    return true;
}

bool UvcDevice::acquireControl(const char *failMessage)
{
    bool ok;
    if (failMessage == ProcAmpFail)
        ok = procAmpHeld_.load() || uvc_IVideoProcAmp_Get();
    else if (failMessage == AmCamFail)
        ok = amCamCtrlHeld_.load() || uvc_IAMCameraControl_Get();
    else
        ok = camCtrlHeld_.load() || uvc_ICameraControl_Get();
    if (!ok)
        qWarning() << failMessage;
    return ok;
}

// ---- generic shapes ----

namespace {

// Value getter: 0 on every path; outputs only written on success.
template <typename Device>
int getValue(Device *dev, const std::shared_ptr<CameraDevice> &h, Control c, bool *isAuto, int &value,
             const char *callFail)
{
    Q_UNUSED(dev)
    int v = 0;
    int flags = 0;
    if (!h || !h->controlGet(c, v, flags)) {
        qWarning() << callFail;
        return 0;
    }
    value = v;
    if (isAuto)
        *isAuto = flags == CameraDevice::FlagAuto;
    return 0;
}

} // namespace

int UvcDevice::readRange(int control, CameraParamRange &range, const char *interfaceFail, const char *callFail)
{
    if (!checkCommon() || !acquireControl(interfaceFail))
        return 0;
    CameraDevice::Range r;
    const auto h = handle();
    if (!h || !h->controlRange(Control(control), r)) {
        qWarning() << callFail;
        return 0;
    }
    range = toRange(r);
    return 0;
}

#define ZARVO_GETTER(NAME, CONTROL, IFACE, FAIL)                                                     \
    int UvcDevice::NAME(bool &isAuto, int &value)                                                    \
    {                                                                                                \
        if (!checkCommon() || !acquireControl(IFACE))                                                \
            return 0;                                                                                \
        return getValue(this, handle(), CONTROL, &isAuto, value, FAIL);                              \
    }
#define ZARVO_PLAIN_GETTER(NAME, CONTROL, IFACE, FAIL)                                               \
    int UvcDevice::NAME(int &value)                                                                  \
    {                                                                                                \
        if (!checkCommon() || !acquireControl(IFACE))                                                \
            return 0;                                                                                \
        return getValue(this, handle(), CONTROL, nullptr, value, FAIL);                              \
    }
#define ZARVO_RANGE(NAME, CONTROL, IFACE, FAIL)                                                      \
    int UvcDevice::NAME(CameraParamRange &range)                                                     \
    {                                                                                                \
        return readRange(int(CONTROL), range, IFACE, FAIL);                                          \
    }
#define ZARVO_AUTO_SETTER(NAME, CONTROL, IFACE, FAIL)                                                \
    int UvcDevice::NAME(bool isAuto, int value)                                                      \
    {                                                                                                \
        if (!checkCommon() || !acquireControl(IFACE))                                                \
            return -1;                                                                               \
        const auto h = handle();                                                                     \
        if (!h || !h->controlSet(CONTROL, value, autoFlags(isAuto))) {                               \
            qWarning() << FAIL;                                                                      \
            return -1;                                                                               \
        }                                                                                            \
        return 0;                                                                                    \
    }
#define ZARVO_PLAIN_SETTER(NAME, CONTROL, IFACE, FAIL)                                               \
    int UvcDevice::NAME(int value)                                                                   \
    {                                                                                                \
        if (!checkCommon() || !acquireControl(IFACE))                                                \
            return -1;                                                                               \
        const auto h = handle();                                                                     \
        if (!h || !h->controlSet(CONTROL, value, CameraDevice::FlagNone)) {                          \
            qWarning() << FAIL;                                                                      \
            return -1;                                                                               \
        }                                                                                            \
        return 0;                                                                                    \
    }

ZARVO_GETTER(uvcBacklightCompensationControlGet, Control::BacklightCompensation, ProcAmpFail,
             "get_BacklightCompensation failed")
ZARVO_RANGE(uvcBacklightCompensationControlRangeGet, Control::BacklightCompensation, ProcAmpFail,
            "getRange_BacklightCompensation failed")
ZARVO_AUTO_SETTER(uvcBacklightCompensationControlSet, Control::BacklightCompensation, ProcAmpFail,
                  "put_BacklightCompensation failed")
ZARVO_PLAIN_GETTER(uvcBrightnessControlGet, Control::Brightness, ProcAmpFail, "get_Brightness failed")
ZARVO_GETTER(uvcContrastControlGet, Control::Contrast, ProcAmpFail, "get_Contrast failed")
ZARVO_RANGE(uvcContrastControlRangeGet, Control::Contrast, ProcAmpFail, "getRange_Contrast failed")
ZARVO_PLAIN_SETTER(uvcContrastControlSet, Control::Contrast, ProcAmpFail, "put_Contrast failed")
ZARVO_GETTER(uvcGainControlGet, Control::Gain, ProcAmpFail, "get_Gain failed")
ZARVO_RANGE(uvcGainControlRangeGet, Control::Gain, ProcAmpFail, "getRange_Gain failed")
ZARVO_AUTO_SETTER(uvcGainControlSet, Control::Gain, ProcAmpFail, "put_Gain failed")
ZARVO_GETTER(uvcHueControlGet, Control::Hue, ProcAmpFail, "get_Hue failed")
ZARVO_RANGE(uvcHueControlRangeGet, Control::Hue, ProcAmpFail, "getRange_Hue failed")
ZARVO_PLAIN_SETTER(uvcHueControlSet, Control::Hue, ProcAmpFail, "put_Hue failed")
ZARVO_PLAIN_GETTER(uvcSaturationControlGet, Control::Saturation, ProcAmpFail, "get_Saturation failed")
ZARVO_RANGE(uvcSaturationControlRangeGet, Control::Saturation, ProcAmpFail, "getRange_Saturation failed")
ZARVO_PLAIN_SETTER(uvcSaturationControlSet, Control::Saturation, ProcAmpFail, "put_Saturation failed")
ZARVO_PLAIN_GETTER(uvcSharpnessControlGet, Control::Sharpness, ProcAmpFail, "get_Sharpness failed")
ZARVO_RANGE(uvcSharpnessControlRangeGet, Control::Sharpness, ProcAmpFail, "getRange_Sharpness failed")
ZARVO_PLAIN_SETTER(uvcSharpnessControlSet, Control::Sharpness, ProcAmpFail, "put_Sharpness failed")
ZARVO_GETTER(uvcWhiteBalanceTemperatureControlGet, Control::WhiteBalance, ProcAmpFail, "get_WhiteBalance failed")
ZARVO_RANGE(uvcWhiteBalanceColorTemperatureControlRangeGet, Control::WhiteBalance, ProcAmpFail,
            "getRange_WhiteBalance failed")
ZARVO_AUTO_SETTER(uvcWhiteBalanceTemperatureControlSet, Control::WhiteBalance, ProcAmpFail,
                  "put_WhiteBalance failed")
ZARVO_GETTER(uvcExposureGet, Control::Exposure, AmCamFail, "get_Exposure failed")
ZARVO_RANGE(uvcExposureRangeAbsGet, Control::Exposure, AmCamFail, "getRange_Exposure failed")
ZARVO_AUTO_SETTER(uvcExposureSet, Control::Exposure, CamCtrlFail, "put_Exposure failed")
ZARVO_GETTER(uvcFocusGet, Control::Focus, AmCamFail, "get_Focus failed")
ZARVO_RANGE(uvcFocusRangeAbsGet, Control::Focus, AmCamFail, "getRange_Focus failed")
ZARVO_AUTO_SETTER(uvcFocusSet, Control::Focus, AmCamFail, "put_Focus failed")

#undef ZARVO_GETTER
#undef ZARVO_PLAIN_GETTER
#undef ZARVO_RANGE
#undef ZARVO_AUTO_SETTER
#undef ZARVO_PLAIN_SETTER

// ---- pan and tilt ----
// The platform speaks arc-seconds; ranges and values here are degrees.

int UvcDevice::uvcPanTiltAbsoluteControlGet(int &pan, int &tilt)
{
    if (!checkCommon())
        return 0;
    if (!acquireControl(PanTiltFail))
        return 0;
    const auto h = handle();
    int p = 0, t = 0, flags = 0;
    if (!h || !h->controlGet(Control::Pan, p, flags) || !h->controlGet(Control::Tilt, t, flags)) {
        qWarning() << "get_PanTilt failed";
        return 0;
    }
    pan = p / ArcSecondsPerDegree;
    tilt = t / ArcSecondsPerDegree;
    return 0;
}

bool UvcDevice::uvcPanTiltRangeAbsGet()
{
    if (!checkCommon() || !acquireControl(AmCamFail))
        return false;
    const auto h = handle();
    CameraDevice::Range pan, tilt;
    if (!h || !h->controlRange(Control::Pan, pan)) {
        qWarning() << "getRange_Pan failed";
        return false;
    }
    if (!h->controlRange(Control::Tilt, tilt)) {
        qWarning() << "getRange_Tilt failed";
        return false;
    }
    std::lock_guard<std::mutex> locker(rangeLock_);
    panAbsRange_ = toRange(pan, ArcSecondsPerDegree);
    tiltAbsRange_ = toRange(tilt, ArcSecondsPerDegree);
    logRange("getRange_Pan range:", panAbsRange_);
    logRange("getRange_Tilt range:", tiltAbsRange_);
    return true;
}

bool UvcDevice::uvcPanTiltRangeRelGet()
{
    if (!checkCommon() || !acquireControl(AmCamFail))
        return false;
    const auto h = handle();
    CameraDevice::Range pan, tilt;
    if (!h || !h->controlRange(Control::PanRelative, pan)) {
        qWarning() << "getRange_PanRelative failed";
        return false;
    }
    if (!h->controlRange(Control::TiltRelative, tilt)) {
        qWarning() << "getRange_TiltRelative failed";
        return false;
    }
    std::lock_guard<std::mutex> locker(rangeLock_);
    panRelRange_ = toRange(pan);
    tiltRelRange_ = toRange(tilt);
    logRange("getRange_PanRelative range:", panRelRange_);
    logRange("getRange_TiltRelative range:", tiltRelRange_);
    return true;
}

int UvcDevice::uvcPanTiltAbsoluteControl(int pan, int tilt)
{
    if (!checkCommon() || !acquireControl(PanTiltFail))
        return -1;
    bool known;
    {
        std::lock_guard<std::mutex> locker(rangeLock_);
        known = panAbsRange_.max != 0 && tiltAbsRange_.max != 0;
    }
    if (!known && !uvcPanTiltRangeAbsGet()) {
        qWarning() << "uvcPanTiltRangeAbsGet failed";
        return -1;
    }
    CameraParamRange pr, tr;
    {
        std::lock_guard<std::mutex> locker(rangeLock_);
        pr = panAbsRange_;
        tr = tiltAbsRange_;
    }
    pan = qBound(pr.min, pan, pr.max);
    tilt = qBound(tr.min, tilt, tr.max);
    const auto h = handle();
    if (!h || !h->panTiltSet(pan * ArcSecondsPerDegree, tilt * ArcSecondsPerDegree, CameraDevice::FlagManual)) {
        qWarning() << "put_PanTilt failed";
        return -1;
    }
    return 0;
}

int UvcDevice::uvcPanTiltRelativeControl(double x, double y)
{
    if (!checkCommon() || !acquireControl(PanTiltFail))
        return -1;
    bool known;
    {
        std::lock_guard<std::mutex> locker(rangeLock_);
        known = panRelRange_.max != 0 && tiltRelRange_.max != 0;
    }
    if (!known && !uvcPanTiltRangeRelGet()) {
        qWarning() << "uvcPanTiltRangeRelGet failed";
        return -1;
    }
    int panMax, tiltMax;
    {
        std::lock_guard<std::mutex> locker(rangeLock_);
        panMax = panRelRange_.max;
        tiltMax = tiltRelRange_.max;
    }
    x = qBound(-1.0, x, 1.0);
    y = qBound(-1.0, y, 1.0);
    const int panStep = int(std::trunc(panMax * x));
    const int tiltStep = int(std::trunc(tiltMax * y));
    auto direction = [](int step) { return quint8(step > 0 ? 1 : (step < 0 ? 255 : 0)); };
    unsigned char block[XuBlockSize] = {};
    block[0] = 9;
    block[1] = 4;
    block[2] = direction(panStep);
    block[3] = quint8(std::abs(panStep) & 0xff);
    block[4] = direction(tiltStep);
    block[5] = quint8(std::abs(tiltStep) & 0xff);
    if (uvc_xu_set(6, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "uvcPanTiltRelativeControl" << 9 << "failed";
        return -1;
    }
    return 0;
}

// ---- zoom and focus ranges ----

bool UvcDevice::readControlRange(int control, const char *failText, const char *label, CameraParamRange *dest)
{
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return false;
    }
    if (sysType_.load() != 1) {
        qWarning() << "Only supported in main sys";
        return false;
    }
    if (!acquireControl(AmCamFail))
        return false;
    const auto h = handle();
    CameraDevice::Range r;
    if (!h || !h->controlRange(static_cast<Control>(control), r)) {
        qWarning() << failText;
        return false;
    }
    std::lock_guard<std::mutex> locker(rangeLock_);
    *dest = toRange(r);
    logRange(label, *dest);
    return true;
}

bool UvcDevice::cameraZoomRangeGet()
{
    return readControlRange(int(Control::Zoom), "cameraZoomRangeGet GetRange failed", "zoom range:", &zoomRange_);
}

bool UvcDevice::cameraFocusRangeGet()
{
    return readControlRange(int(Control::Focus), "cameraFocusRangeGet GetRange failed", "focus range:", &focusRange_);
}

} // namespace pc
} // namespace vexo
