#pragma once

#include <QStringList>

#include <memory>

namespace vexo {
namespace pc {

class VirtualCameraBackend;

// Start-up entry of the camera simulator: puts virtual cameras into the
// process-wide camera platform (CameraPlatform::instance()), where the
// device registry lists them like real cameras ("KAVORA Zarvo...").
//
// At start-up, before the registry is created, call
//     VirtualCameras::installFromEnvironment(app.arguments());
// It installs
//   - N cameras for "--simulate N" (or "--simulate=N") on the command line,
//     else for the environment variable ZARVO_SIMULATE=N (N > 0);
//   - none when simulation is refused: "--no-simulate", "--simulate 0" or
//     ZARVO_SIMULATE=0;
//   - otherwise two when no real camera of the family is listed and either
//     whenNoCamera is true or ZARVO_SIMULATE=auto (what `make run` wants);
//     none else.
// The cameras are, in turn, a zarvo, a zarvo 4K, a nimo and an unknown
// product (all recognised), each with its own serial number.
//
// For trying out failures, ZARVO_SIMULATE_FAULT takes comma-separated
// switches: mute-after:N makes every installed camera fall silent after its
// first N frames; capture-busy makes their video unavailable; the transfer
// faults of VirtualUpdater::Faults::parse (sample-loss:5, block-loss:2,
// unplug:download, ...) apply to the upgrade channel.
//
// ZARVO_SIMULATE_FIRMWARE=PKG starts the first camera with that firmware
// package installed (its platform and version follow the package).
class VirtualCameras final
{
public:
    // Adds count cameras (repeated calls add more). Returns the backend.
    static std::shared_ptr<VirtualCameraBackend> install(int count);

    // The installed backend, null before install.
    static std::shared_ptr<VirtualCameraBackend> backend();

    // Takes the virtual cameras out of the platform again.
    static void uninstall();

    // The rule above; returns the number of cameras installed.
    static int installFromEnvironment(const QStringList &arguments, bool whenNoCamera = false);

    // Whether any non-virtual backend lists a camera of the family.
    static bool realCameraPresent();

    VirtualCameras() = delete;
};

} // namespace pc
} // namespace vexo
