#include "comm/QueryAnswerRelay.h"

#include <QMetaObject>

namespace vexo {
namespace pc {

QueryAnswerRelay::QueryAnswerRelay(QObject *receiver, const QString &slotName, std::shared_ptr<Link> link)
    : QObject(receiver)
    , m_slotName(slotName)
    , m_link(std::move(link))
{
}

QueryAnswerRelay::~QueryAnswerRelay()
{
    std::lock_guard<std::mutex> lock(m_link->lock);
    m_link->relay = nullptr;
}

std::shared_ptr<QueryAnswerRelay::Link> QueryAnswerRelay::attach(QObject *receiver, const QString &slotName)
{
    auto link = std::make_shared<Link>();
    auto *relay = new QueryAnswerRelay(receiver, slotName, link);
    std::lock_guard<std::mutex> lock(link->lock);
    link->relay = relay;
    return link;
}

void QueryAnswerRelay::finish(const std::shared_ptr<Link> &link, const QJsonObject &answer, bool deliver)
{
    if (!link)
        return;
    // Posted under the lock: the relay cannot be destroyed in between.
    std::lock_guard<std::mutex> lock(link->lock);
    if (!link->relay)
        return;
    QMetaObject::invokeMethod(link->relay, "hand", Qt::QueuedConnection, Q_ARG(QJsonObject, answer),
                              Q_ARG(bool, deliver));
    link->relay = nullptr;
}

void QueryAnswerRelay::hand(const QJsonObject &answer, bool deliver)
{
    if (deliver && parent()) {
        QMetaObject::invokeMethod(parent(), m_slotName.toLatin1().constData(), Qt::AutoConnection,
                                  Q_ARG(QJsonObject, answer));
    }
    deleteLater();
}

} // namespace pc
} // namespace vexo
