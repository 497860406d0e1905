#include "logging/Logger.h"

#include "logging/LogMessage.h"

#include <QList>
#include <QMutex>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace vexo {
namespace pc {

struct Logger::ThreadBuffer
{
    ThreadBuffer() = default;
    ~ThreadBuffer() { qDeleteAll(messages); }
    Q_DISABLE_COPY(ThreadBuffer)

    QList<LogMessage*> messages;
};

Logger* Logger::installedLogger = nullptr;
QThreadStorage<QHash<QString, QString>*> Logger::threadVariables;

namespace {

// Held for the whole of every handler call: serialises the handler across
// threads and lets the owning thread re-enter when logging itself warns.
// Created once and never destroyed, so that messages raised while static
// objects are torn down still find it.
std::recursive_mutex& handlerMutex()
{
    static auto* mutex = new std::recursive_mutex;
    return *mutex;
}

// Taken only under handlerMutex() and only with a zero-wait try: failing to
// get it means the message was raised on this thread while it was logging.
QMutex& reentryMutex()
{
    static auto* mutex = new QMutex;
    return *mutex;
}

// Guarded by Logger::sharedMutex().
QStringList& pendingWarnings()
{
    static auto* warnings = new QStringList;
    return *warnings;
}

void writeToStandardError(const QString& text)
{
    fputs(text.toLocal8Bit().constData(), stderr);
    fflush(stderr);
}

} // namespace

Logger::Logger(QObject* parent)
    : QObject(parent)
    , msgFormat(QStringLiteral("{timestamp} {type} {msg}"))
    , timestampFormat(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz"))
{
}

Logger::Logger(const QString& msgFormat, const QString& timestampFormat, int minLevel,
               int bufferSize, QObject* parent)
    : QObject(parent)
    , msgFormat(msgFormat)
    , timestampFormat(timestampFormat)
    , minLevel(minLevel)
    , bufferSize(bufferSize)
{
}

Logger::~Logger()
{
    uninstall();
    // Only the calling thread's buffer can be reached; deleting it here keeps
    // the thread-storage clean-up at thread exit from complaining about a
    // storage that no longer exists.
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (buffers.hasLocalData())
        buffers.setLocalData(nullptr);
}

std::mutex& Logger::sharedMutex()
{
    static auto* mutex = new std::mutex;
    return *mutex;
}

void Logger::installAsHandler()
{
    std::lock_guard<std::recursive_mutex> lock(handlerMutex());
    installedLogger = this;
    qInstallMessageHandler(messageHandler);
}

void Logger::uninstall()
{
    std::lock_guard<std::recursive_mutex> lock(handlerMutex());
    if (installedLogger == this) {
        qInstallMessageHandler(nullptr);
        installedLogger = nullptr;
    }
}

void Logger::messageHandler(QtMsgType type, const QMessageLogContext& context,
                            const QString& message)
{
    const QString file = QString::fromUtf8(context.file);
    const QString function = QString::fromUtf8(context.function);
    const int line = context.line;

    std::lock_guard<std::recursive_mutex> lock(handlerMutex());
    if (installedLogger && reentryMutex().tryLock()) {
        installedLogger->log(type, message, file, function, line);
        reentryMutex().unlock();
    } else {
        writeToStandardError(message + QLatin1Char('\n'));
    }
    if (type == QtFatalMsg)
        abort();
}

void Logger::flushInstalled()
{
    std::lock_guard<std::recursive_mutex> lock(handlerMutex());
    if (installedLogger)
        installedLogger->flush();
}

void Logger::set(const QString& name, const QString& value)
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (!threadVariables.hasLocalData())
        threadVariables.setLocalData(new QHash<QString, QString>);
    threadVariables.localData()->insert(name, value);
}

QString Logger::get(const QString& name)
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (!threadVariables.hasLocalData())
        return QString();
    return threadVariables.localData()->value(name);
}

void Logger::log(QtMsgType type, const QString& message, const QString& file,
                 const QString& function, int line)
{
    {
        std::lock_guard<std::mutex> lock(sharedMutex());
        const QHash<QString, QString>* variables =
            threadVariables.hasLocalData() ? threadVariables.localData() : nullptr;

        if (bufferSize < 1) {
            if (int(type) >= minLevel) {
                const LogMessage logMessage(type, message, variables, file, function, line);
                write(&logMessage);
            }
        } else {
            if (!buffers.hasLocalData())
                buffers.setLocalData(new ThreadBuffer);
            QList<LogMessage*>& buffer = buffers.localData()->messages;
            buffer.append(new LogMessage(type, message, variables, file, function, line));

            // Info messages rank lowest here: they are context, like debug.
            const int level = type == QtInfoMsg ? 0 : int(type);
            if (level < minLevel) {
                // Up to bufferSize messages are held back as the context that
                // precedes the next qualifying message.
                if (buffer.size() > bufferSize)
                    delete buffer.takeFirst();
            } else {
                while (!buffer.isEmpty()) {
                    const std::unique_ptr<LogMessage> held(buffer.takeFirst());
                    write(held.get());
                }
            }
        }
    }
    reportDeferredWarnings();
}

void Logger::discardThreadState(bool buffer, bool variables)
{
    std::lock_guard<std::mutex> lock(sharedMutex());
    if (buffer && buffers.hasLocalData()) {
        QList<LogMessage*>& messages = buffers.localData()->messages;
        qDeleteAll(messages);
        messages.clear();
    }
    if (variables && threadVariables.hasLocalData())
        threadVariables.localData()->clear();
}

void Logger::write(const LogMessage* logMessage)
{
    writeToStandardError(logMessage->formatLine(msgFormat, timestampFormat));
}

void Logger::deferWarning(const QString& text)
{
    pendingWarnings().append(text);
}

void Logger::reportDeferredWarnings()
{
    QStringList warnings;
    {
        std::lock_guard<std::mutex> lock(sharedMutex());
        if (pendingWarnings().isEmpty())
            return;
        warnings.swap(pendingWarnings());
    }
    for (const QString& text : qAsConst(warnings))
        qWarning("%s", qUtf8Printable(text));
}

} // namespace pc
} // namespace vexo
