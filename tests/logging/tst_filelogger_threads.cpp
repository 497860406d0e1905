// Several threads log at once while the file is rotated by size: every line
// is written whole, exactly once, into the file or one of its backups, and
// rotation drops only the oldest backups.

#include "logging/FileLogger.h"

#include "LogTestUtil.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <map>
#include <thread>
#include <vector>

using vexo::pc::FileLogger;
using vexo::pc::Logger;

class TestFileLoggerThreads : public QObject
{
    Q_OBJECT

private slots:
    void rotationUnderConcurrentLogging_data();
    void rotationUnderConcurrentLogging();
};

void TestFileLoggerThreads::rotationUnderConcurrentLogging_data()
{
    QTest::addColumn<int>("maxBackups");
    QTest::addColumn<int>("linesPerThread");
    // Enough backups that nothing is deleted: every line must be found.
    QTest::newRow("all kept") << 50 << 350;
    // Logging spans at least four flush periods, so the oldest files go.
    QTest::newRow("oldest dropped") << 2 << 550;
}

void TestFileLoggerThreads::rotationUnderConcurrentLogging()
{
    QFETCH(int, maxBackups);
    QFETCH(int, linesPerThread);
    const int threadCount = 4;
    const int maxSize = 3000;
    QTemporaryDir dir;
    const QString config = dir.path() + QStringLiteral("/logging.ini");
    const QString logPath = dir.path() + QStringLiteral("/log/app.log");
    logtest::writeConfig(config, {{"filename", logPath}, {"msg_format", "{timestamp} {type} {worker} {msg}"},
                                  {"max_size", maxSize}, {"max_backups", maxBackups}});
    QSettings settings(config, QSettings::IniFormat);
    settings.beginGroup(QStringLiteral("logging"));
    {
        FileLogger logger(&settings, 10000);
        logger.installAsHandler();
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
        while (running > 0)
            QTest::qWait(10);
        for (auto& thread : threads)
            thread.join();
    }

    int backups = 0;
    while (QFile::exists(QStringLiteral("%1.%2").arg(logPath).arg(backups + 1)))
        ++backups;
    QVERIFY2(backups >= 2 && backups <= maxBackups, qPrintable(QString::number(backups)));
    QStringList files; // oldest first
    for (int i = backups; i >= 1; --i)
        files << QStringLiteral("%1.%2").arg(logPath).arg(i);
    files << logPath;

    const QRegularExpression shape(QStringLiteral(
        "^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} ([DI]) T(\\d) (\\d+) ([a-d]{60})$"));
    std::map<int, std::vector<int>> seen; // per worker, in file order
    int total = 0;
    for (const QString& name : qAsConst(files)) {
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
            ++total;
        }
    }
    QCOMPARE(int(seen.size()), threadCount);
    for (const auto& entry : seen) {
        // What remains of each thread is the tail of its lines, in order:
        // nothing missing in between, nothing twice.
        const std::vector<int>& seqs = entry.second;
        const int first = linesPerThread - int(seqs.size());
        for (int i = 0; i < int(seqs.size()); ++i)
            QCOMPARE(seqs[i], first + i);
    }
    if (maxBackups >= 50)
        QCOMPARE(total, threadCount * linesPerThread);
    else
        QVERIFY2(total < threadCount * linesPerThread, "the oldest backups should have been dropped");
}

QTEST_GUILESS_MAIN(TestFileLoggerThreads)
#include "tst_filelogger_threads.moc"
