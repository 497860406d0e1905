#include "zarvocam/CurrentCameraGimbal.h"

#include "uvc/UvcDevice.h"

#include <utility>

using vexo::pc::UvcDevice;

CurrentCameraGimbal::CurrentCameraGimbal(Lookup lookup)
    : m_lookup(std::move(lookup))
{
}

CurrentCameraGimbal::~CurrentCameraGimbal() = default;

bool CurrentCameraGimbal::isPresent() const
{
    return m_lookup && m_lookup() != nullptr;
}

int CurrentCameraGimbal::uvcPanTiltRelativeControl(double pan, double tilt)
{
    const std::shared_ptr<UvcDevice> dev = m_lookup ? m_lookup() : nullptr;
    return dev ? dev->uvcPanTiltRelativeControl(pan, tilt) : -1;
}

int CurrentCameraGimbal::uvcPanTiltAbsoluteControl(int pan, int tilt)
{
    const std::shared_ptr<UvcDevice> dev = m_lookup ? m_lookup() : nullptr;
    return dev ? dev->uvcPanTiltAbsoluteControl(pan, tilt) : -1;
}

int CurrentCameraGimbal::gimbalGetAttitudeInfo(int16_t &x, int16_t &y, int16_t &z)
{
    const std::shared_ptr<UvcDevice> dev = m_lookup ? m_lookup() : nullptr;
    if (!dev)
        return -1;
    short sx = 0;
    short sy = 0;
    short sz = 0;
    const int r = dev->gimbalGetAttitudeInfo(sx, sy, sz);
    x = sx;
    y = sy;
    z = sz;
    return r;
}

int CurrentCameraGimbal::gimbalSetSpeedPosition(int16_t x, int16_t y, int16_t z,
                                                double speed_x, double speed_y, double speed_z)
{
    const std::shared_ptr<UvcDevice> dev = m_lookup ? m_lookup() : nullptr;
    return dev ? dev->gimbalSetSpeedPosition(x, y, z, speed_x, speed_y, speed_z) : -1;
}
