// "zarvoctl fw" as other programs use it: packages that are the same for
// the same seed, and exit codes 0 (valid), 1 (refused, with the reason on
// standard error) and 2 (usage).

#include "PackageTestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

using namespace pkgtest;

class TestFwCommand : public QObject
{
    Q_OBJECT

private slots:
    void buildsAndExitCodes();
};

void TestFwCommand::buildsAndExitCodes()
{
    const QString tool = qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvoctl");
    QVERIFY2(QFileInfo::exists(tool), qPrintable(tool));
    QTemporaryDir dir;
    QByteArray err;
    auto run = [&tool, &err](const QString &args) {
        QProcess p;
        p.start(tool, QStringList{QStringLiteral("fw")} + args.split(QLatin1Char(' ')));
        if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
            return -1;
        err = p.readAllStandardError();
        return p.exitCode();
    };
    const QString name = QStringLiteral("Kavora_zarvo_OA_E_Hi3516CV500_1.0.5.0_test.bin");
    const QString a = dir.filePath(QStringLiteral("a/") + name);
    const QString b = dir.filePath(QStringLiteral("b/") + name);
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("a"))) && QDir().mkpath(dir.filePath(QStringLiteral("b"))));
    const QString options = QStringLiteral(" --size 200K --platform Hi3516CV500 --version 1.0.5.0 --status test --seed ");
    QCOMPARE(run(QStringLiteral("build ") + a + options + QLatin1Char('4')), 0);
    QCOMPARE(run(QStringLiteral("build ") + b + options + QLatin1Char('4')), 0);
    const QByteArray bytes = readFile(a);
    QCOMPARE(bytes.size(), 200 * 1024);
    QCOMPARE(readFile(b), bytes);
    QCOMPARE(run(QStringLiteral("build ") + b + options + QLatin1Char('5')), 0);
    QVERIFY(readFile(b) != bytes);

    QCOMPARE(run(QStringLiteral("verify ") + a), 0);
    QCOMPARE(run(QStringLiteral("ugsys ") + a), 0);
    QCOMPARE(run(QStringLiteral("verify ") + dir.filePath(QStringLiteral("a/Ugsys_") + name) + QStringLiteral(" --ugsys")), 0);
    QByteArray damaged = bytes;
    damaged[damaged.size() - 1] = char(damaged.at(damaged.size() - 1) ^ 1);
    QVERIFY(writeFile(b, damaged));
    QCOMPARE(run(QStringLiteral("verify ") + b), 1);
    QVERIFY2(err.contains("Md5 check failed:"), err.constData());

    for (const QString &bad : QStringList{QStringLiteral("verify"), QStringLiteral("build ") + a + QStringLiteral(" --version 1.2"),
                               QStringLiteral("frobnicate"), QStringLiteral("patchlist ") + a + QLatin1Char(' ') + a
                                   + QLatin1Char(' ') + dir.filePath(QStringLiteral("l")) + QStringLiteral(" 12Q")})
        QCOMPARE(run(bad), 2);
}

QTEST_GUILESS_MAIN(TestFwCommand)
#include "tst_fwcommand.moc"
