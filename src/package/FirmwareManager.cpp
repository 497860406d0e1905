#include "package/FirmwareManager.h"

#include "comm/GlobalParams.h"
#include "comm/Util.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vexo {
namespace pc {

FirmwareManager::FirmwareManager(QObject *parent) : QObject(parent) {}

FirmwareManager *FirmwareManager::instance()
{
    static FirmwareManager manager;
    return &manager;
}

bool FirmwareManager::init(const QJsonObject &info, const QString &firmwareDir)
{
    QJsonObject source = info;
    const QLatin1String keys[] = {QLatin1String("product"), QLatin1String("branch"),
                                  QLatin1String("platform")};
    for (const QLatin1String &key : keys) {
        if (!source.contains(key)) {
            source = GlobalParams::instance()->getDevFirmwareInfo();
            break;
        }
    }
    const QString product = source.value(QLatin1String("product")).toString();
    const QString branch = source.value(QLatin1String("branch")).toString();
    const QString platform = source.value(QLatin1String("platform")).toString();
    m_prefix = product + QLatin1Char('_') + branch + QLatin1Char('_') + platform + QLatin1Char('_');

    QString dir = firmwareDir;
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
              + QStringLiteral("/firmware");
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    m_dir = dir;
    if (!QDir().mkpath(m_dir)) {
        qCritical().noquote() << "create firmware dir failed" << m_dir;
        return false;
    }
    return !product.isEmpty() && !branch.isEmpty() && !platform.isEmpty();
}

bool FirmwareManager::versionFromName(const QString &name, quint32 *value)
{
    static const QRegularExpression re(QStringLiteral("([0-9]+\\.){3}[0-9]+"));
    const QRegularExpressionMatch m = re.match(name);
    if (!m.hasMatch())
        return false;
    *value = Util::ipToUint(m.captured(0));
    return true;
}

QString FirmwareManager::findLatestPackage() const
{
    if (!m_chosen.isEmpty() && !m_dir.isEmpty() && QFile::exists(m_dir + m_chosen))
        return m_chosen;
    if (m_dir.isEmpty())
        return {};
    const QStringList names = QDir(m_dir).entryList(QDir::Files, QDir::Name);
    QString best;
    quint32 bestVersion = 0;
    for (const QString &name : names) {
        if (!name.startsWith(m_prefix))
            continue;
        quint32 v = 0;
        if (!versionFromName(name, &v))
            continue;
        if (best.isEmpty() || v > bestVersion) {
            best = name;
            bestVersion = v;
            continue;
        }
        if (v != bestVersion)
            continue;
        // Same version: a release build beats everything, a test build
        // beats a debug build.
        if (name.contains(QLatin1String("release"))
            || (name.contains(QLatin1String("test")) && best.contains(QLatin1String("debug"))))
            best = name;
    }
    return best;
}

void FirmwareManager::deleteOtherPackages(const QString &keepName) const
{
    if (m_dir.isEmpty())
        return;
    const QStringList names = QDir(m_dir).entryList(QDir::Files, QDir::Name);
    for (const QString &name : names) {
        if (!name.startsWith(m_prefix) || name == keepName)
            continue;
        QFile::remove(m_dir + QStringLiteral("Ugsys_") + name);
        QFile::remove(m_dir + name);
        qInfo().noquote() << "Delete package:" << name;
    }
}

} // namespace pc
} // namespace vexo
