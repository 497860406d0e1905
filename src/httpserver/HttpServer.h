#pragma once

#include <QHostAddress>
#include <QObject>
#include <QString>

#include <atomic>
#include <memory>

namespace qhttp {
namespace server {
class QHttpServer;
}
} // namespace qhttp

namespace vexo {
namespace pc {

class HttpServerReqHandler;

// The local HTTP service network cameras upgrade from: firmware queries,
// package downloads, common commands and progress reports. It runs on the
// thread it lives in (the main window moves it to a thread of its own and
// starts it with initServer). It listens on every IPv4 interface, so every
// request is bounded: head and body sizes, idle and slow connections, and
// the number of connections.
class HttpServer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(HttpServer)

public:
    static constexpr int IdleTimeoutMs = 30000;
    static constexpr int RequestTimeoutMs = 30000;
    static constexpr int MaxHeadSize = 16 * 1024;
    static constexpr int MaxConnections = 256;

    // Empty firmwareDir: the application data folder + "/firmware/";
    // port 0 here means the `host_port` setting.
    explicit HttpServer(const QString &firmwareDir = QString(), quint16 port = 0,
                        const QHostAddress &address = QHostAddress(QHostAddress::AnyIPv4), QObject *parent = nullptr);
    ~HttpServer() override;

    // Both may be asked from any thread.
    bool isListening() const { return m_listeningPort.load() != 0; }
    quint16 serverPort() const { return m_listeningPort.load(); }
    QString firmwareDir() const;
    // Any free port (0) or a fixed one instead of the setting.
    void setPort(quint16 port) { m_port = port; m_portSet = true; }
    // Shorter bounds for tests; takes effect at initServer.
    void setTimeouts(int idleMs, int requestMs) { m_idleMs = idleMs; m_requestMs = requestMs; }

signals:
    void errorOccurred(const QString &error);

public slots:
    void initServer();
    void stopServer();

private:
    qhttp::server::QHttpServer *m_server = nullptr;
    std::shared_ptr<const HttpServerReqHandler> m_handler;
    QHostAddress m_address;
    quint16 m_port;
    bool m_portSet;
    int m_idleMs = IdleTimeoutMs;
    int m_requestMs = RequestTimeoutMs;
    std::atomic<quint16> m_listeningPort{0};
};

} // namespace pc
} // namespace vexo
