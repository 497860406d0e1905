// Line formatting and the Logger front end: levels, per-thread buffering,
// log variables, the message handler and its re-entry fallback.

#include "logging/LogMessage.h"
#include "logging/Logger.h"

#include "LogTestUtil.h"

#include <QThread>
#include <QtTest>

#include <thread>

using vexo::pc::LogMessage;
using vexo::pc::Logger;

namespace {

// Keeps lines instead of printing them; optionally warns from inside write,
// as a failing log file does.
class CaptureLogger : public Logger
{
public:
    CaptureLogger(int minLevel, int bufferSize, bool complain = false)
        : Logger(QStringLiteral("{type} {msg}"), QString(), minLevel, bufferSize), complain(complain)
    {
    }
    QStringList lines;
    bool complain;

protected:
    void write(const LogMessage* m) override
    {
        lines << m->formatLine(msgFormat, timestampFormat).trimmed();
        if (complain)
            qWarning("inner problem");
    }
};

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void formatLine_data();
    void formatLine();
    void levelsAndBuffering();
    void variablesArePerThread();
    void handlerReentryGoesToStderr();
};

void TestLogger::formatLine_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");
    QTest::newRow("backslash path") << "{file}" << 0 << "" << "a\\b\\c" << "c";
    QTest::newRow("slash path whole") << "{file}" << 0 << "" << "src/x.cpp" << "src/x.cpp";
    for (int t = 0; t <= 4; ++t)
        QTest::addRow("type %d", t) << "{type}{type_nr}" << t << "" << ""
                                    << QStringLiteral("%1%2").arg(QLatin1Char("DWCFI"[t])).arg(t);
    // 7 is no message type, yet a value the type can hold (it takes three
    // bits); anything larger would itself be undefined.
    QTest::newRow("unknown type") << "{type} {type_nr}" << 7 << "" << "" << "{type} 7";
    QTest::newRow("each occurrence") << "{msg}|{msg} {function}:{line} {line} {who}{who}" << 1 << "hi"
                                     << "" << "hi|hi f(int):42 42 alicealice";
    // "{msg}" goes first, so a message's braces are placeholders too.
    QTest::newRow("braces in message") << "{msg}" << 1 << "at {line} by {who} {x}" << ""
                                       << "at 42 by alice {x}";
}

void TestLogger::formatLine()
{
    QFETCH(QString, format);
    QFETCH(int, type);
    QFETCH(QString, message);
    QFETCH(QString, file);
    QFETCH(QString, expected);
    const QHash<QString, QString> vars{{QStringLiteral("who"), QStringLiteral("alice")}};
    const LogMessage m(QtMsgType(type), message, &vars, file, QStringLiteral("f(int)"), 42);
    QCOMPARE(m.formatLine(format, QString()), QString(expected + QLatin1Char('\n')));

    const LogMessage plain(QtDebugMsg, QStringLiteral("{who}"), nullptr, QString(), QString(), 0);
    QCOMPARE(plain.formatLine(QStringLiteral("{thread} {msg}"), QString()),
             QString::asprintf("%p {who}\n", reinterpret_cast<void*>(QThread::currentThreadId())));
}

void TestLogger::levelsAndBuffering()
{
    CaptureLogger unbuffered(1, 0);
    for (QtMsgType t : {QtDebugMsg, QtInfoMsg, QtWarningMsg})
        unbuffered.log(t, QStringLiteral("m"));
    QCOMPARE(unbuffered.lines, QStringList({"I m", "W m"}));

    CaptureLogger buffered(1, 3);
    for (int i = 1; i <= 4; ++i)
        buffered.log(QtDebugMsg, QStringLiteral("d%1").arg(i));
    QVERIFY(buffered.lines.isEmpty());
    buffered.log(QtWarningMsg, QStringLiteral("w"));
    QCOMPARE(buffered.lines, QStringList({"D d2", "D d3", "D d4", "W w"}));

    // Info ranks like debug while buffering; discarding drops what is held.
    buffered.lines.clear();
    buffered.log(QtInfoMsg, QStringLiteral("gone"));
    buffered.discardThreadState(true, false);
    buffered.log(QtInfoMsg, QStringLiteral("i"));
    QVERIFY(buffered.lines.isEmpty());
    buffered.log(QtCriticalMsg, QStringLiteral("c"));
    QCOMPARE(buffered.lines, QStringList({"I i", "C c"}));
}

void TestLogger::variablesArePerThread()
{
    CaptureLogger logger(1, 5);
    Logger::set(QStringLiteral("who"), QStringLiteral("@main"));
    // The message's own braces take the thread's variables.
    logger.log(QtDebugMsg, QStringLiteral("held{who}"));

    QString seenInWorker = QStringLiteral("unset");
    std::thread worker([&] {
        seenInWorker = Logger::get(QStringLiteral("who"));
        Logger::set(QStringLiteral("who"), QStringLiteral("@worker"));
        logger.log(QtDebugMsg, QStringLiteral("w-held{who}"));
        logger.log(QtWarningMsg, QStringLiteral("w{who}"));
    });
    worker.join();
    QCOMPARE(seenInWorker, QString());
    QCOMPARE(logger.lines, QStringList({"D w-held@worker", "W w@worker"}));

    // Variables are captured when a message is raised, not when written.
    logger.lines.clear();
    logger.discardThreadState(false, true);
    QCOMPARE(Logger::get(QStringLiteral("who")), QString());
    logger.log(QtWarningMsg, QStringLiteral("w{who}"));
    QCOMPARE(logger.lines, QStringList({"D held@main", "W w{who}"}));
}

void TestLogger::handlerReentryGoesToStderr()
{
    logtest::StderrCapture capture;
    QtMessageHandler ours = nullptr;
    {
        CaptureLogger logger(0, 0, true);
        logger.installAsHandler();
        qCritical("outer");
        qInfo("second");
        QCOMPARE(logger.lines, QStringList({"C outer", "I second"}));
        ours = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(ours);
    }
    QCOMPARE(capture.text(), QStringLiteral("inner problem\ninner problem\n"));
    // The destroyed logger took its handler with it.
    QVERIFY(qInstallMessageHandler(nullptr) != ours);
}

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
