#include "CrashTrigger.h"

#include <cstdlib>
#include <cstring>
#include <thread>

namespace crashdump {

namespace {

// Volatile, so the compiler can neither see the fault nor drop it.
volatile int *volatile g_nowhere = nullptr;
volatile unsigned g_depthLimit = ~0u;

__attribute__((noinline)) void crashByNullWrite()
{
    *g_nowhere = 1;
}

__attribute__((noinline)) unsigned crashByRecursion(unsigned depth)
{
    volatile char frame[1024];
    frame[0] = char(depth);
    if (depth < g_depthLimit)
        return crashByRecursion(depth + 1) + frame[0];
    return frame[0];
}

__attribute__((noinline)) void crashOnSecondThread()
{
    std::thread worker(&crashByNullWrite);
    worker.join();
}

} // namespace

bool crashForTest(const char *mode)
{
    if (std::strcmp(mode, "null") == 0)
        crashByNullWrite();
    else if (std::strcmp(mode, "abort") == 0)
        std::abort();
    else if (std::strcmp(mode, "stack") == 0)
        crashByRecursion(0);
    else if (std::strcmp(mode, "thread") == 0)
        crashOnSecondThread();
    return false;
}

} // namespace crashdump
