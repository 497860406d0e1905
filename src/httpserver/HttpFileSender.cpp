#include "httpserver/HttpFileSender.h"

#include "qhttp/QHttpConnection.h"
#include "qhttp/QHttpServerResponse.h"

#include <QTimer>

namespace vexo {
namespace pc {

namespace {
// Slices kept queued in the socket per client: enough to keep the link
// busy between two drain notifications.
constexpr int QueuedSlices = 2;
} // namespace

HttpFileSender::HttpFileSender(qhttp::server::QHttpResponse *response, int sliceBytes, int pauseMs)
    : QObject(response)
    , m_response(response)
    , m_slice(sliceBytes > 0 ? sliceBytes : DefaultSlice)
    , m_pauseMs(pauseMs)
{
}

bool HttpFileSender::send(qhttp::server::QHttpResponse *response, const QString &path, int sliceBytes,
                          int pauseMs)
{
    auto *sender = new HttpFileSender(response, sliceBytes, pauseMs);
    sender->m_file.setFileName(path);
    if (!sender->m_file.open(QIODevice::ReadOnly)) {
        delete sender;
        return false;
    }
    sender->m_left = sender->m_file.size();
    response->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(sender->m_left));
    if (response->bodyDropped())
        sender->m_left = 0; // HEAD: the length alone
    connect(response, &qhttp::server::QHttpResponse::allBytesWritten, sender, &HttpFileSender::pump);
    sender->pump();
    return true;
}

void HttpFileSender::pump()
{
    if (m_response->isFinished() || m_timerPending)
        return;
    if (m_left <= 0) {
        m_response->end();
        m_file.close();
        return;
    }
    const int budget = m_pauseMs > 0 ? 1 : QueuedSlices;
    for (int i = 0; i < budget && m_left > 0; ++i) {
        if (m_response->bytesPending() >= qint64(m_slice) * QueuedSlices)
            return;
        const QByteArray slice = m_file.read(qMin<qint64>(m_slice, m_left));
        if (slice.isEmpty()) {
            // The file shrank or failed under us: the promised length cannot
            // be kept, so the connection has to go.
            m_left = 0;
            m_response->connection()->killConnection();
            return;
        }
        m_left -= slice.size();
        if (m_left <= 0) {
            m_response->end(slice);
            m_file.close();
            return;
        }
        m_response->write(slice);
    }
    if (m_pauseMs > 0) {
        m_timerPending = true;
        QTimer::singleShot(m_pauseMs, this, [this]() {
            m_timerPending = false;
            pump();
        });
    }
}

} // namespace pc
} // namespace vexo
