#pragma once

#include <QJsonObject>
#include <QStringList>

#include <functional>
#include <vector>

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
// "zarvoctl fw fetch ..." — the latest package from the cloud service.
int runFetchCommand(const QStringList &args);

// "zarvoctl serve ..." — the local HTTP service for network cameras.
int runServeCommand(const QStringList &args);

// Everything else: camera commands, with the global options
// [--simulate N] [--camera SERIAL] [--json] [--trace].
int runDeviceCommands(const QStringList &args);

// Network cameras: "--net ADDRESS[:PORT]" or "--camera SERIAL" with the
// commands info, upgrade, export-log and reboot.
int runNetworkCommands(const QStringList &args);
// Whether the arguments are for a network camera.
bool isNetworkInvocation(const QStringList &args);
// "upgrade [--package FILE | --cloud]" and "export-log [FILE]" on the
// chosen camera: the action, or null with *error set for a usage error.
using CameraAction = std::function<int(vexo::pc::UvcDevice &dev, bool json)>;
CameraAction prepareUpgrade(const QStringList &args, QString &error);
CameraAction prepareExportLog(const QStringList &args, QString &error);

// While held, the log lines of the camera commands stay off the terminal
// even when they are errors (--verbose still shows them): for steps whose
// failure the command reports in its own words.
void holdLogLines(bool hold);

// The digest of a virtual camera's installed image (hex); empty for a real
// camera.
QString installedImageSha256(const QString &serial);

// Queries the cloud service for the package request describes and downloads
// it into dir (a progress bar on standard error); server, when not empty,
// replaces the settings' query address for this run.
struct FetchResult
{
    bool ok = false;
    bool upToDate = false;
    QString path;
    QString error;
};
FetchResult fetchPackage(const QJsonObject &request, const QString &dir, const QString &server = QString());

// One line per family for the top-level help.
QString firmwareHelpLine();
QString serveHelpLine();
QString deviceHelpText();
QString networkHelpText();

// A camera command kept in a source file of its own and run in the chain
// of camera commands: prepare checks the arguments (a usage error sets
// error and gives no action) and returns what runs against the camera.
struct CameraCommand
{
    using Action = std::function<int(vexo::pc::UvcDevice &dev, bool json)>;
    const char *name;
    const char *usage;
    const char *help;
    std::function<Action(const QStringList &args, QString &error)> prepare;
    // Options of this command that the option parser lets through.
    QStringList options;
};

// "zarvoctl picture ..." — the camera's background pictures.
CameraCommand pictureCommand();

} // namespace zarvoctl
