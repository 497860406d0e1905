#pragma once

#include "comm/AppTask.h"

#include <QJsonObject>
#include <QRunnable>
#include <QString>

namespace vexo {
namespace pc {

// Base of the report tasks: a body and a type, posted below the reporting
// base URL. The base is taken on the creating thread; the pool deletes the
// task after run().
class CloudReport : public QRunnable
{
public:
    const QJsonObject &info() const { return m_info; }
    int type() const { return m_type; }

protected:
    CloudReport(const QJsonObject &info, int type);

    // The base URL + `path`; empty when either is missing.
    QString urlOf(const QString &path) const;
    // Posts `body` to `url`; nothing for an empty URL or body.
    static void post(const QString &url, const QJsonObject &body, AppTask::Flavour flavour);

    QJsonObject m_info;
    int m_type;

private:
    QString m_baseUrl;
};

} // namespace pc
} // namespace vexo
