#pragma once

#include <QStringList>

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

// Network cameras: "--net ADDRESS[:PORT]" or "--camera SERIAL" with the
// commands info, upgrade, export-log and reboot.
int runNetworkCommands(const QStringList &args);
// Whether the arguments are for a network camera.
bool isNetworkInvocation(const QStringList &args);

// One line per family for the top-level help.
QString firmwareHelpLine();
QString serveHelpLine();
QString deviceHelpText();
QString networkHelpText();

} // namespace zarvoctl
