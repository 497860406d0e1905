// zarvoctl against virtual cameras, as a user runs it: output, the wire
// trace, camera choice, the control table, and exit statuses. (What each
// command sends is tst_devcommands'.)
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Run
{
    int code = -1;
    QString out;
    QString err;

    QList<QJsonObject> json() const
    {
        QList<QJsonObject> objects;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            objects << QJsonDocument::fromJson(line.toUtf8()).object();
        return objects;
    }
};

// Runs zarvoctl with the words of commandLine as its arguments.
Run zarvoctl(const QString &commandLine, const QByteArray &fault = QByteArray())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZARVO_TEST_TIME_SCALE"), QStringLiteral("0.05"));
    env.remove(QStringLiteral("ZARVO_SIMULATE"));
    if (!fault.isEmpty())
        env.insert(QStringLiteral("ZARVO_SIMULATE_FAULT"), QString::fromLatin1(fault));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvoctl"),
            commandLine.split(QLatin1Char(' ')));
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestZarvoctl : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariable("ZARVO_STAGE_DIR").isEmpty(), "run through ctest");
    }

    void traceShowsTheWireBytes()
    {
        const Run r = zarvoctl(QStringLiteral("--simulate 1 --trace sleep -- pan-tilt -0.5 0"));
        QCOMPARE(r.code, 0);
        // Set 1, id 962, payload 01 03, no answer asked: on selector 2; the
        // relative move as a command block on selector 6.
        for (const char *line : {"^set 2: aa 00 0e 10 ([0-9a-f]{2} ){4}00 e1 13 c2 01 03( 00){46}$",
                                 "^set 6: 09 04 ff 05 00 00( 00){54}$", "^get 2: aa 00 "}) {
            QVERIFY2(r.err.contains(QRegularExpression(QLatin1String(line), QRegularExpression::MultilineOption)),
                     qPrintable(r.err));
        }
    }

    void camerasAndControls()
    {
        Run r = zarvoctl(QStringLiteral("--simulate 2 --json list"));
        QCOMPARE(r.code, 0);
        const auto cams = r.json();
        QCOMPARE(cams.size(), 2);
        const QString second = cams.at(1).value(QStringLiteral("serial")).toString();
        QCOMPARE(cams.at(1).value(QStringLiteral("model")).toString(), QStringLiteral("KAVORA Zarvo4K"));
        r = zarvoctl(QStringLiteral("--simulate 2 --camera %1 --json info").arg(second));
        QCOMPARE(r.json().value(0).value(QStringLiteral("is_4k")).toBool(), true);

        // A chain on one camera: control by name, every control, a word
        // command, and the status in words.
        r = zarvoctl(QStringLiteral("--simulate 1 --json set white-balance 5000 -- get white-balance -- controls -- "
                                    "fov 65 -- status"));
        QCOMPARE(r.code, 0);
        const auto objects = r.json();
        QCOMPARE(objects.at(1).value(QStringLiteral("value")).toInt(), 5000);
        QCOMPARE(objects.at(1).value(QStringLiteral("auto")).toBool(), false);
        QCOMPARE(objects.size(), 2 + 12 + 2); // every control of the table
        QCOMPARE(objects.last().value(QStringLiteral("fov")).toString(), QStringLiteral("65"));
    }

    void badInput_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        auto row = [](const char *line, int code, const char *message, const QByteArray &fault = {}) {
            QTest::newRow(line) << QString::fromLatin1(line) << fault << code << QString::fromLatin1(message);
        };
        row("--simulate 1 frobnicate", 2, "frobnicate: unknown command");
        row("--simulate 1 blur 101", 2, "blur: expects 0..100, not 101");
        row("--simulate 1 set gain 500", 2, "set: gain takes 1..48");
        row("--simulate 0 status", 1, "camera: no camera found");
        row("--simulate 1 --camera NOPE status", 1, "no camera with serial NOPE");
        row("--simulate 1 sleep -- -- status", 2, "empty command");
        // The chain is checked before the camera is touched: no trace line.
        row("--simulate 1 --trace sleep -- blur 999", 2, "blur: expects");
        row("--simulate 1 ai-status", 1, "ai-status: the camera refused or did not answer", "mute-after:4");
    }

    void badInput()
    {
        QFETCH(QString, line);
        QFETCH(QByteArray, fault);
        QFETCH(int, code);
        QFETCH(QString, message);
        const Run r = zarvoctl(line, fault);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestZarvoctl)
#include "tst_zarvoctl.moc"
