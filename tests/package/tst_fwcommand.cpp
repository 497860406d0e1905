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
    void initTestCase();
    void buildIsDeterministic();
    void exitCodes();

private:
    int run(const QStringList &args, QByteArray *err = nullptr);

    QString m_tool;
    QTemporaryDir m_dir;
};

void TestFwCommand::initTestCase()
{
    m_tool = qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/bin/zarvoctl");
    QVERIFY2(QFileInfo::exists(m_tool), qPrintable(m_tool));
    QVERIFY(m_dir.isValid());
}

int TestFwCommand::run(const QStringList &args, QByteArray *err)
{
    QProcess p;
    p.start(m_tool, QStringList{QStringLiteral("fw")} + args);
    if (!p.waitForFinished(120000))
        return -1;
    if (err)
        *err = p.readAllStandardError();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

void TestFwCommand::buildIsDeterministic()
{
    const QString a = m_dir.filePath(QStringLiteral("a/Kavora_zarvo_OA_E_SSC336Q_1.0.3.0_release.bin"));
    const QString b = m_dir.filePath(QStringLiteral("b/Kavora_zarvo_OA_E_SSC336Q_1.0.3.0_release.bin"));
    const QString c = m_dir.filePath(QStringLiteral("c.bin"));
    QDir().mkpath(m_dir.filePath(QStringLiteral("a")));
    QDir().mkpath(m_dir.filePath(QStringLiteral("b")));
    const QStringList common{QStringLiteral("--size"), QStringLiteral("200K"), QStringLiteral("--seed"),
                             QStringLiteral("4")};
    QCOMPARE(run(QStringList{QStringLiteral("build"), a} + common), 0);
    QCOMPARE(run(QStringList{QStringLiteral("build"), b} + common), 0);
    QCOMPARE(run({QStringLiteral("build"), c, QStringLiteral("--size"), QStringLiteral("200K"),
                  QStringLiteral("--seed"), QStringLiteral("5")}),
             0);
    const QByteArray bytes = readFile(a);
    QCOMPARE(bytes.size(), 200 * 1024);
    QCOMPARE(readFile(b), bytes);
    QVERIFY(readFile(c) != bytes);
    QCOMPARE(run({QStringLiteral("verify"), a}), 0);
}

void TestFwCommand::exitCodes()
{
    const QString name = QStringLiteral("Kavora_zarvo_OA_E_Hi3516CV500_1.0.5.0_test.bin");
    const QString pkg = m_dir.filePath(name);
    QCOMPARE(run({QStringLiteral("build"), pkg, QStringLiteral("--platform"),
                  QStringLiteral("Hi3516CV500"), QStringLiteral("--version"),
                  QStringLiteral("1.0.5.0"), QStringLiteral("--status"), QStringLiteral("test")}),
             0);
    QCOMPARE(run({QStringLiteral("verify"), pkg}), 0);
    QCOMPARE(run({QStringLiteral("ugsys"), pkg}), 0);
    QCOMPARE(run({QStringLiteral("verify"), m_dir.filePath(QStringLiteral("Ugsys_") + name),
                  QStringLiteral("--ugsys")}),
             0);

    QByteArray bytes = readFile(pkg);
    bytes[bytes.size() - 1] = char(bytes.at(bytes.size() - 1) ^ 1);
    const QString damaged = m_dir.filePath(QStringLiteral("damaged/") + name);
    QDir().mkpath(m_dir.filePath(QStringLiteral("damaged")));
    QVERIFY(writeFile(damaged, bytes));
    QByteArray err;
    QCOMPARE(run({QStringLiteral("verify"), damaged}, &err), 1);
    QVERIFY2(err.contains("Md5 check failed:"), err.constData());

    QCOMPARE(run({QStringLiteral("verify")}), 2);
    QCOMPARE(run({QStringLiteral("build"), pkg, QStringLiteral("--version"), QStringLiteral("1.2")}), 2);
    QCOMPARE(run({QStringLiteral("frobnicate")}), 2);
    QCOMPARE(run({QStringLiteral("patchlist"), pkg, pkg, m_dir.filePath(QStringLiteral("l")),
                  QStringLiteral("12Q")}),
             2);
}

QTEST_GUILESS_MAIN(TestFwCommand)
#include "tst_fwcommand.moc"
