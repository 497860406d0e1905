// The HTTP client against a scripted peer that records the bytes it gets and
// answers with canned bytes: request lines, headers, bodies, the framings of
// answers, keep-alive and close.
#include "HttpTestSupport.h"
#include "TestWait.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

using namespace qhttp;
using httptest::fetch;

namespace {

// Answers each complete request with the next canned answer (the last one
// repeats) and closes when the answer or the request says so.
class ScriptedPeer : public QObject
{
public:
    QList<QByteArray> answers;
    QByteArray received;
    int connections = 0;

    bool listen()
    {
        connect(&m_server, &QTcpServer::newConnection, this, [this]() {
            while (QTcpSocket *s = m_server.nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
                connect(s, &QTcpSocket::readyRead, s, [this, s]() { serve(s); });
            }
        });
        return m_server.listen(QHostAddress::LocalHost, 0);
    }
    QUrl url(const QString &path) const { return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path)); }

private:
    void serve(QTcpSocket *s)
    {
        QByteArray &pending = m_pending[s];
        const QByteArray chunk = s->readAll();
        pending += chunk;
        received += chunk;
        // The tests send bodies only with a length, in the same write as the head.
        const QByteArray head = pending.left(pending.indexOf("\r\n\r\n")).toLower();
        if (!pending.contains("\r\n\r\n") || (head.startsWith("post") && pending.endsWith("\r\n\r\n")))
            return;
        pending.clear();
        const QByteArray answer = answers.size() > 1 ? answers.takeFirst() : answers.value(0);
        s->write(answer);
        if (answer.startsWith("HTTP/1.0") || answer.toLower().contains("connection: close") || head.contains("connection: close"))
            s->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

QByteArray lengthFramed(const QByteArray &body, const QByteArray &extra = QByteArray())
{
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + extra + "\r\n" + body;
}

} // namespace

class TestQHttpClient : public QObject
{
    Q_OBJECT
private slots:
    void init() { m_peer.reset(new ScriptedPeer); QVERIFY(m_peer->listen()); }

private:
    std::unique_ptr<ScriptedPeer> m_peer;

private slots:
    void requestLineAndHeaders()
    {
        m_peer->answers = {lengthFramed("ok")};
        client::QHttpClient client;
        QUrl u = m_peer->url(QStringLiteral("/echo/a b"));
        u.setQuery(QStringLiteral("x=1"));
        QCOMPARE(fetch(client, EHTTP_GET, u).body, QByteArray("ok"));
        const QByteArray got = m_peer->received.toLower();
        QVERIFY2(got.startsWith("get /echo/a%20b?x=1 http/1.1\r\n"), got.constData());
        QVERIFY(got.contains("\r\nhost: 127.0.0.1:" + QByteArray::number(u.port()) + "\r\n"));
        QVERIFY(got.contains("\r\nconnection: close\r\n"));
    }

    void keepAliveReusesConnection()
    {
        m_peer->answers = {lengthFramed("1", "Connection: keep-alive\r\n")};
        client::QHttpClient client;
        const Headers keep{{"Connection", "keep-alive"}};
        QCOMPARE(fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/1")), {}, keep).body, QByteArray("1"));
        QVERIFY(m_peer->received.toLower().contains("\r\nconnection: keep-alive\r\n"));
        QVERIFY(client.isOpen());
        QCOMPARE(fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/2")), {}, keep).body, QByteArray("1"));
        QCOMPARE(m_peer->connections, 1);
        // Without the header the connection closes after the answer.
        QVERIFY(fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/3"))).ended);
        QVERIFY(testsupport::waitFor([&] { return !client.isOpen(); }));
    }

    void postBody()
    {
        m_peer->answers = {lengthFramed("done")};
        client::QHttpClient client;
        const QByteArray body = R"({"product":"Kavora_zarvo","n":1})";
        const Headers h{{"Content-Type", "application/json"}, {"content-length", QByteArray::number(body.size())}};
        QVERIFY(fetch(client, EHTTP_POST, m_peer->url(QStringLiteral("/echo")), body, h).ended);
        QVERIFY(m_peer->received.startsWith("POST /echo HTTP/1.1\r\n"));
        QVERIFY(m_peer->received.endsWith("\r\n\r\n" + body));
    }

    // Content-length, chunked and connection-end framing; HEAD; headers as received.
    void answers()
    {
        const QByteArray pattern = QByteArray("0123456789abcdefghijklmnopqrstuvwxyz").repeated(83334);
        m_peer->answers = {
            "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nalpha\r\n4\r\nbeta\r\n5\r\ngamma\r\n0\r\n\r\n",
            lengthFramed(pattern),
            "HTTP/1.0 200 OK\r\n\r\nuntil-the-end",
            "HTTP/1.1 200 OK\r\nContent-Length: 5000\r\nX-Mixed-Case: Application/JSON\r\n\r\n",
            "HTTP/1.1 404 Not Found\r\nContent-Length: 2\r\n\r\n{}",
        };
        client::QHttpClient client;
        QCOMPARE(fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/chunked"))).body, QByteArray("alphabetagamma"));
        const httptest::Reply big = fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/big")));
        QCOMPARE(big.body, pattern);
        QVERIFY(big.chunks > 1); // 3 MB arrive in pieces
        const httptest::Reply old = fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/close10")));
        QCOMPARE(old.version, QStringLiteral("1.0"));
        QCOMPARE(old.body, QByteArray("until-the-end"));
        const httptest::Reply head = fetch(client, EHTTP_HEAD, m_peer->url(QStringLiteral("/head")));
        QVERIFY(head.ended);
        QVERIFY(head.body.isEmpty());
        QCOMPARE(head.headers.value("x-mixed-case"), QByteArray("application/json"));
        QCOMPARE(fetch(client, EHTTP_GET, m_peer->url(QStringLiteral("/missing"))).status, 404);
    }

    void invalidUrlIsRefused()
    {
        client::QHttpClient client;
        QVERIFY(!client.request(EHTTP_GET, QUrl(), nullptr, nullptr));
        QVERIFY(!client.request(EHTTP_GET, QUrl(QStringLiteral("http://exa mple.com:99999/")), nullptr, nullptr));
    }
};

QTEST_GUILESS_MAIN(TestQHttpClient)
#include "tst_qhttp_client.moc"
