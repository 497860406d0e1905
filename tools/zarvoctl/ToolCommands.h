#pragma once

#include <QStringList>

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

// One line per family for the top-level help.
QString firmwareHelpLine();
QString serveHelpLine();
QString deviceHelpText();

} // namespace zarvoctl
