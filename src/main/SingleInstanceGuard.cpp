#include "main/SingleInstanceGuard.h"

#include <QFile>

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
    // The segment's number comes from the key file's inode. A stale segment
    // whose key file was removed (its temporary folder cleaned) can carry
    // the number our new key file gets; the probe finds it only when the
    // key file already exists, so it is made first.
    QFile keyFile(m_memory.nativeKey());
    if (!keyFile.exists() && keyFile.open(QIODevice::WriteOnly))
        keyFile.close();
    {
        QSharedMemory probe(m_memory.key());
        if (probe.attach())
            probe.detach(); // removes the segment if nobody else holds it
    }
    return m_memory.create(1, QSharedMemory::ReadWrite);
}
