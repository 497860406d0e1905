#pragma once

// Helpers shared by the logging tests: a logging configuration file on disk
// and a capture of this process's standard error.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <QVariantMap>

#include <cstdio>
#include <unistd.h>

namespace logtest {

// Writes the "logging" group of an INI file, replacing what was there.
inline void writeConfig(const QString& path, const QVariantMap& values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("logging"));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(it.key(), it.value());
    ini.endGroup();
    ini.sync();
}

inline QStringList readLines(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromLocal8Bit(f.readAll());
    QStringList lines = text.split(QLatin1Char('\n'));
    // A complete file ends with a line break, leaving one empty piece.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Redirects file descriptor 2 into a temporary file for its lifetime.
class StderrCapture
{
public:
    StderrCapture()
    {
        file.open();
        fflush(stderr);
        saved = dup(2);
        dup2(file.handle(), 2);
    }
    ~StderrCapture()
    {
        fflush(stderr);
        dup2(saved, 2);
        ::close(saved);
    }
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    QString text()
    {
        fflush(stderr);
        QFile f(file.fileName());
        f.open(QIODevice::ReadOnly);
        return QString::fromLocal8Bit(f.readAll());
    }

private:
    QTemporaryFile file;
    int saved = -1;
};

} // namespace logtest
