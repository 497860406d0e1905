#include "httpserver/HttpFileSender.h"

#include "qhttp/QHttpConnection.h"
#include "qhttp/QHttpServerResponse.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/sendfile.h>
#include <sys/socket.h>

namespace vexo {
namespace pc {

namespace {

// Slices kept queued in the socket per client: enough to keep the link
// busy between two drain notifications.
constexpr int QueuedSlices = 2;

enum class Sent { Some, Full, FileEnded, Failed, Unsupported };

// Hands up to `budget` bytes of `file` from `*offset` on to `socket` until
// the socket is full. A peer that has gone away must not raise SIGPIPE (it
// would end the process): the signal is held back on this thread meanwhile
// and a pending one is taken away before it is let through again.
Sent sendFromFile(int socket, int file, qint64 *offset, qint64 *left, qint64 budget)
{
    sigset_t pipe;
    sigset_t previous;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, &previous);
    Sent result = Sent::Some;
    bool first = true;
    while (*left > 0 && budget > 0) {
        off_t at = static_cast<off_t>(*offset);
        const ssize_t n = ::sendfile(socket, file, &at, static_cast<size_t>(qMin(*left, budget)));
        if (n > 0) {
            *offset += n;
            *left -= n;
            budget -= n;
            first = false;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            result = Sent::Full;
        else if (n == 0)
            result = Sent::FileEnded;
        else if (first && (errno == EINVAL || errno == ENOSYS || errno == EOVERFLOW))
            result = Sent::Unsupported; // a file the system cannot map; read it instead
        else
            result = Sent::Failed;
        break;
    }
    if (result == Sent::Failed) {
        sigset_t pending;
        sigemptyset(&pending);
        if (sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE)) {
            const timespec now{0, 0};
            sigtimedwait(&pipe, nullptr, &now);
        }
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return result;
}

// Corked, the system sends only full segments until the body ends, however
// the file arrives in the socket; uncorking sends what is left.
void setCorked(qintptr socket, bool corked)
{
    const int value = corked ? 1 : 0;
    ::setsockopt(int(socket), IPPROTO_TCP, TCP_CORK, &value, sizeof value);
}

} // namespace

HttpFileSender::HttpFileSender(qhttp::server::QHttpResponse *response, int sliceBytes, int pauseMs)
    : QObject(response)
    , m_response(response)
    , m_slice(sliceBytes > 0 ? sliceBytes : DefaultSlice)
    , m_pauseMs(pauseMs)
{
}

bool HttpFileSender::send(qhttp::server::QHttpResponse *response, const QString &path, int sliceBytes,
                          int pauseMs)
{
    auto *sender = new HttpFileSender(response, sliceBytes, pauseMs);
    sender->m_file.setFileName(path);
    // Unbuffered: slices are read straight into their own arrays, and the
    // file position stays where the zero-copy path expects it.
    if (!sender->m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        delete sender;
        return false;
    }
    sender->m_left = sender->m_file.size();
    response->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(sender->m_left));
    if (response->bodyDropped())
        sender->m_left = 0; // HEAD: the length alone
    connect(response, &qhttp::server::QHttpResponse::allBytesWritten, sender, &HttpFileSender::pump);
    sender->m_zeroCopy = sender->m_left >= ZeroCopyFrom && pauseMs <= 0 && response->connection()
        && response->connection()->backend() == qhttp::ETcpSocket;
    if (sender->m_zeroCopy) {
        // The head goes through the socket's buffer; the body follows once
        // that has drained.
        response->write(QByteArray());
        return true;
    }
    sender->pump();
    return true;
}

void HttpFileSender::pump()
{
    if (m_response->isFinished() || m_timerPending || m_writable)
        return;
    if (m_zeroCopy && m_left > 0) {
        if (startZeroCopy())
            return;
        m_zeroCopy = false;
    }
    pumpSlices();
}

void HttpFileSender::pumpSlices()
{
    if (m_left <= 0) {
        m_response->end();
        m_file.close();
        return;
    }
    const int budget = m_pauseMs > 0 ? 1 : QueuedSlices;
    for (int i = 0; i < budget && m_left > 0; ++i) {
        if (m_response->bytesPending() >= qint64(m_slice) * QueuedSlices)
            return;
        const QByteArray slice = m_file.read(qMin<qint64>(m_slice, m_left));
        if (slice.isEmpty()) {
            // The file shrank or failed under us.
            abandon("file ended early");
            return;
        }
        m_left -= slice.size();
        m_offset += slice.size();
        if (m_left <= 0) {
            m_response->end(slice);
            m_file.close();
            return;
        }
        m_response->write(slice);
    }
    if (m_pauseMs > 0) {
        m_timerPending = true;
        QTimer::singleShot(m_pauseMs, this, [this]() {
            m_timerPending = false;
            pump();
        });
    }
}

bool HttpFileSender::startZeroCopy()
{
    qhttp::server::QHttpConnection *connection = m_response->connection();
    m_socket = connection ? connection->directDescriptor() : -1;
    if (m_socket < 0)
        return false;
    // Writable means the socket has room again; level-triggered, so a
    // socket that still has room after its turn is served again on the next
    // pass of the event loop, after the others.
    setCorked(m_socket, true);
    m_writable = new QSocketNotifier(m_socket, QSocketNotifier::Write, this);
    connect(m_writable, &QSocketNotifier::activated, this, &HttpFileSender::pumpZeroCopy);
    // The socket's descriptor dies with the connection; stop watching it at once.
    connect(connection, &qhttp::server::QHttpConnection::disconnected, this, &HttpFileSender::stopZeroCopy);
    pumpZeroCopy();
    return true;
}

void HttpFileSender::pumpZeroCopy()
{
    if (!m_writable)
        return;
    qhttp::server::QHttpConnection *connection = m_response->connection();
    if (m_response->isFinished() || !connection || connection->directDescriptor() != m_socket) {
        // Closed, killed or written to by someone else: not ours any more.
        stopZeroCopy();
        return;
    }
    const qint64 before = m_left;
    const Sent result = sendFromFile(int(m_socket), m_file.handle(), &m_offset, &m_left, ZeroCopyTurn);
    if (m_left != before)
        connection->noteDirectWrite();
    switch (result) {
    case Sent::Some:
    case Sent::Full:
        if (m_left > 0)
            return;
        setCorked(m_socket, false);
        stopZeroCopy();
        m_file.close();
        m_response->end();
        return;
    case Sent::Unsupported:
        setCorked(m_socket, false);
        stopZeroCopy();
        m_zeroCopy = false;
        m_file.seek(m_offset);
        pumpSlices();
        return;
    case Sent::FileEnded:
        abandon("file ended early");
        return;
    case Sent::Failed:
        abandon("socket write failed");
        return;
    }
}

void HttpFileSender::stopZeroCopy()
{
    if (!m_writable)
        return;
    // Unregistered now (the descriptor may be closed right after), deleted
    // once out of its own signal.
    m_writable->setEnabled(false);
    m_writable->deleteLater();
    m_writable = nullptr;
    m_socket = -1;
}

void HttpFileSender::abandon(const char *why)
{
    stopZeroCopy();
    qWarning().noquote() << "Send file stopped:" << why << m_file.fileName() << "at" << m_offset;
    m_left = 0;
    m_file.close();
    if (qhttp::server::QHttpConnection *connection = m_response->connection())
        connection->killConnection();
}

} // namespace pc
} // namespace vexo
