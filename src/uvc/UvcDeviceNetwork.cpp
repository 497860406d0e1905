// Network cameras: identity reads and maintenance requests over the camera's
// small HTTP service, and the upgrade request that USB cameras get as a frame.
#include "uvc/UvcDevice.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"
#include "uvc/CommandIds.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>

namespace vexo {
namespace pc {

namespace {

// Until the request is under way, and for the whole exchange.
constexpr int ConnectTimeoutMs = 4000;
constexpr int RequestTimeoutMs = 5000;

void putHeaders(qhttp::client::QHttpRequest *req, const QByteArray &contentType, int bodySize)
{
    req->putHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("application/json"));
    req->putHeader(QByteArrayLiteral("Content-Type"), contentType);
    req->putHeader(QByteArrayLiteral("charset"), QByteArrayLiteral("utf-8"));
    req->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(bodySize));
}

// One exchange with its own client and local event loop on the calling
// thread: the request handler sends, onResponse takes the answer's head;
// the loop ends on the answer's end, a lost connection, the connecting
// time-out or the overall deadline. False when the client could not start.
bool runExchange(int method, const QUrl &url, const char *operation,
                 const qhttp::client::QHttpClient::RequestHandler &onRequest,
                 const std::function<void(qhttp::client::QHttpResponse *, QEventLoop &)> &onResponse)
{
    QEventLoop loop;
    qhttp::client::QHttpClient client;
    const bool ok = client.request(method, url, onRequest,
                                   [&](qhttp::client::QHttpResponse *res) { onResponse(res, loop); });
    if (!ok) {
        qWarning() << "Start http client request failed";
        return false;
    }
    client.setConnectTimeout(static_cast<quint32>(TimeScale::ms(ConnectTimeoutMs)));
    QObject::connect(&client, &qhttp::client::QHttpClient::connectingTimeOut, &loop, [&loop, operation]() {
        qWarning().noquote() << QStringLiteral("Connecting timeout: %1 failed").arg(QLatin1String(operation));
        loop.quit();
    });
    QObject::connect(&client, &qhttp::client::QHttpClient::disconnected, &loop, &QEventLoop::quit);
    QTimer::singleShot(TimeScale::ms(RequestTimeoutMs), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    return true;
}

} // namespace

QString UvcDevice::serverIpFor(const QString &ip)
{
    return ip.left(ip.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".20");
}

QString UvcDevice::getNetBaseUrl() const
{
    return QStringLiteral("http://%1:%2").arg(getIpAddr()).arg(globalParams()->getDevicePort());
}

QJsonObject UvcDevice::netPost(const char *operation, const char *path, const QByteArray &contentType,
                               const QByteArray &body)
{
    const QUrl url(getNetBaseUrl() + QLatin1String(path));
    QJsonObject answer;
    bool answered = false;
    const bool started = runExchange(
        qhttp::EHTTP_POST, url, operation,
        [&](qhttp::client::QHttpRequest *req) {
            putHeaders(req, contentType, body.size());
            req->end(body);
        },
        [&](qhttp::client::QHttpResponse *res, QEventLoop &loop) {
            res->collectBody(-1);
            res->whenEnd([&, res]() {
                answered = true;
                answer = QJsonDocument::fromJson(res->collectedBody()).object();
                loop.quit();
            });
        });
    if (started && answered && answer.isEmpty())
        qWarning() << "The response is an invalid json";
    return answered ? answer : QJsonObject();
}

QJsonObject UvcDevice::netDevInfo()
{
    if (!checkInited())
        return QJsonObject();
    return netPost("getDevInfo", "/query_device_info", QByteArrayLiteral("application/json"), QByteArray());
}

bool UvcDevice::reqDevReboot()
{
    if (!checkInited())
        return false;
    if (devMode_.load() != DevModeNet) {
        qWarning() << "Only supported in net mode";
        return false;
    }
    const QJsonObject a = netPost("reqDevReboot", "/run_shell_script", QByteArrayLiteral("text/plain"),
                                  QByteArrayLiteral("reboot"));
    if (a.isEmpty())
        return false;
    // The camera's answer carries the code as text; anything else fails.
    const QJsonValue code = a.value(QStringLiteral("errorcode"));
    if (!code.isString() || code.toString() != QLatin1String("200")) {
        qWarning() << "Execute shell cmd failed";
        return false;
    }
    return true;
}

int UvcDevice::reqDevChangeIpAddr(const QString &ip)
{
    if (!checkInited())
        return -1;
    QJsonObject body;
    body.insert(QStringLiteral("device_ip"), ip);
    body.insert(QStringLiteral("server_mode"), 2);
    const QJsonObject a = netPost("reqDevChangeIpAddr", "/change_ip", QByteArrayLiteral("application/json"),
                                  QJsonDocument(body).toJson(QJsonDocument::Compact));
    qInfo() << "reqDevUpgrade finished";
    return a.isEmpty() ? -1 : 0;
}

int UvcDevice::reqDevUpgrade()
{
    if (!checkInited())
        return -1;
    const QString serverIp = serverIpFor(getIpAddr());
    const quint16 port = globalParams()->getHostPort();
    const int mode = devMode_.load();
    if (mode == DevModeNet) {
        QJsonObject body;
        body.insert(QStringLiteral("server_ip"), serverIp);
        body.insert(QStringLiteral("server_port"), port);
        body.insert(QStringLiteral("server_mode"), 2);
        const QJsonObject a = netPost("reqDevUpgrade", "/start_upgrade", QByteArrayLiteral("application/json"),
                                      QJsonDocument(body).toJson(QJsonDocument::Compact));
        qInfo() << "reqDevUpgrade finished";
        return a.isEmpty() ? -1 : 0;
    }

    qInfo() << "Require device to upgrade:" << getIpAddr();
    // Address (first part most significant), port, server mode; little-endian.
    const quint32 addr = Util::ipToUint(serverIp);
    QByteArray payload;
    for (int i = 0; i < 4; ++i)
        payload.append(char((addr >> (8 * i)) & 0xff));
    payload.append(char(port & 0xff));
    payload.append(char(port >> 8));
    payload.append(char(mode == DevModeUpgrade ? 0 : 2));
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, cmd::SysUpgrade, payload, false);
    const ErrorType ret = mode == DevModeUpgrade ? sendMsgAsyncDirectly(f) : sendMsgAsync(f, false);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgAsync, ret_val =" << ret;
        return -1;
    }
    return 0;
}

int UvcDevice::getDevLogFile(QString *savedPath)
{
    if (!checkInited())
        return -1;
    if (devMode_.load() != DevModeNet) {
        qWarning() << "Only supported in net mode";
        return -1;
    }
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log/");
    QDir().mkpath(dir);
    const QString fallbackName = QString::fromLatin1(getUuid().toHex().toUpper()) + QStringLiteral(".tar.gz");

    QFile file;
    bool opened = false;
    bool ended = false;
    int status = 0;
    qint64 received = 0;
    const QUrl url(getNetBaseUrl() + QStringLiteral("/download_log"));
    runExchange(
        qhttp::EHTTP_GET, url, "getDevLogFile",
        [](qhttp::client::QHttpRequest *req) {
            putHeaders(req, QByteArrayLiteral("application/json"), 0);
            req->end();
        },
        [&](qhttp::client::QHttpResponse *res, QEventLoop &loop) {
            status = res->status();
            QString name = QString::fromUtf8(res->headers().value(QByteArrayLiteral("file-name")));
            // Only a plain name from the camera; never a path.
            name = QFileInfo(name).fileName();
            if (name.isEmpty())
                name = fallbackName;
            const QString path
                = dir + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_hhmmss_")) + name;
            qInfo().noquote() << "file path =" << path;
            if (savedPath)
                *savedPath = path;
            file.setFileName(path);
            if (!file.open(QIODevice::WriteOnly)) {
                qWarning() << "Open file failed";
                loop.quit();
                return;
            }
            opened = true;
            res->whenData([&](const QByteArray &chunk) {
                received += chunk.size();
                file.write(chunk);
            });
            res->whenEnd([&]() {
                ended = true;
                loop.quit();
            });
        });
    if (!opened)
        return -1;
    qInfo() << "File size received =" << received;
    file.flush();
    file.close();
    const bool ok = ended && status == 200;
    if (!ok)
        file.remove();
    qInfo() << "getDevLogFile finished:" << ok;
    return ok ? 0 : -1;
}

} // namespace pc
} // namespace vexo
