#include "qhttp/QHttpAbstractOutput.h"

#include <QIODevice>

namespace qhttp {

QHttpAbstractOutput::QHttpAbstractOutput(QIODevice *device, QObject *parent)
    : QObject(parent)
    , m_device(device)
{
}

QHttpAbstractOutput::~QHttpAbstractOutput() = default;

void QHttpAbstractOutput::setVersion(const QString &version)
{
    if (!m_headWritten)
        m_version = version;
}

bool QHttpAbstractOutput::putHeader(const QByteArray &field, const QByteArray &value)
{
    if (m_headWritten)
        return false;
    m_headers.insert(field.toLower(), value);
    return true;
}

const Headers &QHttpAbstractOutput::headers() const
{
    return m_headers;
}

void QHttpAbstractOutput::write(const QByteArray &data)
{
    if (m_finished)
        return;
    if (!m_headWritten)
        writeHead(data, -1);
    else
        writeBody(data);
}

void QHttpAbstractOutput::end(const QByteArray &data)
{
    if (m_finished)
        return;
    if (!m_headWritten)
        writeHead(data, data.size());
    else
        writeBody(data);
    m_finished = true;
    finished(!m_keepAlive);
    emit done(!m_keepAlive);
}

qint64 QHttpAbstractOutput::bytesPending() const
{
    return m_device ? m_device->bytesToWrite() : 0;
}

void QHttpAbstractOutput::writeHead(const QByteArray &firstChunk, qint64 bodySize)
{
    completeHeaders(bodySize);
    m_headWritten = true;

    QByteArray head = startLine();
    head.reserve(head.size() + 64 * m_headers.size() + 2);
    for (auto it = m_headers.constBegin(); it != m_headers.constEnd(); ++it) {
        head += it.key();
        head += ": ";
        head += it.value();
        head += "\r\n";
    }
    head += "\r\n";
    if (!m_device)
        return;
    // end() with the head: the whole message is here, nothing follows it.
    const bool whole = bodySize >= 0;
    // Small bodies travel in the same segment as the head.
    if (!m_dropBody && !firstChunk.isEmpty() && firstChunk.size() <= 64 * 1024) {
        head += firstChunk;
        transmit(head, whole);
        return;
    }
    transmit(head, whole && (m_dropBody || firstChunk.isEmpty()));
    writeBody(firstChunk);
}

void QHttpAbstractOutput::transmit(const QByteArray &bytes, bool whole)
{
    const qint64 direct = whole ? writeDirect(bytes.constData(), bytes.size()) : 0;
    if (direct < bytes.size())
        m_device->write(bytes.constData() + direct, bytes.size() - direct);
}

void QHttpAbstractOutput::finished(bool)
{
}

qint64 QHttpAbstractOutput::writeDirect(const char *, qint64)
{
    return 0;
}

void QHttpAbstractOutput::writeBody(const QByteArray &data)
{
    if (m_dropBody || data.isEmpty() || !m_device)
        return;
    m_device->write(data);
}

void QHttpAbstractOutput::applyConnectionHeader(bool allowed)
{
    const auto it = m_headers.constFind(QByteArrayLiteral("connection"));
    if (allowed && it != m_headers.constEnd() && headerValueIs(it.value(), "keep-alive")) {
        m_keepAlive = true;
    } else {
        m_keepAlive = false;
        m_headers.insert(QByteArrayLiteral("connection"), QByteArrayLiteral("close"));
    }
}

void QHttpAbstractOutput::detachDevice()
{
    m_device = nullptr;
}

void QHttpAbstractOutput::emitAllBytesWritten()
{
    emit allBytesWritten();
}

} // namespace qhttp
