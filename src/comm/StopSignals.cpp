#include "comm/StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace vexo {
namespace pc {

namespace {

int g_wake[2] = {-1, -1};

void onStopSignal(int)
{
    // Async-signal-safe: only wake the event loop.
    const char c = 1;
    const ssize_t n = ::write(g_wake[0], &c, 1);
    (void)n;
}

} // namespace

bool StopSignals::install()
{
    if (g_wake[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_wake) != 0)
            return false;
        // Owned by the application, so it goes before the loop's objects do.
        auto *notifier = new QSocketNotifier(g_wake[1], QSocketNotifier::Read, QCoreApplication::instance());
        QObject::connect(notifier, &QSocketNotifier::activated, notifier, []() {
            char c = 0;
            const ssize_t n = ::read(g_wake[1], &c, 1);
            (void)n;
            QCoreApplication::quit();
        });
    }
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return true;
}

void StopSignals::restore()
{
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
}

} // namespace pc
} // namespace vexo
