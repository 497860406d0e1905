#include "ToolCommands.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void printHelp()
{
    QTextStream out(stdout);
    out << "Usage: zarvoctl [OPTIONS] COMMAND [ARGS] [-- COMMAND [ARGS]]...\n"
        << "       zarvoctl fw SUBCOMMAND [ARGS]\n"
        << "       zarvoctl serve [--port N] [--firmware-dir DIR]\n\n"
        << "Controls KAVORA Zarvo cameras from the command line.\n\n"
        << zarvoctl::deviceHelpText() << '\n'
        << '\n' << zarvoctl::networkHelpText() << '\n'
        << zarvoctl::firmwareHelpLine() << '\n'
        << zarvoctl::serveHelpLine() << '\n'
        << "\nExit status: 0 success, 1 the camera refused or did not answer, 2 usage error.\n";
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KAVORA_ZarvoCam"));

    QStringList args = QCoreApplication::arguments();
    args.removeFirst();

    if (args.isEmpty()) {
        printHelp();
        return zarvoctl::ExitUsage;
    }
    const QString first = args.first();
    if (first == QLatin1String("help") && args.size() > 1) {
        // "zarvoctl help CMD" is "zarvoctl CMD --help".
        args.removeFirst();
        args.append(QStringLiteral("--help"));
        if (args.first() == QLatin1String("fw") || args.first() == QLatin1String("serve")) {
            const QString family = args.takeFirst();
            return family == QLatin1String("fw") ? zarvoctl::runFirmwareCommand(args)
                                                 : zarvoctl::runServeCommand(args);
        }
        return zarvoctl::runDeviceCommands(args);
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h") || first == QLatin1String("help")) {
        printHelp();
        return zarvoctl::ExitOk;
    }
    if (first == QLatin1String("fw")) {
        args.removeFirst();
        return zarvoctl::runFirmwareCommand(args);
    }
    if (first == QLatin1String("serve")) {
        args.removeFirst();
        return zarvoctl::runServeCommand(args);
    }
    if (zarvoctl::isNetworkInvocation(args))
        return zarvoctl::runNetworkCommands(args);
    return zarvoctl::runDeviceCommands(args);
}
