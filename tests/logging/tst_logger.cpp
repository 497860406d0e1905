// Line formatting, the Logger front end (levels, per-thread buffering, log
// variables, the handler's re-entry fallback) and FileLogger (the line on
// disk, rotation while threads log, configuration refresh, fallbacks to
// standard error, a fatal message aborting a child process).

#include "logging/FileLogger.h"
#include "logging/LogMessage.h"

#include "TestWait.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include <unistd.h>

using vexo::pc::FileLogger;
using vexo::pc::LogMessage;
using vexo::pc::Logger;

namespace {

// Keeps lines instead of printing them; optionally warns from inside write,
// as a failing log file does.
class CaptureLogger : public Logger
{
public:
    CaptureLogger(int minLevel, int bufferSize, bool complain = false)
        : Logger(QStringLiteral("{type} {msg}"), QString(), minLevel, bufferSize), complain(complain) {}
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

// Built the way start-up builds it (there the application object owns both).
struct Setup
{
    Setup(const QString& configPath, int refreshMs) : settings(configPath, QSettings::IniFormat)
    {
        settings.beginGroup(QStringLiteral("logging"));
        logger.reset(new FileLogger(&settings, refreshMs));
        logger->installAsHandler();
    }
    QSettings settings;
    std::unique_ptr<FileLogger> logger;
};

void writeConfig(const QString& path, const QVariantMap& values)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings ini(path, QSettings::IniFormat);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        ini.setValue(QStringLiteral("logging/") + it.key(), it.value());
}

QStringList readLines(const QString& path)
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

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void formatLine_data();
    void formatLine();
    void levelsAndBuffering();
    void variablesArePerThread();
    void handlerReentryGoesToStderr();
    void defaultLineThenConfigurationChange();
    void rotationUnderConcurrentLogging();
    void failuresFallBackToStderr();
    void fatalIsWrittenThenAborts();

private:
    QTemporaryDir dir;
    QString config;
};

void TestLogger::init()
{
    config = dir.filePath(QStringLiteral("config/logging_zarvocam.ini"));
    QDir(dir.path()).removeRecursively();
    QDir().mkpath(dir.path());
}

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
    QTest::newRow("braces in message") << "{msg}" << 1 << "at {line} by {who} {x}" << "" << "at 42 by alice {x}";
    QTest::newRow("thread") << "{thread}" << 0 << "" << ""
                            << QString::asprintf("%p", reinterpret_cast<void*>(QThread::currentThreadId()));
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
    StderrCapture capture;
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

// Four threads log while the file is rotated by size: every line is written
// whole, exactly once, and rotation keeps the newest backup as ".1" and drops
// only the oldest beyond max_backups, so what remains of each thread is the
// tail of its lines, in order. A file beyond a gap in the numbering is no
// backup and is left alone.
void TestLogger::rotationUnderConcurrentLogging()
{
    const int threadCount = 4, linesPerThread = 550, maxSize = 3000; // logging spans several flushes
    const QString logPath = dir.path() + QStringLiteral("/log/app.log");
    writeConfig(config, {{"filename", logPath}, {"msg_format", "{timestamp} {type} {worker} {msg}"},
                         {"max_size", maxSize}, {"max_backups", 2}});
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("log"))) && QFile(logPath + QStringLiteral(".4")).open(QIODevice::WriteOnly));
    {
        Setup s(config, 10000);
        // Debug lines wait in the file's buffer for the next flush, info lines
        // are flushed at once: both race against rotation.
        std::atomic<int> running{threadCount};
        std::vector<std::thread> threads;
        for (int w = 0; w < threadCount; ++w) {
            threads.emplace_back([w, linesPerThread, &running] {
                Logger::set(QStringLiteral("worker"), QStringLiteral("T%1").arg(w));
                const QByteArray padding(60, char('a' + w));
                for (int i = 0; i < linesPerThread; ++i) {
                    if (i % 2)
                        qInfo("%d %s", i, padding.constData());
                    else
                        qDebug("%d %s", i, padding.constData());
                    QThread::msleep(8);
                }
                --running;
            });
        }
        // Flushing, and so rotation, runs on this thread's event loop.
        QVERIFY(testsupport::waitFor([&running] { return running == 0; }, 120000));
        for (auto& thread : threads)
            thread.join();
    }

    QVERIFY(QFile::exists(logPath + QStringLiteral(".2")));
    QVERIFY(!QFile::exists(logPath + QStringLiteral(".3")));
    QVERIFY(QFile::exists(logPath + QStringLiteral(".4")));
    const QRegularExpression shape(QStringLiteral("^\\S+ \\S+ [DI] T(\\d) (\\d+) ([a-d]{60})$"));
    std::map<int, std::vector<int>> seen; // per worker, oldest file first
    for (const QString& name : QStringList{logPath + QStringLiteral(".2"), logPath + QStringLiteral(".1"), logPath}) {
        if (name != logPath) // rotated only once it reached the limit
            QVERIFY2(QFileInfo(name).size() >= maxSize, qPrintable(name));
        for (const QString& line : readLines(name)) {
            const QRegularExpressionMatch m = shape.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(QStringLiteral("torn line in %1: %2").arg(name, line)));
            seen[m.captured(1).toInt()].push_back(m.captured(2).toInt());
        }
    }
    QCOMPARE(int(seen.size()), threadCount);
    size_t kept = 0;
    for (const auto& entry : seen) {
        const std::vector<int>& seqs = entry.second;
        for (int i = 0; i < int(seqs.size()); ++i)
            QCOMPARE(seqs[i], linesPerThread - int(seqs.size()) + i);
        kept += seqs.size();
    }
    QVERIFY(kept < size_t(threadCount * linesPerThread)); // the oldest went with the oldest backups
}

// The default line with a path relative to the configuration, then a new
// file name, format and level taken up at the next refresh.
void TestLogger::defaultLineThenConfigurationChange()
{
    const QString first = dir.filePath(QStringLiteral("log/first.log"));
    const QString second = dir.filePath(QStringLiteral("new/second.log"));
    writeConfig(config, {{"filename", "../log/first.log"}, {"min_level", 1}});
    StderrCapture capture;
    Setup s(config, 100);
    QCOMPARE(QFileInfo(capture.text().mid(11).trimmed()).canonicalFilePath(), first);
    qDebug("dropped");
    qWarning("x");
    qInfo("y");
    writeConfig(config, {{"filename", second}, {"msg_format", "{type}:{msg}"}, {"min_level", 2}});
    QTRY_VERIFY_WITH_TIMEOUT(capture.text().endsWith(QString(QStringLiteral("Logging to ") + second + '\n')), 3000);
    qWarning("dropped");
    qCritical("two");
    const QStringList lines = readLines(first);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} W x$"));
    QVERIFY2(stamp.match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[1].mid(24), QStringLiteral("I y"));
    QCOMPARE(readLines(second), QStringList({"C:two"}));
}

// No configuration, a log file that cannot be created, a full disk: lines
// go to standard error, with the reason.
void TestLogger::failuresFallBackToStderr()
{
    const QString blocked = dir.filePath(QStringLiteral("plain"));
    QFile plain(blocked);
    QVERIFY(plain.open(QIODevice::WriteOnly));
    for (const QString& name : QStringList{QString(), blocked + QStringLiteral("/x.log"), QStringLiteral("/dev/full")}) {
        QFile::remove(config);
        if (!name.isEmpty())
            writeConfig(config, {{"filename", name}});
        StderrCapture capture;
        {
            Setup s(config, 10000);
            qInfo("first");
            qWarning("second");
        }
        const QString text = capture.text();
        const QString expected = name.isEmpty() ? QString()
                                 : name.startsWith(blocked) ? QStringLiteral("Cannot open log file %1: ").arg(name)
                                                            : QStringLiteral("I first\nCannot write to log file /dev/full: ");
        QVERIFY2(text.contains(expected) && text.endsWith(QLatin1String(" W second\n")), qPrintable(text));
    }
}

void TestLogger::fatalIsWrittenThenAborts()
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fatal-child"), config});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(readLines(dir.path() + QStringLiteral("/config/fatal.log")),
             QStringList({"D before", "F fatal happened"}));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--fatal-child") == 0) {
        const QString config = QString::fromLocal8Bit(argv[2]);
        writeConfig(config, {{"filename", "fatal.log"}, {"msg_format", "{type} {msg}"}});
        Setup s(config, 10000);
        qDebug("before");
        qFatal("fatal happened");
    }
    TestLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logger.moc"
