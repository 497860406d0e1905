// The local HTTP service on its own thread: routes, version and status
// choice, progress reports, streamed packages, and what a hostile client on
// the network must not get.
#include "HttpTestSupport.h"

#include "comm/GlobalParams.h"
#include "httpserver/HttpServer.h"
#include "httpserver/HttpServerReqHandler.h"
#include "package/FirmwareBuilder.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace vexo::pc;

namespace {

qint64 rssKiB()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    }
    return 0;
}

QByteArray md5Of(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
}

class ProgressSink : public QObject
{
    Q_OBJECT
public:
    QList<QStringList> got;
public slots:
    void onProgress(GlobalParams::UgProgressEnum type, const QString &uuid, const QString &msg)
    {
        got << QStringList{QString::number(int(type)), uuid, msg};
    }
};

} // namespace

class TestHttpServer : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void commonCommands();
    void queryChoosesVersionAndStatus();
    void downloadChoosesByStatus();
    void updaterPackages();
    void progressReports();
    void otherMethodsAndPaths();
    void parametersNeverLeaveTheFirmwareFolder_data();
    void parametersNeverLeaveTheFirmwareFolder();
    void largePackagesStreamWithFlatMemory();
    void boundsOfHostileClients();
    void serveCommandRunsTheService();

private:
    QString url(const QString &pathAndQuery) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(pathAndQuery);
    }
    QByteArray get(const QString &pathAndQuery, int *status = nullptr, QByteArray *type = nullptr)
    {
        qhttp::client::QHttpClient client;
        const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_GET, QUrl(url(pathAndQuery)), {}, {}, 15000);
        if (status)
            *status = r.status;
        if (type)
            *type = r.headers.value("content-type");
        return r.body;
    }
    QJsonObject getJson(const QString &pathAndQuery, int *status = nullptr)
    {
        return QJsonDocument::fromJson(get(pathAndQuery, status)).object();
    }
    void writeFile(const QString &name, const QByteArray &data)
    {
        QFile f(m_fw.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(data);
    }

    QTemporaryDir m_root;
    QDir m_fw;
    QThread m_thread;
    HttpServer *m_server = nullptr;
    quint16 m_port = 0;
};

void TestHttpServer::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("fw")));
    m_fw = QDir(m_root.filePath(QStringLiteral("fw")));

    m_server = new HttpServer(m_fw.path());
    m_server->setPort(0);
    m_server->setTimeouts(400, 1500);
    m_server->moveToThread(&m_thread);
    connect(&m_thread, &QThread::started, m_server, &HttpServer::initServer);
    connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
    m_thread.start();
    QTRY_VERIFY(m_server->isListening());
    m_port = m_server->serverPort();
}

void TestHttpServer::cleanupTestCase()
{
    m_thread.quit();
    m_thread.wait();
}

void TestHttpServer::commonCommands()
{
    int status = 0;
    QByteArray type;
    const QByteArray one = get(QStringLiteral("/common?cmd=1"), &status, &type);
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("application/json; charset=utf-8"));
    QCOMPARE(QJsonDocument::fromJson(one).object(),
             (QJsonObject{{QStringLiteral("errorcode"), 200}, {QStringLiteral("reason"), QStringLiteral("OK")}}));
    QVERIFY(one.contains("\n    \"errorcode\"")); // indented

    auto upgrade = [&](int state) {
        return getJson(QStringLiteral("/common?cmd=2&state=%1").arg(state)).value(QStringLiteral("upgrade")).toInt(-1);
    };
    GlobalParams::instance()->setFallbackEnable(true);
    QCOMPARE(upgrade(0), 0);
    QCOMPARE(upgrade(1), 0);
    QCOMPARE(upgrade(2), 0);
    QCOMPARE(upgrade(7), 1);
    GlobalParams::instance()->setFallbackEnable(false);
    QCOMPARE(upgrade(1), 1);
    QCOMPARE(upgrade(0), 0);
    GlobalParams::instance()->setFallbackEnable(true);

    const QByteArray three = get(QStringLiteral("/common?cmd=3"), &status);
    QCOMPARE(status, 404);
    QCOMPARE(three, QJsonDocument(QJsonObject()).toJson(QJsonDocument::Indented));
}

void TestHttpServer::queryChoosesVersionAndStatus()
{
    writeFile(QStringLiteral("P_B_X_1.0.0.2_release.bin"), "r2");
    writeFile(QStringLiteral("P_B_X_1.0.0.3_test.bin"), "t3");
    writeFile(QStringLiteral("P_B_X_1.0.0.3_release.bin"), "r3-longer");
    writeFile(QStringLiteral("P_B_X_1.0.0.4_debug.bin"), "d4");
    writeFile(QStringLiteral("P_B_Y_9.0.0.0_release.bin"), "other platform");
    const QString base = QStringLiteral("/query?cmd=1&product=P&branch=B&platform=X&seqid=1&version=0.0.0.0&status=");

    const QJsonObject rel = getJson(base + QStringLiteral("release"));
    QCOMPARE(rel.value(QStringLiteral("errorcode")).toInt(), 200);
    QCOMPARE(rel.value(QStringLiteral("status")).toString(), QStringLiteral("release"));
    QCOMPARE(rel.value(QStringLiteral("version")).toString(), QStringLiteral("3.0.0.1"));
    QCOMPARE(rel.value(QStringLiteral("pkgsize")).toInt(), 9);
    QCOMPARE(rel.value(QStringLiteral("md5")).toString().toLatin1(), md5Of("r3-longer"));
    QCOMPARE(rel.value(QStringLiteral("url")).toString(), QString());
    QCOMPARE(rel.value(QStringLiteral("product")).toString(), QStringLiteral("P"));

    // Same number: the release file beats the test file.
    QCOMPARE(getJson(base + QStringLiteral("test")).value(QStringLiteral("status")).toString(), QStringLiteral("release"));
    const QJsonObject dbg = getJson(base + QStringLiteral("debug"));
    QCOMPARE(dbg.value(QStringLiteral("status")).toString(), QStringLiteral("debug"));
    QCOMPARE(dbg.value(QStringLiteral("version")).toString(), QStringLiteral("4.0.0.1"));

    const QJsonObject none = getJson(QStringLiteral("/query?cmd=1&product=P&branch=B&platform=Z&status=debug"));
    QCOMPARE(none.value(QStringLiteral("errorcode")).toInt(), 500);
    QCOMPARE(none.value(QStringLiteral("reason")).toString(), QStringLiteral("Cannot find firmware in local, please download first"));
    const QJsonObject unknown = getJson(QStringLiteral("/query?cmd=5&product=P&branch=B&platform=X&status=debug"));
    QCOMPARE(unknown.value(QStringLiteral("errorcode")).toInt(), 404);
    QCOMPARE(unknown.value(QStringLiteral("reason")).toString(), QStringLiteral("Unknown cmd"));
}

void TestHttpServer::downloadChoosesByStatus()
{
    writeFile(QStringLiteral("D_B_X_2.0.0.1_release.bin"), "release-201");
    writeFile(QStringLiteral("D_B_X_2.0.0.1_test.bin"), "test-201");
    writeFile(QStringLiteral("D_B_X_2.0.0.2_test.bin"), "test-202");
    writeFile(QStringLiteral("D_B_X_2.0.0.3_debug.bin"), "debug-203");
    const QString base = QStringLiteral("/download?cmd=1&product=D&branch=B&platform=X&version=");
    int status = 0;
    QByteArray type;
    QCOMPARE(get(base + QStringLiteral("2.0.0.1&status=test"), &status, &type), QByteArray("release-201"));
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("application/octet-stream"));
    QCOMPARE(get(base + QStringLiteral("2.0.0.2&status=test")), QByteArray("test-202"));
    QCOMPARE(get(base + QStringLiteral("2.0.0.2&status=debug")), QByteArray("test-202"));
    QCOMPARE(get(base + QStringLiteral("2.0.0.3&status=debug")), QByteArray("debug-203"));

    const QByteArray refused = get(base + QStringLiteral("2.0.0.2&status=release"), &status, &type);
    QCOMPARE(status, 200);
    QCOMPARE(type, QByteArray("application/octet-stream"));
    QCOMPARE(refused, (QStringLiteral("There is no corresponding firmware in local: ") + m_fw.path()
                       + QStringLiteral("/D_B_X_2.0.0.2_release.bin")).toUtf8());
    QVERIFY(get(base + QStringLiteral("2.0.0.3&status=test")).startsWith("There is no corresponding firmware"));
}

void TestHttpServer::updaterPackages()
{
    // An updater package already made is served as it is.
    writeFile(QStringLiteral("U_B_X_3.0.0.1_release.bin"), "not even a package");
    writeFile(QStringLiteral("Ugsys_U_B_X_3.0.0.1_release.bin"), "updater bytes");
    QCOMPARE(get(QStringLiteral("/download?cmd=2&product=U&branch=B&platform=X&version=3.0.0.1&status=release")),
             QByteArray("updater bytes"));
    const QJsonObject q = getJson(QStringLiteral("/query?cmd=2&product=U&branch=B&platform=X&status=release"));
    QCOMPARE(q.value(QStringLiteral("pkgsize")).toInt(), 13);
    QCOMPARE(q.value(QStringLiteral("md5")).toString().toLatin1(), md5Of("updater bytes"));
    QCOMPARE(q.value(QStringLiteral("status")).toString(), QStringLiteral("release"));

    // Without one, the package must verify first.
    writeFile(QStringLiteral("V_B_X_3.0.0.1_test.bin"), QByteArray(1024, 'x'));
    QCOMPARE(get(QStringLiteral("/download?cmd=2&product=V&branch=B&platform=X&version=3.0.0.1&status=test")),
             (QStringLiteral("Local firmware is invalid: ") + m_fw.path() + QStringLiteral("/V_B_X_3.0.0.1_test.bin")).toUtf8());
    const QJsonObject bad = getJson(QStringLiteral("/query?cmd=2&product=V&branch=B&platform=X&status=test"));
    QCOMPARE(bad.value(QStringLiteral("errorcode")).toInt(), 500);
    QCOMPARE(bad.value(QStringLiteral("reason")).toString(), QStringLiteral("Local firmware is invalid, please download again"));
    QVERIFY(!m_fw.exists(QStringLiteral("Ugsys_V_B_X_3.0.0.1_test.bin")));

    // A valid package gets its updater package made on the first request.
    FirmwareBuilder::Description desc;
    desc.size = 512 * 1024;
    const QString name = FirmwareBuilder::fileName(desc, desc.platform);
    writeFile(name, FirmwareBuilder::syntheticPackage(desc));
    const QString dl = QStringLiteral("/download?cmd=2&product=%1&branch=%2&platform=%3&version=%4&status=test")
                           .arg(desc.product, desc.branch, desc.platform, desc.version);
    const QByteArray updater = get(dl);
    QVERIFY(m_fw.exists(QStringLiteral("Ugsys_") + name));
    QFile made(m_fw.filePath(QStringLiteral("Ugsys_") + name));
    QVERIFY(made.open(QIODevice::ReadOnly));
    QCOMPARE(updater, made.readAll());
    const QJsonObject uq = getJson(QStringLiteral("/query?cmd=2&product=%1&branch=%2&platform=%3&status=release")
                                       .arg(desc.product, desc.branch, desc.platform));
    QCOMPARE(uq.value(QStringLiteral("pkgsize")).toInt(), updater.size());
    QCOMPARE(uq.value(QStringLiteral("md5")).toString().toLatin1(), md5Of(updater));
}

void TestHttpServer::progressReports()
{
    ProgressSink sink;
    connect(GlobalParams::instance(), &GlobalParams::devUpgradeProgress, &sink, &ProgressSink::onProgress,
            Qt::QueuedConnection);
    qhttp::client::QHttpClient client;
    const QByteArray body = R"({"cmd":"UpgradeProgress","type":3,"uuid":"CAM-1","msg":"done"})";
    httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(url(QStringLiteral("/any/path/at/all"))), body);
    QCOMPARE(r.status, 200);
    QCOMPARE(r.headers.value("content-type"), QByteArray("application/json"));
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value(QStringLiteral("errorcode")).toInt(), 200);
    QTRY_COMPARE(sink.got.size(), 1);
    QCOMPARE(sink.got.at(0), (QStringList{QStringLiteral("3"), QStringLiteral("CAM-1"), QStringLiteral("done")}));

    r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(url(QStringLiteral("/"))), R"({"cmd":"Other","type":1,"uuid":"u","msg":"m"})");
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value(QStringLiteral("errorcode")).toInt(), 401);
    r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(url(QStringLiteral("/"))), R"({"cmd":"UpgradeProgress","type":1,"uuid":"u"})");
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value(QStringLiteral("errorcode")).toInt(), 301);
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value(QStringLiteral("reason")).toString(), QStringLiteral("Param error"));
    r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(url(QStringLiteral("/"))), "not json");
    QCOMPARE(QJsonDocument::fromJson(r.body).object().value(QStringLiteral("errorcode")).toInt(), 401);
    QTest::qWait(50);
    QCOMPARE(sink.got.size(), 1);
}

void TestHttpServer::otherMethodsAndPaths()
{
    const httptest::CurlResult del = httptest::curl({QStringLiteral("-i"), QStringLiteral("-X"), QStringLiteral("DELETE"), url(QStringLiteral("/download"))});
    QCOMPARE(httptest::headLines(del.out).value(0), QByteArray("HTTP/1.1 501 Not Implemented"));
    QCOMPARE(httptest::bodyOf(del.out), QByteArray("Method is not support at present"));
    int status = 0;
    QCOMPARE(get(QStringLiteral("/elsewhere"), &status), QByteArray("Method is not support at present"));
    QCOMPARE(status, 501);
    // HTTP/1.0 clients are answered and closed.
    const httptest::CurlResult old = httptest::curl({QStringLiteral("-0"), QStringLiteral("-i"), url(QStringLiteral("/common?cmd=1"))});
    QVERIFY(httptest::headLines(old.out).contains("connection: close"));
}

void TestHttpServer::parametersNeverLeaveTheFirmwareFolder_data()
{
    QTest::addColumn<QString>("product");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("status");
    QTest::newRow("slash") << QStringLiteral("..%2FS") << QStringLiteral("1.0.0.1") << QStringLiteral("release");
    QTest::newRow("dotdot-in-version") << QStringLiteral("S") << QStringLiteral("..%2F..%2F1.0.0.1") << QStringLiteral("release");
    QTest::newRow("backslash") << QStringLiteral("..%5CS") << QStringLiteral("1.0.0.1") << QStringLiteral("release");
    QTest::newRow("nul") << QStringLiteral("S%00") << QStringLiteral("1.0.0.1") << QStringLiteral("release");
    QTest::newRow("status-slash") << QStringLiteral("S") << QStringLiteral("1.0.0.1") << QStringLiteral("release%2F..%2F..%2Fx");
    QTest::newRow("absolute") << QStringLiteral("%2Fetc%2Fpasswd") << QStringLiteral("1") << QStringLiteral("release");
}

void TestHttpServer::parametersNeverLeaveTheFirmwareFolder()
{
    QFETCH(QString, product);
    QFETCH(QString, version);
    QFETCH(QString, status);
    // A package-looking file right outside the firmware folder.
    QFile secret(m_root.filePath(QStringLiteral("S_B_X_1.0.0.1_release.bin")));
    QVERIFY(secret.open(QIODevice::WriteOnly));
    secret.write("SECRET");
    secret.close();

    const QString q = QStringLiteral("product=%1&branch=B&platform=X&version=%2&status=%3").arg(product, version, status);
    for (const QString &cmd : {QStringLiteral("1"), QStringLiteral("2")}) {
        const QByteArray dl = get(QStringLiteral("/download?cmd=") + cmd + QLatin1Char('&') + q);
        QVERIFY2(dl.startsWith("There is no corresponding firmware in local: "), dl.constData());
        const QByteArray query = get(QStringLiteral("/query?cmd=") + cmd + QLatin1Char('&') + q);
        QVERIFY2(!query.contains("SECRET") && QJsonDocument::fromJson(query).object().value(QStringLiteral("errorcode")).toInt() == 500,
                 query.constData());
    }
    // Nothing was generated anywhere.
    QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("Ugsys_S_B_X_1.0.0.1_release.bin"))));
    QVERIFY(!HttpServerReqHandler::isSafeNamePart(QStringLiteral("a") + QChar(0)));
    QVERIFY(HttpServerReqHandler::isSafeNamePart(QStringLiteral("1.0.0.1")));
}

void TestHttpServer::largePackagesStreamWithFlatMemory()
{
    const qint64 size = 24LL * 1024 * 1024;
    const QString name = QStringLiteral("L_B_X_4.0.0.1_release.bin");
    {
        QFile f(m_fw.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QByteArray block(1024 * 1024, '\0');
        for (int i = 0; i < 24; ++i) {
            for (int j = 0; j < block.size(); j += 4096)
                block[j] = char(i * 7 + j / 4096);
            f.write(block);
        }
    }
    QFile f(m_fw.filePath(name));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCryptographicHash h(QCryptographicHash::Md5);
    h.addData(&f);
    const QByteArray want = h.result().toHex();

    const qint64 before = rssKiB();
    const QString u = url(QStringLiteral("/download?cmd=1&product=L&branch=B&platform=X&version=4.0.0.1&status=release"));
    // Four clients at once through curl, each piping into md5sum.
    QList<QProcess *> procs;
    for (int i = 0; i < 4; ++i) {
        auto *p = new QProcess(this);
        p->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("curl -sS --max-time 60 -D /dev/stderr '%1' | md5sum").arg(u)});
        procs << p;
    }
    qint64 peak = before;
    for (QProcess *p : procs) {
        while (p->state() != QProcess::NotRunning) {
            QTest::qWait(20);
            peak = qMax(peak, rssKiB());
        }
        QCOMPARE(p->readAllStandardOutput().left(32), want);
        QVERIFY(p->readAllStandardError().toLower().contains(QByteArray("content-length: ") + QByteArray::number(size)));
        delete p;
    }
    QVERIFY2(peak - before < 32 * 1024, QByteArray::number(peak - before).constData());
}

void TestHttpServer::boundsOfHostileClients()
{
    // A head above 16 KiB is refused.
    QTcpSocket head;
    head.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(head.waitForConnected(3000));
    head.write("GET /common?cmd=1 HTTP/1.1\r\nX-Big: " + QByteArray(20000, 'a') + "\r\n\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(head.bytesAvailable() > 0 || head.state() == QAbstractSocket::UnconnectedState, 3000);
    QVERIFY(head.readAll().startsWith("HTTP/1.1 400"));

    // A progress body above 64 KiB is refused before it is read.
    QTcpSocket body;
    body.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(body.waitForConnected(3000));
    body.write("POST / HTTP/1.1\r\nContent-Length: 10000000\r\n\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(body.bytesAvailable() > 0, 3000);
    QVERIFY(body.readAll().startsWith("HTTP/1.1 413"));

    // An idle connection and a half-open one are closed by the service.
    QTcpSocket idle;
    idle.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(idle.waitForConnected(3000));
    QTcpSocket half;
    half.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(half.waitForConnected(3000));
    half.write("GET /common?cmd=1 HTTP/1.1\r\nHost: x\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(idle.state(), QAbstractSocket::UnconnectedState, 3000);
    QTRY_COMPARE_WITH_TIMEOUT(half.state(), QAbstractSocket::UnconnectedState, 3000);

    // A client that stops reading a download does not hold up the others.
    QTcpSocket stalled;
    stalled.connectToHost(QHostAddress::LocalHost, m_port);
    QVERIFY(stalled.waitForConnected(3000));
    stalled.setReadBufferSize(4096);
    stalled.write("GET /download?cmd=1&product=L&branch=B&platform=X&version=4.0.0.1&status=release HTTP/1.1\r\nHost: x\r\n\r\n");
    QTest::qWait(100);
    QElapsedTimer t;
    t.start();
    int status = 0;
    get(QStringLiteral("/common?cmd=1"), &status);
    QCOMPARE(status, 200);
    QVERIFY(t.elapsed() < 1000);
}

void TestHttpServer::serveCommandRunsTheService()
{
    QProcess serve;
    const QString exe = QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR")).isEmpty()
        ? QStringLiteral(ZARVO_TEST_STAGE_DIR "/bin/zarvoctl")
        : QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR")) + QStringLiteral("/bin/zarvoctl");
    serve.start(exe, {QStringLiteral("serve"), QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bind"),
                      QStringLiteral("127.0.0.1"), QStringLiteral("--firmware-dir"), m_fw.path()});
    QVERIFY(serve.waitForStarted(5000));
    QTRY_VERIFY_WITH_TIMEOUT(serve.canReadLine(), 5000);
    const QByteArray line = serve.readLine().trimmed();
    QVERIFY2(line.startsWith("serving "), line.constData());
    const quint16 port = static_cast<quint16>(line.mid(line.lastIndexOf(':') + 1).toUInt());
    QVERIFY(port != 0);

    qhttp::client::QHttpClient client;
    const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)),
                                              R"({"cmd":"UpgradeProgress","type":1,"uuid":"NET-9","msg":"step 2"})");
    QCOMPARE(r.status, 200);
    QTRY_VERIFY_WITH_TIMEOUT(serve.canReadLine(), 5000);
    QCOMPARE(serve.readLine().trimmed(), QByteArray("progress uuid=NET-9 type=1 msg=step 2"));
    const httptest::Reply d = httptest::fetch(client, qhttp::EHTTP_GET,
                                              QUrl(QStringLiteral("http://127.0.0.1:%1/download?cmd=1&product=D&branch=B&platform=X&version=2.0.0.2&status=test").arg(port)));
    QCOMPARE(d.body, QByteArray("test-202"));

    serve.terminate();
    QVERIFY(serve.waitForFinished(5000));
    QCOMPARE(serve.exitStatus(), QProcess::NormalExit);
    QCOMPARE(serve.exitCode(), 0);
    QVERIFY(serve.readAll().contains("stopped"));

    const QString usage = exe;
    QProcess bad;
    bad.start(usage, {QStringLiteral("serve"), QStringLiteral("--port"), QStringLiteral("70000")});
    QVERIFY(bad.waitForFinished(5000));
    QCOMPARE(bad.exitCode(), 2);
}

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
