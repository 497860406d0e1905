// The standard camera-terminal and processing-unit controls of a camera.
#include "uvc/UvcDevice.h"

#include "platform/CameraDevice.h"
#include "uvc/CommandIds.h"

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

UvcDevice::CameraParamRange inDegrees(UvcDevice::CameraParamRange r)
{
    r.minimum /= ArcSecondsPerDegree;
    r.maximum /= ArcSecondsPerDegree;
    r.step /= ArcSecondsPerDegree;
    r.defaultValue /= ArcSecondsPerDegree;
    return r;
}

int autoFlags(bool isAuto)
{
    return isAuto ? CameraDevice::FlagAuto : CameraDevice::FlagManual;
}

void logRange(const char *text, const UvcDevice::CameraParamRange &r)
{
    qInfo() << text << r.minimum << r.maximum << r.step << r.defaultValue << r.flags;
}

// One log line "<verb>_<control> failed", as the platform calls are named.
void logFailed(const char *verb, const UvcDevice::ControlInfo &c)
{
    qWarning().nospace() << verb << "_" << c.what << " failed";
}

} // namespace

// ---- the control table ----

const std::vector<UvcDevice::ControlInfo> &UvcDevice::controlTable()
{
    static const std::vector<ControlInfo> table = {
        {Control::BacklightCompensation, "backlight", "BacklightCompensation", ProcAmpFail, ProcAmpFail, false},
        {Control::Brightness, "brightness", "Brightness", ProcAmpFail, ProcAmpFail, false},
        {Control::Contrast, "contrast", "Contrast", ProcAmpFail, ProcAmpFail, false},
        {Control::Gain, "gain", "Gain", ProcAmpFail, ProcAmpFail, true},
        {Control::Hue, "hue", "Hue", ProcAmpFail, ProcAmpFail, false},
        {Control::Saturation, "saturation", "Saturation", ProcAmpFail, ProcAmpFail, false},
        {Control::Sharpness, "sharpness", "Sharpness", ProcAmpFail, ProcAmpFail, false},
        {Control::WhiteBalance, "white-balance", "WhiteBalance", ProcAmpFail, ProcAmpFail, true},
        {Control::Exposure, "exposure", "Exposure", AmCamFail, CamCtrlFail, true},
        {Control::Focus, "focus", "Focus", AmCamFail, AmCamFail, true},
        {Control::PowerLineFrequency, "power-line", "PowerlineFrequency", ProcAmpFail, ProcAmpFail, false},
        {Control::Zoom, "zoom", "Zoom", AmCamFail, AmCamFail, false},
    };
    return table;
}

const UvcDevice::ControlInfo *UvcDevice::controlInfo(CameraDevice::Control id)
{
    for (const ControlInfo &c : controlTable()) {
        if (c.id == id)
            return &c;
    }
    return nullptr;
}

const UvcDevice::ControlInfo *UvcDevice::controlInfo(const QString &name)
{
    for (const ControlInfo &c : controlTable()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

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

// ---- any control of the table ----

std::shared_ptr<CameraDevice> UvcDevice::controlHandle(const ControlInfo *c, bool set)
{
    if (!c || !checkCommon() || !acquireControl(set ? c->setIface : c->getIface))
        return nullptr;
    return handle();
}

std::optional<UvcDevice::ControlValue> UvcDevice::control(CameraDevice::Control id)
{
    const ControlInfo *c = controlInfo(id);
    const auto h = controlHandle(c, false);
    ControlValue v;
    int flags = 0;
    if (!h || !h->controlGet(id, v.value, flags)) {
        if (c)
            logFailed("get", *c);
        return std::nullopt;
    }
    v.isAuto = flags == CameraDevice::FlagAuto;
    return v;
}

int UvcDevice::setControl(CameraDevice::Control id, int value, int flags)
{
    const ControlInfo *c = controlInfo(id);
    const auto h = controlHandle(c, true);
    if (!h || !h->controlSet(id, value, flags)) {
        if (c)
            logFailed("put", *c);
        return -1;
    }
    return 0;
}

std::optional<UvcDevice::CameraParamRange> UvcDevice::range(CameraDevice::Control id)
{
    const ControlInfo *c = controlInfo(id);
    const auto h = controlHandle(c, false);
    CameraParamRange r;
    if (!h || !h->controlRange(id, r)) {
        if (c)
            logFailed("getRange", *c);
        return std::nullopt;
    }
    return r;
}

// ---- the named controls ----
// Value and range getters return 0 on every path and leave their outputs
// alone on failure; setters return 0 or -1.

int UvcDevice::valueOut(CameraDevice::Control id, bool *isAuto, int &value)
{
    if (const auto v = control(id)) {
        value = v->value;
        if (isAuto)
            *isAuto = v->isAuto;
    }
    return 0;
}

int UvcDevice::rangeOut(CameraDevice::Control id, CameraParamRange &out)
{
    if (const auto r = range(id))
        out = *r;
    return 0;
}

#define ZARVO_CONTROL_GET(NAME, CONTROL)                                                             \
    int UvcDevice::NAME(bool &isAuto, int &value) { return valueOut(CONTROL, &isAuto, value); }
#define ZARVO_CONTROL_VALUE(NAME, CONTROL)                                                           \
    int UvcDevice::NAME(int &value) { return valueOut(CONTROL, nullptr, value); }
#define ZARVO_CONTROL_RANGE(NAME, CONTROL)                                                           \
    int UvcDevice::NAME(CameraParamRange &range) { return rangeOut(CONTROL, range); }
#define ZARVO_CONTROL_SET_AUTO(NAME, CONTROL)                                                        \
    int UvcDevice::NAME(bool isAuto, int value) { return setControl(CONTROL, value, autoFlags(isAuto)); }
#define ZARVO_CONTROL_SET(NAME, CONTROL)                                                             \
    int UvcDevice::NAME(int value) { return setControl(CONTROL, value, CameraDevice::FlagNone); }

ZARVO_CONTROL_GET(uvcBacklightCompensationControlGet, Control::BacklightCompensation)
ZARVO_CONTROL_RANGE(uvcBacklightCompensationControlRangeGet, Control::BacklightCompensation)
ZARVO_CONTROL_SET_AUTO(uvcBacklightCompensationControlSet, Control::BacklightCompensation)
ZARVO_CONTROL_VALUE(uvcBrightnessControlGet, Control::Brightness)
ZARVO_CONTROL_GET(uvcContrastControlGet, Control::Contrast)
ZARVO_CONTROL_RANGE(uvcContrastControlRangeGet, Control::Contrast)
ZARVO_CONTROL_SET(uvcContrastControlSet, Control::Contrast)
ZARVO_CONTROL_GET(uvcGainControlGet, Control::Gain)
ZARVO_CONTROL_RANGE(uvcGainControlRangeGet, Control::Gain)
ZARVO_CONTROL_SET_AUTO(uvcGainControlSet, Control::Gain)
ZARVO_CONTROL_GET(uvcHueControlGet, Control::Hue)
ZARVO_CONTROL_RANGE(uvcHueControlRangeGet, Control::Hue)
ZARVO_CONTROL_SET(uvcHueControlSet, Control::Hue)
ZARVO_CONTROL_VALUE(uvcSaturationControlGet, Control::Saturation)
ZARVO_CONTROL_RANGE(uvcSaturationControlRangeGet, Control::Saturation)
ZARVO_CONTROL_SET(uvcSaturationControlSet, Control::Saturation)
ZARVO_CONTROL_VALUE(uvcSharpnessControlGet, Control::Sharpness)
ZARVO_CONTROL_RANGE(uvcSharpnessControlRangeGet, Control::Sharpness)
ZARVO_CONTROL_SET(uvcSharpnessControlSet, Control::Sharpness)
ZARVO_CONTROL_GET(uvcWhiteBalanceTemperatureControlGet, Control::WhiteBalance)
ZARVO_CONTROL_RANGE(uvcWhiteBalanceColorTemperatureControlRangeGet, Control::WhiteBalance)
ZARVO_CONTROL_SET_AUTO(uvcWhiteBalanceTemperatureControlSet, Control::WhiteBalance)
ZARVO_CONTROL_GET(uvcExposureGet, Control::Exposure)
ZARVO_CONTROL_RANGE(uvcExposureRangeAbsGet, Control::Exposure)
ZARVO_CONTROL_SET_AUTO(uvcExposureSet, Control::Exposure)
ZARVO_CONTROL_GET(uvcFocusGet, Control::Focus)
ZARVO_CONTROL_RANGE(uvcFocusRangeAbsGet, Control::Focus)
ZARVO_CONTROL_SET_AUTO(uvcFocusSet, Control::Focus)

#undef ZARVO_CONTROL_GET
#undef ZARVO_CONTROL_VALUE
#undef ZARVO_CONTROL_RANGE
#undef ZARVO_CONTROL_SET_AUTO
#undef ZARVO_CONTROL_SET

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
    panAbsRange_ = inDegrees(pan);
    tiltAbsRange_ = inDegrees(tilt);
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
    panRelRange_ = pan;
    tiltRelRange_ = tilt;
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
        known = panAbsRange_.maximum != 0 && tiltAbsRange_.maximum != 0;
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
    pan = qBound(pr.minimum, pan, pr.maximum);
    tilt = qBound(tr.minimum, tilt, tr.maximum);
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
        known = panRelRange_.maximum != 0 && tiltRelRange_.maximum != 0;
    }
    if (!known && !uvcPanTiltRangeRelGet()) {
        qWarning() << "uvcPanTiltRangeRelGet failed";
        return -1;
    }
    int panMax, tiltMax;
    {
        std::lock_guard<std::mutex> locker(rangeLock_);
        panMax = panRelRange_.maximum;
        tiltMax = tiltRelRange_.maximum;
    }
    x = qBound(-1.0, x, 1.0);
    y = qBound(-1.0, y, 1.0);
    const int panStep = int(std::trunc(panMax * x));
    const int tiltStep = int(std::trunc(tiltMax * y));
    auto direction = [](int step) { return quint8(step > 0 ? 1 : (step < 0 ? 255 : 0)); };
    unsigned char block[XuBlockSize] = {};
    block[0] = cmd::BlockPanTiltRelative;
    block[1] = 4;
    block[2] = direction(panStep);
    block[3] = quint8(std::abs(panStep) & 0xff);
    block[4] = direction(tiltStep);
    block[5] = quint8(std::abs(tiltStep) & 0xff);
    if (uvc_xu_set(cmd::SelCommand, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "uvcPanTiltRelativeControl" << cmd::BlockPanTiltRelative << "failed";
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
    *dest = r;
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
