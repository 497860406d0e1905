#pragma once

#include <signal.h>

namespace crashdump {

// Called after a dump was attempted: the dump folder, the dump's identifier
// (its file name without ".dmp"), the caller's context and whether the dump
// was written. Runs inside the signal handler: best effort only.
using DumpCallback = bool (*)(const char *dumpDir, const char *dumpId, void *context, bool succeeded);

// Catches the fatal signals of the process and writes a minidump into a
// folder. The newest handler is the active one; destroying the active handler
// gives the signals back to their previous owners. The signals then keep their
// default action, so the exit status still says how the process died.
class ExceptionHandler final
{
public:
    ExceptionHandler(const char *dumpDir, DumpCallback callback, void *context);
    ~ExceptionHandler();
    ExceptionHandler(const ExceptionHandler &) = delete;
    ExceptionHandler &operator=(const ExceptionHandler &) = delete;

private:
    static void onSignal(int signal, siginfo_t *info, void *context);
    bool writeDump(int signal, const siginfo_t *info, void *context);

    char m_dir[4096] = {};
    char m_id[40] = {};
    DumpCallback m_callback = nullptr;
    void *m_context = nullptr;
};

} // namespace crashdump
