#include "comm/CloudReport.h"

#include <QUrl>

namespace vexo {
namespace pc {

CloudReport::CloudReport(const QJsonObject &info, int type)
    : m_info(info)
    , m_type(type)
    , m_baseUrl(AppTask::reportBaseUrl())
{
    setAutoDelete(true);
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
