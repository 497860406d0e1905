#pragma once

#include "qhttp/QHttpTypes.h"

#include <QObject>

#include <functional>

namespace qhttp {

// A message being received: a server-side request or a client-side response.
// Body chunks arrive through data(); end() follows the last one. When
// collectBody() was called, the chunks are also gathered for collectedBody().
class QHttpAbstractInput : public QObject
{
    Q_OBJECT
public:
    explicit QHttpAbstractInput(QObject *parent = nullptr);
    ~QHttpAbstractInput() override;

    virtual const Headers &headers() const;
    virtual const QString &version() const;
    // True once the whole message was received without a parse error.
    virtual bool parsedOk() const;
    // Switches collecting on. A positive limit bounds the collected bytes
    // (the rest of a larger body is dropped, and the overflow is remembered);
    // zero or a negative limit collects everything.
    virtual void collectBody(int maxBytes = -1);
    virtual const QByteArray &collectedBody() const;

    // True when a body larger than the collect limit was cut.
    bool bodyTruncated() const { return m_truncated; }

    void whenData(const std::function<void(const QByteArray &)> &handler);
    void whenEnd(const std::function<void()> &handler);

signals:
    void data(const QByteArray &chunk);
    void end();

protected:
    // Called by the parser side.
    void appendBody(const char *at, int length);
    void finish(bool ok);

    Headers m_headers;
    QString m_version;
    bool m_parsedOk = false;
    bool m_collect = false;
    bool m_truncated = false;
    int m_collectLimit = -1;
    QByteArray m_body;
};

} // namespace qhttp
