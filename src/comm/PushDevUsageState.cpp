#include "comm/PushDevUsageState.h"

#include "comm/DevUsageSnapshot.h"
#include "comm/DevUsageSource.h"

#include <QDebug>

namespace vexo {
namespace pc {

PushDevUsageState::PushDevUsageState(const QJsonObject &info, DevUsageStateType type)
    : CloudReport(info, type)
    , m_sn(ownText(info.value(QStringLiteral("sn")).toString()))
{
}

PushDevUsageState::PushDevUsageState(const QString &sn, DevUsageStateType flags)
    : CloudReport(QJsonObject(), flags)
    , m_sn(ownText(sn))
{
}

QString PushDevUsageState::pathOf(DevUsageStateType type)
{
    static const char *const nimo[] = {
        "dev/nimo/main_status/submit",   "dev/nimo/ext_status/submit",   "dev/nimo/main_event/submit",
        "dev/nimo/ext_event/submit",     "dev/nimo4k/main_status/submit", "dev/nimo4k/ext_status/submit",
        "dev/nimo4k/main_event/submit",  "dev/nimo4k/ext_event/submit",
    };
    static const char *const zarvo[] = {
        "dev/zarvo/main_status/submit",   "dev/zarvo/ext_status/submit",   "dev/zarvo/main_event/submit",
        "dev/zarvo/ext_event/submit",     "dev/zarvo4k/main_status/submit", "dev/zarvo4k/ext_status/submit",
        "dev/zarvo4k/main_event/submit",  "dev/zarvo4k/ext_event/submit",
    };
    if (type >= 0 && type <= 7)
        return QLatin1String(nimo[type]);
    if (type >= 100 && type <= 107)
        return QLatin1String(zarvo[type - 100]);
    return QString();
}

QString PushDevUsageState::getUrl(DevUsageStateType type) const
{
    DevUsageSource *source = DevUsageSource::instance();
    if (!source || !source->identity(m_sn).registered)
        return QString();
    const QString path = pathOf(type);
    if (path.isEmpty()) {
        qCritical() << "Unknown type =" << type;
        return QString();
    }
    return urlOf(path);
}

void PushDevUsageState::postReport(const QJsonObject &body, DevUsageStateType type)
{
    post(getUrl(type), body, AppTask::UsageReport);
}

void PushDevUsageState::send()
{
    if (m_type < 109) {
        postReport(m_info, m_type);
        return;
    }
    DevUsageSource *source = DevUsageSource::instance();
    if (!source)
        return;
    const bool wantMain = (m_type & MainStatusFlag) != 0;
    const bool wantExt = (m_type & ExtStatusFlag) != 0;
    const DevUsageFacts facts = source->snapshot(m_sn, wantExt);
    if (!facts.registered)
        return;
    if (wantMain) {
        const int type = DevUsageSnapshot::reportType(facts.network ? DevUsageFacts::FamilyUnknown : facts.family,
                                                      DevUsageSnapshot::MainStatus);
        if (type != DevUsageSnapshot::NoValidType)
            postReport(DevUsageSnapshot::mainStatus(facts), type);
    }
    if (wantExt) {
        const int type = DevUsageSnapshot::reportType(facts.network ? DevUsageFacts::FamilyUnknown : facts.family,
                                                      DevUsageSnapshot::ExtStatus);
        if (type != DevUsageSnapshot::NoValidType)
            postReport(DevUsageSnapshot::extStatus(facts), type);
    }
}

} // namespace pc
} // namespace vexo
