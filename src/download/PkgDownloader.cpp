#include "download/PkgDownloader.h"

#include "comm/AppTask.h"
#include "comm/GlobalParams.h"
#include "comm/PackageInfo.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "package/FirmwarePackage.h"
#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutexLocker>
#include <QTimer>
#include <QUrl>

namespace vexo {
namespace pc {

namespace {

// A server silent this long (connecting, or between two pieces of the
// answer) ends the exchange.
constexpr int kInactivityMs = 5000;
constexpr int kConnectTimeoutMs = 5000;
// Progress reports are at least this far apart.
constexpr qint64 kProgressIntervalMs = 50;
// How often a waiting exchange looks for a cancel request.
constexpr int kCancelPollMs = 50;

} // namespace

void PkgDownloader::registerMetaType()
{
    qRegisterMetaType<PkgDownloader::InfoType>("PkgDownloader::InfoType");
    qRegisterMetaType<PkgDownloader::InfoType>("vexo::pc::PkgDownloader::InfoType");
}

QString PkgDownloader::installerExtension()
{
#if defined(Q_OS_WIN)
    return QStringLiteral(".exe");
#else
    return QStringLiteral(".deb");
#endif
}

PkgDownloader::PkgDownloader(QObject *parent)
    : QThread(parent)
{
    registerMetaType();
}

PkgDownloader::~PkgDownloader()
{
    if (isRunning()) {
        requestInterruption();
        quit();
        wait();
    }
}

void PkgDownloader::setRequest(const QJsonObject &request)
{
    QMutexLocker lock(&m_lock);
    m_request = request;
}

QJsonObject PkgDownloader::request() const
{
    QMutexLocker lock(&m_lock);
    return m_request;
}

void PkgDownloader::setDownloadDir(const QString &dir)
{
    QMutexLocker lock(&m_lock);
    m_downloadDir = dir;
    if (!m_downloadDir.isEmpty() && !m_downloadDir.endsWith(QLatin1Char('/')))
        m_downloadDir += QLatin1Char('/');
}

QString PkgDownloader::downloadDir() const
{
    QMutexLocker lock(&m_lock);
    return m_downloadDir;
}

void PkgDownloader::setQueryUrl(const QString &url)
{
    QMutexLocker lock(&m_lock);
    m_queryUrl = url;
}

QJsonObject PkgDownloader::package() const
{
    QMutexLocker lock(&m_lock);
    return m_package;
}

QString PkgDownloader::pkgFileName() const
{
    QMutexLocker lock(&m_lock);
    const bool firmware = m_request.value(QStringLiteral("pkg_type")).toInt() != 0;
    return PackageInfo::fileName(m_package, firmware ? QStringLiteral(".bin") : installerExtension());
}

QString PkgDownloader::pkgFilePath() const
{
    return downloadDir() + pkgFileName();
}

void PkgDownloader::cancel()
{
    if (!isRunning())
        return;
    requestInterruption();
    wait();
}

bool PkgDownloader::queryLatestFwInfo()
{
    QString url;
    {
        QMutexLocker lock(&m_lock);
        url = m_queryUrl;
    }
    if (url.isEmpty())
        url = GlobalParams::instance()->getFwQueryUrl();
    if (url.isEmpty()) {
        qCritical() << "Cloud server url is not provided in config file";
        return false;
    }
    const QJsonObject req = request();
    QJsonObject body;
    for (const char *key : {"product", "branch", "platform", "status", "version", "seqid"})
        body.insert(QLatin1String(key), req.value(QLatin1String(key)).toString());
    body.insert(QStringLiteral("latest"), QStringLiteral("true"));
    if (req.value(QStringLiteral("pkg_type")).toInt() == 1)
        body.insert(QStringLiteral("pc_version"), GlobalParams::getSoftwareVersion());
    body.insert(QStringLiteral("device_info"), QString());
    qDebug().noquote() << "Query body =" << QString::fromUtf8(QJsonDocument(body).toJson(QJsonDocument::Compact));

    // The one JSON exchange with the cloud service: status 200 and
    // "errorcode" 200, or an empty answer with the reason logged.
    const QJsonObject answer = AppTask::postJson(QUrl(url), body, AppTask::Query);
    if (answer.isEmpty())
        return false;
    const QJsonValue packages = answer.value(QStringLiteral("packages"));
    if (!packages.isArray() || packages.toArray().size() != 1) {
        qCritical() << "response json error in key word: packages";
        return false;
    }
    const QJsonObject pkg = packages.toArray().at(0).toObject();
    if (!PackageInfo::matchesRequest(pkg, req)) {
        qCritical() << "Firmware info error";
        return false;
    }
    QMutexLocker lock(&m_lock);
    m_package = pkg;
    return true;
}

void PkgDownloader::reportProgress(bool final)
{
    if (m_unreported <= 0)
        return;
    if (!final && m_progressClock.elapsed() <= kProgressIntervalMs)
        return;
    emit notifyInfo(INFO_PROGRESS, m_unreported, QString());
    m_unreported = 0;
    m_progressClock.restart();
}

bool PkgDownloader::downloadFirmware()
{
    const QJsonObject pkg = package();
    const QUrl url(pkg.value(QStringLiteral("url")).toString());
    const qint64 pkgSize = pkg.value(QStringLiteral("pkgsize")).toInt();
    const QByteArray md5 = pkg.value(QStringLiteral("md5")).toString().toLower().toLatin1();
    const QString path = pkgFilePath();

    m_unreported = 0;
    m_progressClock.start();

    QEventLoop loop;
    QTimer inactivity;
    inactivity.setSingleShot(true);
    inactivity.setInterval(TimeScale::ms(kInactivityMs));
    QObject::connect(&inactivity, &QTimer::timeout, &loop, [&]() {
        qWarning() << "No data from server for" << kInactivityMs << "ms";
        loop.quit();
    });
    QTimer cancelPoll;
    QObject::connect(&cancelPoll, &QTimer::timeout, &loop, [&]() {
        if (isInterruptionRequested())
            loop.quit();
    });

    QFile file(path);
    bool ok = false;
    int status = 0;
    qhttp::client::QHttpClient client;
    const bool started = client.request(
        qhttp::EHTTP_GET, url,
        [](qhttp::client::QHttpRequest *req) { req->end(); },
        [&](qhttp::client::QHttpResponse *res) {
            status = res->status();
            qDebug() << "Response status =" << status << "version =" << res->version();
            qDebug() << "File length =" << res->headers().value(QByteArrayLiteral("content-length"));
            inactivity.start();
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                qCritical().noquote() << "Open file failed" << path;
                loop.quit();
                return;
            }
            res->whenData([&](const QByteArray &chunk) {
                inactivity.start();
                file.write(chunk);
                m_unreported += chunk.size();
                reportProgress(false);
            });
            res->whenEnd([&]() {
                inactivity.stop();
                reportProgress(true);
                const qint64 received = file.size();
                qDebug() << "File size received =" << received;
                if (received != pkgSize) {
                    qCritical() << "File size error:" << received << "vs" << pkgSize;
                } else if (!file.flush()) {
                    qCritical().noquote() << "Write file failed" << path;
                } else {
                    file.close();
                    if (status != 200) {
                        qCritical() << "Http status error:" << status;
                    } else if (!file.open(QIODevice::ReadOnly)) {
                        qCritical().noquote() << "Open file failed" << path;
                    } else {
                        const QByteArray got = Util::fileMd5(&file, 0).toHex();
                        ok = got == md5;
                        if (!ok)
                            qCritical() << "File md5 check error";
                    }
                }
                loop.quit();
            });
        });
    if (!started) {
        qCritical() << "Start http client request failed";
        return false;
    }
    client.setConnectTimeout(static_cast<quint32>(TimeScale::ms(kConnectTimeoutMs)));
    QObject::connect(&client, &qhttp::client::QHttpClient::connectingTimeOut, &loop, [&]() {
        qWarning() << "Connecting timeout";
        loop.quit();
    });
    // A connection closed before the whole answer arrived ends the exchange
    // (a complete answer has ended the loop already).
    QObject::connect(&client, &qhttp::client::QHttpClient::disconnected, &loop, &QEventLoop::quit);
    inactivity.start();
    cancelPoll.start(kCancelPollMs);
    loop.exec();
    file.close();
    return ok;
}

// The local file of the queried package: *upToDate when its digest is the
// package's; a wrong file is deleted. False when it cannot be read.
bool PkgDownloader::checkExisting(bool *upToDate)
{
    *upToDate = false;
    const QString path = pkgFilePath();
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical().noquote() << "Open file failed:" << path;
        return false;
    }
    const QByteArray md5 = package().value(QStringLiteral("md5")).toString().toLower().toLatin1();
    *upToDate = Util::fileMd5(&file, 0).toHex() == md5;
    file.close();
    if (!*upToDate) {
        qInfo().noquote() << "Local package is wrong, download again:" << path;
        QFile::remove(path);
    }
    return true;
}

void PkgDownloader::run()
{
    QThread::setTerminationEnabled(true);
    if (!queryLatestFwInfo()) {
        emit notifyInfo(INFO_ERROR, 0, QStringLiteral("Failed to get package info!"));
        return;
    }
    emit notifyInfo(INFO_PKG_SIZE, package().value(QStringLiteral("pkgsize")).toInt(), pkgFileName());

    bool upToDate = false;
    if (!checkExisting(&upToDate)) {
        emit notifyInfo(INFO_ERROR, 0, QStringLiteral("Failed to open package file"));
        return;
    }
    if (upToDate) {
        emit notifyInfo(INFO_UP_TO_DATE, 0, QStringLiteral("Local package is up to update"));
        return;
    }
    if (isInterruptionRequested() || !downloadFirmware()) {
        emit notifyInfo(INFO_ERROR, 0, QStringLiteral("Download error and failed to get package"));
        return;
    }
    if (request().value(QStringLiteral("pkg_type")).toInt() == 0) {
        emit notifyInfo(INFO_DONE, 0, QStringLiteral("Download successfully"));
        return;
    }
    const QString path = pkgFilePath();
    FirmwarePackage firmware(path);
    if (!firmware.verifyFirmware()) {
        qCritical().noquote() << "Local package is invalid: " + path;
        emit notifyInfo(INFO_ERROR, 0, QStringLiteral("Firmware verify failed"));
    } else if (!firmware.generateUgsysFwPackage()) {
        qCritical().noquote() << "Generate ugsys package failed:" << path;
        emit notifyInfo(INFO_ERROR, 0, QStringLiteral("Generate ugsys failed"));
    } else {
        emit notifyInfo(INFO_DONE, 0, QStringLiteral("Download successfully"));
    }
}

} // namespace pc
} // namespace vexo
