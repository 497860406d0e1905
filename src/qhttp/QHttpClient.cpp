#include "qhttp/QHttpClient.h"

#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"
#include "qhttp/QHttpParserBinding.h"
#include "qhttp/QHttpSocket.h"

#include <QTimerEvent>

#include <http_parser.h>

namespace qhttp {
namespace client {

struct QHttpClient::Parser {
    http_parser parser;
    http_parser_settings settings;
    QHttpSocket socket;
    bool failed = false;
    bool inMessage = false;
    // The last exchange ended with both sides keeping the connection.
    bool reusable = false;
};

QHttpClient::QHttpClient(QObject *parent)
    : QObject(parent)
    , m_parser(new Parser)
{
    m_head.setMaxHeadSize(64 * 1024);
    using Binding = QHttpParserBinding<QHttpClient>;
    Binding::bind(m_parser->settings, m_parser->parser, HTTP_RESPONSE, this);
    m_parser->settings.on_status = [](http_parser *p, const char *, size_t n) { return Binding::owner(p)->m_head.count(n) ? 0 : 1; };
}

QHttpClient::~QHttpClient()
{
    m_reqHandler = nullptr;
    m_respHandler = nullptr;
    if (QIODevice *d = m_parser->socket.device())
        d->disconnect(this);
    m_parser->socket.abort();
}

bool QHttpClient::request(int method, const QUrl &url, const RequestHandler &reqHandler,
                          const ResponseHandler &respHandler)
{
    if (url.isEmpty() || !url.isValid())
        return false;

    const bool sameTarget = backendForScheme(url.scheme()) == m_parser->socket.backend()
        && url.host() == m_url.host() && url.port(80) == m_url.port(80);
    const bool reuse = m_parser->socket.isConnected() && m_parser->reusable
        && (m_parser->socket.backend() == ETcpSocket ? sameTarget
                                                      : url.path() == m_url.path());
    m_reqHandler = reqHandler;
    m_respHandler = respHandler;
    m_method = method;
    m_url = url;
    const quint64 generation = ++m_generation;

    if (reuse) {
        // Let the caller finish its set-up (time-outs) before the handler runs.
        QMetaObject::invokeMethod(
            this, [this, generation]() {
                if (generation == m_generation && m_parser->socket.isConnected())
                    onConnected();
            },
            Qt::QueuedConnection);
        return true;
    }
    openSocket();
    return true;
}

void QHttpClient::openSocket()
{
    m_parser->socket.release();
    m_parser->failed = false;
    m_parser->inMessage = false;

    if (backendForScheme(m_url.scheme()) == ELocalSocket) {
        auto *s = new QLocalSocket(this);
        m_parser->socket.attach(s);
        connect(s, &QLocalSocket::connected, this, &QHttpClient::onConnected);
        connect(s, &QLocalSocket::readyRead, this, &QHttpClient::onReadyRead);
        connect(s, &QLocalSocket::bytesWritten, this, &QHttpClient::onBytesWritten);
        connect(s, &QLocalSocket::disconnected, this, &QHttpClient::onDisconnected);
        s->connectToServer(m_url.path(), QIODevice::ReadWrite);
    } else {
        auto *s = new QTcpSocket(this);
        m_parser->socket.attach(s);
        connect(s, &QTcpSocket::connected, this, &QHttpClient::onConnected);
        connect(s, &QTcpSocket::readyRead, this, &QHttpClient::onReadyRead);
        connect(s, &QTcpSocket::bytesWritten, this, &QHttpClient::onBytesWritten);
        connect(s, &QTcpSocket::disconnected, this, &QHttpClient::onDisconnected);
        s->connectToHost(m_url.host(), static_cast<quint16>(m_url.port(80)), QIODevice::ReadWrite,
                         QAbstractSocket::AnyIPProtocol);
    }
}

void QHttpClient::setConnectTimeout(quint32 ms)
{
    if (ms == 0)
        m_connectTimer.stop();
    else
        m_connectTimer.start(static_cast<int>(ms), Qt::CoarseTimer, this);
}

void QHttpClient::setIdleTimeout(quint32 ms)
{
    m_idleTimeout = ms;
    if (ms == 0)
        m_idleTimer.stop();
    else if (m_parser->socket.isConnected())
        m_idleTimer.start(static_cast<int>(ms), Qt::CoarseTimer, this);
}

bool QHttpClient::isOpen() const
{
    return m_parser->socket.isConnected();
}

void QHttpClient::killConnection()
{
    m_connectTimer.stop();
    m_idleTimer.stop();
    m_parser->socket.abort();
}

void QHttpClient::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_connectTimer.timerId()) {
        m_connectTimer.stop();
        if (!m_parser->socket.isConnected())
            emit connectingTimeOut();
    } else if (event->timerId() == m_idleTimer.timerId()) {
        m_idleTimer.stop();
        m_parser->socket.abort();
    } else {
        QObject::timerEvent(event);
    }
}

void QHttpClient::onConnected()
{
    m_connectTimer.stop();
    if (m_idleTimeout > 0)
        m_idleTimer.start(static_cast<int>(m_idleTimeout), Qt::CoarseTimer, this);

    // A fresh parser per exchange: whatever an earlier exchange left behind
    // (a response cut short) must not leak into this one.
    http_parser_init(&m_parser->parser, HTTP_RESPONSE);
    m_parser->parser.data = this;
    m_parser->failed = false;
    m_parser->inMessage = false;
    m_parser->reusable = false;

    if (m_request)
        m_request->deleteLater();
    if (m_response)
        m_response->deleteLater();
    m_response = nullptr;
    m_request = new QHttpRequest(m_method, m_url, m_parser->socket.device(), this);
    emit httpConnected(m_request);
    if (m_reqHandler)
        m_reqHandler(m_request);
}

void QHttpClient::onReadyRead()
{
    QIODevice *d = m_parser->socket.device();
    if (!d)
        return;
    if (m_idleTimeout > 0)
        m_idleTimer.start(static_cast<int>(m_idleTimeout), Qt::CoarseTimer, this);
    while (d->bytesAvailable() > 0 && m_parser->socket.device() == d) {
        const QByteArray chunk = d->read(64 * 1024);
        if (chunk.isEmpty())
            break;
        feed(chunk.constData(), static_cast<size_t>(chunk.size()));
    }
}

void QHttpClient::onBytesWritten()
{
    if (m_idleTimeout > 0)
        m_idleTimer.start(static_cast<int>(m_idleTimeout), Qt::CoarseTimer, this);
    if (m_request && m_parser->socket.bytesToWrite() == 0)
        m_request->emitAllBytesWritten();
}

void QHttpClient::onDisconnected()
{
    m_idleTimer.stop();
    // A body delimited by the end of the connection completes here (unless
    // the close happened from inside a parser callback).
    if (m_feeding)
        m_parser->failed = true;
    else if (m_parser->inMessage && !m_parser->failed)
        feed(nullptr, 0);
    if (m_request)
        m_request->detachDevice();
    emit disconnected();
}

void QHttpClient::feed(const char *data, size_t length)
{
    if (m_parser->failed)
        return;
    m_feeding = true;
    http_parser_execute(&m_parser->parser, &m_parser->settings, data, length);
    m_feeding = false;
    if (HTTP_PARSER_ERRNO(&m_parser->parser) != HPE_OK)
        failParse();
}

void QHttpClient::failParse()
{
    m_parser->failed = true;
    m_parser->inMessage = false;
    // An answer that cannot be understood ends the exchange; the caller sees
    // the connection drop (and parsedOk() false on a started response).
    m_idleTimer.stop();
    QMetaObject::invokeMethod(
        this, [this]() { m_parser->socket.abort(); }, Qt::QueuedConnection);
}

int QHttpClient::onMessageBegin()
{
    m_parser->inMessage = true;
    m_head.reset();
    return 0;
}

int QHttpClient::onHeadersComplete()
{
    if (m_response)
        m_response->deleteLater();
    m_response = new QHttpResponse(this);
    const http_parser &p = m_parser->parser;
    m_response->m_status = static_cast<int>(p.status_code);
    m_response->m_version = QStringLiteral("%1.%2").arg(p.http_major).arg(p.http_minor);
    m_response->m_headers = m_head.take();

    QHttpResponse *res = m_response;
    emit newResponse(res);
    if (m_respHandler)
        m_respHandler(res);
    // The answer to HEAD announces a body that never comes.
    return m_method == EHTTP_HEAD ? 1 : 0;
}

int QHttpClient::onBody(const char *at, size_t length)
{
    if (m_response)
        m_response->appendBody(at, static_cast<int>(length));
    return 0;
}

int QHttpClient::onMessageComplete()
{
    m_parser->inMessage = false;
    m_parser->reusable = m_request && m_request->keepAlive() && http_should_keep_alive(&m_parser->parser) != 0;
    if (m_response)
        m_response->finish(true);
    return 0;
}

} // namespace client
} // namespace qhttp
