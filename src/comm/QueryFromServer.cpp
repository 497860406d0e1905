#include "comm/QueryFromServer.h"

#include "comm/AppTask.h"
#include "comm/GlobalParams.h"
#include "comm/PackageInfo.h"

#include <QDebug>
#include <QJsonArray>

#include <mutex>

namespace vexo {
namespace pc {

namespace {

// The pool passes a task on to its thread under a lock inside Qt, where the
// race checker cannot see it. The fields of every query are written and read
// under this lock as well, so the hand-over is ordered in our own code too.
// It lives outside the tasks: a lock inside a task would itself be memory
// the pool thread touches first.
std::mutex g_handOver;

} // namespace

QueryFromServer::QueryFromServer(const QJsonObject &info, int type, QObject *receiver,
                                 QSharedPointer<QString> slotName)
{
    setAutoDelete(true);
    const QString url = GlobalParams::instance()->getFwQueryUrl();
    std::shared_ptr<QueryAnswerRelay::Link> answerTo;
    if (receiver && slotName && !slotName->isEmpty())
        answerTo = QueryAnswerRelay::attach(receiver, *slotName);
    std::lock_guard<std::mutex> lock(g_handOver);
    m_info = info;
    m_type = type;
    m_url = url;
    m_answer = std::move(answerTo);
}

QueryFromServer::~QueryFromServer()
{
    // A task that ends without an answer (or never ran) lets its relay go.
    std::shared_ptr<QueryAnswerRelay::Link> answerTo;
    {
        std::lock_guard<std::mutex> lock(g_handOver);
        answerTo = m_answer;
    }
    QueryAnswerRelay::finish(answerTo, QJsonObject(), false);
}

QJsonObject QueryFromServer::requestBody() const
{
    QJsonObject body;
    int type = 0;
    {
        std::lock_guard<std::mutex> lock(g_handOver);
        body = m_info;
        type = m_type;
    }
    body.insert(QStringLiteral("latest"), QStringLiteral("true"));
    body.insert(QStringLiteral("device_info"), QString());
    if (type == 1)
        body.insert(QStringLiteral("pc_version"), GlobalParams::getSoftwareVersion());
    return body;
}

QJsonObject QueryFromServer::evaluate(const QJsonObject &answer, const QJsonObject &request)
{
    const QJsonValue packages = answer.value(QStringLiteral("packages"));
    if (!packages.isArray() || packages.toArray().size() != 1) {
        qCritical() << "response json error in key word: packages";
        return QJsonObject();
    }
    const QJsonObject pkg = packages.toArray().at(0).toObject();
    const bool ok = PackageInfo::matchesRequest(pkg, request);
    if (!ok)
        qCritical() << "Firmware info error";
    return pkg;
}

void QueryFromServer::run()
{
    int type = 0;
    QString url;
    std::shared_ptr<QueryAnswerRelay::Link> answerTo;
    {
        std::lock_guard<std::mutex> lock(g_handOver);
        type = m_type;
        url = m_url;
        answerTo = m_answer;
    }
    if (type > 1) {
        qCritical() << "Unknown type =" << type;
        return;
    }
    const QJsonObject body = requestBody();
    QJsonObject result;
    bool started = false;
    const QJsonObject answer = AppTask::postJson(QUrl(url), body, AppTask::Query, &started);
    if (!started)
        return;
    if (!answer.isEmpty())
        result = evaluate(answer, body);
    QueryAnswerRelay::finish(answerTo, result, true);
}

} // namespace pc
} // namespace vexo
