// Line formatting of one message and the Logger front end: levels,
// per-thread buffering, log variables, the message handler.

#include "logging/LogMessage.h"
#include "logging/Logger.h"

#include "LogTestUtil.h"

#include <QDate>
#include <QThread>
#include <QtTest>

#include <thread>

using vexo::pc::LogMessage;
using vexo::pc::Logger;

namespace {

// Keeps lines instead of printing them.
class CaptureLogger : public Logger
{
public:
    CaptureLogger(const QString& format, int minLevel, int bufferSize)
        : Logger(format, QStringLiteral("yyyy"), minLevel, bufferSize)
    {
    }
    QStringList lines;

protected:
    void write(const LogMessage* logMessage) override
    {
        lines << logMessage->formatLine(msgFormat, timestampFormat);
    }
};

// Warns from inside its own write, as a failing file would.
class ComplainingLogger : public CaptureLogger
{
public:
    ComplainingLogger() : CaptureLogger(QStringLiteral("{type} {msg}"), 0, 0) {}

protected:
    void write(const LogMessage* logMessage) override
    {
        CaptureLogger::write(logMessage);
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
    void formatLineThreadAndTimestamp();
    void unbufferedMinLevel();
    void bufferedHoldsBackUntilQualifying();
    void buffersAndVariablesArePerThread();
    void handlerRoutesAndUninstalls();
    void loggingThatWarnsFallsBackToStderr();
};

void TestLogger::formatLine_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("expected");

    const QString ctxFile = QStringLiteral("a\\b\\c");
    QTest::newRow("backslash path") << "{file}" << 0 << "m" << ctxFile << "c\n";
    QTest::newRow("slash path kept whole") << "{file}" << 0 << "m" << "src/x.cpp" << "src/x.cpp\n";
    QTest::newRow("empty path") << "[{file}]" << 0 << "m" << "" << "[]\n";
    QTest::newRow("debug") << "{type}{type_nr}" << 0 << "m" << ctxFile << "D0\n";
    QTest::newRow("warning") << "{type}{type_nr}" << 1 << "m" << ctxFile << "W1\n";
    QTest::newRow("critical") << "{type}{type_nr}" << 2 << "m" << ctxFile << "C2\n";
    QTest::newRow("fatal") << "{type}{type_nr}" << 3 << "m" << ctxFile << "F3\n";
    QTest::newRow("info") << "{type}{type_nr}" << 4 << "m" << ctxFile << "I4\n";
    QTest::newRow("unknown type kept") << "{type} {type_nr}" << 9 << "m" << ctxFile << "{type} 9\n";
    QTest::newRow("every placeholder twice")
        << "{msg}|{msg} {function}:{line} {function}:{line} {who}{who}" << 1 << "hi" << ctxFile
        << "hi|hi f(int):42 f(int):42 alicealice\n";
    // The message text is substituted first, so its braces are placeholders too.
    QTest::newRow("braces in message") << "{msg}" << 1 << "at {line} by {who} {unknown}" << ctxFile
                                       << "at 42 by alice {unknown}\n";
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
    QCOMPARE(m.formatLine(format, QStringLiteral("yyyy")), expected);
    QCOMPARE(int(m.messageType()), type);
}

void TestLogger::formatLineThreadAndTimestamp()
{
    const LogMessage m(QtDebugMsg, QStringLiteral("{who}"), nullptr, QString(), QString(), 0);
    const QString expectedThread =
        QString::asprintf("%p", reinterpret_cast<void*>(QThread::currentThreadId()));
    // Without variables a "{name}" stays as it is.
    QCOMPARE(m.formatLine(QStringLiteral("{thread} {msg}"), QString()),
             QString(expectedThread + QStringLiteral(" {who}\n")));
    QVERIFY(expectedThread.startsWith(QLatin1String("0x")));

    const QString line = m.formatLine(QStringLiteral("{timestamp}|"), QStringLiteral("yyyy-MM-dd"));
    QCOMPARE(line, QString(QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))
                           + QStringLiteral("|\n")));
}

void TestLogger::unbufferedMinLevel()
{
    CaptureLogger logger(QStringLiteral("{type} {msg}"), 1, 0);
    logger.log(QtDebugMsg, QStringLiteral("d"));
    logger.log(QtInfoMsg, QStringLiteral("i"));
    logger.log(QtWarningMsg, QStringLiteral("w"));
    logger.log(QtCriticalMsg, QStringLiteral("c"));
    QCOMPARE(logger.lines, QStringList({"I i\n", "W w\n", "C c\n"}));
}

void TestLogger::bufferedHoldsBackUntilQualifying()
{
    CaptureLogger logger(QStringLiteral("{type} {msg}"), 1, 3);
    for (int i = 1; i <= 4; ++i)
        logger.log(QtDebugMsg, QStringLiteral("d%1").arg(i));
    QVERIFY(logger.lines.isEmpty());
    logger.log(QtWarningMsg, QStringLiteral("w"));
    // The last three messages held back before the warning, then the warning.
    QCOMPARE(logger.lines, QStringList({"D d2\n", "D d3\n", "D d4\n", "W w\n"}));

    // Info ranks like debug while buffering: held back too. The buffer was
    // emptied by the warning, so only what came after it is written.
    logger.lines.clear();
    logger.log(QtInfoMsg, QStringLiteral("i"));
    logger.log(QtCriticalMsg, QStringLiteral("c"));
    QCOMPARE(logger.lines, QStringList({"I i\n", "C c\n"}));

    // Discarding drops what is held back.
    logger.lines.clear();
    logger.log(QtDebugMsg, QStringLiteral("gone"));
    logger.discardThreadState(true, false);
    logger.log(QtWarningMsg, QStringLiteral("w2"));
    QCOMPARE(logger.lines, QStringList({"W w2\n"}));
}

void TestLogger::buffersAndVariablesArePerThread()
{
    CaptureLogger logger(QStringLiteral("{type} {msg} {who}"), 1, 5);
    Logger::set(QStringLiteral("who"), QStringLiteral("main"));
    QCOMPARE(Logger::get(QStringLiteral("who")), QStringLiteral("main"));
    logger.log(QtDebugMsg, QStringLiteral("main-held"));

    QString seenInWorker = QStringLiteral("unset");
    // A plain thread: its join is seen by the thread sanitizer.
    std::thread worker([&] {
        seenInWorker = Logger::get(QStringLiteral("who"));
        Logger::set(QStringLiteral("who"), QStringLiteral("worker"));
        logger.log(QtDebugMsg, QStringLiteral("worker-held"));
        logger.log(QtWarningMsg, QStringLiteral("worker-w"));
    });
    worker.join();

    QCOMPARE(seenInWorker, QString());
    QCOMPARE(logger.lines, QStringList({"D worker-held worker\n", "W worker-w worker\n"}));

    logger.lines.clear();
    logger.discardThreadState(false, true);
    QCOMPARE(Logger::get(QStringLiteral("who")), QString());
    logger.log(QtWarningMsg, QStringLiteral("main-w"));
    // Variables are captured when a message is raised, not when it is written.
    QCOMPARE(logger.lines, QStringList({"D main-held main\n", "W main-w {who}\n"}));
}

void TestLogger::handlerRoutesAndUninstalls()
{
    QtMessageHandler ours = nullptr;
    {
        CaptureLogger logger(QStringLiteral("{type} {msg} {function} {line}"), 0, 0);
        logger.installAsHandler();
        const int line = __LINE__ + 1;
        qInfo("through handler");
        QCOMPARE(logger.lines.size(), 1);
        const QString expectedEnd = QStringLiteral(" %1\n").arg(line);
        QVERIFY2(logger.lines.first().startsWith(QLatin1String("I through handler ")),
                 qPrintable(logger.lines.first()));
        QVERIFY(logger.lines.first().contains(QLatin1String("handlerRoutesAndUninstalls")));
        QVERIFY(logger.lines.first().endsWith(expectedEnd));

        ours = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(ours);
    }
    // The destroyed logger took its handler with it.
    const QtMessageHandler current = qInstallMessageHandler(nullptr);
    QVERIFY(current != ours);
    qDebug("after uninstall goes to the default output");
}

void TestLogger::loggingThatWarnsFallsBackToStderr()
{
    logtest::StderrCapture capture;
    {
        ComplainingLogger logger;
        logger.installAsHandler();
        qCritical("outer");
        qInfo("second");
        QCOMPARE(logger.lines, QStringList({"C outer\n", "I second\n"}));
    }
    QCOMPARE(capture.text(), QStringLiteral("inner problem\ninner problem\n"));
}

QTEST_GUILESS_MAIN(TestLogger)
#include "tst_logger.moc"
