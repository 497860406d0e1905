#pragma once

#include <QJsonObject>
#include <QPointer>
#include <QRunnable>
#include <QSharedPointer>
#include <QString>

class QObject;

namespace vexo {
namespace pc {

// Asks the firmware/software query endpoint for the latest package: type 0
// this software, type 1 a network camera's firmware. The single package of
// the answer (or an empty object) is handed to `slotName` on `receiver`.
class QueryFromServer final : public QRunnable
{
public:
    QueryFromServer(const QJsonObject &info, int type, QObject *receiver, QSharedPointer<QString> slotName);

    void run() override;

    // The request body: `info` with "latest" = "true", "device_info" = ""
    // and, for type 1, "pc_version".
    QJsonObject requestBody() const;
    // The package of an answer that passed the status and "errorcode"
    // checks; empty when "packages" is not one element. Mismatches are
    // logged but keep the package.
    static QJsonObject evaluate(const QJsonObject &answer, const QJsonObject &request);

private:
    QJsonObject m_info;
    int m_type;
    QPointer<QObject> m_receiver;
    QSharedPointer<QString> m_slotName;
    QString m_url;
};

} // namespace pc
} // namespace vexo
