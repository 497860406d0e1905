// FileLogger on one thread: the configuration file, line format on disk,
// rotation, refresh, and every fallback to standard error; a fatal message
// aborts the process (checked in a child process).

#include "logging/FileLogger.h"

#include "LogTestUtil.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using vexo::pc::FileLogger;

namespace {

// The way start-up builds its logger.
struct LoggerUnderTest
{
    LoggerUnderTest(const QString& configPath, int refreshMs)
    {
        settings.reset(new QSettings(configPath, QSettings::IniFormat));
        settings->beginGroup(QStringLiteral("logging"));
        logger.reset(new FileLogger(settings.get(), refreshMs));
        logger->installAsHandler();
    }
    ~LoggerUnderTest() { logger.reset(); }

    std::unique_ptr<QSettings> settings;
    std::unique_ptr<FileLogger> logger;
};

int runFatalChild(const QString& dir)
{
    int argc = 1;
    char name[] = "fatal-child";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString config = dir + QStringLiteral("/logging.ini");
    logtest::writeConfig(config, {{"filename", "fatal.log"}, {"msg_format", "{type} {msg}"}});
    auto* settings = new QSettings(config, QSettings::IniFormat, &app);
    settings->beginGroup(QStringLiteral("logging"));
    auto* logger = new FileLogger(settings, 10000, &app);
    logger->installAsHandler();
    qDebug("before");
    qFatal("fatal happened");
    return 0;
}

} // namespace

class TestFileLogger : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void defaultLineAndRelativePath();
    void levelsAndBufferFromConfiguration_data();
    void levelsAndBufferFromConfiguration();
    void rotationKeepsContiguousBackups();
    void configurationChangePickedUpAfterRefresh();
    void unreadableConfigurationFallsBackToStderr_data();
    void unreadableConfigurationFallsBackToStderr();
    void unopenableFileFallsBackToStderr();
    void writeErrorFallsBackToStderr();
    void fatalIsWrittenThenAborts();

private:
    std::unique_ptr<QTemporaryDir> dir;
    QString configPath;
};

void TestFileLogger::init()
{
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
    configPath = dir->path() + QStringLiteral("/config/logging_zarvocam.ini");
}

void TestFileLogger::defaultLineAndRelativePath()
{
    logtest::writeConfig(configPath, {{"filename", "../log/zarvocam.log"}});
    const QString logPath = QDir::cleanPath(dir->path() + QStringLiteral("/log/zarvocam.log"));
    logtest::StderrCapture capture;
    {
        LoggerUnderTest t(configPath, 10000);
        qDebug("x");
        qInfo("y");
    }
    QVERIFY2(capture.text().startsWith(QLatin1String("Logging to ")), qPrintable(capture.text()));
    QCOMPARE(QDir::cleanPath(capture.text().mid(11).trimmed()), logPath);

    const QStringList lines = logtest::readLines(logPath);
    QCOMPARE(lines.size(), 2);
    const QRegularExpression stamp(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} "));
    QVERIFY2(stamp.match(lines[0]).hasMatch(), qPrintable(lines[0]));
    QCOMPARE(lines[0].mid(24), QStringLiteral("D x"));
    QCOMPARE(lines[1].mid(24), QStringLiteral("I y"));
}

void TestFileLogger::levelsAndBufferFromConfiguration_data()
{
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("unbuffered") << 0 << QStringList({"I i", "W w"});
    QTest::newRow("buffer 2") << 2 << QStringList({"D b", "I i", "W w"});
}

void TestFileLogger::levelsAndBufferFromConfiguration()
{
    QFETCH(int, bufferSize);
    QFETCH(QStringList, expected);
    logtest::writeConfig(configPath, {{"filename", "app.log"},
                                      {"msg_format", "{type} {msg}"},
                                      {"min_level", 1},
                                      {"buffer_size", bufferSize}});
    {
        LoggerUnderTest t(configPath, 10000);
        qDebug("a");
        qDebug("b");
        qInfo("i");
        qWarning("w");
    }
    QCOMPARE(logtest::readLines(dir->path() + QStringLiteral("/config/app.log")), expected);
}

void TestFileLogger::rotationKeepsContiguousBackups()
{
    const QString logPath = dir->path() + QStringLiteral("/app.log");
    logtest::writeConfig(configPath, {{"filename", logPath},
                                      {"msg_format", "{msg}"},
                                      {"max_size", 1000},
                                      {"max_backups", 2}});
    // Beyond a gap in the numbering: not a backup, left alone.
    QFile stray(logPath + QStringLiteral(".4"));
    QVERIFY(stray.open(QIODevice::WriteOnly));
    stray.write("stray\n");
    stray.close();

    LoggerUnderTest t(configPath, 10000);
    // Below the limit nothing rotates.
    qInfo("small");
    QTest::qWait(1300);
    QVERIFY(!QFile::exists(logPath + QStringLiteral(".1")));

    const QString padding(80, QLatin1Char('p'));
    for (int round = 1; round <= 3; ++round) {
        for (int i = 0; i < 12; ++i)
            qInfo("r%d %s", round, qPrintable(padding));
        QTRY_COMPARE_WITH_TIMEOUT(QFileInfo(logPath).size(), qint64(0), 5000);
    }
    QVERIFY(QFile::exists(logPath + QStringLiteral(".1")));
    QVERIFY(QFile::exists(logPath + QStringLiteral(".2")));
    QVERIFY(!QFile::exists(logPath + QStringLiteral(".3")));
    QCOMPARE(logtest::readLines(logPath + QStringLiteral(".4")), QStringList({"stray"}));

    const QStringList newest = logtest::readLines(logPath + QStringLiteral(".1"));
    const QStringList older = logtest::readLines(logPath + QStringLiteral(".2"));
    QCOMPARE(newest.size(), 12);
    QCOMPARE(older.size(), 12);
    QVERIFY(newest.first().startsWith(QLatin1String("r3 ")));
    QVERIFY(older.first().startsWith(QLatin1String("r2 ")));
}

void TestFileLogger::configurationChangePickedUpAfterRefresh()
{
    const QString first = dir->path() + QStringLiteral("/first.log");
    const QString second = dir->path() + QStringLiteral("/second/next.log");
    logtest::writeConfig(configPath, {{"filename", first}, {"msg_format", "{type} {msg}"}});

    logtest::StderrCapture capture;
    LoggerUnderTest t(configPath, 100);
    qInfo("one");
    logtest::writeConfig(configPath, {{"filename", second}, {"msg_format", "{type}:{msg}"},
                                      {"min_level", 2}});
    QTRY_VERIFY_WITH_TIMEOUT(capture.text().contains(QString(QStringLiteral("Logging to ") + second)),
                             3000);
    qWarning("dropped");
    qCritical("two");
    QCOMPARE(logtest::readLines(first), QStringList({"I one"}));
    QCOMPARE(logtest::readLines(second), QStringList({"C:two"}));
}

void TestFileLogger::unreadableConfigurationFallsBackToStderr_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::newRow("missing") << QByteArray("missing");
    QTest::newRow("directory") << QByteArray("directory");
    QTest::newRow("garbage") << QByteArray("garbage");
}

void TestFileLogger::unreadableConfigurationFallsBackToStderr()
{
    QFETCH(QByteArray, kind);
    QDir().mkpath(QFileInfo(configPath).absolutePath());
    if (kind == "directory") {
        QVERIFY(QDir().mkpath(configPath));
    } else if (kind == "garbage") {
        QFile f(configPath);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray junk("[logging\n=\n==x\n\\\n[]]\n");
        for (int i = 0; i < 512; ++i)
            junk.append(char((i * 131 + 7) & 0xff));
        f.write(junk);
    }
    logtest::StderrCapture capture;
    {
        LoggerUnderTest t(configPath, 50);
        QTest::qWait(120);
        qWarning("fallback line");
    }
    QVERIFY2(capture.text().contains(QLatin1String(" W fallback line\n")), qPrintable(capture.text()));
}

void TestFileLogger::unopenableFileFallsBackToStderr()
{
    const QString blocker = dir->path() + QStringLiteral("/plain");
    QFile f(blocker);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    const QString logPath = blocker + QStringLiteral("/sub/app.log");
    logtest::writeConfig(configPath, {{"filename", logPath}, {"msg_format", "{type} {msg}"}});

    logtest::StderrCapture capture;
    {
        LoggerUnderTest t(configPath, 10000);
        qWarning("still logged");
    }
    const QString text = capture.text();
    QVERIFY2(text.contains(QString(QStringLiteral("Cannot open log file ") + logPath + QStringLiteral(": "))),
             qPrintable(text));
    QVERIFY(text.endsWith(QLatin1String("\nW still logged\n")));
}

void TestFileLogger::writeErrorFallsBackToStderr()
{
    logtest::writeConfig(configPath, {{"filename", "/dev/full"}, {"msg_format", "{type} {msg}"}});
    logtest::StderrCapture capture;
    {
        LoggerUnderTest t(configPath, 10000);
        qInfo("first");
        qInfo("second");
    }
    const QString text = capture.text();
    QVERIFY2(text.contains(QLatin1String("\nI first\nCannot write to log file /dev/full: ")),
             qPrintable(text));
    QVERIFY(text.endsWith(QLatin1String("\nI second\n")));
}

void TestFileLogger::fatalIsWrittenThenAborts()
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--fatal-child"), dir->path()});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(logtest::readLines(dir->path() + QStringLiteral("/fatal.log")),
             QStringList({"D before", "F fatal happened"}));
}

int main(int argc, char** argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--fatal-child") == 0)
        return runFatalChild(QString::fromLocal8Bit(argv[2]));
    QCoreApplication app(argc, argv);
    TestFileLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelogger.moc"
