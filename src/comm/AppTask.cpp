#include "comm/AppTask.h"

#include "comm/DevUsageSnapshot.h"
#include "comm/DevUsageSource.h"
#include "comm/GlobalParams.h"
#include "comm/PushDevUsageState.h"
#include "comm/PushToServer.h"
#include "comm/QueryFromServer.h"
#include "comm/TimeScale.h"
#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"

#include <QCoreApplication>
#include <QDebug>
#include <QEventLoop>
#include <QJsonDocument>
#include <QLocale>
#include <QMutex>
#include <QMutexLocker>
#include <QSysInfo>
#include <QThreadPool>
#include <QTimer>

namespace vexo {
namespace pc {

namespace {

constexpr int kConnectTimeoutMs = 5000;
constexpr int kTaskDeadlineMs = 6000;

QMutex g_baseLock;
QString g_baseUrl;

} // namespace

QString AppTask::systemName()
{
    return QSysInfo::productType() + QSysInfo::productVersion();
}

QString AppTask::countryName()
{
    return QLocale::countryToString(QLocale::system().country());
}

void AppTask::setReportBaseUrl(const QString &url)
{
    QMutexLocker lock(&g_baseLock);
    g_baseUrl = url;
}

QString AppTask::reportBaseUrl()
{
    {
        QMutexLocker lock(&g_baseLock);
        if (!g_baseUrl.isEmpty())
            return g_baseUrl;
    }
    const QUrl query(GlobalParams::instance()->getFwQueryUrl());
    if (!query.isValid() || query.host().isEmpty())
        return QString();
    QUrl origin;
    origin.setScheme(query.scheme());
    origin.setHost(query.host());
    origin.setPort(query.port());
    origin.setPath(QStringLiteral("/"));
    return origin.toString();
}

QJsonObject AppTask::postJson(const QUrl &url, const QJsonObject &body, Flavour flavour, bool *started)
{
    // The answer outlives the client, whose destruction drops its handlers.
    QJsonObject answer;
    // A task that starts while the application object is going away would
    // wait for ever: no timer can be started any more to end its loop, and
    // the application's destructor waits for the pool.
    if (!QCoreApplication::instance() || QCoreApplication::closingDown()) {
        if (started)
            *started = false;
        return answer;
    }
    QEventLoop loop;
    qhttp::client::QHttpClient client;

    const bool ok = client.request(
        qhttp::EHTTP_POST, url,
        [&](qhttp::client::QHttpRequest *req) {
            QJsonObject doc = body;
            if (flavour == UsageReport) {
                doc.insert(QStringLiteral("country"), countryName());
                doc.insert(QStringLiteral("system"), systemName());
            }
            const QByteArray data = QJsonDocument(doc).toJson(QJsonDocument::Compact);
            req->putHeader(QByteArrayLiteral("Accept"), QByteArrayLiteral("application/json"));
            req->putHeader(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json"));
            req->putHeader(QByteArrayLiteral("charset"), QByteArrayLiteral("utf-8"));
            req->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(data.size()));
            req->end(data);
        },
        [&](qhttp::client::QHttpResponse *res) {
            res->collectBody(-1);
            res->whenEnd([&, res]() {
                if (res->status() != 200) {
                    loop.quit();
                    return;
                }
                const QJsonObject obj = QJsonDocument::fromJson(res->collectedBody()).object();
                if (obj.isEmpty()) {
                    qWarning() << "The response is an invalid json";
                } else if (obj.value(QStringLiteral("errorcode")).toInt(-1) != 200) {
                    const QString reason = obj.value(QStringLiteral("reason")).toString();
                    if (flavour == Query)
                        qDebug().noquote() << "Error reason =" << reason;
                    else
                        qCritical().noquote() << "Error reason =" << reason;
                } else {
                    answer = obj;
                }
                loop.quit();
            });
        });
    if (started)
        *started = ok;
    if (!ok) {
        qCritical() << "Start http client request failed";
        return answer;
    }
    client.setConnectTimeout(static_cast<quint32>(TimeScale::ms(kConnectTimeoutMs)));
    QObject::connect(&client, &qhttp::client::QHttpClient::connectingTimeOut, &loop, [&]() {
        switch (flavour) {
        case UsageReport:
            qWarning() << "Connecting timeout: PushDevUsageState failed";
            break;
        case DeviceReport:
            qWarning() << "Connecting timeout: PushToServer failed";
            break;
        case Query:
            qWarning() << "Connecting timeout";
            break;
        }
        loop.quit();
    });
    QTimer::singleShot(TimeScale::ms(kTaskDeadlineMs), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    return answer;
}

void pushDevUsageEvent(const QString &sn, int action, int trigger, const QString &comment, const QVariant &data,
                       const QVariant &extra1, const QVariant &extra2, const QVariant &extra3)
{
    DevUsageSource *source = DevUsageSource::instance();
    if (!source)
        return;
    const DevUsageFacts facts = source->identity(sn);
    if (!facts.registered)
        return;
    if (DevUsageSnapshot::actionName(action).isEmpty()) {
        qWarning() << "Unknown action =" << action;
        return;
    }
    int pan = 0;
    int tilt = 0;
    bool panTiltValid = false;
    if (action == DevUsageSnapshot::ActionGimbalControl || action == DevUsageSnapshot::ActionSetCropArea)
        panTiltValid = source->readPanTilt(sn, &pan, &tilt);
    const QJsonObject body = DevUsageSnapshot::eventBody(facts, action, trigger, comment, data, extra1, extra2,
                                                         extra3, panTiltValid, pan, tilt);
    CloudReport::startOnPool(new PushDevUsageState(body, DevUsageSnapshot::eventType(facts.family, action)));
}

void startUsageStateReport(const QString &sn)
{
    CloudReport::startOnPool(
        new PushDevUsageState(sn, PushDevUsageState::MainStatusFlag | PushDevUsageState::ExtStatusFlag));
}

void startDevInfoReport(const QJsonObject &reportInfo)
{
    CloudReport::startOnPool(new PushToServer(reportInfo, 0));
}

void startCloudQuery(const QJsonObject &info, int type, QObject *receiver, const QString &slotName)
{
    QThreadPool::globalInstance()->start(
        new QueryFromServer(info, type, receiver, QSharedPointer<QString>::create(slotName)));
}

} // namespace pc
} // namespace vexo
