#pragma once

#include "qhttp/QHttpHeaderCollector.h"
#include "qhttp/QHttpTypes.h"

#include <QBasicTimer>
#include <QObject>
#include <QUrl>

#include <functional>
#include <memory>

namespace qhttp {
template <typename Owner>
struct QHttpParserBinding;

namespace client {

class QHttpRequest;
class QHttpResponse;

// Asynchronous HTTP/1.1 client serving one request at a time. Everything is
// delivered on the owning thread's event loop; nothing blocks. A client
// destroyed mid-request closes its socket.
class QHttpClient final : public QObject
{
    Q_OBJECT
public:
    using RequestHandler = std::function<void(QHttpRequest *)>;
    using ResponseHandler = std::function<void(QHttpResponse *)>;

    explicit QHttpClient(QObject *parent = nullptr);
    ~QHttpClient() override;

    // Starts one request; false (and nothing done) for an invalid or empty
    // URL. The request handler gets the request once the connection is up
    // and must finish it with end(); the response handler gets the response
    // when its headers have arrived. Handlers of an earlier request are
    // dropped.
    bool request(int method, const QUrl &url, const RequestHandler &reqHandler,
                 const ResponseHandler &respHandler);

    // Non-zero starts a single timer that emits connectingTimeOut() unless
    // the connection is up by then; zero stops it.
    void setConnectTimeout(quint32 ms);
    // Non-zero closes the socket after that long without traffic.
    void setIdleTimeout(quint32 ms);
    quint32 idleTimeout() const { return m_idleTimeout; }
    // Upper bound of a response head (status line and headers); a longer
    // head is a parse error. Default 64 KiB.
    void setMaxHeadSize(int bytes) { m_head.setMaxHeadSize(bytes); }

    bool isOpen() const;
    void killConnection();

signals:
    void httpConnected(qhttp::client::QHttpRequest *req);
    void newResponse(qhttp::client::QHttpResponse *res);
    void disconnected();
    void connectingTimeOut();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    struct Parser;
    void openSocket();
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void feed(const char *data, size_t length);
    void failParse();

    // Parser callbacks.
    friend struct qhttp::QHttpParserBinding<QHttpClient>;
    int onMessageBegin();
    int onHeadersComplete();
    int onBody(const char *at, size_t length);
    int onMessageComplete();

    std::unique_ptr<Parser> m_parser;
    RequestHandler m_reqHandler;
    ResponseHandler m_respHandler;
    QUrl m_url;
    int m_method = 1;
    quint64 m_generation = 0;

    QHttpRequest *m_request = nullptr;
    QHttpResponse *m_response = nullptr;

    QHttpHeaderCollector m_head;
    bool m_feeding = false;

    QBasicTimer m_connectTimer;
    QBasicTimer m_idleTimer;
    quint32 m_idleTimeout = 0;
};

} // namespace client
} // namespace qhttp
