#pragma once

#include "qhttp/QHttpTypes.h"

#include <cstddef>

namespace qhttp {

// Collects the head of one received message as the parser hands it over in
// pieces: header fields and values arrive split at buffer boundaries and are
// joined here, names and values lower-cased. Both the client (responses) and
// the server connections (requests) parse through one of these.
class QHttpHeaderCollector
{
public:
    // Bytes of status line, request target and headers allowed per message;
    // 0 leaves the head unbounded.
    void setMaxHeadSize(int bytes) { m_maxHeadSize = bytes; }

    // Starts a new message.
    void reset();
    // Counts bytes of the head; false once the head is too long.
    bool count(size_t length);
    // Pieces of a field name and of its value; false once the head is too long.
    bool addField(const char *at, size_t length);
    bool addValue(const char *at, size_t length);
    // The complete headers once the head has ended; the collector is empty after.
    Headers take();

private:
    void commit();

    Headers m_headers;
    QByteArray m_field;
    QByteArray m_value;
    bool m_lastWasValue = false;
    int m_headBytes = 0;
    int m_maxHeadSize = 0;
};

} // namespace qhttp
