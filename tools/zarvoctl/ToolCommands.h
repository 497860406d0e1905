#pragma once

#include <QStringList>

#include <functional>

namespace vexo {
namespace pc {
class UvcDevice;
}
} // namespace vexo

// Command families of zarvoctl. Each takes the arguments that follow its own
// name and returns the process exit status:
//   0 success, 1 a camera or an operation failed, 2 usage error.
namespace zarvoctl {

enum ExitCode { ExitOk = 0, ExitFailed = 1, ExitUsage = 2 };

// "zarvoctl fw ..." — firmware packages, patches and the compressed container.
int runFirmwareCommand(const QStringList &args);

// "zarvoctl serve ..." — the local HTTP service for network cameras.
int runServeCommand(const QStringList &args);

// Everything else: camera commands, with the global options
// [--simulate N] [--camera SERIAL] [--json] [--trace].
int runDeviceCommands(const QStringList &args);

// "upgrade [--package FILE | --cloud]" and "export-log [FILE]" on the
// chosen camera: the action, or null with *error set for a usage error.
using CameraAction = std::function<int(vexo::pc::UvcDevice &dev, bool json)>;
CameraAction prepareUpgrade(const QStringList &args, QString &error);
CameraAction prepareExportLog(const QStringList &args, QString &error);

// The digest of a virtual camera's installed image (hex); empty for a real
// camera.
QString installedImageSha256(const QString &serial);

// One line per family for the top-level help.
QString firmwareHelpLine();
QString serveHelpLine();
QString deviceHelpText();

} // namespace zarvoctl
