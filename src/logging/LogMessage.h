#pragma once

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QtGlobal>

namespace vexo {
namespace pc {

// One logged message with the context it was raised in. It is created on the
// thread that raised the message and turned into a line when it is written.
class LogMessage
{
public:
    // threadVariables may be null (the thread has no log variables).
    LogMessage(QtMsgType type, const QString& message,
               const QHash<QString, QString>* threadVariables,
               const QString& file, const QString& function, int line);

    // The message as one line, terminated by "\n". Placeholders are
    // substituted in a fixed order, "{msg}" first, so that braces inside a
    // message text may themselves be taken for later placeholders.
    QString formatLine(const QString& msgFormat, const QString& timestampFormat) const;

    QtMsgType messageType() const { return type; }

private:
    QHash<QString, QString> threadVariables;
    QDateTime timestamp;
    QtMsgType type;
    QString message;
    QString file;
    QString function;
    int line;
};

} // namespace pc
} // namespace vexo
