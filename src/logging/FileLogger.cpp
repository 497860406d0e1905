#include "logging/FileLogger.h"

#include "logging/LogMessage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTimerEvent>

#include <cstdio>

namespace vexo {
namespace pc {

namespace {
constexpr int flushPeriodMs = 1000;
}

FileLogger::FileLogger(QSettings* settings, int refreshMs, QObject* parent)
    : Logger(parent)
    , settings(settings)
{
    if (refreshMs > 0)
        refreshTimer.start(refreshMs, this);
    flushTimer.start(flushPeriodMs, this);
    reloadConfiguration();
}

FileLogger::~FileLogger()
{
    uninstall();
    refreshTimer.stop();
    flushTimer.stop();
    std::lock_guard<std::mutex> lock(sharedMutex());
    close();
}

void FileLogger::reloadConfiguration()
{
    {
        std::lock_guard<std::mutex> lock(sharedMutex());
        const QString oldFileName = fileName;
        settings->sync();

        fileName = settings->value(QStringLiteral("filename")).toString();
        if (!fileName.isEmpty() && QFileInfo(fileName).isRelative()
            && settings->format() != QSettings::NativeFormat) {
            const QString configDir = QFileInfo(settings->fileName()).absolutePath();
            fileName = QDir(configDir).absoluteFilePath(fileName);
        }

        maxSize = settings->value(QStringLiteral("max_size"), 0).toInt();
        maxBackups = settings->value(QStringLiteral("max_backups"), 0).toInt();
        msgFormat = settings->value(QStringLiteral("msg_format"),
                                    QStringLiteral("{timestamp} {type} {msg}")).toString();
        timestampFormat = settings->value(QStringLiteral("timestamp_format"),
                                          QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")).toString();
        minLevel = settings->value(QStringLiteral("min_level"), 0).toInt();
        bufferSize = settings->value(QStringLiteral("buffer_size"), 0).toInt();

        if (oldFileName != fileName) {
            fprintf(stderr, "Logging to %s\n", qPrintable(fileName));
            fflush(stderr);
            close();
            open();
        }
    }
    reportDeferredWarnings();
}

void FileLogger::open()
{
    if (fileName.isEmpty()) {
        deferWarning(QStringLiteral("Name of logFile is empty"));
        return;
    }
    const QFileInfo info(fileName);
    QDir dir = info.absoluteDir();
    if (!dir.exists())
        dir.mkpath(QStringLiteral("."));

    file = new QFile(fileName);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        deferWarning(QStringLiteral("Cannot open log file %1: %2").arg(fileName, file->errorString()));
        delete file;
        file = nullptr;
    }
}

void FileLogger::close()
{
    if (file) {
        file->close();
        delete file;
        file = nullptr;
    }
}

void FileLogger::rotate()
{
    const auto backupName = [this](int index) {
        return QString(fileName + QLatin1Char('.') + QString::number(index));
    };

    // Backups are numbered contiguously from 1; a gap ends the count, so a
    // stray file beyond the gap is left alone.
    int count = 0;
    while (QFile::exists(backupName(count + 1)))
        ++count;

    while (maxBackups > 0 && count >= maxBackups) {
        QFile::remove(backupName(count));
        --count;
    }
    for (int i = count; i >= 1; --i)
        QFile::rename(backupName(i), backupName(i + 1));
    QFile::rename(fileName, backupName(1));
}

void FileLogger::write(const LogMessage* logMessage)
{
    if (file) {
        file->write(logMessage->formatLine(msgFormat, timestampFormat).toLocal8Bit());
        // Critical, fatal and info lines are flushed at once: a crash right
        // after them must not lose them.
        if (int(logMessage->messageType()) >= QtCriticalMsg)
            file->flush();
        if (file->error() != QFileDevice::NoError) {
            deferWarning(QStringLiteral("Cannot write to log file %1: %2")
                             .arg(fileName, file->errorString()));
            close();
        }
    }
    if (!file)
        Logger::write(logMessage);
}

void FileLogger::flush()
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (file)
        file->flush();
}

void FileLogger::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == refreshTimer.timerId()) {
        reloadConfiguration();
    } else if (event->timerId() == flushTimer.timerId()) {
        {
            std::lock_guard<std::mutex> lock(sharedMutex());
            if (file) {
                file->flush();
                if (maxSize > 0 && file->size() >= maxSize) {
                    close();
                    rotate();
                    open();
                }
            }
        }
        reportDeferredWarnings();
    } else {
        Logger::timerEvent(event);
    }
}

} // namespace pc
} // namespace vexo
