#pragma once

#include <QFile>
#include <QObject>

namespace qhttp {
namespace server {
class QHttpResponse;
}
} // namespace qhttp

namespace vexo {
namespace pc {

// Streams a file as the body of one HTTP answer. The answer carries the
// same bytes and headers as if the file had been read whole, but only a few
// slices are in memory at any time whatever the file size and the number of
// clients; a client that reads slowly only holds its own slices.
class HttpFileSender final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(HttpFileSender)

public:
    // Sets "content-length" and starts sending; the sender lives as a child
    // of the response. False (nothing sent) when the file cannot be opened.
    // A positive pause spaces the slices (slow-link simulation).
    static bool send(qhttp::server::QHttpResponse *response, const QString &path, int sliceBytes = 0,
                     int pauseMs = 0);

    static constexpr int DefaultSlice = 256 * 1024;

private:
    HttpFileSender(qhttp::server::QHttpResponse *response, int sliceBytes, int pauseMs);
    void pump();

    qhttp::server::QHttpResponse *m_response;
    QFile m_file;
    qint64 m_left = 0;
    int m_slice;
    int m_pauseMs;
    bool m_timerPending = false;
};

} // namespace pc
} // namespace vexo
