#include "comm/DevUsageReporter.h"

#include "comm/AppTask.h"
#include "comm/DevUsageSource.h"
#include "comm/TimeScale.h"

namespace vexo {
namespace pc {

DevUsageReporter::DevUsageReporter(QObject *parent)
    : QObject(parent)
{
    connect(&m_period, &QTimer::timeout, this, &DevUsageReporter::reportAll);
}

void DevUsageReporter::start()
{
    m_period.start(TimeScale::ms(PeriodMs));
}

void DevUsageReporter::stop()
{
    m_period.stop();
}

void DevUsageReporter::reportAll()
{
    DevUsageSource *source = DevUsageSource::instance();
    if (!source)
        return;
    const QStringList serials = source->uvcSerials();
    for (const QString &sn : serials)
        startUsageStateReport(sn);
}

void DevUsageReporter::onDeviceReady(const QString &sn, const QJsonObject &reportInfo, bool mainSysOverUvc)
{
    if (m_period.isActive() && m_period.remainingTime() < TimeScale::ms(MinRemainingMs))
        return;
    QTimer::singleShot(TimeScale::ms(FirstReportDelayMs), this, [sn, reportInfo, mainSysOverUvc]() {
        startUsageStateReport(sn);
        if (mainSysOverUvc)
            startDevInfoReport(reportInfo);
    });
}

} // namespace pc
} // namespace vexo
