#include "ToolCommands.h"

#include <QTextStream>

namespace zarvoctl {

QString firmwareHelpLine()
{
    return QStringLiteral("  fw ...            firmware packages and patches (not built yet)");
}

int runFirmwareCommand(const QStringList &)
{
    QTextStream(stderr) << "zarvoctl: fw: not available in this build\n";
    return ExitUsage;
}

} // namespace zarvoctl
