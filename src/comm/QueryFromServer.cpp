#include "comm/QueryFromServer.h"

#include "comm/AppTask.h"
#include "comm/GlobalParams.h"
#include "comm/PackageInfo.h"

#include <QDebug>
#include <QJsonArray>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>

namespace vexo {
namespace pc {

// Whether the receiver still exists, told by a child object that dies with
// it. The answer is posted under the same lock, so the receiver cannot go
// away between the check and the post.
struct QueryFromServer::ReceiverLife
{
    QMutex lock;
    bool alive = true;
};

namespace {

class ReceiverWatch final : public QObject
{
public:
    ReceiverWatch(QObject *receiver, std::shared_ptr<QueryFromServer::ReceiverLife> life)
        : QObject(receiver)
        , m_life(std::move(life))
    {
    }
    ~ReceiverWatch() override
    {
        QMutexLocker lock(&m_life->lock);
        m_life->alive = false;
    }

private:
    std::shared_ptr<QueryFromServer::ReceiverLife> m_life;
};

} // namespace

QueryFromServer::QueryFromServer(const QJsonObject &info, int type, QObject *receiver,
                                 QSharedPointer<QString> slotName)
    : m_info(info)
    , m_type(type)
    , m_receiver(receiver)
    , m_slotName(std::move(slotName))
    , m_url(GlobalParams::instance()->getFwQueryUrl())
{
    setAutoDelete(true);
    if (m_receiver) {
        m_life = std::make_shared<ReceiverLife>();
        new ReceiverWatch(m_receiver, m_life);
    }
}

QJsonObject QueryFromServer::requestBody() const
{
    QJsonObject body = m_info;
    body.insert(QStringLiteral("latest"), QStringLiteral("true"));
    body.insert(QStringLiteral("device_info"), QString());
    if (m_type == 1)
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
    if (m_type > 1) {
        qCritical() << "Unknown type =" << m_type;
        return;
    }
    const QJsonObject body = requestBody();
    QJsonObject result;
    bool started = false;
    const QJsonObject answer = AppTask::postJson(QUrl(m_url), body, AppTask::Query, &started);
    if (!started)
        return;
    if (!answer.isEmpty())
        result = evaluate(answer, body);
    if (!m_life || !m_slotName || m_slotName->isEmpty())
        return;
    QMutexLocker lock(&m_life->lock);
    if (m_life->alive) {
        QMetaObject::invokeMethod(m_receiver, m_slotName->toLatin1().constData(), Qt::AutoConnection,
                                  Q_ARG(QJsonObject, result));
    }
}

} // namespace pc
} // namespace vexo
