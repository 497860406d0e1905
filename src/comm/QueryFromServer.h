#pragma once

#include <QJsonObject>
#include <QRunnable>
#include <QSharedPointer>
#include <QString>

#include <memory>

class QObject;

namespace vexo {
namespace pc {

// Asks the firmware/software query endpoint for the latest package: type 0
// this software, type 1 a network camera's firmware. The single package of
// the answer (or an empty object) is handed to `slotName` on `receiver`.
// The task is created on the receiver's thread; a receiver destroyed while
// the task runs simply gets nothing.
class QueryFromServer final : public QRunnable
{
public:
    struct ReceiverLife;

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
    QObject *m_receiver;
    std::shared_ptr<ReceiverLife> m_life;
    QSharedPointer<QString> m_slotName;
    QString m_url;
};

} // namespace pc
} // namespace vexo
