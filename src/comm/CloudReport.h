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

    // Runs `task` on Qt's global thread pool. The task is handed to the pool
    // thread under a lock of our own as well: the pool's lock is inside Qt,
    // where the thread sanitizer cannot see that it orders the task's
    // construction before its run and its deletion.
    static void startOnPool(CloudReport *task);

    // Takes the task over from the thread that started it, then sends.
    void run() final;

protected:
    CloudReport(const QJsonObject &info, int type);

    // The report itself, on the pool thread.
    virtual void send() = 0;

    // A copy of `text` with a buffer of its own: nothing the pool thread
    // reads is shared with the starting thread.
    static QString ownText(const QString &text);

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
