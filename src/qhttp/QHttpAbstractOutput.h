#pragma once

#include "qhttp/QHttpTypes.h"

#include <QObject>
#include <QPointer>

class QIODevice;

namespace qhttp {

// A message being sent: a client-side request or a server-side response.
// The head (start line and headers) goes out with the first write() or with
// end(); headers cannot change afterwards.
class QHttpAbstractOutput : public QObject
{
    Q_OBJECT
public:
    explicit QHttpAbstractOutput(QIODevice *device, QObject *parent = nullptr);
    ~QHttpAbstractOutput() override;

    virtual void setVersion(const QString &version);
    // Field names are stored lower case. False once the head was written.
    virtual bool putHeader(const QByteArray &field, const QByteArray &value);
    virtual const Headers &headers() const;
    virtual void write(const QByteArray &data);
    virtual void end(const QByteArray &data = QByteArray());

    bool headWritten() const { return m_headWritten; }
    bool isFinished() const { return m_finished; }
    // Whether the connection stays open after this message.
    bool keepAlive() const { return m_keepAlive; }
    // The body is not sent (the answer to a HEAD request).
    bool bodyDropped() const { return m_dropBody; }
    // Bytes handed to the transport but not yet passed to the system.
    qint64 bytesPending() const;

signals:
    // The transport's own buffer drained after a write.
    void allBytesWritten();
    // end() was called; the argument tells whether the connection closes.
    void done(bool wasTheLastPacket);

protected:
    // Start line of the head, with its "\r\n".
    virtual QByteArray startLine() const = 0;
    // Adds the defaults ("connection", "host", "date", ...) just before the
    // head goes out. bodySize is the whole body's length when end() writes
    // the head, -1 when the body follows in later writes.
    virtual void completeHeaders(qint64 bodySize) = 0;

    void writeHead(const QByteArray &firstChunk, qint64 bodySize);
    // Hands bytes to the transport; `whole` when they are all that is left
    // of the message, which may then skip the transport's buffer.
    void transmit(const QByteArray &bytes, bool whole);
    // Writes what it can of a whole message straight to the system, past
    // the transport's buffer (which then never needs a pass of the event
    // loop to drain); the bytes written. The rest goes through the buffer.
    virtual qint64 writeDirect(const char *data, qint64 size);
    // end() was called; runs before done() is emitted.
    virtual void finished(bool wasTheLastPacket);
    void writeBody(const QByteArray &data);
    // Applies the "connection" rule shared by both sides: only an explicit
    // keep-alive (and a caller that allows it) keeps the connection.
    void applyConnectionHeader(bool allowed);
    void detachDevice();
    void emitAllBytesWritten();

    QPointer<QIODevice> m_device;
    Headers m_headers;
    QString m_version = QStringLiteral("1.1");
    bool m_headWritten = false;
    bool m_finished = false;
    bool m_keepAlive = false;
    bool m_dropBody = false;
};

} // namespace qhttp
