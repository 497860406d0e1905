#include "httpserver/HttpServerReqHandler.h"

#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "package/FirmwarePackage.h"
#include "qhttp/QHttpTypes.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace vexo {
namespace pc {

namespace {

const QByteArray kJsonUtf8 = QByteArrayLiteral("application/json; charset=utf-8");
const QByteArray kOctets = QByteArrayLiteral("application/octet-stream");
const QString kUgsys = QStringLiteral("Ugsys_");

HttpServerReqHandler::Answer json(const QJsonObject &o, const QByteArray &type = kJsonUtf8, int status = 200)
{
    HttpServerReqHandler::Answer a;
    a.status = status;
    a.contentType = type;
    a.body = QJsonDocument(o).toJson(QJsonDocument::Indented);
    return a;
}

QJsonObject result(int code, const QString &reason)
{
    return QJsonObject{{QStringLiteral("errorcode"), code}, {QStringLiteral("reason"), reason}};
}

HttpServerReqHandler::Answer octetText(const QString &text)
{
    HttpServerReqHandler::Answer a;
    a.contentType = kOctets;
    a.body = text.toUtf8();
    return a;
}

QString statusOfName(const QString &name)
{
    if (name.contains(QLatin1String("release")))
        return QStringLiteral("release");
    if (name.contains(QLatin1String("test")))
        return QStringLiteral("test");
    return QStringLiteral("debug");
}

QString param(const QUrlQuery &q, const char *key)
{
    return q.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
}

} // namespace

HttpServerReqHandler::HttpServerReqHandler(const QString &firmwareDir)
    : m_dir(firmwareDir)
{
    if (!m_dir.endsWith(QLatin1Char('/')))
        m_dir += QLatin1Char('/');
}

bool HttpServerReqHandler::isSafeNamePart(const QString &value)
{
    if (value.contains(QLatin1Char('/')) || value.contains(QLatin1Char('\\')) || value.contains(QLatin1String("..")))
        return false;
    for (const QChar c : value) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return false;
    }
    return true;
}

QString HttpServerReqHandler::versionText(quint32 number)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(number & 0xff)
        .arg((number >> 8) & 0xff)
        .arg((number >> 16) & 0xff)
        .arg((number >> 24) & 0xff);
}

HttpServerReqHandler::Answer HttpServerReqHandler::handle(int method, const QUrl &url, const QByteArray &body) const
{
    const QString path = url.path();
    const QUrlQuery query(url);
    if (method == qhttp::EHTTP_GET) {
        if (path.startsWith(QLatin1String("/download")))
            return getServiceDownload(query);
        if (path.startsWith(QLatin1String("/query")))
            return getServiceQuery(query);
        if (path.startsWith(QLatin1String("/common")))
            return getServiceCommon(query);
    } else if (method == qhttp::EHTTP_POST) {
        return postService(body);
    }
    Answer a;
    a.status = 501;
    a.contentType = QByteArrayLiteral("text/plain; charset=utf-8");
    a.body = QByteArrayLiteral("Method is not support at present");
    return a;
}

HttpServerReqHandler::Answer HttpServerReqHandler::getServiceCommon(const QUrlQuery &query) const
{
    const int cmd = param(query, "cmd").toInt();
    if (cmd == 1) {
        // The liveness check cameras poll: always the same answer.
        static const Answer ok = json(result(200, QStringLiteral("OK")));
        return ok;
    }
    if (cmd == 2) {
        const int state = param(query, "state").toInt();
        int upgrade = 1;
        if (state == 0)
            upgrade = 0;
        else if (state == 1 || state == 2)
            upgrade = GlobalParams::instance()->getFallbackEnable() ? 0 : 1;
        QJsonObject o = result(200, QStringLiteral("OK"));
        o.insert(QStringLiteral("upgrade"), upgrade);
        return json(o);
    }
    return json(QJsonObject(), kJsonUtf8, 404);
}

QString HttpServerReqHandler::chooseQueryPackage(const QString &prefix, const QString &status) const
{
    QString chosen;
    quint32 best = 0;
    const QStringList names = QDir(m_dir).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (!name.startsWith(prefix))
            continue;
        if (status == QLatin1String("release") && !name.contains(QLatin1String("release")))
            continue;
        if (status == QLatin1String("test") && name.contains(QLatin1String("debug")))
            continue;
        const QString rest = name.mid(prefix.size());
        const quint32 number = Util::ipToUint(rest.left(rest.indexOf(QLatin1Char('_'))));
        if (number == 0)
            continue;
        if (number > best) {
            best = number;
            chosen = name;
        } else if (number == best) {
            if (name.contains(QLatin1String("release"))
                || (name.contains(QLatin1String("test")) && chosen.contains(QLatin1String("debug"))))
                chosen = name;
        }
    }
    return chosen;
}

QString HttpServerReqHandler::ensureUgsys(const QString &pkgName, bool *invalid) const
{
    *invalid = false;
    const QString ugsysPath = m_dir + kUgsys + pkgName;
    if (QFileInfo(ugsysPath).isFile())
        return QString();
    FirmwarePackage pkg(m_dir + pkgName);
    if (!pkg.verifyFirmware()) {
        *invalid = true;
        return QStringLiteral("Local firmware is invalid: ") + m_dir + pkgName;
    }
    if (!pkg.generateUgsysFwPackage())
        return QStringLiteral("Generate firmware failed: ") + ugsysPath;
    return QString();
}

HttpServerReqHandler::Answer HttpServerReqHandler::getServiceQuery(const QUrlQuery &query) const
{
    const QString product = param(query, "product");
    const QString branch = param(query, "branch");
    const QString platform = param(query, "platform");
    const QString status = param(query, "status");
    const int cmd = param(query, "cmd").toInt();
    const QJsonObject notFound = result(500, QStringLiteral("Cannot find firmware in local, please download first"));

    if (!isSafeNamePart(product) || !isSafeNamePart(branch) || !isSafeNamePart(platform))
        return json(notFound);
    const QString prefix = product + QLatin1Char('_') + branch + QLatin1Char('_') + platform + QLatin1Char('_');
    const QString chosen = chooseQueryPackage(prefix, status);
    if (chosen.isEmpty())
        return json(notFound);

    const QString rest = chosen.mid(prefix.size());
    const quint32 number = Util::ipToUint(rest.left(rest.indexOf(QLatin1Char('_'))));
    QString servedName;
    if (cmd == 1) {
        servedName = chosen;
    } else if (cmd == 2) {
        bool invalid = false;
        const QString error = ensureUgsys(chosen, &invalid);
        if (!error.isEmpty())
            return json(result(500, QStringLiteral("Local firmware is invalid, please download again")));
        servedName = kUgsys + chosen;
    } else {
        qWarning() << "Unknown cmd =" << cmd;
        return json(result(404, QStringLiteral("Unknown cmd")));
    }
    const QString path = m_dir + servedName;
    QJsonObject o = result(200, QStringLiteral("OK"));
    o.insert(QStringLiteral("product"), product);
    o.insert(QStringLiteral("branch"), branch);
    o.insert(QStringLiteral("platform"), platform);
    o.insert(QStringLiteral("url"), QString());
    o.insert(QStringLiteral("pkgsize"), QFileInfo(path).size());
    QFile file(path);
    o.insert(QStringLiteral("md5"), QString::fromLatin1(Util::fileMd5(&file, 0).toHex()));
    o.insert(QStringLiteral("version"), versionText(number));
    o.insert(QStringLiteral("status"), statusOfName(servedName));
    return json(o);
}

HttpServerReqHandler::Answer HttpServerReqHandler::getServiceDownload(const QUrlQuery &query) const
{
    const QString product = param(query, "product");
    const QString branch = param(query, "branch");
    const QString platform = param(query, "platform");
    const QString status = param(query, "status");
    const QString version = param(query, "version");
    const int cmd = param(query, "cmd").toInt();

    const QString stem = product + QLatin1Char('_') + branch + QLatin1Char('_') + platform + QLatin1Char('_') + version
        + QLatin1Char('_');
    const QString requested = m_dir + stem + status + QStringLiteral(".bin");
    const Answer missing = octetText(QStringLiteral("There is no corresponding firmware in local: ") + requested);
    for (const QString &part : {product, branch, platform, status, version}) {
        if (!isSafeNamePart(part))
            return missing;
    }

    QString chosen;
    const QString release = stem + QStringLiteral("release.bin");
    const QString test = stem + QStringLiteral("test.bin");
    const QString debug = stem + QStringLiteral("debug.bin");
    if (QFileInfo(m_dir + release).isFile())
        chosen = release;
    else if (QFileInfo(m_dir + test).isFile())
        chosen = status != QLatin1String("release") ? test : QString();
    else if (QFileInfo(m_dir + debug).isFile())
        chosen = status == QLatin1String("debug") ? debug : QString();
    if (chosen.isEmpty())
        return missing;

    Answer a;
    a.contentType = kOctets;
    if (cmd == 2) {
        bool invalid = false;
        const QString error = ensureUgsys(chosen, &invalid);
        if (!error.isEmpty())
            return octetText(error);
        a.filePath = m_dir + kUgsys + chosen;
    } else {
        a.filePath = m_dir + chosen;
    }
    return a;
}

HttpServerReqHandler::Answer HttpServerReqHandler::postService(const QByteArray &body) const
{
    const QByteArray type = QByteArrayLiteral("application/json");
    const QJsonObject o = QJsonDocument::fromJson(body).object();
    if (o.value(QStringLiteral("cmd")).toString() != QLatin1String("UpgradeProgress"))
        return json(result(401, QStringLiteral("Unknown cmd")), type);
    if (!o.contains(QStringLiteral("type")) || !o.contains(QStringLiteral("uuid")) || !o.contains(QStringLiteral("msg")))
        return json(result(301, QStringLiteral("Param error")), type);
    const QJsonValue t = o.value(QStringLiteral("type"));
    const int kind = t.isString() ? t.toString().toInt() : t.toInt();
    const QJsonValue uuid = o.value(QStringLiteral("uuid"));
    const QJsonValue msg = o.value(QStringLiteral("msg"));
    emit GlobalParams::instance()->devUpgradeProgress(static_cast<GlobalParams::UgProgressEnum>(kind),
                                                      uuid.isString() ? uuid.toString() : uuid.toVariant().toString(),
                                                      msg.isString() ? msg.toString() : msg.toVariant().toString());
    return json(result(200, QStringLiteral("OK")), type);
}

} // namespace pc
} // namespace vexo
