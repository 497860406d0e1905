#include "httpserver/HttpServer.h"

#include "comm/GlobalParams.h"
#include "httpserver/HttpServerReqHandler.h"
#include "httpserver/HttpServerReqMapper.h"
#include "qhttp/QHttpServer.h"

#include <QDebug>
#include <QDir>
#include <QStandardPaths>
#include <QThread>

namespace vexo {
namespace pc {

HttpServer::HttpServer(const QString &firmwareDir, quint16 port, const QHostAddress &address, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_port(port)
    , m_portSet(port != 0)
{
    QString dir = firmwareDir;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/firmware/");
    QDir().mkpath(dir);
    m_handler = std::make_shared<const HttpServerReqHandler>(dir);
}

HttpServer::~HttpServer() = default;

QString HttpServer::firmwareDir() const
{
    return m_handler->firmwareDir();
}

void HttpServer::initServer()
{
    qInfo() << "Thread =" << QThread::currentThread();
    if (!m_server) {
        m_server = new qhttp::server::QHttpServer(this);
        m_server->setIdleTimeout(static_cast<quint32>(m_idleMs));
        m_server->setRequestTimeout(static_cast<quint32>(m_requestMs));
        m_server->setMaxHeadSize(MaxHeadSize);
        m_server->setMaxBodySize(HttpServerReqMapper::MaxBody);
        m_server->setMaxConnections(MaxConnections);
    }
    const quint16 port = m_portSet ? m_port : GlobalParams::instance()->getHostPort();
    const auto handler = m_handler;
    const bool ok = m_server->listen(m_address, port,
                                     [handler](qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res) {
                                         HttpServerReqMapper::attach(req, res, handler);
                                     });
    m_listeningPort.store(ok ? m_server->serverPort() : 0);
    if (!ok) {
        const QString error = m_server->errorString();
        qCritical().noquote() << "Start http server failed:" << error;
        emit errorOccurred(error);
    }
}

void HttpServer::stopServer()
{
    if (m_server)
        m_server->stopServing();
    m_listeningPort.store(0);
}

} // namespace pc
} // namespace vexo
