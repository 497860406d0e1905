// FileLogger on one thread: the line on disk, rotation, configuration
// refresh, the fallbacks to standard error, and a fatal message aborting
// (checked in a child process running this binary).

#include "logging/FileLogger.h"

#include "LogTestUtil.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using vexo::pc::FileLogger;

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
    qInfo("small");
    QTest::qWait(1300);
    QVERIFY(!QFile::exists(logPath + QStringLiteral(".1")));
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
    QTest::newRow("configuration is a directory") << "directory" << "";
    QTest::newRow("garbage configuration") << "garbage" << "";
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
    if (problem == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(config));
    } else if (problem == QLatin1String("garbage")) {
        QFile f(config);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray junk("[logging\n=\n==x\n\\\n[]]\nfilename\n");
        for (int i = 0; i < 512; ++i)
            junk.append(char(i * 131 + 7));
        f.write(junk);
    } else if (problem != QLatin1String("missing")) {
        const QString name = problem == QLatin1String("blocked") ? plain.fileName() + QStringLiteral("/x.log")
                                                                 : problem;
        logtest::writeConfig(config, {{"filename", name}});
    }
    logtest::StderrCapture capture;
    {
        Setup s(config, 50);
        QTest::qWait(120);
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
