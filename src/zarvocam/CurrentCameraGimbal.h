#pragma once

#include "uicomm/GimbalCamera.h"

#include <functional>
#include <memory>

namespace vexo {
namespace pc {
class UvcDevice;
}
}

// The gimbal commands of the direction pad, sent to whichever camera is
// current at the moment of the call. The camera is looked up afresh every
// time, so a camera that was unplugged meanwhile is simply absent.
class CurrentCameraGimbal final : public GimbalCamera
{
public:
    using Lookup = std::function<std::shared_ptr<vexo::pc::UvcDevice>()>;

    explicit CurrentCameraGimbal(Lookup lookup);
    ~CurrentCameraGimbal() override;

    bool isPresent() const override;
    int uvcPanTiltRelativeControl(double pan, double tilt) override;
    int uvcPanTiltAbsoluteControl(int pan, int tilt) override;
    int gimbalGetAttitudeInfo(int16_t &x, int16_t &y, int16_t &z) override;
    int gimbalSetSpeedPosition(int16_t x, int16_t y, int16_t z,
                               double speed_x, double speed_y, double speed_z) override;

private:
    Lookup m_lookup;
};
