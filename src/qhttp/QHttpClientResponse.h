#pragma once

#include "qhttp/QHttpAbstractInput.h"

namespace qhttp {
namespace client {

class QHttpClient;

// A response received by a client. Its status reads 400 until the status
// line has been parsed.
class QHttpResponse final : public QHttpAbstractInput
{
    Q_OBJECT
public:
    ~QHttpResponse() override;

    int status() const { return m_status; }
    QByteArray statusString() const { return statusPhrase(m_status); }

private:
    friend class QHttpClient;
    explicit QHttpResponse(QObject *parent);

    int m_status = 400;
};

} // namespace client
} // namespace qhttp
