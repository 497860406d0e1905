#pragma once

#include <QJsonObject>
#include <QString>

namespace vexo {
namespace pc {

// The package element of a cloud query answer: the checks every receiver
// applies to it and the file name a downloaded package gets.
class PackageInfo final
{
public:
    // The release-state rule: a "release" request takes only "release", a
    // "test" request refuses "debug", every other request takes anything.
    static bool statusAcceptable(const QString &wanted, const QString &offered);

    // True when the package has all eight keys ("product", "branch",
    // "platform", "url", "pkgsize", "md5", "version", "status"), names the
    // request's product, branch and platform, and passes the release-state
    // rule. Logs nothing.
    static bool matchesRequest(const QJsonObject &package, const QJsonObject &request);

    // product_branch_platform_version_status followed by extension.
    static QString fileName(const QJsonObject &package, const QString &extension);

    PackageInfo() = delete;
};

} // namespace pc
} // namespace vexo
