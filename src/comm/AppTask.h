#pragma once

#include <QJsonObject>
#include <QString>
#include <QUrl>
#include <QVariant>

class QObject;

namespace vexo {
namespace pc {

// The exchange shared by the cloud tasks (usage reports, device reports,
// queries): one JSON document posted with its own HTTP client inside a local
// event loop on the calling pool thread, bounded by a 5000 ms connecting
// time-out and a 6000 ms overall deadline.
class AppTask final
{
public:
    enum Flavour { UsageReport, DeviceReport, Query };

    // Posts `body` to `url` and returns the answer object when the status is
    // 200 and "errorcode" is 200; an empty object otherwise (the reason is
    // logged). Usage reports get "country" and "system" added.
    // `started` tells whether the request could be started at all.
    static QJsonObject postJson(const QUrl &url, const QJsonObject &body, Flavour flavour,
                                bool *started = nullptr);

    // Base of the report paths, ending in "/". Unless set explicitly it is
    // the origin of the firmware query URL, so a run pointed at one service
    // reports there too.
    static QString reportBaseUrl();
    static void setReportBaseUrl(const QString &url);

    // "windows10", "debian12", ...: product type followed by its version.
    static QString systemName();
    static QString countryName();

    AppTask() = delete;
};

// Files a usage event for the camera with serial `sn` (nothing when no such
// camera is registered). `trigger`: 0 mouse, 1 key, 2 remote, 3 device. The
// extras carry pan, tilt and zoom for the preset and boot-position actions.
// Windows call this right after each user action they report.
void pushDevUsageEvent(const QString &sn, int action, int trigger, const QString &comment = QString(),
                       const QVariant &data = QVariant(), const QVariant &extra1 = QVariant(),
                       const QVariant &extra2 = QVariant(), const QVariant &extra3 = QVariant());

// Starts both usage-state snapshots of a camera on the global thread pool.
void startUsageStateReport(const QString &sn);
// Starts the device-information report of a camera (its report record).
void startDevInfoReport(const QJsonObject &reportInfo);
// Starts a firmware/software query; `slotName` on `receiver` gets the
// answer (a QJsonObject, empty on failure) on the receiver's thread.
void startCloudQuery(const QJsonObject &info, int type, QObject *receiver, const QString &slotName);

} // namespace pc
} // namespace vexo
