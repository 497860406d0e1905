// The HTTP server against curl and raw sockets: what handlers see, what the
// answers carry, keep-alive and HTTP/1.0, pipelining, and the bounds that
// protect a server listening on every interface.
#include "HttpTestSupport.h"
#include "TestWait.h"

#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QTcpSocket>
#include <QtTest>

using namespace qhttp;
using qhttp::server::QHttpServer;

namespace {

// Writes `pieces` on a fresh connection; everything read until the server closes it.
QByteArray exchange(quint16 port, const QList<QByteArray> &pieces)
{
    QTcpSocket s;
    s.connectToHost(QHostAddress::LocalHost, port);
    for (const QByteArray &piece : pieces)
        s.write(piece);
    QByteArray all;
    testsupport::waitFor([&] { return (all += s.readAll(), s.state() == QAbstractSocket::UnconnectedState); });
    return all + s.readAll();
}

} // namespace

class TestQHttpServer : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_server.reset(new QHttpServer); }

private:
    QString url(const QString &pathAndQuery) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server->serverPort()).arg(pathAndQuery); }
    void listen(const QHttpServer::Handler &h) { QVERIFY(m_server->listen(QHostAddress::LocalHost, 0, h)); }

    std::unique_ptr<QHttpServer> m_server;

private slots:
    void defaultAnswerIsBadRequestWithDate()
    {
        listen([](server::QHttpRequest *, server::QHttpResponse *res) { res->end("x"); });
        const QByteArray r = httptest::curl({QStringLiteral("-i"), url(QStringLiteral("/"))});
        const QList<QByteArray> head = httptest::headLines(r);
        QCOMPARE(head.value(0), QByteArray("HTTP/1.1 400 Bad Request"));
        QVERIFY(head.contains("connection: close"));
        const auto date = std::find_if(head.cbegin(), head.cend(), [](const QByteArray &l) { return l.startsWith("date: "); });
        QVERIFY(date != head.cend() && date->endsWith(" GMT"));
        QCOMPARE(date->size(), int(strlen("date: Sat, 05 Dec 2026 20:30:00 GMT")));
        QCOMPARE(httptest::bodyOf(r), QByteArray("x"));

        // A handler's own date stays; the answer to HEAD has no body.
        m_server->stopServing();
        listen([](server::QHttpRequest *, server::QHttpResponse *res) {
            res->setStatus(200);
            res->putHeader("Date", "Thu, 01 Jan 1970 00:00:00 GMT");
            res->end(QByteArray(5000, 'h'));
        });
        const QByteArray own = httptest::curl({QStringLiteral("-I"), url(QStringLiteral("/"))});
        const QList<QByteArray> ownHead = httptest::headLines(own);
        QCOMPARE(ownHead.value(0), QByteArray("HTTP/1.1 200 OK"));
        QVERIFY(ownHead.contains("date: Thu, 01 Jan 1970 00:00:00 GMT"));
        QVERIFY(ownHead.contains("content-length: 5000"));
        QVERIFY(httptest::bodyOf(own).isEmpty());
    }

    // Method, decoded query, version, lower-cased headers, peer and body.
    void handlerSeesLowerCasedHeadersAndBody()
    {
        QStringList seen;
        QByteArray body;
        listen([&](server::QHttpRequest *req, server::QHttpResponse *res) {
            seen << QString::number(req->method()) << QUrlQuery(req->url()).queryItemValue(QStringLiteral("product"), QUrl::FullyDecoded)
                 << req->version() << QString::fromLatin1(req->headers().value("content-type")) << req->peerAddress();
            req->collectBody(-1);
            req->whenEnd([&, req, res]() {
                body = req->collectedBody();
                res->setStatus(201);
                res->end("ok");
            });
        });
        const QByteArray r = httptest::curl(
            {QStringLiteral("-w"), QStringLiteral("%{http_code}"), QStringLiteral("-H"), QStringLiteral("Content-Type: Application/JSON"),
             QStringLiteral("--data-binary"), QStringLiteral("{\"A\":1}"), url(QStringLiteral("/query?cmd=1&product=Kavora%5Fzarvo"))});
        QCOMPARE(r, QByteArray("ok201"));
        QCOMPARE(seen, (QStringList{QString::number(EHTTP_POST), QStringLiteral("Kavora_zarvo"), QStringLiteral("1.1"),
                                   QStringLiteral("application/json"), QStringLiteral("127.0.0.1")}));
        QCOMPARE(body, QByteArray("{\"A\":1}"));
    }

    void keepAliveAndHttp10()
    {
        int connections = 0;
        connect(m_server.get(), &QHttpServer::newConnection, this, [&]() { ++connections; });
        listen([](server::QHttpRequest *, server::QHttpResponse *res) {
            res->setStatus(200);
            res->putHeader("Connection", "keep-alive");
            res->end("k");
        });
        // Two URLs in one curl run share the connection the server kept.
        const QByteArray r = httptest::curl({url(QStringLiteral("/1")), url(QStringLiteral("/2"))});
        QCOMPARE(r, QByteArray("kk"));
        QCOMPARE(connections, 1);

        // An HTTP/1.0 client is told the connection closes, whatever the handler asks.
        connections = 0;
        const QByteArray old = httptest::curl({QStringLiteral("-0"), QStringLiteral("-i"), url(QStringLiteral("/1")),
                                                         url(QStringLiteral("/2"))});
        QVERIFY(httptest::headLines(old).contains("connection: close"));
        QCOMPARE(connections, 2);
    }

    void pipelinedAnswersKeepOrder()
    {
        listen([](server::QHttpRequest *req, server::QHttpResponse *res) {
            res->setStatus(200);
            res->putHeader("connection", "keep-alive");
            const QByteArray path = req->url().path().toLatin1();
            if (path == "/slow")
                QTimer::singleShot(200, res, [res]() { res->end("slow"); });
            else
                res->end(path);
        });
        const QByteArray all = exchange(m_server->serverPort(), {"GET /slow HTTP/1.1\r\nHost: x\r\n\r\nGET /fast HTTP/1.1\r\nHost: x\r\n\r\n"
                                                                 "GET /last HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n"});
        const int fast = all.indexOf("\r\n\r\n/fast");
        QVERIFY2(all.indexOf("\r\n\r\nslow") > 0 && fast > all.indexOf("\r\n\r\nslow") && all.indexOf("\r\n\r\n/last") > fast, all.constData());
    }

    void oversizedRequestsAreRefused()
    {
        m_server->setMaxHeadSize(8 * 1024);
        m_server->setMaxBodySize(1000);
        int handled = 0;
        listen([&](server::QHttpRequest *req, server::QHttpResponse *res) {
            ++handled;
            req->collectBody(-1);
            req->whenEnd([res]() {
                res->setStatus(200);
                res->end();
            });
        });
        const quint16 port = m_server->serverPort();
        QList<QByteArray> head{"GET / HTTP/1.1\r\n"};
        for (int i = 0; i < 200; ++i)
            head << "X-Filler-" + QByteArray::number(i) + ": " + QByteArray(100, 'f') + "\r\n";
        QVERIFY(exchange(port, head).startsWith("HTTP/1.1 400 Bad Request"));
        QCOMPARE(handled, 0);
        // A long request target alone is answered 414.
        QVERIFY(exchange(port, {"GET /" + QByteArray(20000, 'u') + " HTTP/1.1\r\n\r\n"}).startsWith("HTTP/1.1 414 Request-URI Too Large"));
        // A body announced too large is refused before any byte of it; a chunked
        // one when it grows past the bound.
        QVERIFY(exchange(port, {"POST / HTTP/1.1\r\nContent-Length: 100000000\r\n\r\n"}).startsWith("HTTP/1.1 413 Request Entity Too Large"));
        QList<QByteArray> chunked{"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n"};
        for (int i = 0; i < 5; ++i)
            chunked << "258\r\n" + QByteArray(600, 'b') + "\r\n";
        QVERIFY(exchange(port, chunked).startsWith("HTTP/1.1 413 Request Entity Too Large"));
        // Within the bound it passes.
        const QByteArray ok = httptest::curl({QStringLiteral("-w"), QStringLiteral("%{http_code}"), QStringLiteral("--data-binary"),
                                                        QString(900, QLatin1Char('d')), url(QStringLiteral("/"))});
        QCOMPARE(ok, QByteArray("200"));
    }

    void idleAndTricklingConnectionsAreClosed()
    {
        m_server->setIdleTimeout(300);
        m_server->setRequestTimeout(800);
        listen([](server::QHttpRequest *, server::QHttpResponse *res) {
            res->setStatus(200);
            res->end();
        });
        QTcpSocket idle, trickle;
        idle.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
        QVERIFY(idle.waitForConnected(3000));
        QElapsedTimer t;
        t.start();
        QVERIFY(testsupport::waitFor([&] { return idle.state() == QAbstractSocket::UnconnectedState; }));
        QVERIFY(t.elapsed() >= 250);
        // Half a head, then one byte every 100 ms: never idle, but the request deadline ends it.
        trickle.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
        QVERIFY(trickle.waitForConnected(3000));
        trickle.write("GET / HTTP/1.1\r\n");
        t.restart();
        while (trickle.state() == QAbstractSocket::ConnectedState && t.elapsed() < 4000) {
            trickle.write("X");
            QTest::qWait(100);
        }
        QCOMPARE(trickle.state(), QAbstractSocket::UnconnectedState);
        QVERIFY(t.elapsed() >= 600);
        QVERIFY(testsupport::waitFor([&] { return m_server->connectionCount() == 0; }));
    }

    void slowClientDoesNotStallOthers()
    {
        m_server->setIdleTimeout(10000);
        // A large answer written in slices as the socket drains.
        listen([](server::QHttpRequest *req, server::QHttpResponse *res) {
            res->setStatus(200);
            if (req->url().path() == QLatin1String("/big")) {
                const qint64 total = 64LL * 1024 * 1024;
                res->putHeader("content-length", QByteArray::number(total));
                auto sent = std::make_shared<qint64>(0);
                auto pump = [res, sent, total]() {
                    if (*sent >= total || res->bytesPending() > 256 * 1024)
                        return;
                    const int n = int(qMin<qint64>(256 * 1024, total - *sent));
                    *sent += n;
                    if (*sent >= total)
                        res->end(QByteArray(n, 's'));
                    else
                        res->write(QByteArray(n, 's'));
                };
                QObject::connect(res, &server::QHttpResponse::allBytesWritten, res, pump);
                pump();
            } else {
                res->end("quick");
            }
        });
        // This client asks for the big answer and never reads.
        QTcpSocket slow;
        slow.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
        QVERIFY(slow.waitForConnected(3000));
        slow.setReadBufferSize(1024);
        slow.write("GET /big HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(testsupport::waitFor([&] { return slow.bytesAvailable() > 0; }));
        QCOMPARE(httptest::curl({url(QStringLiteral("/other"))}), QByteArray("quick"));
        QCOMPARE(slow.state(), QAbstractSocket::ConnectedState);
    }

    void connectionLimit()
    {
        m_server->setMaxConnections(2);
        listen([](server::QHttpRequest *, server::QHttpResponse *res) {
            res->setStatus(200);
            res->end("x");
        });
        QTcpSocket a, b, c;
        for (QTcpSocket *s : {&a, &b, &c}) {
            s->connectToHost(QHostAddress::LocalHost, m_server->serverPort());
            QVERIFY(s->waitForConnected(3000));
        }
        QVERIFY(testsupport::waitFor([&] { return c.state() == QAbstractSocket::UnconnectedState; }));
        QCOMPARE(m_server->connectionCount(), 2);
        a.abort();
        QVERIFY(testsupport::waitFor([&] { return m_server->connectionCount() == 1; }));
        QCOMPARE(httptest::curl({url(QStringLiteral("/"))}), QByteArray("x"));
    }
};

QTEST_GUILESS_MAIN(TestQHttpServer)
#include "tst_qhttp_server.moc"
