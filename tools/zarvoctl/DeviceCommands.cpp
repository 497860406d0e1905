#include "ToolCommands.h"

#include <QTextStream>

namespace zarvoctl {

QString deviceHelpText()
{
    return QStringLiteral("Camera commands are not built yet.");
}

int runDeviceCommands(const QStringList &args)
{
    QTextStream(stderr) << "zarvoctl: unknown command: " << args.value(0) << '\n';
    return ExitUsage;
}

} // namespace zarvoctl
