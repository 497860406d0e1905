#pragma once

#include <QtGlobal>

#include <atomic>
#include <functional>

namespace vexo {
namespace pc {

// The one place long fixed waits of the device and upgrade workflows go
// through. In the product the scale is exactly 1; tests lower it so that
// multi-second waits take milliseconds without changing the product's logic.
// Short protocol timings (the 20 ms worker cycle, 1000 ms answer time-outs)
// are scaled too when a test asks for it.
class TimeScale final
{
public:
    // Current factor, 1.0 unless a test lowered it. Thread safe.
    static double factor();

    // Tests only: a factor in (0, 1]; anything else resets to 1.
    static void setFactor(double f);

    // A production duration in milliseconds, scaled. Non-zero durations stay
    // at least 1 ms so that orderings between waits are kept.
    static int ms(int productionMs);

    // Sleeps the calling thread for a scaled production duration.
    static void sleep(int productionMs);

    // The scaled milliseconds sleep() has slept on the calling thread so
    // far (what a workflow spent in its fixed waits).
    static qint64 sleptOnThisThread();

    // The same, but in 20 ms steps that end early once keepOn turns false
    // (a worker thread's running flag).
    static void sleepWhile(const std::atomic<bool> &keepOn, int productionMs);
    // The same with any condition (checked every 20 ms).
    static void sleepWhile(const std::function<bool()> &keepOn, int productionMs);

    // Waits a scaled production duration while the calling thread's event
    // loop keeps running.
    static void waitWithEvents(int productionMs);

    TimeScale() = delete;
};

} // namespace pc
} // namespace vexo
