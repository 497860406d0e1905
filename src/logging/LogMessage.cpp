#include "logging/LogMessage.h"

#include <QThread>

namespace vexo {
namespace pc {

LogMessage::LogMessage(QtMsgType type, const QString& message,
                       const QHash<QString, QString>* threadVariables,
                       const QString& file, const QString& function, int line)
    : timestamp(QDateTime::currentDateTime())
    , type(type)
    , message(message)
    , file(file)
    , function(function)
    , line(line)
{
    if (threadVariables)
        this->threadVariables = *threadVariables;
}

QString LogMessage::formatLine(const QString& msgFormat, const QString& timestampFormat) const
{
    QString decorated = msgFormat + QLatin1Char('\n');
    decorated.replace(QLatin1String("{msg}"), message);

    if (decorated.contains(QLatin1String("{timestamp}")))
        decorated.replace(QLatin1String("{timestamp}"), timestamp.toString(timestampFormat));

    decorated.replace(QLatin1String("{type_nr}"), QString::number(int(type)));

    const char* letter = nullptr;
    switch (type) {
    case QtDebugMsg: letter = "D"; break;
    case QtWarningMsg: letter = "W"; break;
    case QtCriticalMsg: letter = "C"; break;
    case QtFatalMsg: letter = "F"; break;
    case QtInfoMsg: letter = "I"; break;
    }
    if (letter)
        decorated.replace(QLatin1String("{type}"), QLatin1String(letter));

    // Source paths from Windows builds use backslashes; keep only the name.
    decorated.replace(QLatin1String("{file}"), file.mid(file.lastIndexOf(QLatin1Char('\\')) + 1));
    decorated.replace(QLatin1String("{function}"), function);
    decorated.replace(QLatin1String("{line}"), QString::number(line));

    if (decorated.contains(QLatin1String("{thread}"))) {
        const void* id = reinterpret_cast<const void*>(QThread::currentThreadId());
        decorated.replace(QLatin1String("{thread}"), QString::asprintf("%p", id));
    }

    if (decorated.contains(QLatin1Char('{')) && !threadVariables.isEmpty()) {
        for (auto it = threadVariables.cbegin(); it != threadVariables.cend(); ++it)
            decorated.replace(QString(QLatin1Char('{') + it.key() + QLatin1Char('}')), it.value());
    }
    return decorated;
}

} // namespace pc
} // namespace vexo
