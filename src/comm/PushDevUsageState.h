#pragma once

#include "comm/CloudReport.h"

namespace vexo {
namespace pc {

// Reports how a camera is used: one usage event (a prepared body and its
// type) or the camera's status snapshots (a serial and the snapshot flags).
class PushDevUsageState final : public CloudReport
{
public:
    // `DevUsageStateType`: 0..7 nimo, 100..107 zarvo (see getUrl), 108 none;
    // or a combination of the snapshot flags.
    using DevUsageStateType = int;
    static constexpr int MainStatusFlag = 0x10000;
    static constexpr int ExtStatusFlag = 0x20000;

    // An event body; the serial is taken from its "sn".
    PushDevUsageState(const QJsonObject &info, DevUsageStateType type);
    // Snapshots of the camera `sn`, built when the task runs.
    PushDevUsageState(const QString &sn, DevUsageStateType flags);


    // Reporting base URL + the path of `type` when the camera is still
    // registered; empty otherwise ("Unknown type =" for a bad type).
    QString getUrl(DevUsageStateType type) const;
    // The path of a type, empty for an unknown one.
    static QString pathOf(DevUsageStateType type);

    const QString &sn() const { return m_sn; }

private:
    void send() override;
    void postReport(const QJsonObject &body, DevUsageStateType type);

    QString m_sn;
};

} // namespace pc
} // namespace vexo
