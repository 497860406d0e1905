#include "qhttp/QHttpSocket.h"

#include <QHostAddress>
#include <QLocalSocket>
#include <QTcpSocket>

namespace qhttp {

void QHttpSocket::attach(QTcpSocket *socket)
{
    release();
    m_backend = ETcpSocket;
    m_tcp = socket;
}

void QHttpSocket::attach(QLocalSocket *socket)
{
    release();
    m_backend = ELocalSocket;
    m_local = socket;
}

void QHttpSocket::release()
{
    if (m_tcp) {
        m_tcp->disconnect();
        m_tcp->abort();
        m_tcp->deleteLater();
    }
    if (m_local) {
        m_local->disconnect();
        m_local->abort();
        m_local->deleteLater();
    }
    m_tcp = nullptr;
    m_local = nullptr;
}

QIODevice *QHttpSocket::device() const
{
    if (m_tcp)
        return m_tcp.data();
    if (m_local)
        return m_local.data();
    return nullptr;
}

bool QHttpSocket::isConnected() const
{
    if (m_tcp)
        return m_tcp->state() == QAbstractSocket::ConnectedState;
    if (m_local)
        return m_local->state() == QLocalSocket::ConnectedState;
    return false;
}

void QHttpSocket::close()
{
    // What is buffered goes out now: the socket then closes at once instead
    // of waiting for another pass of the event loop to drain it.
    if (m_tcp) {
        m_tcp->flush();
        if (m_tcp)
            m_tcp->disconnectFromHost();
    } else if (m_local) {
        m_local->flush();
        if (m_local)
            m_local->disconnectFromServer();
    }
}

void QHttpSocket::abort()
{
    if (m_tcp)
        m_tcp->abort();
    else if (m_local)
        m_local->abort();
}

qint64 QHttpSocket::bytesToWrite() const
{
    const QIODevice *d = device();
    return d ? d->bytesToWrite() : 0;
}

void QHttpSocket::setReadBufferSize(qint64 size)
{
    if (m_tcp)
        m_tcp->setReadBufferSize(size);
    else if (m_local)
        m_local->setReadBufferSize(size);
}

QString QHttpSocket::peerAddress() const
{
    if (m_tcp)
        return m_tcp->peerAddress().toString();
    if (m_local)
        return m_local->fullServerName();
    return QString();
}

quint16 QHttpSocket::peerPort() const
{
    return m_tcp ? m_tcp->peerPort() : 0;
}

} // namespace qhttp
