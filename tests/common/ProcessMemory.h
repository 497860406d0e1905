#pragma once

// The resident memory of this process, for checks that a long run stays flat.

#include <QFile>

namespace testsupport {

// VmRSS of /proc/self/status in KiB; 0 when it cannot be read.
inline qint64 residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine();
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

// Memory bounds mean nothing under the address sanitizer, whose allocator
// keeps freed blocks in quarantine: such checks belong to the normal build.
constexpr bool memoryBoundsMeaningful()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#else
    return true;
#endif
}

} // namespace testsupport
