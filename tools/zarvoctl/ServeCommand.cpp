#include "ToolCommands.h"

#include <QTextStream>

namespace zarvoctl {

QString serveHelpLine()
{
    return QStringLiteral("  serve             local HTTP service for network cameras (not built yet)");
}

int runServeCommand(const QStringList &)
{
    QTextStream(stderr) << "zarvoctl: serve: not available in this build\n";
    return ExitUsage;
}

} // namespace zarvoctl
