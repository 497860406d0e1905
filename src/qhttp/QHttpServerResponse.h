#pragma once

#include "qhttp/QHttpAbstractOutput.h"

namespace qhttp {
namespace server {

class QHttpConnection;

// The answer to one request. It starts as "400 Bad Request" until the
// handler sets a status. After end() the connection either waits for the
// next request (keep-alive) or flushes and closes.
class QHttpResponse final : public QHttpAbstractOutput
{
    Q_OBJECT
public:
    ~QHttpResponse() override;

    void setStatus(int code) { m_status = code; }
    int status() const { return m_status; }
    QHttpConnection *connection() const { return m_connection; }

protected:
    QByteArray startLine() const override;
    void completeHeaders(qint64 bodySize) override;
    qint64 writeDirect(const char *data, qint64 size) override;
    // Tells the connection first (it closes or reads the next request),
    // without a signal connection per answer.
    void finished(bool wasTheLastPacket) override;

private:
    friend class QHttpConnection;
    QHttpResponse(QHttpConnection *connection, QIODevice *device, bool keepAliveAllowed, bool headRequest);

    QHttpConnection *m_connection;
    int m_status = 400;
    bool m_keepAliveAllowed;
    bool m_reportsToConnection = true;
};

} // namespace server
} // namespace qhttp
