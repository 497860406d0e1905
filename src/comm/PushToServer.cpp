#include "comm/PushToServer.h"

#include <QDebug>

namespace vexo {
namespace pc {

PushToServer::PushToServer(const QJsonObject &info, int type)
    : CloudReport(info, type)
{
}

QString PushToServer::pathOf(int type)
{
    switch (type) {
    case 0:
        return QStringLiteral("dev/submit/");
    case 1:
        return QStringLiteral("dev/status/submit/");
    case 2:
        return QStringLiteral("dev/function/count/");
    case 3:
        return QStringLiteral("nimocam/status/submit/");
    case 4:
        return QStringLiteral("nimocam/devnum/stat/");
    default:
        return QString();
    }
}

void PushToServer::send()
{
    const QString path = pathOf(m_type);
    if (path.isEmpty()) {
        qCritical() << "Unknown type =" << m_type;
        return;
    }
    post(urlOf(path), m_info, AppTask::DeviceReport);
}

} // namespace pc
} // namespace vexo
