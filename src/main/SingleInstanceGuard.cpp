#include "main/SingleInstanceGuard.h"

SingleInstanceGuard::SingleInstanceGuard(const QString &key)
    : m_memory(key)
{
}

SingleInstanceGuard::~SingleInstanceGuard()
{
    if (m_memory.isAttached())
        m_memory.detach();
}

bool SingleInstanceGuard::acquire()
{
    {
        QSharedMemory probe(m_memory.key());
        if (probe.attach())
            probe.detach(); // removes the segment if nobody else holds it
    }
    return m_memory.create(1, QSharedMemory::ReadWrite);
}
