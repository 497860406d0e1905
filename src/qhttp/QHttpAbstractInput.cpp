#include "qhttp/QHttpAbstractInput.h"

#include <QMetaMethod>

namespace qhttp {

QHttpAbstractInput::QHttpAbstractInput(QObject *parent)
    : QObject(parent)
{
}

QHttpAbstractInput::~QHttpAbstractInput() = default;

const Headers &QHttpAbstractInput::headers() const
{
    return m_headers;
}

const QString &QHttpAbstractInput::version() const
{
    return m_version;
}

bool QHttpAbstractInput::parsedOk() const
{
    return m_parsedOk;
}

void QHttpAbstractInput::collectBody(int maxBytes)
{
    m_collect = true;
    m_truncated = false;
    m_collectLimit = maxBytes > 0 ? maxBytes : -1;
    m_body.clear();
    if (maxBytes > 0)
        m_body.reserve(maxBytes);
}

const QByteArray &QHttpAbstractInput::collectedBody() const
{
    return m_body;
}

void QHttpAbstractInput::whenData(const std::function<void(const QByteArray &)> &handler)
{
    connect(this, &QHttpAbstractInput::data, this, handler);
}

void QHttpAbstractInput::whenEnd(const std::function<void()> &handler)
{
    connect(this, &QHttpAbstractInput::end, this, handler);
}

void QHttpAbstractInput::appendBody(const char *at, int length)
{
    if (length <= 0)
        return;
    if (m_collect) {
        int take = length;
        if (m_collectLimit > 0) {
            const int room = m_collectLimit - m_body.size();
            if (room < take) {
                take = qMax(room, 0);
                m_truncated = true;
            }
        }
        if (take > 0)
            m_body.append(at, take);
    }
    static const QMetaMethod dataSignal = QMetaMethod::fromSignal(&QHttpAbstractInput::data);
    if (isSignalConnected(dataSignal))
        emit data(QByteArray(at, length));
}

void QHttpAbstractInput::finish(bool ok)
{
    m_parsedOk = ok;
    emit end();
}

} // namespace qhttp
