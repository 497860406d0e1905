#pragma once

#include <QSharedMemory>
#include <QString>

// Machine-wide guard that lets one copy of the program run at a time. A
// one-byte shared-memory segment named after the application is held for the
// whole run.
//
// On Linux a System V segment outlives a process that was killed: the kernel
// keeps it with no process attached. Before creating ours we attach to any
// existing segment and detach again; the last process to detach removes the
// segment, so a stale one left by a crashed copy disappears, while a segment
// held by a running copy stays. The key file is made before that probe, so
// that a stale segment is found even when its own key file is gone.
class SingleInstanceGuard final
{
public:
    explicit SingleInstanceGuard(const QString &key);
    ~SingleInstanceGuard();

    // True when this process now holds the guard.
    bool acquire();

private:
    Q_DISABLE_COPY(SingleInstanceGuard)
    QSharedMemory m_memory;
};
