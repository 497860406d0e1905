// The local HTTP service. Routes, version and status choice and progress
// reports go through the request handler directly (request in, answer out);
// sockets only for what needs them: streaming, hostile clients, the command.
#include "HttpTestSupport.h"
#include "ProcessMemory.h"
#include "TestWait.h"

#include "comm/GlobalParams.h"
#include "httpserver/HttpServer.h"
#include "httpserver/HttpServerReqHandler.h"
#include "package/FirmwareBuilder.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace vexo::pc;
using Answer = HttpServerReqHandler::Answer;
using httptest::values;

namespace {

QByteArray md5Of(const QByteArray &data) { return QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex(); }

// What the client receives: the body, or the file the answer names.
QByteArray content(const Answer &a)
{
    QFile f(a.filePath);
    return a.filePath.isEmpty() ? a.body : f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestHttpServer : public QObject
{
    Q_OBJECT
private:
    Answer get(const QString &pathAndQuery) const { return m_handler->handle(qhttp::EHTTP_GET, QUrl(pathAndQuery), QByteArray()); }
    QJsonObject getJson(const QString &pathAndQuery) const { return QJsonDocument::fromJson(get(pathAndQuery).body).object(); }
    QString url(const QString &pathAndQuery) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->serverPort()).arg(pathAndQuery); }
    void writeFiles(const QList<QPair<QString, QByteArray>> &files)
    {
        for (const auto &file : files) {
            QFile f(m_fw.filePath(file.first));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(file.second) == file.second.size());
        }
    }

    QTemporaryDir m_root;
    QDir m_fw;
    std::unique_ptr<HttpServerReqHandler> m_handler;
    QThread m_thread;
    HttpServer *m_server = nullptr;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_root.path()).mkpath(QStringLiteral("fw")));
        m_fw = QDir(m_root.filePath(QStringLiteral("fw")));
        m_handler.reset(new HttpServerReqHandler(m_fw.path()));

        m_server = new HttpServer(m_fw.path());
        m_server->setPort(0);
        m_server->setTimeouts(400, 1500);
        m_server->moveToThread(&m_thread);
        connect(&m_thread, &QThread::started, m_server, &HttpServer::initServer);
        connect(&m_thread, &QThread::finished, m_server, &QObject::deleteLater);
        m_thread.start();
        QVERIFY(testsupport::waitFor([this] { return m_server->isListening(); }));
    }

    void cleanupTestCase() { m_thread.quit(); m_thread.wait(); }

    void commonCommands()
    {
        const Answer one = get(QStringLiteral("/common?cmd=1"));
        QCOMPARE(one.status, 200);
        QCOMPARE(one.contentType, QByteArray("application/json; charset=utf-8"));
        QCOMPARE(one.body, QJsonDocument(QJsonObject{{QStringLiteral("errorcode"), 200}, {QStringLiteral("reason"), QStringLiteral("OK")}})
                               .toJson(QJsonDocument::Indented));
        auto upgrade = [&](int state) {
            return getJson(QStringLiteral("/common?cmd=2&state=%1").arg(state)).value(QStringLiteral("upgrade")).toInt(-1);
        };
        GlobalParams::instance()->setFallbackEnable(true);
        QCOMPARE(QList<int>({upgrade(0), upgrade(1), upgrade(2), upgrade(7)}), QList<int>({0, 0, 0, 1}));
        GlobalParams::instance()->setFallbackEnable(false);
        QCOMPARE(QList<int>({upgrade(0), upgrade(1), upgrade(2), upgrade(7)}), QList<int>({0, 1, 1, 1}));
        GlobalParams::instance()->setFallbackEnable(true);
        const Answer three = get(QStringLiteral("/common?cmd=3"));
        QCOMPARE(three.status, 404);
        QCOMPARE(three.body, QJsonDocument(QJsonObject()).toJson(QJsonDocument::Indented));
        // Other paths (other methods: over the socket below).
        QCOMPARE(get(QStringLiteral("/elsewhere")).body, QByteArray("Method is not support at present"));
    }

    void queryChoosesVersionAndStatus()
    {
        writeFiles({{QStringLiteral("P_B_X_1.0.0.2_release.bin"), "r2"}, {QStringLiteral("P_B_X_1.0.0.3_test.bin"), "t3"},
                    {QStringLiteral("P_B_X_1.0.0.3_release.bin"), "r3-longer"}, {QStringLiteral("P_B_X_1.0.0.4_debug.bin"), "d4"},
                    {QStringLiteral("P_B_Y_9.0.0.0_release.bin"), "other platform"}});
        const QString base = QStringLiteral("/query?cmd=1&product=P&branch=B&platform=X&seqid=1&version=0.0.0.0&status=");
        QCOMPARE(values(getJson(base + QStringLiteral("release")), "status,version,pkgsize,md5,product,url"),
                 QStringLiteral("release|3.0.0.1|9|") + QLatin1String(md5Of("r3-longer")) + QStringLiteral("|P|"));
        // Same number: the release file beats the test file.
        QCOMPARE(values(getJson(base + QStringLiteral("test")), "status"), QStringLiteral("release"));
        QCOMPARE(values(getJson(base + QStringLiteral("debug")), "version"), QStringLiteral("4.0.0.1"));
        QCOMPARE(values(getJson(QStringLiteral("/query?cmd=1&product=P&branch=B&platform=Z&status=debug")), "errorcode,reason"),
                 QStringLiteral("500|Cannot find firmware in local, please download first"));
        QCOMPARE(values(getJson(QStringLiteral("/query?cmd=5&product=P&branch=B&platform=X&status=debug")), "errorcode"), QStringLiteral("404"));
    }

    void downloadChoosesByStatus()
    {
        writeFiles({{QStringLiteral("D_B_X_2.0.0.1_release.bin"), "release-201"}, {QStringLiteral("D_B_X_2.0.0.1_test.bin"), "test-201"},
                    {QStringLiteral("D_B_X_2.0.0.2_test.bin"), "test-202"}, {QStringLiteral("D_B_X_2.0.0.3_debug.bin"), "debug-203"}});
        const QString base = QStringLiteral("/download?cmd=1&product=D&branch=B&platform=X&version=");
        QCOMPARE(content(get(base + QStringLiteral("2.0.0.1&status=test"))), QByteArray("release-201"));
        QCOMPARE(content(get(base + QStringLiteral("2.0.0.2&status=debug"))), QByteArray("test-202"));
        QCOMPARE(content(get(base + QStringLiteral("2.0.0.3&status=debug"))), QByteArray("debug-203"));
        const Answer refused = get(base + QStringLiteral("2.0.0.2&status=release"));
        QCOMPARE(refused.status, 200);
        QCOMPARE(refused.contentType, QByteArray("application/octet-stream"));
        QCOMPARE(refused.body, (QStringLiteral("There is no corresponding firmware in local: ") + m_fw.path()
                                + QStringLiteral("/D_B_X_2.0.0.2_release.bin")).toUtf8());
        QVERIFY(get(base + QStringLiteral("2.0.0.3&status=test")).body.startsWith("There is no corresponding firmware"));
    }

    void updaterPackages()
    {
        // An updater package already made is served as it is.
        writeFiles({{QStringLiteral("U_B_X_3.0.0.1_release.bin"), "not even a package"},
                    {QStringLiteral("Ugsys_U_B_X_3.0.0.1_release.bin"), "updater bytes"},
                    {QStringLiteral("V_B_X_3.0.0.1_test.bin"), QByteArray(1024, 'x')}});
        QCOMPARE(content(get(QStringLiteral("/download?cmd=2&product=U&branch=B&platform=X&version=3.0.0.1&status=release"))),
                 QByteArray("updater bytes"));
        QCOMPARE(values(getJson(QStringLiteral("/query?cmd=2&product=U&branch=B&platform=X&status=release")), "md5"),
                 QLatin1String(md5Of("updater bytes")));
        // Without one, the package must verify first.
        QCOMPARE(get(QStringLiteral("/download?cmd=2&product=V&branch=B&platform=X&version=3.0.0.1&status=test")).body,
                 (QStringLiteral("Local firmware is invalid: ") + m_fw.path() + QStringLiteral("/V_B_X_3.0.0.1_test.bin")).toUtf8());
        QCOMPARE(values(getJson(QStringLiteral("/query?cmd=2&product=V&branch=B&platform=X&status=test")), "reason"),
                 QStringLiteral("Local firmware is invalid, please download again"));
        QVERIFY(!m_fw.exists(QStringLiteral("Ugsys_V_B_X_3.0.0.1_test.bin")));
        // A valid package gets its updater package made on the first request.
        FirmwareBuilder::Description desc;
        desc.size = 512 * 1024;
        const QString name = FirmwareBuilder::fileName(desc, desc.platform);
        writeFiles({{name, FirmwareBuilder::syntheticPackage(desc)}});
        const QByteArray updater = content(get(QStringLiteral("/download?cmd=2&product=%1&branch=%2&platform=%3&version=%4&status=test")
                                                   .arg(desc.product, desc.branch, desc.platform, desc.version)));
        QFile made(m_fw.filePath(QStringLiteral("Ugsys_") + name));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(updater, made.readAll());
        QCOMPARE(values(getJson(QStringLiteral("/query?cmd=2&product=%1&branch=%2&platform=%3&status=release")
                                    .arg(desc.product, desc.branch, desc.platform)), "md5"),
                 QLatin1String(md5Of(updater)));
    }

    void progressReports()
    {
        QSignalSpy spy(GlobalParams::instance(), &GlobalParams::devUpgradeProgress);
        const auto post = [&](const QByteArray &body) {
            return values(QJsonDocument::fromJson(m_handler->handle(qhttp::EHTTP_POST, QUrl(QStringLiteral("/any/path")), body).body).object(),
                          "errorcode").toInt();
        };
        QCOMPARE(post(R"({"cmd":"UpgradeProgress","type":3,"uuid":"CAM-1","msg":"done"})"), 200);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).value<GlobalParams::UgProgressEnum>(), GlobalParams::UgSuccess);
        QCOMPARE(spy.at(0).at(1).toString() + QLatin1Char('|') + spy.at(0).at(2).toString(), QStringLiteral("CAM-1|done"));
        QCOMPARE(post(R"({"cmd":"Other","type":1,"uuid":"u","msg":"m"})"), 401);
        QCOMPARE(post(R"({"cmd":"UpgradeProgress","type":1,"uuid":"u"})"), 301);
        QCOMPARE(post("not json"), 401);
        QCOMPARE(spy.size(), 1); // emitted synchronously: only the valid report
    }

    // Parameters that would name a file outside the firmware folder find nothing.
    void parametersNeverLeaveTheFirmwareFolder()
    {
        QFile secret(m_root.filePath(QStringLiteral("S_B_X_1.0.0.1_release.bin")));
        QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("SECRET") == 6);
        secret.close();
        for (const char *q : {"product=..%2FS&version=1.0.0.1&status=release", "product=S&version=..%2F..%2F1.0.0.1&status=release",
                              "product=..%5CS&version=1.0.0.1&status=release", "product=S%00&version=1.0.0.1&status=release",
                              "product=S&version=1.0.0.1&status=release%2F..%2F..%2Fx", "product=%2Fetc%2Fpasswd&version=1&status=release"}) {
            for (const QString &cmd : {QStringLiteral("1"), QStringLiteral("2")}) {
                const QString tail = QStringLiteral("?cmd=") + cmd + QStringLiteral("&branch=B&platform=X&") + QLatin1String(q);
                const Answer dl = get(QStringLiteral("/download") + tail);
                QVERIFY2(dl.filePath.isEmpty() && dl.body.startsWith("There is no corresponding firmware in local: "), q);
                QVERIFY2(values(getJson(QStringLiteral("/query") + tail), "errorcode") == QLatin1String("500"), q);
            }
        }
        QVERIFY(!QFile::exists(m_root.filePath(QStringLiteral("Ugsys_S_B_X_1.0.0.1_release.bin"))));
    }

    // Methods other than GET and POST are answered by the transport.
    void otherMethodsOverTheSocket()
    {
        qhttp::client::QHttpClient client;
        const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_DELETE, QUrl(url(QStringLiteral("/common"))));
        QCOMPARE(QByteArray::number(r.status) + ' ' + r.body, QByteArray("501 Method is not support at present"));
    }

    void largePackagesStreamWithFlatMemory()
    {
        const qint64 size = 24LL * 1024 * 1024;
        QFile f(m_fw.filePath(QStringLiteral("L_B_X_4.0.0.1_release.bin")));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray("0123456789abcdef").repeated(size / 16)) == size);
        f.close();
        const QByteArray want = md5Of(QByteArray("0123456789abcdef").repeated(size / 16));

        const qint64 before = testsupport::residentKb();
        const QString u = url(QStringLiteral("/download?cmd=1&product=L&branch=B&platform=X&version=4.0.0.1&status=release"));
        // Four clients at once through curl, each piping into md5sum.
        QList<QProcess *> procs;
        for (int i = 0; i < 4; ++i)
            (procs << new QProcess(this)).last()->start(QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("curl -sS --max-time 60 -D /dev/stderr '%1' | md5sum").arg(u)});
        qint64 peak = before;
        for (QProcess *p : procs) {
            testsupport::waitFor([&] { peak = qMax(peak, testsupport::residentKb()); return p->state() == QProcess::NotRunning; }, 90000);
            QCOMPARE(p->readAllStandardOutput().left(32), want);
            QVERIFY(p->readAllStandardError().toLower().contains(QByteArray("content-length: ") + QByteArray::number(size)));
            delete p;
        }
        // The allocator's quarantine of the address sanitizer makes growth meaningless there.
        if (testsupport::memoryBoundsMeaningful())
            QVERIFY2(peak - before < 32 * 1024, QByteArray::number(peak - before).constData());
    }

    // The service sets the server's bounds (the server's own tests cover how
    // they work): a head above 16 KiB, a body above 64 KiB, idle connections.
    void boundsOfHostileClients()
    {
        const auto connected = [this](QTcpSocket &s) {
            s.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
            return s.waitForConnected(3000);
        };
        QTcpSocket head, body, idle;
        QVERIFY(connected(head) && connected(body) && connected(idle));
        head.write("GET /common?cmd=1 HTTP/1.1\r\nX-Big: " + QByteArray(20000, 'a') + "\r\n\r\n");
        body.write("POST / HTTP/1.1\r\nContent-Length: 10000000\r\n\r\n");
        QVERIFY(testsupport::waitFor([&] { return head.bytesAvailable() > 0 && body.bytesAvailable() > 0; }));
        QVERIFY(head.readAll().startsWith("HTTP/1.1 400"));
        QVERIFY(body.readAll().startsWith("HTTP/1.1 413"));
        QVERIFY(testsupport::waitFor([&] { return idle.state() == QAbstractSocket::UnconnectedState; }));
    }

    void serveCommandRunsTheService()
    {
        QProcess serve;
        const QString exe = QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR")) + QStringLiteral("/bin/zarvoctl");
        serve.start(exe, {QStringLiteral("serve"), QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--bind"),
                          QStringLiteral("127.0.0.1"), QStringLiteral("--firmware-dir"), m_fw.path()});
        QVERIFY(testsupport::waitFor([&] { return serve.canReadLine(); }));
        const QByteArray line = serve.readLine().trimmed();
        QVERIFY2(line.startsWith("serving "), line.constData());
        const quint16 port = static_cast<quint16>(line.mid(line.lastIndexOf(':') + 1).toUInt());
        qhttp::client::QHttpClient client;
        const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_POST, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)),
                                                  R"({"cmd":"UpgradeProgress","type":1,"uuid":"NET-9","msg":"step 2"})");
        QVERIFY(testsupport::waitFor([&] { return serve.canReadLine(); }));
        QCOMPARE(serve.readLine().trimmed(), QByteArray("progress uuid=NET-9 type=1 msg=step 2"));
        // SIGTERM stops it cleanly.
        serve.terminate();
        QVERIFY(serve.waitForFinished(5000));
        QCOMPARE(serve.exitStatus(), QProcess::NormalExit);
        QCOMPARE(serve.exitCode(), 0);
        QVERIFY(serve.readAll().contains("stopped"));
    }
};

QTEST_GUILESS_MAIN(TestHttpServer)
#include "tst_httpserver.moc"
