#pragma once

#include "qhttp/QHttpAbstractOutput.h"

#include <QUrl>

namespace qhttp {
namespace client {

class QHttpClient;

// The request of a client, handed to the caller's request handler once the
// connection is up. The caller adds headers and calls end(body).
class QHttpRequest final : public QHttpAbstractOutput
{
    Q_OBJECT
public:
    ~QHttpRequest() override;

    int method() const { return m_method; }
    const QUrl &url() const { return m_url; }

protected:
    QByteArray startLine() const override;
    void completeHeaders(qint64 bodySize) override;

private:
    friend class QHttpClient;
    QHttpRequest(int method, const QUrl &url, QIODevice *device, QObject *parent);

    int m_method;
    QUrl m_url;
};

} // namespace client
} // namespace qhttp
