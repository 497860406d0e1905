#pragma once

#include "qhttp/QHttpHeaderCollector.h"
#include "qhttp/QHttpTypes.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>

#include <memory>

class QLocalSocket;
class QTcpSocket;

namespace qhttp {
template <typename Owner>
struct QHttpParserBinding;

namespace server {

class QHttpRequest;
class QHttpResponse;
class QHttpServer;

// Bounds a server applies to every connection. Zero (or negative) switches a
// bound off.
struct ConnectionLimits {
    quint32 idleTimeout = 0;     // ms without traffic before the socket closes
    quint32 requestTimeout = 0;  // ms from a request's first byte to its end
    int maxHeadSize = 64 * 1024; // request line and headers
    qint64 maxBodySize = -1;     // request body
};

// One accepted socket. Parses the byte stream into requests, one at a time:
// a pipelined request waits in the buffer until the answer to the previous
// one has ended, so answers never interleave.
class QHttpConnection final : public QObject
{
    Q_OBJECT
public:
    ~QHttpConnection() override;

    void setIdleTimeout(quint32 ms);
    quint32 idleTimeout() const { return m_limits.idleTimeout; }
    void killConnection();
    Backend backend() const;

    // The descriptor an answer's body may be written to directly, past the
    // socket's own buffer (a file handed to the system): a connected TCP
    // socket with nothing buffered for output. -1 otherwise; the body then
    // goes through write().
    qintptr directDescriptor() const;
    // Body bytes written through that descriptor: traffic for the idle
    // deadline like any other.
    void noteDirectWrite() { restartIdle(); }

signals:
    void newRequest(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res);
    void disconnected();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    friend class QHttpServer;
    friend class QHttpResponse; // reports the end of each answer
    struct Parser;
    QHttpConnection(const ConnectionLimits &limits, QObject *parent);
    void attach(QTcpSocket *socket);
    void attach(QLocalSocket *socket);
    void start();

    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void onResponseDone(bool last);
    void readAndParse();
    void parsePending();
    void fail(int status);
    void closeGracefully();
    void restartIdle();
    void armRequestDeadline();

    friend struct qhttp::QHttpParserBinding<QHttpConnection>;
    int onMessageBegin();
    int onUrl(const char *at, size_t length);
    int onHeadersComplete();
    int onBody(const char *at, size_t length);
    int onMessageComplete();

    std::unique_ptr<Parser> m_parser;
    // The server that accepted the socket, told of requests and of the end
    // directly (cleared when the server goes first).
    QPointer<QHttpServer> m_owner;
    ConnectionLimits m_limits;

    QHttpRequest *m_request = nullptr;
    QHttpResponse *m_response = nullptr;

    QByteArray m_pending; // received, not yet parsed
    QByteArray m_target;
    QHttpHeaderCollector m_head;
    qint64 m_bodyBytes = 0;
    int m_errorStatus = 0;

    bool m_inMessage = false; // a request is being received
    bool m_waiting = false;   // request complete, answer not ended yet
    bool m_closing = false;
    bool m_parsing = false;
    bool m_reading = false;        // in readAndParse
    bool m_closeAfterRead = false; // a close asked for while reading
    bool m_readScheduled = false;
    bool m_disconnected = false;

    QBasicTimer m_idleTimer;
    QBasicTimer m_requestTimer;
    QElapsedTimer m_activity;
    QElapsedTimer m_requestBegun;
};

} // namespace server
} // namespace qhttp
