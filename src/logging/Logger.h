#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QThreadStorage>
#include <QtGlobal>

#include <mutex>

namespace vexo {
namespace pc {

class LogMessage;

// Front end of the framework's message functions (debug, info, warning,
// critical, fatal). Filters by level, can hold back low-level messages per
// thread until a qualifying message shows they matter, and decorates lines
// with per-thread log variables. This base class writes to standard error;
// FileLogger writes to a rotating file.
//
// All loggers share one mutex, so lines of different threads never interleave
// and a file logger's rotation never runs in the middle of a write.
class Logger : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(Logger)

public:
    explicit Logger(QObject* parent = nullptr);
    Logger(const QString& msgFormat, const QString& timestampFormat, int minLevel,
           int bufferSize, QObject* parent = nullptr);
    // Uninstalls the message handler if this logger is the installed one, so
    // that later messages go to the framework's default output.
    ~Logger() override;

    // Routes every message of the process into this logger.
    void installAsHandler();

    // Log variables of the calling thread, substituted for "{name}" in lines.
    // Writes out what the installed logger still buffers, for a process that
    // is about to end without its event loop (a crash). Any thread.
    static void flushInstalled();

    static void set(const QString& name, const QString& value);
    static QString get(const QString& name);

    // Entry point for one message; thread safe.
    virtual void log(QtMsgType type, const QString& message, const QString& file = QString(),
                     const QString& function = QString(), int line = 0);

    // Drops the calling thread's held-back messages and/or its log variables.
    virtual void discardThreadState(bool buffer = true, bool variables = true);

protected:
    // Writes one line. Called with sharedMutex() held.
    virtual void write(const LogMessage* logMessage);
    // Writes out buffered lines; standard error buffers nothing.
    virtual void flush() {}

    // Serialises logging, buffering, configuration refresh, flushing and
    // rotation across all loggers.
    static std::mutex& sharedMutex();

    // Problems of the logger itself must not be reported while sharedMutex()
    // is held: the report goes through the message handler, which may wait
    // for the handler lock held by another thread that in turn waits for
    // sharedMutex(). They are queued here (with sharedMutex() held) and
    // raised as warnings once it is released.
    static void deferWarning(const QString& text);
    static void reportDeferredWarnings();

    // Stops receiving messages if this logger is the installed one. Derived
    // destructors call it first so that no message reaches a half-destroyed
    // logger.
    void uninstall();

    QString msgFormat;
    QString timestampFormat;
    int minLevel = 0;
    int bufferSize = 0;

private:
    struct ThreadBuffer;

    static void messageHandler(QtMsgType type, const QMessageLogContext& context,
                               const QString& message);

    QThreadStorage<ThreadBuffer*> buffers;

    static Logger* installedLogger;
    static QThreadStorage<QHash<QString, QString>*> threadVariables;
};

} // namespace pc
} // namespace vexo
