// zarvoctl against virtual cameras, as a user runs it: output, the wire
// trace, camera choice, the control table, and exit statuses. (What each
// command sends is tst_devcommands'.)
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
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
Run zarvoctl(const QString &commandLine, const QByteArray &fault = QByteArray(), const QString &firmware = QString())
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ZARVO_TEST_TIME_SCALE"), QStringLiteral("0.05"));
    env.remove(QStringLiteral("ZARVO_SIMULATE"));
    if (!fault.isEmpty())
        env.insert(QStringLiteral("ZARVO_SIMULATE_FAULT"), QString::fromLatin1(fault));
    if (!firmware.isEmpty())
        env.insert(QStringLiteral("ZARVO_SIMULATE_FIRMWARE"), firmware);
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
    // What the program said goes to the test's log, so that a failure shows
    // why (a sanitizer's report, for one, only shows as exit code 66).
    if (r.code != 0)
        qInfo().noquote() << "zarvoctl" << commandLine << "exited with" << r.code << '\n' << r.err;
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

    // A camera started from an older package holds exactly the new one after
    // "upgrade --package"; a damaged package starts nothing; the log arrives.
    void upgradesFromAPackageFile()
    {
        const QString dir = QDir::tempPath() + QStringLiteral("/zarvoctl-upgrade");
        QDir(dir).removeRecursively();
        QDir().mkpath(dir);
        const QString oldPkg = dir + QStringLiteral("/Kavora_zarvo_OA_E_SSC336Q_1.0.3.0_release.bin");
        const QString newPkg = dir + QStringLiteral("/Kavora_zarvo_OA_E_SSC336Q_1.0.6.2_release.bin");
        QCOMPARE(zarvoctl(QStringLiteral("fw build %1 --version 1.0.3.0 --size 600000").arg(oldPkg)).code, 0);
        QCOMPARE(zarvoctl(QStringLiteral("fw build %1 --version 1.0.6.2 --size 600000 --revision 1").arg(newPkg)).code, 0);
        const QString imageSha = QJsonDocument::fromJson(zarvoctl(QStringLiteral("fw info ") + newPkg).out.toUtf8())
                                     .object().value(QStringLiteral("image_sha256")).toString();
        QCOMPARE(imageSha.size(), 64);

        const Run r = zarvoctl(QStringLiteral("--simulate 1 --json upgrade --package %1 -- info").arg(newPkg), {}, oldPkg);
        QCOMPARE(r.code, 0);
        const QList<QJsonObject> out = r.json();
        QCOMPARE(out.value(0).value(QStringLiteral("message")).toString(), QStringLiteral("Upgrade successfully!"));
        QCOMPARE(out.value(1).value(QStringLiteral("version")).toString(), QStringLiteral("1.0.6.2"));
        QCOMPARE(out.value(1).value(QStringLiteral("installed_sha256")).toString(), imageSha);

        QFile damaged(newPkg);
        QVERIFY(damaged.open(QIODevice::ReadWrite));
        damaged.seek(5000);
        damaged.write("x");
        damaged.close();
        const Run bad = zarvoctl(QStringLiteral("--simulate 1 upgrade --package ") + newPkg, {}, oldPkg);
        QCOMPARE(bad.code, 1);
        QVERIFY2(bad.err.contains(QStringLiteral("Firmware Invalid")), qPrintable(bad.err));

        // A file that is no package at all: the one clear line, and the
        // package check's own reason only in the verbose log.
        const QString text = dir + QStringLiteral("/notes.txt");
        QFile notes(text);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("just some notes\n") > 0);
        notes.close();
        const Run notPackage = zarvoctl(QStringLiteral("--simulate 1 upgrade --package ") + text, {}, oldPkg);
        QCOMPARE(notPackage.code, 1);
        QCOMPARE(notPackage.err, QStringLiteral("zarvoctl: upgrade: Firmware Invalid: Please select valid firmware "
                                                "package and try again!\n"));
        const Run told = zarvoctl(QStringLiteral("--simulate 1 --verbose upgrade --package ") + text, {}, oldPkg);
        QCOMPARE(told.code, 1);
        QVERIFY2(told.err.contains(QStringLiteral("read error\n")), qPrintable(told.err));

        const Run log = zarvoctl(QStringLiteral("--simulate 1 export-log %1/log.tar.gz").arg(dir));
        QCOMPARE(log.code, 0);
        QVERIFY(QFileInfo(dir + QStringLiteral("/log.tar.gz")).size() > 20);
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

    // Pictures: a 640 x 480 picture cut to the camera's size, through lost
    // pieces; refused slots and files; a transfer cut off by an unplug.
    void pictures()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("small.png"));
        QImage image(640, 480, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(png));
        const QString back = dir.filePath(QStringLiteral("back.jpg"));
        Run r = zarvoctl(QStringLiteral("--simulate 1 --json picture put 2 %1 --crop -- picture get 2 %2 -- picture list")
                             .arg(png, back),
                         "drop=5%,seed=3");
        QCOMPARE(r.code, 0);
        const QList<QJsonObject> o = r.json();
        QCOMPARE(o.size(), 5);
        QCOMPARE(o.at(0).value(QStringLiteral("width")).toInt(), 1536);
        QCOMPARE(o.at(0).value(QStringLiteral("height")).toInt(), 864);
        QCOMPARE(o.at(0).value(QStringLiteral("quality")).toInt(), 90);
        QCOMPARE(QImage(back).size(), QSize(1536, 864));
        QVERIFY(o.at(4).value(QStringLiteral("present")).toBool());

        r = zarvoctl(QStringLiteral("--simulate 1 picture get 3 %1").arg(back));
        QCOMPARE(r.code, 2);
        QVERIFY(r.err.contains(QStringLiteral("slot must be 0, 1 or 2")));
        QFile text(dir.filePath(QStringLiteral("text.jpg")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no picture") > 0);
        text.close();
        r = zarvoctl(QStringLiteral("--simulate 1 picture put 2 %1").arg(text.fileName()));
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("Image Invalid")));
        const QString lost = dir.filePath(QStringLiteral("lost.jpg"));
        r = zarvoctl(QStringLiteral("--simulate 1 picture get 1 %1").arg(lost), "unplug-after-blocks=30");
        QCOMPARE(r.code, 1);
        QVERIFY(r.err.contains(QStringLiteral("transfer of picture 1 failed")));
        QVERIFY(!QFile::exists(lost));
    }

    // A network camera addressed directly: its identity, a reboot, and
    // silence while it reboots; commands it does not take.
    void networkCamera()
    {
        QProcess cam;
        cam.start(qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvo-netcam"),
                  {QStringLiteral("--bind"), QStringLiteral("127.0.89.10"), QStringLiteral("--port"), QStringLiteral("0"),
                   QStringLiteral("--serial"), QStringLiteral("KZNET000000007"), QStringLiteral("--reboot-ms"),
                   QStringLiteral("600000")});
        QVERIFY(cam.waitForReadyRead(10000));
        const QStringList listening = QString::fromLatin1(cam.readLine()).split(QLatin1Char(' '));
        const QString net = QStringLiteral("--net 127.0.89.10:") + listening.value(2);
        const Run info = zarvoctl(net + QStringLiteral(" --json info"));
        QCOMPARE(info.code, 0);
        QCOMPARE(info.json().value(0).value(QStringLiteral("devsn")).toString(), QStringLiteral("KZNET000000007"));
        QCOMPARE(zarvoctl(net + QStringLiteral(" reboot")).code, 0);
        const Run gone = zarvoctl(net + QStringLiteral(" info"));
        QCOMPARE(gone.code, 1);
        QVERIFY2(gone.err.contains(QStringLiteral("no camera answers at")), qPrintable(gone.err));
        QCOMPARE(zarvoctl(net + QStringLiteral(" sleep")).code, 2);
        cam.kill();
        cam.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(TestZarvoctl)
#include "tst_zarvoctl.moc"
