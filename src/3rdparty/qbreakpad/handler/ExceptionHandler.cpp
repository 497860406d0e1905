#include "ExceptionHandler.h"

#include "MinidumpWriter.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <initializer_list>

namespace crashdump {

namespace {

constexpr int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGTRAP};
constexpr int kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);
constexpr size_t kAltStackSize = 64 * 1024;
// A callback stuck on a lock the crashed code held must not keep the process alive.
constexpr unsigned kCallbackSeconds = 5;

std::atomic<ExceptionHandler *> g_active{nullptr};
std::atomic<bool> g_handling{false};
bool g_installed = false;
struct sigaction g_previous[kSignalCount];
volatile sig_atomic_t g_crashSignal = 0;

void dieWith(int signal)
{
    struct sigaction dfl;
    std::memset(&dfl, 0, sizeof(dfl));
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(signal, &dfl, nullptr);
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, signal);
    ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    ::raise(signal);
}

void onCallbackTimeout(int)
{
    dieWith(g_crashSignal);
}

// The signal handler runs on this stack, so a stack overflow can be dumped.
void ensureAltStack()
{
    stack_t current;
    if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE) && current.ss_sp)
        return;
    static void *memory = nullptr;
    if (!memory) {
        memory = ::mmap(nullptr, kAltStackSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (memory == MAP_FAILED) {
            memory = nullptr;
            return;
        }
    }
    stack_t stack;
    std::memset(&stack, 0, sizeof(stack));
    stack.ss_sp = memory;
    stack.ss_size = kAltStackSize;
    ::sigaltstack(&stack, nullptr);
}

void appendHex(char *&out, uint64_t value, int digits)
{
    static const char hex[] = "0123456789abcdef";
    for (int i = digits - 1; i >= 0; --i)
        *out++ = hex[(value >> (i * 4)) & 0xf];
}

// A random identifier in the usual 8-4-4-4-12 form; time and ids when no
// random bytes can be had.
void makeId(char *id)
{
    uint8_t bytes[16] = {};
    if (::syscall(SYS_getrandom, bytes, sizeof(bytes), 1 /* GRND_NONBLOCK */) != long(sizeof(bytes))) {
        struct timespec now = {};
        ::clock_gettime(CLOCK_REALTIME, &now);
        const uint64_t a = uint64_t(now.tv_sec) << 32 | uint64_t(now.tv_nsec);
        const uint64_t b = uint64_t(::getpid()) << 32 | uint64_t(::syscall(SYS_gettid));
        std::memcpy(bytes, &a, 8);
        std::memcpy(bytes + 8, &b, 8);
    }
    bytes[6] = uint8_t((bytes[6] & 0x0f) | 0x40);
    bytes[8] = uint8_t((bytes[8] & 0x3f) | 0x80);
    char *out = id;
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            *out++ = '-';
        appendHex(out, bytes[i], 2);
    }
    *out = '\0';
}

} // namespace

ExceptionHandler::ExceptionHandler(const char *dumpDir, DumpCallback callback, void *context)
    : m_callback(callback), m_context(context)
{
    std::strncpy(m_dir, dumpDir, sizeof(m_dir) - 1);
    MinidumpWriter::prepare();
    ensureAltStack();
    g_active.store(this);
    if (g_installed)
        return;
    struct sigaction action;
    std::memset(&action, 0, sizeof(action));
    action.sa_sigaction = &ExceptionHandler::onSignal;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int i = 0; i < kSignalCount; ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    g_installed = true;
}

ExceptionHandler::~ExceptionHandler()
{
    ExceptionHandler *self = this;
    if (!g_active.compare_exchange_strong(self, nullptr))
        return;
    for (int i = 0; i < kSignalCount && g_installed; ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    g_installed = false;
}

void ExceptionHandler::onSignal(int signal, siginfo_t *info, void *context)
{
    // A fault while dumping, or a second thread crashing meanwhile, ends the
    // process the ordinary way.
    ExceptionHandler *handler = g_active.load();
    if (g_handling.exchange(true) || !handler) {
        dieWith(signal);
        return;
    }
    const bool written = handler->writeDump(signal, info, context);
    if (handler->m_callback) {
        g_crashSignal = signal;
        struct sigaction timeout;
        std::memset(&timeout, 0, sizeof(timeout));
        timeout.sa_handler = &onCallbackTimeout;
        sigemptyset(&timeout.sa_mask);
        ::sigaction(SIGALRM, &timeout, nullptr);
        ::alarm(kCallbackSeconds);
        handler->m_callback(handler->m_dir, handler->m_id, handler->m_context, written);
        ::alarm(0);
    }
    dieWith(signal);
}

bool ExceptionHandler::writeDump(int signal, const siginfo_t *info, void *context)
{
    makeId(m_id);
    char path[sizeof(m_dir) + sizeof(m_id) + 8];
    char *out = path;
    for (const char *part : {static_cast<const char *>(m_dir), "/", static_cast<const char *>(m_id), ".dmp"}) {
        const size_t n = std::strlen(part);
        std::memcpy(out, part, n);
        out += n;
    }
    *out = '\0';
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const pid_t tid = pid_t(::syscall(SYS_gettid));
    const bool ok = MinidumpWriter::write(fd, signal, info, static_cast<const ucontext_t *>(context), tid);
    return ::close(fd) == 0 && ok;
}

} // namespace crashdump
