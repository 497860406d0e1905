#include "qhttp/QHttpServerResponse.h"

#include "qhttp/QHttpConnection.h"

#include <QDateTime>
#include <QLocale>

namespace qhttp {
namespace server {

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
    return QStringLiteral("HTTP/%1 %2 %3\r\n")
        .arg(m_version)
        .arg(m_status)
        .arg(QString::fromLatin1(statusPhrase(m_status)))
        .toLatin1();
}

void QHttpResponse::completeHeaders(qint64 bodySize)
{
    const bool framed = m_headers.contains(QByteArrayLiteral("content-length"))
        || m_headers.contains(QByteArrayLiteral("transfer-encoding"));
    if (!framed && bodySize >= 0)
        m_headers.insert(QByteArrayLiteral("content-length"), QByteArray::number(bodySize));
    // A body of unknown length can only be delimited by closing.
    applyConnectionHeader(m_keepAliveAllowed && (framed || bodySize >= 0));

    if (!m_headers.contains(QByteArrayLiteral("date"))) {
        const QString date = QLocale::c().toString(QDateTime::currentDateTimeUtc(),
                                                    QStringLiteral("ddd, dd MMM yyyy hh:mm:ss"));
        m_headers.insert(QByteArrayLiteral("date"), QString(date + QLatin1String(" GMT")).toLatin1());
    }
}

} // namespace server
} // namespace qhttp
