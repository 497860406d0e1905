#pragma once

#include <signal.h>
#include <sys/types.h>
#include <ucontext.h>

namespace crashdump {

// Writes a minidump of the running process (x86-64 Linux) from inside a signal
// handler: raw system calls and static buffers only, nothing that allocates or
// locks. Streams: system information, thread list (the crashing thread with
// its registers and stack; threads blocked in the kernel with their stack
// pointer, instruction pointer and stack; running ones by id), the stacks again as a
// memory list, module list from /proc/self/maps with ELF build ids,
// exception, process id.
class MinidumpWriter final
{
public:
    // Values that are not safe to obtain in a signal handler; call once before.
    static void prepare();

    // True when the whole dump was written to fd.
    static bool write(int fd, int signal, const siginfo_t *info, const ucontext_t *context, pid_t crashTid);
};

} // namespace crashdump
