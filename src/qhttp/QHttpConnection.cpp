#include "qhttp/QHttpConnection.h"

#include "qhttp/QHttpParserBinding.h"
#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"
#include "qhttp/QHttpSocket.h"

#include <QTimerEvent>

#include <http_parser.h>

namespace qhttp {
namespace server {

namespace {

// Bytes taken from the socket per parse step; also the most a waiting
// connection holds besides the socket's own bounded buffer.
constexpr qint64 ReadChunk = 64 * 1024;
constexpr qint64 SocketReadBuffer = 256 * 1024;

QString versionText(unsigned short major, unsigned short minor)
{
    // Shared texts for the versions actually seen.
    static const QString v11 = QStringLiteral("1.1");
    static const QString v10 = QStringLiteral("1.0");
    if (major == 1 && minor == 1)
        return v11;
    if (major == 1 && minor == 0)
        return v10;
    return QStringLiteral("%1.%2").arg(major).arg(minor);
}

} // namespace

struct QHttpConnection::Parser {
    http_parser parser;
    http_parser_settings settings;
    QHttpSocket socket;
};

QHttpConnection::QHttpConnection(const ConnectionLimits &limits, QObject *parent)
    : QObject(parent)
    , m_parser(new Parser)
    , m_limits(limits)
{
    m_head.setMaxHeadSize(m_limits.maxHeadSize);
    using Binding = QHttpParserBinding<QHttpConnection>;
    Binding::bind(m_parser->settings, m_parser->parser, HTTP_REQUEST, this);
    m_parser->settings.on_url = [](http_parser *p, const char *at, size_t n) { return Binding::owner(p)->onUrl(at, n); };
}

QHttpConnection::~QHttpConnection()
{
    if (m_owner)
        m_owner->connectionGone();
    // Usually the socket is closed already; one still open (the server goes
    // away first) is cut off without telling this half-destroyed object.
    if (!m_disconnected) {
        if (QIODevice *d = m_parser->socket.device())
            d->disconnect(this);
        m_parser->socket.abort();
    }
}

void QHttpConnection::attach(QTcpSocket *socket)
{
    socket->setParent(this);
    m_parser->socket.attach(socket);
    connect(socket, &QTcpSocket::readyRead, this, &QHttpConnection::onReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &QHttpConnection::onBytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, &QHttpConnection::onDisconnected);
}

void QHttpConnection::attach(QLocalSocket *socket)
{
    socket->setParent(this);
    m_parser->socket.attach(socket);
    connect(socket, &QLocalSocket::readyRead, this, &QHttpConnection::onReadyRead);
    connect(socket, &QLocalSocket::bytesWritten, this, &QHttpConnection::onBytesWritten);
    connect(socket, &QLocalSocket::disconnected, this, &QHttpConnection::onDisconnected);
}

void QHttpConnection::start()
{
    // Bounded socket buffer: a client that pipelines faster than it reads
    // answers is slowed down by TCP instead of growing our memory.
    m_parser->socket.setReadBufferSize(SocketReadBuffer);
    restartIdle();
    if (!m_parser->socket.isConnected()) {
        // Closed before we got to it.
        QMetaObject::invokeMethod(this, &QHttpConnection::onDisconnected, Qt::QueuedConnection);
        return;
    }
    QIODevice *d = m_parser->socket.device();
    if (d && d->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &QHttpConnection::onReadyRead, Qt::QueuedConnection);
}

Backend QHttpConnection::backend() const
{
    return m_parser->socket.backend();
}

qintptr QHttpConnection::directDescriptor() const
{
    const QTcpSocket *tcp = m_parser->socket.tcp();
    if (!tcp || m_disconnected || tcp->state() != QAbstractSocket::ConnectedState || tcp->bytesToWrite() > 0)
        return -1;
    return tcp->socketDescriptor();
}

void QHttpConnection::setIdleTimeout(quint32 ms)
{
    m_limits.idleTimeout = ms;
    restartIdle();
}

void QHttpConnection::restartIdle()
{
    // Activity only moves a time stamp; the timer is re-armed when it fires
    // early, so busy connections do not re-register a timer per packet.
    m_activity.start();
    if (m_limits.idleTimeout == 0)
        m_idleTimer.stop();
    else if (!m_idleTimer.isActive())
        m_idleTimer.start(static_cast<int>(m_limits.idleTimeout), Qt::CoarseTimer, this);
}

void QHttpConnection::killConnection()
{
    m_closing = true;
    m_idleTimer.stop();
    m_requestTimer.stop();
    m_parser->socket.abort();
}

void QHttpConnection::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_idleTimer.timerId() && m_activity.isValid()) {
        const qint64 quiet = m_activity.elapsed();
        if (quiet < qint64(m_limits.idleTimeout)) {
            m_idleTimer.start(static_cast<int>(qint64(m_limits.idleTimeout) - quiet), Qt::CoarseTimer, this);
            return;
        }
    }
    if (event->timerId() == m_idleTimer.timerId() || event->timerId() == m_requestTimer.timerId()) {
        // Idle, half-open or trickling connections give their socket back.
        killConnection();
        return;
    }
    QObject::timerEvent(event);
}

void QHttpConnection::onReadyRead()
{
    restartIdle();
    readAndParse();
}

void QHttpConnection::onBytesWritten()
{
    restartIdle();
    if (m_response && m_parser->socket.bytesToWrite() == 0)
        m_response->emitAllBytesWritten();
}

void QHttpConnection::onDisconnected()
{
    if (m_disconnected)
        return;
    m_disconnected = true;
    m_closing = true;
    m_idleTimer.stop();
    m_requestTimer.stop();
    if (m_response)
        m_response->detachDevice();
    emit disconnected();
    deleteLater();
}

void QHttpConnection::readAndParse()
{
    m_readScheduled = false;
    QIODevice *d = m_parser->socket.device();
    if (!d || m_parsing || m_reading)
        return;
    m_reading = true;
    while (!m_waiting && !m_closing) {
        if (m_pending.isEmpty()) {
            if (d->bytesAvailable() <= 0)
                break;
            // Only what is there: a fixed-size read would allocate the whole
            // chunk for every small request.
            m_pending = d->read(qMin(ReadChunk, d->bytesAvailable()));
            if (m_pending.isEmpty())
                break;
        }
        parsePending();
    }
    m_reading = false;
    if (m_closeAfterRead) {
        // Out of the parser now; the socket allows closing from its readyRead.
        m_closeAfterRead = false;
        m_parser->socket.close();
    }
}

void QHttpConnection::parsePending()
{
    http_parser *p = &m_parser->parser;
    m_parsing = true;
    const size_t n = http_parser_execute(p, &m_parser->settings, m_pending.constData(),
                                         static_cast<size_t>(m_pending.size()));
    m_parsing = false;
    const http_errno err = HTTP_PARSER_ERRNO(p);
    if (err == HPE_PAUSED) {
        // Paused between two requests; the rest waits for the answer.
        m_pending.remove(0, static_cast<int>(qMin<size_t>(n, static_cast<size_t>(m_pending.size()))));
        http_parser_pause(p, 0);
        return;
    }
    m_pending.clear();
    if (err != HPE_OK && !m_closing) {
        fail(m_errorStatus != 0 ? m_errorStatus : 400);
        return;
    }
    armRequestDeadline();
}

void QHttpConnection::armRequestDeadline()
{
    if (!m_inMessage || m_closing || m_limits.requestTimeout == 0 || m_requestTimer.isActive())
        return;
    const qint64 left = qint64(m_limits.requestTimeout) - m_requestBegun.elapsed();
    m_requestTimer.start(static_cast<int>(qMax<qint64>(left, 1)), Qt::CoarseTimer, this);
}

void QHttpConnection::fail(int status)
{
    m_closing = true;
    m_requestTimer.stop();
    QHttpResponse *res = m_response;
    if (res && (res->headWritten() || res->isFinished())) {
        // An answer is already on its way; the stream cannot be repaired.
        if (!res->isFinished()) {
            killConnection();
            return;
        }
        res = nullptr;
    }
    if (!res) {
        if (m_response)
            m_response->deleteLater();
        res = new QHttpResponse(this, m_parser->socket.device(), false, false);
        m_response = res;
    }
    res->setStatus(status);
    res->putHeader(QByteArrayLiteral("connection"), QByteArrayLiteral("close"));
    // This answer is the last: its end must not make us read on.
    res->m_reportsToConnection = false;
    res->end();
    closeGracefully();
}

void QHttpConnection::closeGracefully()
{
    m_closing = true;
    // Never close from inside the parser or from the middle of a socket's
    // signal: the socket may emit disconnected synchronously. An answer
    // ended while reading closes once the reading is done (the common case,
    // without a pass of the event loop); others close from the event loop.
    if (m_reading) {
        m_closeAfterRead = true;
        return;
    }
    QMetaObject::invokeMethod(
        this, [this]() { m_parser->socket.close(); }, Qt::QueuedConnection);
}

void QHttpConnection::onResponseDone(bool last)
{
    if (last) {
        closeGracefully();
        return;
    }
    if (m_waiting) {
        m_waiting = false;
        if (!m_readScheduled) {
            m_readScheduled = true;
            QMetaObject::invokeMethod(this, &QHttpConnection::readAndParse, Qt::QueuedConnection);
        }
    }
}

int QHttpConnection::onMessageBegin()
{
    if (m_closing)
        return 1;
    m_inMessage = true;
    m_target.clear();
    m_head.reset();
    m_bodyBytes = 0;
    m_errorStatus = 0;
    // The deadline counts from here; its timer is only armed when the
    // request is still incomplete once the bytes at hand are parsed (most
    // requests arrive whole and never need it).
    m_requestBegun.start();
    return 0;
}

int QHttpConnection::onUrl(const char *at, size_t length)
{
    if (!m_head.count(length)) {
        m_errorStatus = 414;
        return 1;
    }
    m_target.append(at, static_cast<int>(length));
    return 0;
}

int QHttpConnection::onHeadersComplete()
{    const http_parser &p = m_parser->parser;

    if (m_limits.maxBodySize >= 0 && (p.flags & F_CONTENTLENGTH) != 0
        && p.content_length > static_cast<quint64>(m_limits.maxBodySize)) {
        m_errorStatus = 413;
        return -1;
    }

    if (m_request)
        m_request->deleteLater();
    if (m_response)
        m_response->deleteLater();

    m_request = new QHttpRequest(this);
    m_request->m_method = static_cast<int>(p.method);
    m_request->m_url = QUrl::fromEncoded(m_target, QUrl::TolerantMode);
    m_request->m_version = versionText(p.http_major, p.http_minor);
    m_request->m_headers = m_head.take();
    if (const QTcpSocket *tcp = m_parser->socket.tcp()) {
        m_request->m_peerHost = tcp->peerAddress();
        m_request->m_peerPort = tcp->peerPort();
    } else {
        m_request->m_peerAddress = m_parser->socket.peerAddress();
    }

    // HTTP/1.0 and older never keep the connection.
    const bool allowKeepAlive = p.http_major > 0 && p.http_minor > 0 && http_should_keep_alive(&p) != 0;
    m_response = new QHttpResponse(this, m_parser->socket.device(), allowKeepAlive, p.method == HTTP_HEAD);

    emit newRequest(m_request, m_response);
    if (m_owner)
        m_owner->dispatch(m_request, m_response);
    return m_closing ? -1 : 0;
}

int QHttpConnection::onBody(const char *at, size_t length)
{
    if (m_closing)
        return 1;
    m_bodyBytes += static_cast<qint64>(length);
    if (m_limits.maxBodySize >= 0 && m_bodyBytes > m_limits.maxBodySize) {
        m_errorStatus = 413;
        return 1;
    }
    if (m_request)
        m_request->appendBody(at, static_cast<int>(length));
    return 0;
}

int QHttpConnection::onMessageComplete()
{
    m_inMessage = false;
    m_requestTimer.stop();
    if (m_request)
        m_request->finish(true);
    if (m_response && !m_response->isFinished())
        m_waiting = true;
    // Stop after every request so that the next one is only looked at once
    // this one has been answered.
    http_parser_pause(&m_parser->parser, 1);
    return 0;
}

} // namespace server
} // namespace qhttp
