#pragma once

#include <cstdint>

// The camera side of the gimbal controls: the few commands the direction pad,
// the reset button and the preset positions need. The main window implements
// it over the current camera (looked up afresh on every call, so that a
// camera unplugged meanwhile simply reports absent); tests implement it with
// a recorder.
class GimbalCamera
{
public:
    virtual ~GimbalCamera() = default;

    // A camera is current and still connected.
    virtual bool isPresent() const = 0;

    // Relative pan/tilt, each in -1..1 (0, 0 stops). 0 or -1.
    virtual int uvcPanTiltRelativeControl(double pan, double tilt) = 0;
    // Absolute pan/tilt; (0, 0) centres the view. 0 or -1.
    virtual int uvcPanTiltAbsoluteControl(int pan, int tilt) = 0;
    // Current attitude of the three gimbal axes. 0 or -1.
    virtual int gimbalGetAttitudeInfo(int16_t &x, int16_t &y, int16_t &z) = 0;
    // Moves the three axes to (x, y, z) with the given per-axis speeds. 0 or -1.
    virtual int gimbalSetSpeedPosition(int16_t x, int16_t y, int16_t z,
                                       double speed_x, double speed_y, double speed_z) = 0;
};
