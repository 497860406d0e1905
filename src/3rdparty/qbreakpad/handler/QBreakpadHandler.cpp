#include "QBreakpadHandler.h"

#include "ExceptionHandler.h"
#include "logging/Logger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>

#include <atomic>

QBreakpadHandler::QBreakpadHandler() = default;

QBreakpadHandler::~QBreakpadHandler() = default;

QBreakpadHandler *QBreakpadHandler::instance()
{
    // Kept for the whole process: a crash during exit is still caught.
    static std::atomic<QBreakpadHandler *> s_instance{nullptr};
    static std::atomic<bool> s_creating{false};
    QBreakpadHandler *handler = s_instance.load(std::memory_order_acquire);
    if (handler)
        return handler;
    if (!s_creating.exchange(true)) {
        handler = new QBreakpadHandler;
        s_instance.store(handler, std::memory_order_release);
        return handler;
    }
    while (!(handler = s_instance.load(std::memory_order_acquire)))
        QThread::yieldCurrentThread();
    return handler;
}

void QBreakpadHandler::setDumpPath(const QString &path)
{
    QString absolute = path;
    if (QDir::isRelativePath(absolute))
        absolute = QCoreApplication::applicationDirPath() + QLatin1Char('/') + absolute;
    absolute = QDir::cleanPath(absolute);
    QDir().mkpath(absolute);
    if (!QDir(absolute).exists()) {
        qWarning("Failed to set dump path which not exists: %s", qPrintable(absolute));
        return;
    }
    QMutexLocker lock(&m_mutex);
    m_dumpPath = absolute;
    m_handler = std::make_unique<crashdump::ExceptionHandler>(QFile::encodeName(absolute).constData(),
                                                              &QBreakpadHandler::dumpCallback, this);
}

QString QBreakpadHandler::dumpPath() const
{
    QMutexLocker lock(&m_mutex);
    return m_dumpPath;
}

bool QBreakpadHandler::dumpCallback(const char *dumpDir, const char *dumpId, void *, bool succeeded)
{
    const QString path = QFile::decodeName(dumpDir) + QLatin1Char('/') + QFile::decodeName(dumpId);
    qDebug("%s, dump path: %s\n", succeeded ? "Succeed to write minidump" : "Failed to write minidump",
           qPrintable(path));
    // The file logger writes once a second on its event loop, which will not
    // run again: the line would be lost with everything before it.
    vexo::pc::Logger::flushInstalled();
    return succeeded;
}
