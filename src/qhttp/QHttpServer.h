#pragma once

#include "qhttp/QHttpConnection.h"
#include "qhttp/QHttpTypes.h"

#include <QHostAddress>
#include <QObject>

#include <functional>
#include <memory>

class QLocalServer;
class QTcpServer;

namespace qhttp {
namespace server {

class QHttpRequest;
class QHttpResponse;

// Asynchronous HTTP/1.1 server. Every accepted socket becomes a
// QHttpConnection; every request reaches the handler given to listen() with
// its response. All work happens on the thread owning the server.
class QHttpServer final : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QHttpRequest *, QHttpResponse *)>;

    explicit QHttpServer(QObject *parent = nullptr);
    ~QHttpServer() override;

    // Replaces any previous listener by a TCP listener.
    bool listen(const QHostAddress &address, quint16 port, const Handler &handler);
    // Replaces any previous listener by a local-socket listener on `name`.
    bool listen(const QString &name, const Handler &handler);
    bool isListening() const;
    // The listener's error text; empty without a listener.
    QString errorString() const;
    // Closes the listener; open connections finish on their own.
    void stopServing();
    quint16 serverPort() const;
    Backend backend() const { return m_backend; }

    // Handed to every new connection.
    void setIdleTimeout(quint32 ms) { m_limits.idleTimeout = ms; }
    quint32 idleTimeout() const { return m_limits.idleTimeout; }
    void setRequestTimeout(quint32 ms) { m_limits.requestTimeout = ms; }
    void setMaxHeadSize(int bytes) { m_limits.maxHeadSize = bytes; }
    void setMaxBodySize(qint64 bytes) { m_limits.maxBodySize = bytes; }
    // Connections beyond this number are closed at once (0: no bound).
    void setMaxConnections(int count) { m_maxConnections = count; }
    int connectionCount() const { return m_connectionCount; }

signals:
    void newRequest(qhttp::server::QHttpRequest *request, qhttp::server::QHttpResponse *response);
    void newConnection(qhttp::server::QHttpConnection *connection);

private:
    friend class QHttpConnection;
    class TcpListener;
    void dispatch(QHttpRequest *req, QHttpResponse *res);
    void connectionGone();
    void incomingTcp(qintptr handle);
    void incomingLocal();
    bool acceptMore() const;
    void setUp(QHttpConnection *connection);
    void dropListener();

    Handler m_handler;
    Backend m_backend = ETcpSocket;
    QTcpServer *m_tcp = nullptr;
    QLocalServer *m_local = nullptr;
    ConnectionLimits m_limits;
    int m_maxConnections = 0;
    int m_connectionCount = 0;
};

} // namespace server
} // namespace qhttp
