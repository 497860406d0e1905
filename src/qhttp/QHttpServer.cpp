#include "qhttp/QHttpServer.h"

#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTcpServer>
#include <QTcpSocket>

namespace qhttp {
namespace server {

// Hands accepted descriptors to the server instead of queueing sockets.
class QHttpServer::TcpListener final : public QTcpServer
{
public:
    explicit TcpListener(QHttpServer *server)
        : QTcpServer(server)
        , m_server(server)
    {
    }

protected:
    void incomingConnection(qintptr handle) override { m_server->incomingTcp(handle); }

private:
    QHttpServer *m_server;
};

QHttpServer::QHttpServer(QObject *parent)
    : QObject(parent)
{
}

QHttpServer::~QHttpServer()
{
    dropListener();
}

void QHttpServer::dropListener()
{
    if (m_tcp) {
        m_tcp->close();
        delete m_tcp;
        m_tcp = nullptr;
    }
    if (m_local) {
        const QString name = m_local->fullServerName();
        m_local->close();
        delete m_local;
        m_local = nullptr;
        QLocalServer::removeServer(name);
    }
}

bool QHttpServer::listen(const QHostAddress &address, quint16 port, const Handler &handler)
{
    dropListener();
    m_handler = handler;
    m_backend = ETcpSocket;
    m_tcp = new TcpListener(this);
    return m_tcp->listen(address, port);
}

bool QHttpServer::listen(const QString &name, const Handler &handler)
{
    dropListener();
    m_handler = handler;
    m_backend = ELocalSocket;
    m_local = new QLocalServer(this);
    connect(m_local, &QLocalServer::newConnection, this, &QHttpServer::incomingLocal);
    return m_local->listen(name);
}

bool QHttpServer::isListening() const
{
    if (m_tcp)
        return m_tcp->isListening();
    if (m_local)
        return m_local->isListening();
    return false;
}

QString QHttpServer::errorString() const
{
    if (m_tcp)
        return m_tcp->errorString();
    if (m_local)
        return m_local->errorString();
    return QString();
}

void QHttpServer::stopServing()
{
    if (m_tcp)
        m_tcp->close();
    if (m_local) {
        const QString name = m_local->fullServerName();
        m_local->close();
        QLocalServer::removeServer(name);
    }
}

quint16 QHttpServer::serverPort() const
{
    return m_tcp ? m_tcp->serverPort() : 0;
}

void QHttpServer::dispatch(QHttpRequest *req, QHttpResponse *res)
{
    emit newRequest(req, res);
    if (m_handler)
        m_handler(req, res);
}

void QHttpServer::connectionGone()
{
    --m_connectionCount;
}

bool QHttpServer::acceptMore() const
{
    return m_maxConnections <= 0 || m_connectionCount < m_maxConnections;
}

void QHttpServer::incomingTcp(qintptr handle)
{
    auto *socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(handle)) {
        delete socket;
        return;
    }
    if (!acceptMore()) {
        socket->abort();
        delete socket;
        return;
    }
    auto *connection = new QHttpConnection(m_limits, this);
    connection->attach(socket);
    setUp(connection);
}

void QHttpServer::incomingLocal()
{
    while (m_local && m_local->hasPendingConnections()) {
        QLocalSocket *socket = m_local->nextPendingConnection();
        if (!socket)
            break;
        if (!acceptMore()) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto *connection = new QHttpConnection(m_limits, this);
        connection->attach(socket);
        setUp(connection);
    }
}

void QHttpServer::setUp(QHttpConnection *connection)
{
    // The connection reports its requests and its end by direct calls: no
    // signal connections to make and unmake per connection.
    ++m_connectionCount;
    connection->m_owner = this;
    emit newConnection(connection);
    connection->start();
}

} // namespace server
} // namespace qhttp
