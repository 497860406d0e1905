// Mutated requests against the server and mutated answers against the
// client: nothing may crash, hang or grow without bound, and both sides must
// still work afterwards. Cases run over local sockets, many at a time.
#include "HttpTestSupport.h"

#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#ifndef ZARVO_FUZZ_CASES
#define ZARVO_FUZZ_CASES 4000
#endif

using namespace qhttp;

namespace {

int caseCount()
{
    bool ok = false;
    const int n = qEnvironmentVariableIntValue("ZARVO_FUZZ_CASES", &ok);
    return ok && n > 0 ? n : ZARVO_FUZZ_CASES;
}

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

const QList<QByteArray> kRequests = {
    "GET /common?cmd=1 HTTP/1.1\r\nHost: x\r\n\r\n",
    "GET /a%20b?x=1&y=%2F HTTP/1.1\r\nHost: h:8080\r\nConnection: keep-alive\r\nAccept: */*\r\n\r\n",
    "POST /p HTTP/1.1\r\nContent-Type: Application/JSON\r\nContent-Length: 17\r\n\r\n{\"cmd\":\"x\",\"a\":1}",
    "POST /c HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6;ext=1\r\n world\r\n0\r\nTrailer: t\r\n\r\n",
    "GET / HTTP/1.0\r\n\r\n",
    "HEAD /h HTTP/1.1\r\nHost: x\r\n\r\nGET /second HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n",
    "DELETE /d HTTP/1.1\r\nX-Folded: a\r\n  b\r\n\r\n",
    "OPTIONS * HTTP/1.1\r\n\r\n",
    "M-SEARCH /s HTTP/1.1\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n\r\n",
    "PUT /u HTTP/1.1\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\nabcd",
};

const QList<QByteArray> kResponses = {
    "HTTP/1.1 200 OK\r\nContent-Length: 5\r\nContent-Type: Text/Plain\r\n\r\nhello",
    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nwiki\r\n5\r\npedia\r\n0\r\n\r\n",
    "HTTP/1.0 200 OK\r\n\r\nbody until the end",
    "HTTP/1.1 204 No Content\r\n\r\n",
    "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\nConnection: close\r\n\r\n{}",
    "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\nx",
    "HTTP/1.1 302 Moved Temporarily\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n",
    "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcHTTP/1.1 200 OK\r\n\r\n",
};

class Mutator
{
public:
    explicit Mutator(quint32 seed)
        : m_rng(seed)
    {
    }

    int below(int n) { return n <= 0 ? 0 : int(m_rng() % quint32(n)); }

    QByteArray mutate(const QList<QByteArray> &corpus)
    {
        QByteArray d = corpus.at(below(corpus.size()));
        const int rounds = 1 + below(6);
        for (int r = 0; r < rounds; ++r) {
            if (d.isEmpty())
                d = corpus.at(below(corpus.size()));
            const int at = below(d.size());
            switch (below(9)) {
            case 0: // flip bits
                d[at] = char(d.at(at) ^ char(1 << below(8)));
                break;
            case 1: { // insert interesting bytes
                static const char interesting[] = "\r\n:; \t0123456789abcdefXZ%/\\.\x00\x7f\xff";
                d.insert(at, interesting[below(sizeof(interesting) - 1)]);
                break;
            }
            case 2: // delete a range
                d.remove(at, 1 + below(8));
                break;
            case 3: // duplicate a range
                d.insert(at, d.mid(at, 1 + below(32)));
                break;
            case 4: // truncate
                d.truncate(at);
                break;
            case 5: { // a number becomes huge or negative
                static const char *const numbers[] = {"99999999999999999999", "-1", "0", "18446744073709551615", "7fffffff", "ffffffffffffffff"};
                d.insert(at, numbers[below(6)]);
                break;
            }
            case 6: // splice another seed in
                d.insert(at, corpus.at(below(corpus.size())).mid(below(40)));
                break;
            case 7: // a long run
                d.insert(at, QByteArray(1 + below(20000), char('A' + below(26))));
                break;
            default: // random bytes
                for (int i = 0; i < 1 + below(16); ++i)
                    d.insert(below(d.size() + 1), char(m_rng()));
                break;
            }
        }
        return d;
    }

private:
    std::mt19937 m_rng;
};

// Runs the event loop until `done` holds or the limit passes.
void runUntil(const std::function<bool()> &done, int limitMs)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
        if (done())
            loop.quit();
    });
    poll.start(5);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
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
    Mutator pick(7);
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
    const qint64 rssBefore = rssKiB();
    Mutator gen(20240601);
    int started = 0;
    int finished = 0;
    int inFlight = 0;
    const int parallel = qEnvironmentVariableIsSet("ZARVO_FUZZ_PARALLEL") ? qEnvironmentVariableIntValue("ZARVO_FUZZ_PARALLEL") : 24;
    std::function<void()> launch = [&]() {
        while (inFlight < parallel && started < total) {
            ++started;
            ++inFlight;
            auto *s = new QLocalSocket(this);
            const QByteArray data = gen.mutate(kRequests);
            const int split = gen.below(data.size() + 1);
            connect(s, &QLocalSocket::connected, s, [s, data, split]() {
                // Two writes: the parser must cope with any cut.
                s->write(data.left(split));
                s->flush();
                s->write(data.mid(split));
                // Everything fits the socket buffer: flush, then go at once
                // (a peer that vanishes is one more case to survive).
                s->flush();
                s->abort();
                s->deleteLater();
            });
            connect(s, &QObject::destroyed, this, [&]() {
                --inFlight;
                ++finished;
                QMetaObject::invokeMethod(this, launch, Qt::QueuedConnection);
            });
            s->connectToServer(name);
        }
    };
    launch();
    runUntil([&]() { return finished >= total; }, 600000);
    QCOMPARE(finished, total);
    QVERIFY(requests > total / 20); // many mutated requests still parse

    // Still serving, and every connection given back.
    client::QHttpClient probe;
    QUrl u;
    u.setScheme(QStringLiteral("file"));
    u.setPath(name);
    const httptest::Reply r = httptest::fetch(probe, EHTTP_GET, u);
    QVERIFY(r.ended);
    QCOMPARE(r.status, 200);
    probe.killConnection();
    QTRY_COMPARE_WITH_TIMEOUT(srv.connectionCount(), 0, 10000);
#ifndef ZARVO_SANITIZED_BUILD
    QVERIFY2(rssKiB() - rssBefore < 64 * 1024, QByteArray::number(rssKiB() - rssBefore).constData());
#else
    Q_UNUSED(rssBefore)
#endif
    qInfo("%d mutated requests, %d reached the handler", total, requests);
}

void TestQHttpFuzz::clientSurvivesMutatedAnswers()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("cli.sock"));
    QLocalServer answers;
    QVERIFY(answers.listen(name));
    Mutator gen(424242);
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
    const qint64 rssBefore = rssKiB();
    QUrl u;
    u.setScheme(QStringLiteral("file"));
    u.setPath(name);
    int finished = 0;
    int responses = 0;
    int started = 0;
    const int parallel = qEnvironmentVariableIsSet("ZARVO_FUZZ_PARALLEL") ? qEnvironmentVariableIntValue("ZARVO_FUZZ_PARALLEL") : 24;
    QList<client::QHttpClient *> clients;
    std::function<void(client::QHttpClient *)> next = [&](client::QHttpClient *c) {
        if (started >= total)
            return;
        ++started;
        auto done = std::make_shared<bool>(false);
        auto finish = [&, c, done]() {
            if (*done)
                return;
            *done = true;
            ++finished;
            QMetaObject::invokeMethod(this, [&, c]() { next(c); }, Qt::QueuedConnection);
        };
        c->disconnect(this);
        connect(c, &client::QHttpClient::disconnected, this, finish);
        connect(c, &client::QHttpClient::connectingTimeOut, this, finish);
        c->request(
            started % 3 == 0 ? EHTTP_HEAD : EHTTP_GET, u, [](client::QHttpRequest *req) { req->end(); },
            [&, finish](client::QHttpResponse *res) {
                ++responses;
                QVERIFY(res->status() >= 0 && res->status() < 1000);
                res->collectBody(-1);
                res->whenEnd([res]() { QVERIFY(res->collectedBody().size() < 1024 * 1024); });
            });
        c->setConnectTimeout(5000);
    };
    for (int i = 0; i < parallel; ++i) {
        auto *c = new client::QHttpClient(this);
        clients << c;
        next(c);
    }
    runUntil([&]() { return finished >= total; }, 600000);
    QCOMPARE(finished, total);
    QVERIFY(responses > total / 20);
    qDeleteAll(clients);
#ifndef ZARVO_SANITIZED_BUILD
    QVERIFY2(rssKiB() - rssBefore < 64 * 1024, QByteArray::number(rssKiB() - rssBefore).constData());
#else
    Q_UNUSED(rssBefore)
#endif
    qInfo("%d mutated answers, %d reached the response handler", total, responses);
}

QTEST_GUILESS_MAIN(TestQHttpFuzz)
#include "tst_qhttp_fuzz.moc"
