// Start-up of the real program, run as a child process on the offscreen
// platform with a private data folder and a private temporary folder (the
// single-instance key lives there).
#include "main/StartupSupport.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QSharedMemory>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <csignal>

class TestStartup : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    QString program() const
    {
        return qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvocam");
    }
    QString dataRoot() const { return m_home.path() + QStringLiteral("/data/KAVORA_ZarvoCam"); }

    void prepare(QProcess &p, const QByteArray &lang = "C") const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_home.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("TMPDIR"), m_home.path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(lang));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
        p.setProcessEnvironment(env);
        p.setProgram(program());
    }

    // Starts a long-running copy and waits until it has logged its version,
    // which happens after it took the single-instance guard.
    bool startRunning(QProcess &p)
    {
        prepare(p);
        p.setArguments({QStringLiteral("--log_std")});
        p.start();
        if (!p.waitForStarted(5000))
            return false;
        QByteArray err;
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            p.waitForReadyRead(200);
            err += p.readAllStandardError();
            if (err.contains("Software version:"))
                return true;
            if (p.state() == QProcess::NotRunning)
                return false;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY2(QFile::exists(program()), qPrintable(program()));
    }

    void versionLineAndFirstRun()
    {
        QDir(dataRoot()).removeRecursively();
        QProcess p;
        prepare(p);
        p.setArguments({QStringLiteral("--log_std"), QStringLiteral("--version")});
        p.start();
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitStatus(), QProcess::NormalExit);
        QCOMPARE(p.exitCode(), 0);
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        static const QRegularExpression re(QStringLiteral(
            "^KAVORA_ZarvoCam_1\\.0\\.5\\.4,   Build Time: [A-Z][a-z]{2} [ 123]\\d \\d{4}, \\d\\d:\\d\\d:\\d\\d\\n$"));
        QVERIFY2(re.match(out).hasMatch(), qPrintable(out));

        // The working folders exist and both configuration files were copied,
        // but no log file was started.
        for (const char *d : {"/firmware", "/log", "/config", "/pic"})
            QVERIFY2(QFileInfo(dataRoot() + QLatin1String(d)).isDir(), d);
        QVERIFY(QFile::exists(dataRoot() + QStringLiteral("/config/kavora_win_x64.ini")));
        QVERIFY(QFile::exists(dataRoot() + QStringLiteral("/config/logging_zarvocam.ini")));
        QVERIFY(QDir(dataRoot() + QStringLiteral("/log")).entryList(QDir::Files).isEmpty());

        // A user-edited copy survives the next run.
        QFile f(dataRoot() + QStringLiteral("/config/kavora_win_x64.ini"));
        QVERIFY(f.open(QIODevice::Append));
        f.write("\n[user]\nmine=1\n");
        f.close();
        QProcess again;
        prepare(again);
        again.setArguments({QStringLiteral("-V")});
        again.start();
        QVERIFY(again.waitForFinished(15000));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().contains("mine=1"));
    }

    // A copy ended by a signal leaves its guard segment; the segment's key
    // file lies in the temporary home, which goes with the test, and a
    // segment without its key file stays until the machine restarts.
    void cleanupTestCase()
    {
        const QByteArray saved = qgetenv("TMPDIR");
        qputenv("TMPDIR", QFile::encodeName(m_home.path()));
        QSharedMemory stale(QStringLiteral("KAVORA_ZarvoCam"));
        if (stale.attach())
            stale.detach();
        qputenv("TMPDIR", saved);
    }

    void helpGoesToStandardOutput()
    {
        QProcess p;
        prepare(p);
        // "-h" acts as soon as it is met, before the later "--version".
        p.setArguments({QStringLiteral("-h"), QStringLiteral("--version")});
        p.start();
        QVERIFY(p.waitForFinished(15000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), startup::helpText());
    }

    void logStdUsesBracketPatternAndNoFile()
    {
        QDir(dataRoot() + QStringLiteral("/log")).removeRecursively();
        QProcess p;
        QVERIFY(startRunning(p));
        p.kill();
        p.waitForFinished(5000);
        const QString err = QString::fromUtf8(p.readAllStandardError());
        QVERIFY(QDir(dataRoot() + QStringLiteral("/log")).entryList(QDir::Files).isEmpty());
        static const QRegularExpression line(QStringLiteral("^\\[\\d{8} \\d{1,2}:\\d\\d:\\d\\d\\.\\d{3} [DIWCF]\\] "));
        for (const QString &l : err.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            if (l.startsWith(QLatin1String("No display")))
                continue;
            QVERIFY2(line.match(l).hasMatch(), qPrintable(l));
        }
    }

    void secondInstanceAndCrashedFirst()
    {
        QProcess first;
        QVERIFY(startRunning(first));

        // A second copy warns in the system language and leaves with 0.
        for (const auto &c : {std::make_pair(QByteArray("C"), QByteArray("Program already running!")),
                              std::make_pair(QByteArray("de_DE.UTF-8"), QByteArray("Programm läuft bereits!")),
                              std::make_pair(QByteArray("zh_TW.UTF-8"), QByteArray("程式已經運行！"))}) {
            QProcess second;
            prepare(second, c.first);
            second.start();
            QVERIFY(second.waitForFinished(15000));
            QCOMPARE(second.exitCode(), 0);
            QVERIFY2(second.readAllStandardError().contains(c.second), c.first.constData());
        }
        QCOMPARE(first.state(), QProcess::Running);

        // The first copy dies without cleaning up: a new copy must still start.
        ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished(5000));
        QProcess next;
        QVERIFY2(startRunning(next), "a new copy could not start after the first was killed");
        QProcess blocked;
        prepare(blocked);
        blocked.start();
        QVERIFY(blocked.waitForFinished(15000));
        QVERIFY(blocked.readAllStandardError().contains("Program already running!"));
        next.terminate();
        QVERIFY(next.waitForFinished(10000));
    }

    void languageFromLocale()
    {
        const QLocale saved;
        const struct {
            QLocale locale;
            int expected;
        } cases[] = {
            {QLocale(QLocale::Chinese, QLocale::China), 1},
            {QLocale(QLocale::Chinese, QLocale::Taiwan), 2},
            {QLocale(QLocale::Japanese, QLocale::Japan), 3},
            {QLocale(QLocale::German, QLocale::Austria), 4},
            {QLocale(QLocale::Spanish, QLocale::Mexico), 5},
            {QLocale(QLocale::French, QLocale::France), 0},
        };
        for (const auto &c : cases) {
            QLocale::setDefault(c.locale);
            QCOMPARE(startup::languageForLocale(), c.expected);
        }
        QLocale::setDefault(saved);
    }

    // Every language the program can switch to is staged where it loads the
    // files from, with the forms' texts under their class names.
    void translationsAreStaged()
    {
        const QString language = qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/language/ZarvoCam_");
        for (const char *code : {"en_US", "zh_CN", "zh_HK", "jp_JP", "ge_GE", "es_ES"})
            QVERIFY2(QFile::exists(language + QLatin1String(code) + QStringLiteral(".qm")), code);
        QTranslator translator;
        QVERIFY(translator.load(language + QStringLiteral("ge_GE.qm")));
        QCOMPARE(translator.translate("MsgInfoUi", "Yes"), QStringLiteral("Ja"));
        QCOMPARE(translator.translate("MsgProgressUi", "Progress info"), QStringLiteral("Fortschrittsinformationen"));
    }

    // Start-up points the crash handler at the data root's crash folder; the
    // log file keeps the handler's line naming the dump.
    void forcedCrashLeavesOneDump()
    {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        QSKIP("Sanitizer build: the sanitizers handle the fatal signals themselves.");
#endif
        const QString folder = dataRoot() + QStringLiteral("/log/crash_log");
        QDir(folder).removeRecursively();
        QProcess p;
        prepare(p);
        QProcessEnvironment env = p.processEnvironment();
        env.insert(QStringLiteral("ZARVO_CRASH_TEST"), QStringLiteral("abort"));
        p.setProcessEnvironment(env);
        p.start();
        QVERIFY(p.waitForFinished(30000));
        QCOMPARE(p.exitStatus(), QProcess::CrashExit);
        const QStringList dumps = QDir(folder).entryList({QStringLiteral("*.dmp")}, QDir::Files);
        QCOMPARE(dumps.size(), 1);
        QFile log(dataRoot() + QStringLiteral("/log/zarvocam.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QByteArray expected = "Succeed to write minidump, dump path: " + QFile::encodeName(folder) + '/'
                                    + QFile::encodeName(dumps.first()).chopped(4);
        QVERIFY2(log.readAll().contains(expected), expected.constData());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
