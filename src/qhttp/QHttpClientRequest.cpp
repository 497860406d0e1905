#include "qhttp/QHttpClientRequest.h"

namespace qhttp {
namespace client {

QHttpRequest::QHttpRequest(int method, const QUrl &url, QIODevice *device, QObject *parent)
    : QHttpAbstractOutput(device, parent)
    , m_method(method)
    , m_url(url)
{
}

QHttpRequest::~QHttpRequest() = default;

QByteArray QHttpRequest::startLine() const
{
    QByteArray line = methodName(m_method);
    line += ' ';
    const QByteArray path = m_url.path(QUrl::FullyEncoded).toLatin1();
    line += path.isEmpty() ? QByteArrayLiteral("/") : path;
    if (m_url.hasQuery()) {
        line += '?';
        line += m_url.query(QUrl::FullyEncoded).toLatin1();
    }
    line += " HTTP/";
    line += m_version.toLatin1();
    line += "\r\n";
    return line;
}

void QHttpRequest::completeHeaders(qint64 bodySize)
{
    applyConnectionHeader(true);
    if (!m_headers.contains(QByteArrayLiteral("host"))) {
        QByteArray host = m_url.host(QUrl::FullyEncoded).toLatin1();
        if (host.contains(':'))
            host = '[' + host + ']';
        m_headers.insert(QByteArrayLiteral("host"), host + ':' + QByteArray::number(m_url.port(80)));
    }
    // A body given whole to end() is framed by its length unless the caller
    // chose the framing.
    if (bodySize > 0 && !m_headers.contains(QByteArrayLiteral("content-length"))
        && !m_headers.contains(QByteArrayLiteral("transfer-encoding"))) {
        m_headers.insert(QByteArrayLiteral("content-length"), QByteArray::number(bodySize));
    }
}

} // namespace client
} // namespace qhttp
