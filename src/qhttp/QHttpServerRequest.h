#pragma once

#include "qhttp/QHttpAbstractInput.h"

#include <QHostAddress>
#include <QUrl>

namespace qhttp {
namespace server {

class QHttpConnection;

// A request received by the server. Owned by its connection; valid until the
// connection closes or the next request replaces it.
class QHttpRequest final : public QHttpAbstractInput
{
    Q_OBJECT
public:
    ~QHttpRequest() override;

    int method() const { return m_method; }
    QByteArray methodString() const { return methodName(m_method); }
    const QUrl &url() const { return m_url; }
    // Formatted when first asked (most handlers never do).
    const QString &peerAddress() const;
    quint16 peerPort() const { return m_peerPort; }
    QHttpConnection *connection() const { return m_connection; }

private:
    friend class QHttpConnection;
    explicit QHttpRequest(QHttpConnection *connection);

    QHttpConnection *m_connection;
    int m_method = EHTTP_GET;
    QUrl m_url;
    mutable QString m_peerAddress;
    QHostAddress m_peerHost; // TCP peers, formatted into m_peerAddress on demand
    quint16 m_peerPort = 0;
};

} // namespace server
} // namespace qhttp
