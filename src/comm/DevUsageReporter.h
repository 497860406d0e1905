#pragma once

#include <QJsonObject>
#include <QObject>
#include <QTimer>

namespace vexo {
namespace pc {

// The periodic and first-appearance usage reports of the main window: every
// 600000 ms a usage-state report for every UVC camera of the registry, and
// for a camera that has just been initialised one 10000 ms later (with its
// device-information report when its main system is reachable over UVC),
// unless the next periodic round is less than 90000 ms away anyway.
class DevUsageReporter final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(DevUsageReporter)

public:
    static constexpr int PeriodMs = 600000;
    static constexpr int FirstReportDelayMs = 10000;
    static constexpr int MinRemainingMs = 90000;

    explicit DevUsageReporter(QObject *parent = nullptr);

    void start();
    void stop();
    int remainingMs() const { return m_period.remainingTime(); }

public slots:
    // A camera finished its initialisation.
    void onDeviceReady(const QString &sn, const QJsonObject &reportInfo, bool mainSysOverUvc);

private:
    void reportAll();

    QTimer m_period;
};

} // namespace pc
} // namespace vexo
