#pragma once

// Device tests: a private platform of virtual cameras, and a quick clock.

#include "TestWait.h"
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "comm/TimeScale.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/UvcDevice.h"

namespace devtest {

using namespace vexo::pc;
using testsupport::waitFor;

// Scaled production times: a 20 ms cycle becomes 1 ms, an answer wait 50 ms.
constexpr double Scale = 0.05;

inline void setUpFamily()
{
    CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});
    TimeScale::setFactor(Scale);
}

struct Rig
{
    CameraPlatform platform;
    std::shared_ptr<VirtualCameraBackend> backend = std::make_shared<VirtualCameraBackend>();

    Rig() { platform.addBackend(backend); }

    std::shared_ptr<VirtualCamera> addCamera(VirtualCamera::Model model = VirtualCamera::Model::Zarvo, int index = 0)
    {
        return backend->createCamera(int(model), index);
    }

    // A device opened on the camera, initialised when init is set.
    std::unique_ptr<UvcDevice> openDevice(const std::shared_ptr<VirtualCamera> &cam, bool init = true)
    {
        DevDescription d;
        d.friendlyName = cam->friendlyName();
        d.devicePath = cam->devicePath();
        auto dev = std::make_unique<UvcDevice>(d, &platform, UvcDevice::DevModeUvc);
        if (dev->open() != 0 || (init && !dev->initDev()))
            return nullptr;
        return dev;
    }
};

// The usual start of a test: one camera on a private platform and its
// device, initialised (Init), only opened (OpenOnly) or left to the test.
struct OneCamera : Rig
{
    enum Start { Init, OpenOnly, Later };
    std::shared_ptr<VirtualCamera> cam;
    std::unique_ptr<UvcDevice> dev;

    explicit OneCamera(Start start = Init, VirtualCamera::Model model = VirtualCamera::Model::Zarvo)
        : cam(addCamera(model))
    {
        if (start != Later)
            dev = openDevice(cam, start == Init);
    }
};

} // namespace devtest
