#include "main/QuitOnSignal.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};
volatile sig_atomic_t g_seen = 0;

extern "C" void onUnixSignal(int sig)
{
    if (g_seen) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    g_seen = 1;
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_pipe[0], &c, 1);
}

} // namespace

QuitOnSignal::QuitOnSignal(std::function<void()> onSignal, QObject *parent)
    : QObject(parent)
    , m_onSignal(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_pipe) != 0)
        return;
    m_notifier = new QSocketNotifier(g_pipe[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitOnSignal::handle);
    struct sigaction sa = {};
    sa.sa_handler = onUnixSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

QuitOnSignal::~QuitOnSignal()
{
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    if (g_pipe[0] >= 0) {
        ::close(g_pipe[0]);
        ::close(g_pipe[1]);
        g_pipe[0] = g_pipe[1] = -1;
    }
}

void QuitOnSignal::handle()
{
    char c;
    [[maybe_unused]] ssize_t n = ::read(g_pipe[1], &c, 1);
    if (m_onSignal)
        m_onSignal();
}
