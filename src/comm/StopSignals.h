#pragma once

namespace vexo {
namespace pc {

// Lets SIGINT and SIGTERM end the running Qt event loop of a command-line
// program (QCoreApplication::quit), so that it stops through its normal
// shutdown path. The handler only wakes the loop through a socket pair.
class StopSignals final
{
public:
    // Installs the handlers (once per process); false when the wake-up
    // channel cannot be made. Needs a QCoreApplication.
    static bool install();
    // Restores the default actions.
    static void restore();

    StopSignals() = delete;
};

} // namespace pc
} // namespace vexo
