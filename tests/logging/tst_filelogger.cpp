// FileLogger: the line on disk, rotation (also while several threads log),
// configuration refresh, the fallbacks to standard error, and a fatal
// message aborting (checked in a child process running this binary).

#include "logging/FileLogger.h"

#include "LogTestUtil.h"
#include "TestWait.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

using vexo::pc::FileLogger;
using vexo::pc::Logger;

namespace {

// Built the way start-up builds it (there the application object owns both).
struct Setup
{
    Setup(const QString& configPath, int refreshMs)
        : settings(new QSettings(configPath, QSettings::IniFormat))
    {
        settings->beginGroup(QStringLiteral("logging"));
        logger.reset(new FileLogger(settings.get(), refreshMs));
        logger->installAsHandler();
    }
    std::unique_ptr<QSettings> settings;
    std::unique_ptr<FileLogger> logger;
};

} // namespace

class TestFileLogger : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaultLineRelativePathAndLevel();
    void rotationKeepsContiguousBackups();
    void rotationUnderConcurrentLogging();
    void configurationChangePickedUpAfterRefresh();
    void failuresFallBackToStderr_data();
    void failuresFallBackToStderr();
    void fatalIsWrittenThenAborts();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString config;
};

void TestFileLogger::init()
{
    dir.reset(new QTemporaryDir);
    config = dir->path() + QStringLiteral("/config/logging_zarvocam.ini");
}

void TestFileLogger::defaultLineRelativePathAndLevel()
{
    logtest::writeConfig(config, {{"filename", "../log/z.log"}, {"min_level", 1}});
    const QString logPath = dir->path() + QStringLiteral("/log/z.log");
    logtest::StderrCapture capture;
    {
        Setup s(config, 10000);
        qDebug("dropped");
        qWarning("x");
        qInfo("y");
    }
    QCOMPARE(QFileInfo(capture.text().mid(11).trimmed()).canonicalFilePath(), logPath);
    const QStringList lines = logtest::readLines(logPath);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} W x$"));
    QVERIFY2(stamp.match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[1].mid(24), QStringLiteral("I y"));
}

void TestFileLogger::rotationKeepsContiguousBackups()
{
    const QString logPath = dir->path() + QStringLiteral("/app.log");
    logtest::writeConfig(config, {{"filename", logPath}, {"msg_format", "{msg}"},
                                  {"max_size", 1000}, {"max_backups", 2}});
    // Beyond a gap in the numbering: not a backup, left alone.
    QFile stray(logPath + QStringLiteral(".4"));
    QVERIFY(stray.open(QIODevice::WriteOnly) && stray.write("stray\n") == 6);
    stray.close();

    Setup s(config, 10000);
    for (int round = 1; round <= 3; ++round) {
        for (int i = 0; i < 12; ++i)
            qInfo("r%d %080d", round, i);
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(logPath).size(), qint64(0), 5000);
    }
    QCOMPARE(logtest::readLines(logPath + QStringLiteral(".1")).filter(QStringLiteral("r3 ")).size(), 12);
    QCOMPARE(logtest::readLines(logPath + QStringLiteral(".2")).filter(QStringLiteral("r2 ")).size(), 12);
    QVERIFY(!QFile::exists(logPath + QStringLiteral(".3")));
    QCOMPARE(logtest::readLines(logPath + QStringLiteral(".4")), QStringList({"stray"}));
}

// Four threads log while the file is rotated by size: every line is written
// whole, exactly once, and rotation drops only the oldest backups, so what
// remains of each thread is the tail of its lines, in order.
void TestFileLogger::rotationUnderConcurrentLogging()
{
    const int threadCount = 4;
    const int linesPerThread = 550; // spans several flush periods
    const int maxSize = 3000;
    const QString logPath = dir->path() + QStringLiteral("/log/app.log");
    logtest::writeConfig(config, {{"filename", logPath}, {"msg_format", "{timestamp} {type} {worker} {msg}"},
                                  {"max_size", maxSize}, {"max_backups", 2}});
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
    const QRegularExpression shape(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ([DI]) T(\\d) (\\d+) ([a-d]{60})$"));
    std::map<int, std::vector<int>> seen; // per worker, oldest file first
    for (const QString& name : QStringList{logPath + QStringLiteral(".2"), logPath + QStringLiteral(".1"), logPath}) {
        if (name != logPath) // rotated only once it reached the limit
            QVERIFY2(QFileInfo(name).size() >= maxSize, qPrintable(name));
        for (const QString& line : logtest::readLines(name)) {
            const QRegularExpressionMatch m = shape.match(line);
            QVERIFY2(m.hasMatch(), qPrintable(QStringLiteral("torn line in %1: %2").arg(name, line)));
            const int worker = m.captured(2).toInt();
            const int seq = m.captured(3).toInt();
            QCOMPARE(m.captured(1), QString(seq % 2 ? QStringLiteral("I") : QStringLiteral("D")));
            QCOMPARE(m.captured(4), QString(60, QLatin1Char('a' + worker)));
            seen[worker].push_back(seq);
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

void TestFileLogger::configurationChangePickedUpAfterRefresh()
{
    const QString first = dir->path() + QStringLiteral("/first.log");
    const QString second = dir->path() + QStringLiteral("/new/second.log");
    logtest::writeConfig(config, {{"filename", first}, {"msg_format", "{type} {msg}"}});
    logtest::StderrCapture capture;
    Setup s(config, 100);
    qInfo("one");
    logtest::writeConfig(config, {{"filename", second}, {"msg_format", "{type}:{msg}"}, {"min_level", 2}});
    QTRY_VERIFY_WITH_TIMEOUT(capture.text().endsWith(QString(QStringLiteral("Logging to ") + second + '\n')),
                             3000);
    qWarning("dropped");
    qCritical("two");
    QCOMPARE(logtest::readLines(first), QStringList({"I one"}));
    QCOMPARE(logtest::readLines(second), QStringList({"C:two"}));
}

void TestFileLogger::failuresFallBackToStderr_data()
{
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no configuration") << "missing" << "";
    QTest::newRow("file cannot be created") << "blocked" << "Cannot open log file %1/plain/x.log: ";
    QTest::newRow("disk full") << "/dev/full" << "I first\nCannot write to log file /dev/full: ";
}

void TestFileLogger::failuresFallBackToStderr()
{
    QFETCH(QString, problem);
    QFETCH(QString, expected);
    QDir().mkpath(dir->path() + QStringLiteral("/config"));
    QFile plain(dir->path() + QStringLiteral("/plain"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    if (problem != QLatin1String("missing")) {
        const QString name = problem == QLatin1String("blocked") ? plain.fileName() + QStringLiteral("/x.log")
                                                                 : problem;
        logtest::writeConfig(config, {{"filename", name}});
    }
    logtest::StderrCapture capture;
    {
        Setup s(config, 10000);
        qInfo("first");
        qWarning("second");
    }
    const QString text = capture.text();
    QVERIFY2(text.contains(expected.arg(dir->path())), qPrintable(text));
    QVERIFY2(text.endsWith(QLatin1String(" W second\n")), qPrintable(text));
}

void TestFileLogger::fatalIsWrittenThenAborts()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fatal-child"), config});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(logtest::readLines(dir->path() + QStringLiteral("/config/fatal.log")),
             QStringList({"D before", "F fatal happened"}));
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--fatal-child") == 0) {
        const QString config = QString::fromLocal8Bit(argv[2]);
        logtest::writeConfig(config, {{"filename", "fatal.log"}, {"msg_format", "{type} {msg}"}});
        Setup s(config, 10000);
        qDebug("before");
        qFatal("fatal happened");
    }
    TestFileLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelogger.moc"
