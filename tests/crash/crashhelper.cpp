#include "3rdparty/qbreakpad/handler/CrashTrigger.h"
#include "3rdparty/qbreakpad/handler/ExceptionHandler.h"
#include "3rdparty/qbreakpad/handler/QBreakpadHandler.h"

#include <QCoreApplication>

#include <cstring>
#include <unistd.h>

namespace {

// Callbacks that go wrong inside the signal handler: the process must still
// end, crashed, with its dump written.
bool faultingCallback(const char *, const char *, void *, bool)
{
    volatile int *nowhere = nullptr;
    *nowhere = 1;
    return true;
}

bool stuckCallback(const char *, const char *, void *, bool)
{
    for (;;)
        ::pause();
}

} // namespace

// crashhelper <mode> <dump folder> [<folder tried afterwards>]
// crashhelper fault-in-callback|stuck-callback <dump folder>
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 3)
        return 2;
    const bool faulting = std::strcmp(argv[1], "fault-in-callback") == 0;
    if (faulting || std::strcmp(argv[1], "stuck-callback") == 0) {
        static crashdump::ExceptionHandler handler(argv[2], faulting ? &faultingCallback : &stuckCallback, nullptr);
        crashdump::crashForTest("null");
        return 3;
    }
    for (int i = 2; i < argc; ++i)
        QBreakpadHandler::instance()->setDumpPath(QString::fromLocal8Bit(argv[i]));
    crashdump::crashForTest(argv[1]);
    return 3;
}
