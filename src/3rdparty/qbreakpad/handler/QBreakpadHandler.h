#pragma once

#include <QMutex>
#include <QObject>
#include <QString>

#include <memory>

namespace crashdump {
class ExceptionHandler;
}

// Writes a minidump into the dump folder when the process crashes. One per
// process; the folder is set once at start-up.
class QBreakpadHandler final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QBreakpadHandler)
public:
    // Created on first use, also when several threads ask at once.
    static QBreakpadHandler *instance();

    // A relative path is taken against the program's folder. A folder that
    // cannot be created keeps the previous handler (none at first).
    void setDumpPath(const QString &path);
    QString dumpPath() const;

private:
    QBreakpadHandler();
    ~QBreakpadHandler() override;

    static bool dumpCallback(const char *dumpDir, const char *dumpId, void *context, bool succeeded);

    mutable QMutex m_mutex;
    QString m_dumpPath;
    std::unique_ptr<crashdump::ExceptionHandler> m_handler;
};
