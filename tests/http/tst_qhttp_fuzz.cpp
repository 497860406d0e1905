// Mutated requests against the server and mutated answers against the
// client: nothing may crash, hang or grow without bound, and both sides must
// still work afterwards. Cases run over local sockets, many at a time.
#include "HttpTestSupport.h"
#include "ProcessMemory.h"
#include "SeededMutator.h"
#include "TestWait.h"

#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <utility>

#ifndef ZARVO_FUZZ_CASES
#define ZARVO_FUZZ_CASES 4000
#endif

using namespace qhttp;

namespace {

int caseCount()
{
    const int n = qEnvironmentVariableIntValue("ZARVO_FUZZ_CASES");
    return n > 0 ? n : ZARVO_FUZZ_CASES;
}

// Growth of resident memory over a run (meaningful in the normal build only).
void checkFlatMemory(qint64 beforeKb)
{
    const qint64 grown = testsupport::residentKb() - beforeKb;
    if (testsupport::memoryBoundsMeaningful())
        QVERIFY2(grown < 64 * 1024, QByteArray::number(grown).constData());
}

const QList<QByteArray> kRequests = {
    "GET /a%20b?x=1&y=%2F HTTP/1.1\r\nHost: h:8080\r\nConnection: keep-alive\r\nAccept: */*\r\n\r\n",
    "POST /p HTTP/1.1\r\nContent-Type: Application/JSON\r\nContent-Length: 17\r\n\r\n{\"cmd\":\"x\",\"a\":1}",
    "POST /c HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\nTrailer: t\r\n\r\n",
    "GET / HTTP/1.0\r\n\r\n",
    "HEAD /h HTTP/1.1\r\nHost: x\r\n\r\nGET /second HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
    "DELETE /d HTTP/1.1\r\nX-Folded: a\r\n  b\r\n\r\n",
    "M-SEARCH * HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n",
    "PUT /u HTTP/1.1\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\nabcd",
};

const QList<QByteArray> kResponses = {
    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: Text/Plain\r\n\r\nhello",
    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nwiki\r\n5\r\npedia\r\n0\r\n\r\n",
    "HTTP/1.0 200 OK\r\n\r\nbody until the end",
    "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}",
    "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx",
    "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcHTTP/1.1 200 OK\r\n\r\n",
};

// Keeps 24 cases in flight until `total` have ended; start(done) begins one
// case and calls done when it is over (repeated calls count once).
int runCases(int total, const std::function<void(const std::function<void()> &)> &start)
{
    int started = 0;
    int finished = 0;
    // Top-ups are queued to this object, so none is left to run once we return.
    QObject queue;
    std::function<void()> next = [&]() {
        for (; started - finished < 24 && started < total; ++started) {
            auto once = std::make_shared<bool>(false);
            start([&, once]() {
                if (std::exchange(*once, true))
                    return;
                ++finished;
                QMetaObject::invokeMethod(&queue, next, Qt::QueuedConnection);
            });
        }
    };
    next();
    testsupport::waitFor([&] { return finished >= total; }, 600000);
    return finished;
}

} // namespace

class TestQHttpFuzz : public QObject
{
    Q_OBJECT
private slots:
    void serverSurvivesMutatedRequests();
    void clientSurvivesMutatedAnswers();
};

void TestQHttpFuzz::serverSurvivesMutatedRequests()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("srv.sock"));
    server::QHttpServer srv;
    srv.setMaxHeadSize(8 * 1024);
    srv.setMaxBodySize(64 * 1024);
    srv.setIdleTimeout(3000);
    srv.setRequestTimeout(3000);
    int requests = 0;
    testsupport::SeededMutator pick(7);
    QVERIFY(srv.listen(name, [&](server::QHttpRequest *req, server::QHttpResponse *res) {
        ++requests;
        res->setStatus(200);
        if (req->headers().value("connection") == "keep-alive")
            res->putHeader("connection", "keep-alive");
        switch (pick.below(3)) {
        case 0: // answer at once, before the body
            res->end("early");
            break;
        case 1: // answer at the end, echoing what was collected
            req->collectBody(4096);
            req->whenEnd([req, res]() { res->end(req->collectedBody()); });
            break;
        default: // answer in pieces of unknown total length
            res->write("piece;");
            req->whenEnd([res]() { res->end("last"); });
            break;
        }
    }));

    const int total = caseCount();
    const qint64 rssBefore = testsupport::residentKb();
    testsupport::SeededMutator gen(20240601);
    const int finished = runCases(total, [&](const std::function<void()> &done) {
        auto *s = new QLocalSocket(this);
        const QByteArray data = gen.mutate(kRequests);
        const int split = gen.below(data.size() + 1);
        connect(s, &QLocalSocket::connected, s, [s, data, split]() {
            // Two writes: the parser must cope with any cut. Then go at once
            // (a peer that vanishes is one more case to survive).
            s->write(data.left(split));
            s->flush();
            s->write(data.mid(split));
            s->flush();
            s->abort();
            s->deleteLater();
        });
        connect(s, &QObject::destroyed, this, done);
        s->connectToServer(name);
    });
    QCOMPARE(finished, total);
    QVERIFY(requests > total / 20); // many mutated requests still parse

    // Still serving, and every connection given back.
    client::QHttpClient probe;
    const httptest::Reply r = httptest::fetch(probe, EHTTP_GET, QUrl::fromLocalFile(name));
    QCOMPARE(r.status, 200);
    probe.killConnection();
    QVERIFY(testsupport::waitFor([&] { return srv.connectionCount() == 0; }, 10000));
    checkFlatMemory(rssBefore);
}

void TestQHttpFuzz::clientSurvivesMutatedAnswers()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("cli.sock"));
    QLocalServer answers;
    QVERIFY(answers.listen(name));
    testsupport::SeededMutator gen(424242);
    // Every connection gets one mutated answer, in two pieces, then closes.
    connect(&answers, &QLocalServer::newConnection, this, [&]() {
        while (QLocalSocket *s = answers.nextPendingConnection()) {
            const QByteArray data = gen.mutate(kResponses);
            const int split = gen.below(data.size() + 1);
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, s, [s, data, split]() {
                s->readAll();
                s->write(data.left(split));
                s->flush();
                s->write(data.mid(split));
                s->disconnectFromServer();
            });
        }
    });

    const int total = caseCount();
    const qint64 rssBefore = testsupport::residentKb();
    int responses = 0;
    int n = 0;
    const int finished = runCases(total, [&](const std::function<void()> &done) {
        auto *c = new client::QHttpClient(this);
        const auto end = [c, done]() {
            c->deleteLater();
            done();
        };
        connect(c, &client::QHttpClient::disconnected, this, end);
        connect(c, &client::QHttpClient::connectingTimeOut, this, end);
        c->request(
            ++n % 3 == 0 ? EHTTP_HEAD : EHTTP_GET, QUrl::fromLocalFile(name), [](client::QHttpRequest *req) { req->end(); },
            [&](client::QHttpResponse *res) {
                ++responses;
                QVERIFY(res->status() >= 0 && res->status() < 1000);
                res->collectBody(-1);
                res->whenEnd([res]() { QVERIFY(res->collectedBody().size() < 1024 * 1024); });
            });
        c->setConnectTimeout(5000);
    });
    QCOMPARE(finished, total);
    QVERIFY(responses > total / 20);
    checkFlatMemory(rssBefore);
}

QTEST_GUILESS_MAIN(TestQHttpFuzz)
#include "tst_qhttp_fuzz.moc"
