// zarvoctl against virtual cameras, as a user runs it: output, the wire
// trace, the effect of every setter on the status, and exit statuses.
#include <QElapsedTimer>
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
    qint64 ms = 0;

    QList<QJsonObject> json() const
    {
        QList<QJsonObject> objects;
        for (const QString &line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            objects << QJsonDocument::fromJson(line.toUtf8()).object();
        return objects;
    }
};

Run zarvoctl(const QStringList &args, const QByteArray &fault = QByteArray())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZARVO_TEST_TIME_SCALE"), QStringLiteral("0.05"));
    env.remove(QStringLiteral("ZARVO_SIMULATE"));
    if (!fault.isEmpty())
        env.insert(QStringLiteral("ZARVO_SIMULATE_FAULT"), QString::fromLatin1(fault));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvoctl"), args);
    Run r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.ms = t.elapsed();
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QStringList sim(const QStringList &rest)
{
    return QStringList{QStringLiteral("--simulate"), QStringLiteral("1")} + rest;
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

    void traceShowsTheSleepFrame()
    {
        const Run r = zarvoctl(sim({QStringLiteral("--trace"), QStringLiteral("sleep")}));
        QCOMPARE(r.code, 0);
        // Set 1, id 962, payload 01 03, no answer asked: on selector 2.
        QVERIFY2(r.err.contains(QRegularExpression(
                     QStringLiteral("^set 2: aa 00 0e 10 [0-9a-f]{2} [0-9a-f]{2} [0-9a-f]{2} [0-9a-f]{2} 00 e1 13 c2 01 03( 00){46}$"),
                     QRegularExpression::MultilineOption)),
                 qPrintable(r.err));
        // Identity requests and their answers are in the trace too.
        QVERIFY(r.err.contains(QRegularExpression(QStringLiteral("^get 2: aa 00 "), QRegularExpression::MultilineOption)));
    }

    void sleepThenStatus()
    {
        const Run r = zarvoctl(sim({QStringLiteral("sleep"), QStringLiteral("--"), QStringLiteral("status"),
                                    QStringLiteral("--json")}));
        QCOMPARE(r.code, 0);
        const auto objects = r.json();
        QCOMPARE(objects.size(), 2);
        QCOMPARE(objects.at(0).value(QStringLiteral("command")).toString(), QStringLiteral("sleep"));
        QCOMPARE(objects.at(1).value(QStringLiteral("run_state")).toInt(), 3);
        QCOMPARE(objects.at(1).value(QStringLiteral("run")).toString(), QStringLiteral("sleeping"));
        QCOMPARE(objects.at(1).value(QStringLiteral("raw")).toString().size(), 120);
    }

    void settersShowInStatus_data()
    {
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QVariant>("expected");
        auto row = [](const char *name, const QString &line, const char *key, const QVariant &v) {
            QTest::newRow(name) << line.split(QLatin1Char(' ')) << QString::fromLatin1(key) << v;
        };
        row("zoom", QStringLiteral("zoom 1.5"), "zoom", 50);
        row("fov", QStringLiteral("fov 65"), "fov", QStringLiteral("65"));
        row("mode", QStringLiteral("mode background"), "media_mode", QStringLiteral("background"));
        row("framing single", QStringLiteral("framing single"), "framing", QStringLiteral("single"));
        row("background", QStringLiteral("background green"), "background", QStringLiteral("green"));
        row("auto-sleep off", QStringLiteral("auto-sleep 60 -- auto-sleep off"), "auto_sleep", QStringLiteral("off"));
        row("anti-flicker", QStringLiteral("anti-flicker 60"), "anti_flicker", QStringLiteral("60"));
        row("wake", QStringLiteral("sleep -- wake"), "run", QStringLiteral("running"));
        row("factory reset", QStringLiteral("hdr on -- factory-reset"), "hdr", false);
        row("manual focus", QStringLiteral("set focus 20"), "manual_focus", 20);
    }

    void settersShowInStatus()
    {
        QFETCH(QStringList, command);
        QFETCH(QString, key);
        QFETCH(QVariant, expected);
        const Run r = zarvoctl(sim(QStringList{QStringLiteral("--json")} + command
                                   + QStringList{QStringLiteral("--"), QStringLiteral("status")}));
        QCOMPARE(r.code, 0);
        const auto objects = r.json();
        QVERIFY(!objects.isEmpty());
        QCOMPARE(objects.last().value(key).toVariant(), expected);
    }

    void relativeMoveOnTheWire()
    {
        const Run r = zarvoctl(sim({QStringLiteral("--trace"), QStringLiteral("pan-tilt"), QStringLiteral("-0.5"),
                                    QStringLiteral("0")}));
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QRegularExpression(QStringLiteral("^set 6: 09 04 ff 05 00 00( 00){54}$"),
                                                   QRegularExpression::MultilineOption)),
                 qPrintable(r.err));
    }

    void camerasAndControls()
    {
        Run r = zarvoctl({QStringLiteral("--simulate"), QStringLiteral("2"), QStringLiteral("--json"),
                          QStringLiteral("list")});
        QCOMPARE(r.code, 0);
        const auto cams = r.json();
        QCOMPARE(cams.size(), 2);
        const QString second = cams.at(1).value(QStringLiteral("serial")).toString();
        QCOMPARE(cams.at(1).value(QStringLiteral("model")).toString(), QStringLiteral("KAVORA Zarvo4K"));

        r = zarvoctl({QStringLiteral("--simulate"), QStringLiteral("2"), QStringLiteral("--camera"), second,
                      QStringLiteral("--json"), QStringLiteral("info")});
        QCOMPARE(r.code, 0);
        QCOMPARE(r.json().value(0).value(QStringLiteral("serial")).toString(), second);
        QCOMPARE(r.json().value(0).value(QStringLiteral("is_4k")).toBool(), true);

        r = zarvoctl(sim({QStringLiteral("--json"), QStringLiteral("set"), QStringLiteral("white-balance"),
                          QStringLiteral("5000"), QStringLiteral("--"), QStringLiteral("get"),
                          QStringLiteral("white-balance"), QStringLiteral("--"), QStringLiteral("controls")}));
        QCOMPARE(r.code, 0);
        const auto objects = r.json();
        QCOMPARE(objects.at(1).value(QStringLiteral("value")).toInt(), 5000);
        QCOMPARE(objects.at(1).value(QStringLiteral("auto")).toBool(), false);
        QCOMPARE(objects.size(), 2 + 12); // every control of the table
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, const QString &line, int code, const char *message, const QByteArray &fault = {}) {
            QTest::newRow(name) << line.split(QLatin1Char(' ')) << fault << code << QString::fromLatin1(message);
        };
        row("unknown command", QStringLiteral("--simulate 1 frobnicate"), 2, "frobnicate: unknown command");
        row("unknown option", QStringLiteral("--simulate 1 --bogus status"), 2, "--bogus: unknown option");
        row("blur out of range", QStringLiteral("--simulate 1 blur 101"), 2, "blur: expects 0..100, not 101");
        row("zoom out of range", QStringLiteral("--simulate 1 zoom 3"), 2, "zoom: expects a ratio");
        row("on/off", QStringLiteral("--simulate 1 hdr maybe"), 2, "hdr: expects on or off, not maybe");
        row("control out of range", QStringLiteral("--simulate 1 set gain 500"), 2, "set: gain takes 0..100");
        row("no camera", QStringLiteral("--simulate 0 status"), 1, "camera: no camera found");
        row("unknown serial", QStringLiteral("--simulate 1 --camera NOPE status"), 1, "no camera with serial NOPE");
        row("empty chain step", QStringLiteral("--simulate 1 sleep -- -- status"), 2, "empty command");
        row("camera stops answering", QStringLiteral("--simulate 1 ai-status"), 1,
            "ai-status: the camera refused or did not answer", "mute-after:4");
    }

    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, fault);
        QFETCH(int, code);
        QFETCH(QString, message);
        const Run r = zarvoctl(args, fault);
        QCOMPARE(r.code, code);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QCOMPARE(r.err.count(QLatin1Char('\n')), 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY(r.ms < 15000);
    }

    void usageErrorRunsNothing()
    {
        // The chain is checked before the camera is touched.
        const Run r = zarvoctl(sim({QStringLiteral("--trace"), QStringLiteral("sleep"), QStringLiteral("--"),
                                    QStringLiteral("blur"), QStringLiteral("999")}));
        QCOMPARE(r.code, 2);
        QVERIFY(!r.err.contains(QStringLiteral("set 2:")));
    }
};

QTEST_GUILESS_MAIN(TestZarvoctl)
#include "tst_zarvoctl.moc"
