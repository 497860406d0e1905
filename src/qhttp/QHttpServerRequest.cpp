#include "qhttp/QHttpServerRequest.h"

#include "qhttp/QHttpConnection.h"

namespace qhttp {
namespace server {

QHttpRequest::QHttpRequest(QHttpConnection *connection)
    : QHttpAbstractInput(connection)
    , m_connection(connection)
{
}

QHttpRequest::~QHttpRequest() = default;

const QString &QHttpRequest::peerAddress() const
{
    if (m_peerAddress.isEmpty() && !m_peerHost.isNull())
        m_peerAddress = m_peerHost.toString();
    return m_peerAddress;
}

} // namespace server
} // namespace qhttp
