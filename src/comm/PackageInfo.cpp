#include "comm/PackageInfo.h"

namespace vexo {
namespace pc {

bool PackageInfo::statusAcceptable(const QString &wanted, const QString &offered)
{
    if (wanted == QLatin1String("release"))
        return offered == QLatin1String("release");
    if (wanted == QLatin1String("test"))
        return offered != QLatin1String("debug");
    return true;
}

bool PackageInfo::matchesRequest(const QJsonObject &package, const QJsonObject &request)
{
    static const char *const keys[] = {"product", "branch", "platform", "url", "pkgsize", "md5", "version", "status"};
    for (const char *key : keys) {
        if (!package.contains(QLatin1String(key)))
            return false;
    }
    for (const char *key : {"product", "branch", "platform"}) {
        if (package.value(QLatin1String(key)) != request.value(QLatin1String(key)))
            return false;
    }
    return statusAcceptable(request.value(QStringLiteral("status")).toString(),
                            package.value(QStringLiteral("status")).toString());
}

QString PackageInfo::fileName(const QJsonObject &package, const QString &extension)
{
    const QLatin1Char sep('_');
    return package.value(QStringLiteral("product")).toString() + sep + package.value(QStringLiteral("branch")).toString()
           + sep + package.value(QStringLiteral("platform")).toString() + sep
           + package.value(QStringLiteral("version")).toString() + sep
           + package.value(QStringLiteral("status")).toString() + extension;
}

} // namespace pc
} // namespace vexo
