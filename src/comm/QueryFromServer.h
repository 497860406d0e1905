#pragma once

#include "comm/QueryAnswerRelay.h"

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
    QueryFromServer(const QJsonObject &info, int type, QObject *receiver, QSharedPointer<QString> slotName);
    ~QueryFromServer() override;

    void run() override;

    // The request body: `info` with "latest" = "true", "device_info" = ""
    // and, for type 1, "pc_version".
    QJsonObject requestBody() const;
    // The package of an answer that passed the status and "errorcode"
    // checks; empty when "packages" is not one element. Mismatches are
    // logged but keep the package.
    static QJsonObject evaluate(const QJsonObject &answer, const QJsonObject &request);

private:
    // Written on the creating thread and read on the pool thread, both under
    // one lock shared by all queries (see the source).
    QJsonObject m_info;
    int m_type = 0;
    QString m_url;
    // The way back to the receiver; empty without one.
    std::shared_ptr<QueryAnswerRelay::Link> m_answer;
};

} // namespace pc
} // namespace vexo
