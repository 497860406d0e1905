#pragma once

#include "logging/Logger.h"

#include <QBasicTimer>
#include <QString>

class QFile;
class QSettings;
class QTimerEvent;

namespace vexo {
namespace pc {

// Writes log lines into a file named by the logging configuration, re-reads
// that configuration periodically (so that logging can be changed while the
// program runs), flushes once a second and rotates the file by size into
// numbered backups, ".1" being the newest. Without a usable file every line
// goes to standard error instead.
class FileLogger : public Logger
{
    Q_OBJECT
    Q_DISABLE_COPY(FileLogger)

public:
    // settings must be positioned in the logging group and outlive the
    // logger; it is not owned. refreshMs <= 0 reads the configuration once.
    FileLogger(QSettings* settings, int refreshMs = 10000, QObject* parent = nullptr);
    ~FileLogger() override;

    // Re-reads the configuration from disk and switches files when the file
    // name changed. Call on the logger's own thread.
    void reloadConfiguration();

protected:
    void write(const LogMessage* logMessage) override;
    void timerEvent(QTimerEvent* event) override;
    void flush() override;

private:
    // The following run with sharedMutex() held.
    void open();
    void close();
    void rotate();

    QString fileName;
    qint32 maxSize = 0;
    int maxBackups = 0;
    QSettings* settings = nullptr;
    QFile* file = nullptr;
    QBasicTimer refreshTimer;
    QBasicTimer flushTimer;
};

} // namespace pc
} // namespace vexo
