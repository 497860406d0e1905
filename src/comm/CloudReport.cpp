#include "comm/CloudReport.h"

#include <QJsonDocument>
#include <QThreadPool>
#include <QUrl>

#include <mutex>

namespace vexo {
namespace pc {

namespace {

// The task keeps a body of its own, rebuilt from the text it will send. A
// plain copy would share its buffers with the caller's object: the pool
// thread reads them while it posts, and the caller's thread may be the one
// that frees them, ordered only by Qt's uninstrumented reference count.
QJsonObject ownBody(const QJsonObject &info)
{
    if (info.isEmpty())
        return QJsonObject();
    return QJsonDocument::fromJson(QJsonDocument(info).toJson(QJsonDocument::Compact)).object();
}

std::mutex &handOverLock()
{
    static std::mutex lock;
    return lock;
}

} // namespace

CloudReport::CloudReport(const QJsonObject &info, int type)
    : m_info(ownBody(info))
    , m_type(type)
    , m_baseUrl(ownText(AppTask::reportBaseUrl()))
{
    setAutoDelete(true);
}

QString CloudReport::ownText(const QString &text)
{
    if (text.isNull())
        return QString();
    return QString(text.unicode(), text.size());
}

void CloudReport::startOnPool(CloudReport *task)
{
    // Everything the starting thread wrote into the task comes before this.
    {
        std::lock_guard<std::mutex> locker(handOverLock());
    }
    QThreadPool::globalInstance()->start(task);
}

void CloudReport::run()
{
    // Pairs with startOnPool(): the task is read, and freed, after it.
    {
        std::lock_guard<std::mutex> locker(handOverLock());
    }
    send();
}

QString CloudReport::urlOf(const QString &path) const
{
    if (m_baseUrl.isEmpty() || path.isEmpty())
        return QString();
    return m_baseUrl + path;
}

void CloudReport::post(const QString &url, const QJsonObject &body, AppTask::Flavour flavour)
{
    if (url.isEmpty() || body.isEmpty())
        return;
    AppTask::postJson(QUrl(url), body, flavour);
}

} // namespace pc
} // namespace vexo
