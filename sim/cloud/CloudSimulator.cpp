#include "CloudSimulator.h"

#include "comm/PackageInfo.h"
#include "comm/Util.h"
#include "qhttp/QHttpConnection.h"
#include "httpserver/HttpFileSender.h"
#include "httpserver/HttpServerReqHandler.h"
#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QTimer>
#include <QUrlQuery>

namespace vexo {
namespace pc {

bool CloudSimulator::isValidMode(const QString &mode)
{
    static const QStringList plain = {QStringLiteral("normal"), QStringLiteral("malformed"),
                                      QStringLiteral("no-errorcode"), QStringLiteral("two-packages"),
                                      QStringLiteral("silent"), QStringLiteral("slow"),
                                      QStringLiteral("packages-object"), QStringLiteral("wrong-md5"),
                                      QStringLiteral("upper-md5"), QStringLiteral("short-body"),
                                      QStringLiteral("stall")};
    if (plain.contains(mode))
        return true;
    if (mode.startsWith(QLatin1String("error:")) || mode.startsWith(QLatin1String("http:"))
        || mode.startsWith(QLatin1String("download-http:"))) {
        bool ok = false;
        mode.mid(mode.indexOf(QLatin1Char(':')) + 1).toInt(&ok);
        return ok;
    }
    return false;
}

CloudSimulator::CloudSimulator(QObject *parent)
    : QObject(parent)
    , m_server(new qhttp::server::QHttpServer(this))
{
    m_server->setIdleTimeout(60000);
    m_server->setMaxBodySize(1024 * 1024);
}

CloudSimulator::~CloudSimulator() = default;

bool CloudSimulator::start(const QString &bindAddress, quint16 port)
{
    m_bindAddress = bindAddress;
    return m_server->listen(QHostAddress(bindAddress), port,
                            [this](qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res) {
                                handle(req, res);
                            });
}

quint16 CloudSimulator::port() const
{
    return m_server->serverPort();
}

QString CloudSimulator::errorString() const
{
    return m_server->errorString();
}

void CloudSimulator::setMode(const QString &mode)
{
    QMutexLocker lock(&m_lock);
    m_mode = mode;
}

QString CloudSimulator::mode() const
{
    QMutexLocker lock(&m_lock);
    return m_mode;
}

bool CloudSimulator::setRecordFile(const QString &path)
{
    QMutexLocker lock(&m_lock);
    m_recordFile.close();
    m_recordFile.setFileName(path);
    return m_recordFile.open(QIODevice::WriteOnly | QIODevice::Append);
}

QJsonArray CloudSimulator::records() const
{
    QMutexLocker lock(&m_lock);
    return m_records;
}

void CloudSimulator::handle(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res)
{
    req->collectBody(-1);
    req->whenEnd([this, req, res]() { route(req, res); });
}

void CloudSimulator::record(qhttp::server::QHttpRequest *req, const QByteArray &body)
{
    QJsonObject entry;
    entry.insert(QStringLiteral("time"), QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs));
    entry.insert(QStringLiteral("method"), QString::fromLatin1(req->methodString()));
    entry.insert(QStringLiteral("path"), req->url().path());
    entry.insert(QStringLiteral("query"), req->url().query());
    QJsonObject headers;
    for (auto it = req->headers().constBegin(); it != req->headers().constEnd(); ++it)
        headers.insert(QString::fromLatin1(it.key()), QString::fromLatin1(it.value()));
    entry.insert(QStringLiteral("headers"), headers);
    QJsonParseError err{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &err);
    if (err.error == QJsonParseError::NoError && doc.isObject())
        entry.insert(QStringLiteral("body"), doc.object());
    else
        entry.insert(QStringLiteral("body"), QString::fromUtf8(body));

    QMutexLocker lock(&m_lock);
    m_records.append(entry);
    if (m_recordFile.isOpen()) {
        m_recordFile.write(QJsonDocument(entry).toJson(QJsonDocument::Compact) + '\n');
        m_recordFile.flush();
    }
}

void CloudSimulator::answerJson(qhttp::server::QHttpResponse *res, const QByteArray &body, int status)
{
    res->setStatus(status);
    res->putHeader(QByteArrayLiteral("content-type"), QByteArrayLiteral("application/json; charset=utf-8"));
    if (mode() != QLatin1String("slow")) {
        res->end(body);
        return;
    }
    // Slow: the promised length arrives a few bytes at a time.
    res->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(body.size()));
    auto *timer = new QTimer(res);
    auto offset = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, res, [res, body, offset, timer]() {
        const QByteArray slice = body.mid(*offset, 8);
        *offset += slice.size();
        if (*offset >= body.size()) {
            timer->stop();
            res->end(slice);
        } else {
            res->write(slice);
        }
    });
    timer->start(m_slowPauseMs);
}

void CloudSimulator::route(qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res)
{
    const QByteArray body = req->collectedBody();
    const QString path = req->url().path();
    if (path.startsWith(QLatin1String("/sim/"))) {
        // Control routes are never recorded and never silent.
        if (path == QLatin1String("/sim/mode") && req->method() == qhttp::EHTTP_POST) {
            const QString m = QJsonDocument::fromJson(body).object().value(QStringLiteral("mode")).toString();
            if (!isValidMode(m))
                return answerJson(res, R"({"errorcode":400,"reason":"Unknown mode"})");
            setMode(m);
            res->setStatus(200);
            return res->end(R"({"errorcode":200,"reason":"OK"})");
        }
        if (path == QLatin1String("/sim/records")) {
            res->setStatus(200);
            res->putHeader(QByteArrayLiteral("content-type"), QByteArrayLiteral("application/json"));
            return res->end(QJsonDocument(records()).toJson(QJsonDocument::Compact));
        }
        res->setStatus(404);
        return res->end();
    }

    if (req->method() == qhttp::EHTTP_GET && path.startsWith(QLatin1String("/download/")))
        return answerDownload(path.mid(int(strlen("/download/"))), res);

    record(req, body);
    const QString m = mode();
    if (m == QLatin1String("silent"))
        return; // the connection stays open without an answer
    if (m.startsWith(QLatin1String("http:")))
        return answerJson(res, "{}", m.mid(5).toInt());

    if (path.contains(QLatin1String("dev_query")))
        return answerQuery(QJsonDocument::fromJson(body).object(), res);
    if (path.startsWith(QLatin1String("/dev/")) || path.startsWith(QLatin1String("/nimocam/"))) {
        if (m.startsWith(QLatin1String("error:")))
            return answerJson(res, QStringLiteral(R"({"errorcode":%1,"reason":"Simulated error"})")
                                       .arg(m.mid(6).toInt()).toUtf8());
        if (m == QLatin1String("malformed"))
            return answerJson(res, "{malformed");
        return answerJson(res, R"({"errorcode":200,"reason":"OK"})");
    }
    answerJson(res, R"({"errorcode":404,"reason":"Unknown route"})", 404);
}

QJsonObject CloudSimulator::findPackage(const QJsonObject &request) const
{
    const QString product = request.value(QStringLiteral("product")).toString();
    const QString branch = request.value(QStringLiteral("branch")).toString();
    const QString platform = request.value(QStringLiteral("platform")).toString();
    const QString wanted = request.value(QStringLiteral("status")).toString();
    const QString prefix = product + QLatin1Char('_') + branch + QLatin1Char('_') + platform + QLatin1Char('_');
    if (m_firmwareDir.isEmpty() || product.isEmpty())
        return QJsonObject();

    QString best;
    QString bestVersion;
    QString bestStatus;
    quint32 bestNumber = 0;
    const QStringList names = QDir(m_firmwareDir).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (!name.startsWith(prefix) || name.startsWith(QLatin1String("Ugsys_")) || name.endsWith(QLatin1String(".json")))
            continue;
        // product_branch_platform_VERSION_STATUS.ext
        const QString rest = name.mid(prefix.size());
        const int us = rest.indexOf(QLatin1Char('_'));
        const int dot = rest.lastIndexOf(QLatin1Char('.'));
        if (us <= 0 || dot <= us)
            continue;
        const QString version = rest.left(us);
        const QString status = rest.mid(us + 1, dot - us - 1);
        if (!PackageInfo::statusAcceptable(wanted, status))
            continue;
        const quint32 number = Util::ipToUint(version);
        if (number > bestNumber || (number == bestNumber && status == QLatin1String("release"))) {
            best = name;
            bestVersion = version;
            bestStatus = status;
            bestNumber = number;
        }
    }
    if (best.isEmpty())
        return QJsonObject();

    const QString path = QDir(m_firmwareDir).filePath(best);
    QString base = m_baseUrl;
    if (base.isEmpty())
        base = QStringLiteral("http://%1:%2/").arg(m_bindAddress).arg(port());
    QJsonObject pkg;
    pkg.insert(QStringLiteral("product"), product);
    pkg.insert(QStringLiteral("branch"), branch);
    pkg.insert(QStringLiteral("platform"), platform);
    pkg.insert(QStringLiteral("url"), QString(base + QStringLiteral("download/") + best));
    pkg.insert(QStringLiteral("pkgsize"), QFileInfo(path).size());
    QFile file(path);
    QString md5 = QString::fromLatin1(Util::fileMd5(&file, 0).toHex());
    const QString m = mode();
    if (m == QLatin1String("upper-md5"))
        md5 = md5.toUpper();
    else if (m == QLatin1String("wrong-md5"))
        md5 = QString(md5.size(), QLatin1Char('0'));
    pkg.insert(QStringLiteral("md5"), md5);
    pkg.insert(QStringLiteral("version"), bestVersion);
    pkg.insert(QStringLiteral("status"), bestStatus);
    // Further answer fields (release notes) from "<package>.json" beside it.
    QFile extra(path + QStringLiteral(".json"));
    if (extra.open(QIODevice::ReadOnly)) {
        const QJsonObject fields = QJsonDocument::fromJson(extra.readAll()).object();
        for (auto it = fields.constBegin(); it != fields.constEnd(); ++it) {
            if (!pkg.contains(it.key()))
                pkg.insert(it.key(), it.value());
        }
    }
    return pkg;
}

void CloudSimulator::answerQuery(const QJsonObject &request, qhttp::server::QHttpResponse *res)
{
    const QString m = mode();
    if (m.startsWith(QLatin1String("error:"))) {
        return answerJson(res, QStringLiteral(R"({"errorcode":%1,"reason":"Simulated error"})")
                                   .arg(m.mid(6).toInt()).toUtf8());
    }
    if (m == QLatin1String("malformed"))
        return answerJson(res, R"({"errorcode":200,"packages":[{"product":)");

    const QJsonObject pkg = findPackage(request);
    QJsonObject answer;
    if (pkg.isEmpty()) {
        answer.insert(QStringLiteral("errorcode"), 404);
        answer.insert(QStringLiteral("reason"), QStringLiteral("No package found"));
    } else {
        QJsonArray packages{pkg};
        if (m == QLatin1String("two-packages"))
            packages.append(pkg);
        if (m != QLatin1String("no-errorcode"))
            answer.insert(QStringLiteral("errorcode"), 200);
        answer.insert(QStringLiteral("reason"), QStringLiteral("OK"));
        if (m == QLatin1String("packages-object"))
            answer.insert(QStringLiteral("packages"), pkg);
        else
            answer.insert(QStringLiteral("packages"), packages);
    }
    answerJson(res, QJsonDocument(answer).toJson(QJsonDocument::Compact));
}

void CloudSimulator::answerDownload(const QString &name, qhttp::server::QHttpResponse *res)
{
    const QString m = mode();
    if (m == QLatin1String("silent"))
        return;
    res->putHeader(QByteArrayLiteral("content-type"), QByteArrayLiteral("application/octet-stream"));
    const QString path = QDir(m_firmwareDir).filePath(name);
    if (name.isEmpty() || !HttpServerReqHandler::isSafeNamePart(name) || m_firmwareDir.isEmpty()
        || !QFileInfo(path).isFile()) {
        res->setStatus(404);
        return res->end();
    }
    if (m.startsWith(QLatin1String("download-http:")))
        res->setStatus(m.mid(int(strlen("download-http:"))).toInt());
    else
        res->setStatus(m.startsWith(QLatin1String("http:")) ? m.mid(5).toInt() : 200);
    if (m == QLatin1String("short-body") || m == QLatin1String("stall"))
        return answerHalf(path, m == QLatin1String("short-body"), res);
    const bool slow = m == QLatin1String("slow");
    if (!HttpFileSender::send(res, path, slow ? 4096 : 0, slow ? m_slowPauseMs : 0)) {
        res->setStatus(500);
        res->end();
    }
}

// Promises the whole file, sends its first half, then closes the connection
// (close) or stays silent.
void CloudSimulator::answerHalf(const QString &path, bool close, qhttp::server::QHttpResponse *res)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        res->setStatus(500);
        return res->end();
    }
    res->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(file.size()));
    res->write(file.read(file.size() / 2));
    if (close) {
        QTimer::singleShot(200, res, [res]() {
            if (res->connection())
                res->connection()->killConnection();
        });
    }
}

} // namespace pc
} // namespace vexo
