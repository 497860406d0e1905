#pragma once

#include <QFile>
#include <QObject>

class QSocketNotifier;

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
//
// On a plain TCP connection a large body does not pass through this process
// at all: once the head has gone out, the system copies the file straight
// into the socket whenever the socket has room (zero-copy), corked so that
// only full segments go out until the body ends. Elsewhere (local
// sockets, paced sending) the file is read and written in slices.
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
    // Bodies from this size on go zero-copy when the connection allows it;
    // smaller ones travel with the head in one write.
    static constexpr qint64 ZeroCopyFrom = 64 * 1024;
    // Bytes handed to one socket per wake-up before the other connections
    // get their turn: small enough that every client's socket is refilled
    // often when several download at once, large enough for few calls.
    static constexpr qint64 ZeroCopyTurn = 1024 * 1024;

    // Whether the body is going (or went) zero-copy.
    bool zeroCopy() const { return m_zeroCopy; }
    qint64 bytesLeft() const { return m_left; }

private:
    HttpFileSender(qhttp::server::QHttpResponse *response, int sliceBytes, int pauseMs);
    void pump();
    void pumpSlices();
    bool startZeroCopy();
    void pumpZeroCopy();
    void stopZeroCopy();
    // The promised length cannot be kept: the connection has to go.
    void abandon(const char *why);

    qhttp::server::QHttpResponse *m_response;
    QFile m_file;
    qint64 m_left = 0;
    qint64 m_offset = 0; // of the next byte to send
    int m_slice;
    int m_pauseMs;
    bool m_timerPending = false;
    bool m_zeroCopy = false;
    QSocketNotifier *m_writable = nullptr;
    qintptr m_socket = -1;
};

} // namespace pc
} // namespace vexo
