#include "3rdparty/qbreakpad/handler/CrashTrigger.h"
#include "3rdparty/qbreakpad/handler/QBreakpadHandler.h"

#include <QCoreApplication>

// crashhelper <mode> <dump folder> [<folder tried afterwards>]
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    for (int i = 2; i < argc; ++i)
        QBreakpadHandler::instance()->setDumpPath(QString::fromLocal8Bit(argv[i]));
    crashdump::crashForTest(argv[1]);
    return 3;
}
