#pragma once

// Shared by the logging tests: a logging configuration on disk, log file
// lines, and a capture of this process's standard error.

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

namespace logtest {

inline void writeConfig(const QString& path, const QVariantMap& values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(QStringLiteral("logging/") + it.key(), it.value());
}

inline QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(f.readAll()).split(QLatin1Char('\n'));
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Redirects file descriptor 2 into a temporary file while it exists.
class StderrCapture
{
public:
    StderrCapture() { file.open(); fflush(stderr); saved = dup(2); dup2(file.handle(), 2); }
    ~StderrCapture() { fflush(stderr); dup2(saved, 2); ::close(saved); }
    QString text()
    {
        fflush(stderr);
        QFile f(file.fileName());
        return f.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(f.readAll()) : QString();
    }

private:
    QTemporaryFile file;
    int saved = -1;
};

} // namespace logtest
