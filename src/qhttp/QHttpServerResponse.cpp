#include "qhttp/QHttpServerResponse.h"

#include "qhttp/QHttpConnection.h"

#include <QDateTime>
#include <QLocale>

#include <sys/socket.h>

namespace qhttp {
namespace server {

namespace {

// The "date" value, formatted once per second and thread.
QByteArray httpDate()
{
    thread_local qint64 second = -1;
    thread_local QByteArray text;
    const qint64 s = QDateTime::currentSecsSinceEpoch();
    if (s != second) {
        second = s;
        const QDateTime now = QDateTime::fromSecsSinceEpoch(s, Qt::UTC);
        text = QString(QLocale::c().toString(now, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss")) + QLatin1String(" GMT"))
                   .toLatin1();
    }
    return text;
}

} // namespace

QHttpResponse::QHttpResponse(QHttpConnection *connection, QIODevice *device, bool keepAliveAllowed,
                             bool headRequest)
    : QHttpAbstractOutput(device, connection)
    , m_connection(connection)
    , m_keepAliveAllowed(keepAliveAllowed)
{
    m_dropBody = headRequest;
}

QHttpResponse::~QHttpResponse() = default;

QByteArray QHttpResponse::startLine() const
{
    QByteArray line;
    line.reserve(48);
    line += "HTTP/";
    line += m_version.toLatin1();
    line += ' ';
    line += QByteArray::number(m_status);
    line += ' ';
    line += statusPhrase(m_status);
    line += "\r\n";
    return line;
}

void QHttpResponse::completeHeaders(qint64 bodySize)
{
    const bool framed = m_headers.contains(QByteArrayLiteral("content-length"))
        || m_headers.contains(QByteArrayLiteral("transfer-encoding"));
    if (!framed && bodySize >= 0)
        m_headers.insert(QByteArrayLiteral("content-length"), QByteArray::number(bodySize));
    // A body of unknown length can only be delimited by closing.
    applyConnectionHeader(m_keepAliveAllowed && (framed || bodySize >= 0));

    if (!m_headers.contains(QByteArrayLiteral("date")))
        m_headers.insert(QByteArrayLiteral("date"), httpDate());
}

void QHttpResponse::finished(bool wasTheLastPacket)
{
    if (m_connection && m_reportsToConnection)
        m_connection->onResponseDone(wasTheLastPacket);
}

qint64 QHttpResponse::writeDirect(const char *data, qint64 size)
{
    // Only on a TCP socket with nothing buffered, so that order is kept; a
    // full or failing socket leaves the bytes to the buffered path, which
    // waits for room or reports the failure. No SIGPIPE for a vanished peer.
    const qintptr socket = m_connection ? m_connection->directDescriptor() : -1;
    if (socket < 0)
        return 0;
    const ssize_t n = ::send(static_cast<int>(socket), data, static_cast<size_t>(size), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n <= 0)
        return 0;
    m_connection->noteDirectWrite();
    return n;
}

} // namespace server
} // namespace qhttp
