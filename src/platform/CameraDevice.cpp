#include "platform/CameraDevice.h"

#include <cerrno>

namespace vexo {
namespace pc {

CameraDevice::~CameraDevice() = default;

bool CameraDevice::panTiltSet(int pan, int tilt, int flags)
{
    return controlSet(Control::Pan, pan, flags) && controlSet(Control::Tilt, tilt, flags);
}

bool CameraDevice::startCapture(const CaptureFormat &, SampleCallback)
{
    return false;
}

void CameraDevice::stopCapture()
{
}

QString CameraDevice::controlName(Control c)
{
    switch (c) {
    case Control::Brightness: return QStringLiteral("Brightness");
    case Control::Contrast: return QStringLiteral("Contrast");
    case Control::Hue: return QStringLiteral("Hue");
    case Control::Saturation: return QStringLiteral("Saturation");
    case Control::Sharpness: return QStringLiteral("Sharpness");
    case Control::WhiteBalance: return QStringLiteral("WhiteBalance");
    case Control::BacklightCompensation: return QStringLiteral("BacklightCompensation");
    case Control::Gain: return QStringLiteral("Gain");
    case Control::PowerLineFrequency: return QStringLiteral("PowerlineFrequency");
    case Control::Exposure: return QStringLiteral("Exposure");
    case Control::Focus: return QStringLiteral("Focus");
    case Control::Zoom: return QStringLiteral("Zoom");
    case Control::Pan: return QStringLiteral("Pan");
    case Control::Tilt: return QStringLiteral("Tilt");
    case Control::PanRelative: return QStringLiteral("PanRelative");
    case Control::TiltRelative: return QStringLiteral("TiltRelative");
    }
    return QString();
}

QUuid CameraDevice::extensionUnitGuid()
{
    return QUuid(0x9A1E7291, 0x6843, 0x4683, 0x6D, 0x92, 0x39, 0xBC, 0x79, 0x06, 0xEE, 0x49);
}

} // namespace pc
} // namespace vexo
