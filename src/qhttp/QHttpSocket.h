#pragma once

#include "qhttp/QHttpTypes.h"

#include <QLocalSocket>
#include <QPointer>
#include <QTcpSocket>

namespace qhttp {

// The transport under a client or a connection: a TCP socket or a local
// socket behind one face, so that the HTTP logic is written once.
class QHttpSocket final
{
public:
    QHttpSocket() = default;

    void attach(QTcpSocket *socket);
    void attach(QLocalSocket *socket);
    // Forgets (and deletes later) the current socket.
    void release();

    Backend backend() const { return m_backend; }
    QIODevice *device() const;
    QTcpSocket *tcp() const { return m_tcp; }
    QLocalSocket *local() const { return m_local; }

    bool isConnected() const;
    // Graceful close: pending output is sent first.
    void close();
    // Immediate close, pending output dropped.
    void abort();
    qint64 bytesToWrite() const;
    void setReadBufferSize(qint64 size);

    QString peerAddress() const;
    quint16 peerPort() const;

    // Connects `disconnected` of whichever socket is attached.
    template <typename Functor>
    void onDisconnected(QObject *context, Functor f);

private:
    Backend m_backend = ETcpSocket;
    QPointer<QTcpSocket> m_tcp;
    QPointer<QLocalSocket> m_local;
};

} // namespace qhttp

template <typename Functor>
void qhttp::QHttpSocket::onDisconnected(QObject *context, Functor f)
{
    if (m_tcp)
        QObject::connect(m_tcp.data(), &QTcpSocket::disconnected, context, f);
    else if (m_local)
        QObject::connect(m_local.data(), &QLocalSocket::disconnected, context, f);
}
