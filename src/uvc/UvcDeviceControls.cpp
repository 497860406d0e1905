// The standard camera-terminal and processing-unit controls of a camera.
#include "uvc/UvcDevice.h"

#include "platform/CameraDevice.h"
#include "uvc/CommandIds.h"

#include <QDebug>

#include <algorithm>
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

void logRange(const QString &text, const UvcDevice::CameraParamRange &r)
{
    qInfo().noquote() << text << r.minimum << r.maximum << r.step << r.defaultValue << r.flags;
}

// One log line "<verb>_<control> failed", as the platform calls are named.
void logFailed(const char *verb, Control c)
{
    qWarning().noquote().nospace() << verb << "_" << CameraDevice::controlName(c) << " failed";
}

// What is logged when the interface for a control is missing: exposure is
// read through one and written through another.
const char *interfaceFail(Control c, bool set)
{
    if (c == Control::Exposure)
        return set ? CamCtrlFail : AmCamFail;
    return (c == Control::Focus || c == Control::Zoom) ? AmCamFail : ProcAmpFail;
}

} // namespace

// ---- the control table ----

const std::vector<UvcDevice::ControlInfo> &UvcDevice::controlTable()
{
    // Name on the command line, and whether the user may pick its
    // automatic mode.
    static const std::vector<ControlInfo> table = {
        {Control::BacklightCompensation, "backlight", false}, {Control::Brightness, "brightness", false},
        {Control::Contrast, "contrast", false}, {Control::Gain, "gain", true}, {Control::Hue, "hue", false},
        {Control::Saturation, "saturation", false}, {Control::Sharpness, "sharpness", false},
        {Control::WhiteBalance, "white-balance", true}, {Control::Exposure, "exposure", true},
        {Control::Focus, "focus", true}, {Control::PowerLineFrequency, "power-line", true},
        {Control::Zoom, "zoom", false},
    };
    return table;
}

namespace {

template <typename Match>
const UvcDevice::ControlInfo *findControl(Match match)
{
    const auto &table = UvcDevice::controlTable();
    const auto it = std::find_if(table.begin(), table.end(), match);
    return it == table.end() ? nullptr : &*it;
}

} // namespace

const UvcDevice::ControlInfo *UvcDevice::controlInfo(CameraDevice::Control id)
{
    return findControl([id](const ControlInfo &c) { return c.id == id; });
}

const UvcDevice::ControlInfo *UvcDevice::controlInfo(const QString &name)
{
    return findControl([&name](const ControlInfo &c) { return name == QLatin1String(c.name); });
}

// ---- interface acquisition ----
// The platform hands out one handle for all controls; the three acquisition
// steps remain so that a missing camera is reported the same way.

bool UvcDevice::acquireInterface(std::atomic<bool> &held, const char *heldText, const char *missingText,
                                 const char *nodeText)
{
    if (held.load()) {
        qInfo() << heldText;
        return true;
    }
    if (!handle()) {
        qWarning() << missingText;
        return false;
    }
    if (nodeText)
        qInfo() << "Node:" << 0 << nodeText;
    held.store(true);
    return true;
}

bool UvcDevice::uvc_IAMCameraControl_Get()
{
    return acquireInterface(amCamCtrlHeld_, "am_cam_ctrl_ is already got", "Query IID_IAMCameraControl failed",
                            nullptr);
}

bool UvcDevice::uvc_ICameraControl_Get()
{
    return acquireInterface(camCtrlHeld_, "camera_ctrl_ is already got", "capture filter not inited",
                            " is IID_ICameraControl");
}

bool UvcDevice::uvc_IVideoProcAmp_Get()
{
    return acquireInterface(procAmpHeld_, "video_proc_amp_ is already got", "capture filter not inited",
                            " is IID_IVideoProcAmp");
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
    if (!c || !checkCommon() || !acquireControl(interfaceFail(c->id, set)))
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
            logFailed("get", id);
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
            logFailed("put", id);
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
            logFailed("getRange", id);
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

bool UvcDevice::readPanTiltRanges(bool relative)
{
    if (!checkCommon() || !acquireControl(AmCamFail))
        return false;
    const auto h = handle();
    const Control ids[2] = {relative ? Control::PanRelative : Control::Pan,
                            relative ? Control::TiltRelative : Control::Tilt};
    CameraParamRange got[2];
    for (int i = 0; i < 2; ++i) {
        if (!h || !h->controlRange(ids[i], got[i])) {
            logFailed("getRange", ids[i]);
            return false;
        }
    }
    std::lock_guard<std::mutex> locker(rangeLock_);
    CameraParamRange *dest[2] = {relative ? &panRelRange_ : &panAbsRange_, relative ? &tiltRelRange_ : &tiltAbsRange_};
    for (int i = 0; i < 2; ++i) {
        // The absolute ranges are kept in degrees.
        *dest[i] = relative ? got[i] : inDegrees(got[i]);
        logRange("getRange_" + CameraDevice::controlName(ids[i]) + " range:", *dest[i]);
    }
    return true;
}

bool UvcDevice::uvcPanTiltRangeAbsGet()
{
    return readPanTiltRanges(false);
}

bool UvcDevice::uvcPanTiltRangeRelGet()
{
    return readPanTiltRanges(true);
}

bool UvcDevice::panTiltRanges(bool relative, CameraParamRange &pan, CameraParamRange &tilt)
{
    const auto load = [&] {
        std::lock_guard<std::mutex> locker(rangeLock_);
        pan = relative ? panRelRange_ : panAbsRange_;
        tilt = relative ? tiltRelRange_ : tiltAbsRange_;
        return pan.maximum != 0 && tilt.maximum != 0;
    };
    if (load())
        return true;
    if (!readPanTiltRanges(relative)) {
        qWarning() << (relative ? "uvcPanTiltRangeRelGet failed" : "uvcPanTiltRangeAbsGet failed");
        return false;
    }
    return load();
}

int UvcDevice::uvcPanTiltAbsoluteControl(int pan, int tilt)
{
    CameraParamRange pr, tr;
    if (!checkCommon() || !acquireControl(PanTiltFail) || !panTiltRanges(false, pr, tr))
        return -1;
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
    CameraParamRange pr, tr;
    if (!checkCommon() || !acquireControl(PanTiltFail) || !panTiltRanges(true, pr, tr))
        return -1;
    const int panMax = pr.maximum;
    const int tiltMax = tr.maximum;
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
    if (!checkUsbMainSys() || !acquireControl(AmCamFail))
        return false;
    const auto h = handle();
    CameraDevice::Range r;
    if (!h || !h->controlRange(static_cast<Control>(control), r)) {
        qWarning() << failText;
        return false;
    }
    std::lock_guard<std::mutex> locker(rangeLock_);
    *dest = r;
    logRange(QLatin1String(label), *dest);
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
