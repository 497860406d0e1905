// The HTTP client against Python's standard-library server: request lines,
// headers, bodies, both framings of answers, keep-alive and close.
#include "HttpTestSupport.h"
#include "TestWait.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QtTest>

using namespace qhttp;
using httptest::fetch;

namespace {

QString headerOf(const QJsonObject &echo, const QString &name)
{
    for (const QJsonValue &v : echo.value(QStringLiteral("headers")).toArray()) {
        const QJsonArray pair = v.toArray();
        if (pair.at(0).toString().compare(name, Qt::CaseInsensitive) == 0)
            return pair.at(1).toString();
    }
    return QString();
}

} // namespace

class TestQHttpClient : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void requestLineAndDefaultHeaders();
    void keepAliveReusesConnection();
    void postBodyArrives();
    void answers();
    void invalidUrlIsRefused();
    void refusedConnectionReportsConnectingTimeout();
    void collectLimitCutsBody();

private:
    QUrl url(const QString &path) const
    {
        QUrl u;
        u.setScheme(QStringLiteral("http"));
        u.setHost(QStringLiteral("127.0.0.1"));
        u.setPort(m_port);
        u.setPath(path);
        return u;
    }

    QProcess m_py;
    quint16 m_port = 0;
};

void TestQHttpClient::initTestCase()
{
    m_port = httptest::startPythonServer(m_py);
    QVERIFY2(m_port != 0, "python3 http.server did not start");
}

void TestQHttpClient::cleanupTestCase()
{
    httptest::stopProcess(m_py);
}

void TestQHttpClient::requestLineAndDefaultHeaders()
{
    client::QHttpClient client;
    QUrl u = url(QStringLiteral("/echo/a b"));
    u.setQuery(QStringLiteral("x=1"));
    const httptest::Reply r = fetch(client, EHTTP_GET, u);
    const QJsonObject echo = QJsonDocument::fromJson(r.body).object();
    QCOMPARE(echo.value(QStringLiteral("requestline")).toString(),
             QStringLiteral("GET /echo/a%20b?x=1 HTTP/1.1"));
    QCOMPARE(headerOf(echo, QStringLiteral("host")), QStringLiteral("127.0.0.1:%1").arg(m_port));
    QCOMPARE(headerOf(echo, QStringLiteral("connection")), QStringLiteral("close"));
}

void TestQHttpClient::keepAliveReusesConnection()
{
    client::QHttpClient client;
    Headers h;
    h.insert("Connection", "keep-alive");
    const httptest::Reply first = fetch(client, EHTTP_GET, url(QStringLiteral("/echo/1")), {}, h);
    const QJsonObject e1 = QJsonDocument::fromJson(first.body).object();
    QCOMPARE(headerOf(e1, QStringLiteral("connection")), QStringLiteral("keep-alive"));
    QVERIFY(client.isOpen());

    const httptest::Reply second = fetch(client, EHTTP_GET, url(QStringLiteral("/echo/2")), {}, h);
    QCOMPARE(QJsonDocument::fromJson(second.body).object().value(QStringLiteral("peer")).toInt(), e1.value(QStringLiteral("peer")).toInt());

    // Without the header the connection is closed by the server after the answer.
    const httptest::Reply third = fetch(client, EHTTP_GET, url(QStringLiteral("/echo/3")));
    QVERIFY(third.ended);
    QVERIFY(testsupport::waitFor([&] { return !client.isOpen(); }));
}

void TestQHttpClient::postBodyArrives()
{
    client::QHttpClient client;
    const QByteArray body = R"({"product":"Kavora_zarvo","n":1})";
    Headers h;
    h.insert("Content-Type", "application/json");
    h.insert("content-length", QByteArray::number(body.size()));
    const httptest::Reply r = fetch(client, EHTTP_POST, url(QStringLiteral("/echo")), body, h);
    const QJsonObject echo = QJsonDocument::fromJson(r.body).object();
    QCOMPARE(echo.value(QStringLiteral("body")).toString().toLatin1(), body);
    QCOMPARE(echo.value(QStringLiteral("requestline")).toString(), QStringLiteral("POST /echo HTTP/1.1"));

    // A body without a caller-set length is framed by its size.
    const httptest::Reply put = fetch(client, EHTTP_PUT, url(QStringLiteral("/echo")), "abc");
    QCOMPARE(QJsonDocument::fromJson(put.body).object().value(QStringLiteral("body")).toString(), QStringLiteral("abc"));
}

// Content-length, chunked and connection-end framing; HEAD; headers as received.
void TestQHttpClient::answers()
{
    client::QHttpClient client;
    const httptest::Reply chunked = fetch(client, EHTTP_GET, url(QStringLiteral("/chunked")));
    QCOMPARE(chunked.body, QByteArray("alphabetagamma"));
    const httptest::Reply big = fetch(client, EHTTP_GET, url(QStringLiteral("/big/3000001")));
    QCOMPARE(big.body.size(), 3000001);
    QCOMPARE(static_cast<uchar>(big.body.at(3000000)), static_cast<uchar>(3000000 % 256));
    QVERIFY(big.chunks > 1);
    const httptest::Reply old = fetch(client, EHTTP_GET, url(QStringLiteral("/close10")));
    QCOMPARE(old.version, QStringLiteral("1.0"));
    QCOMPARE(old.body, QByteArray("until-the-end"));
    const httptest::Reply head = fetch(client, EHTTP_HEAD, url(QStringLiteral("/big/5000")));
    QVERIFY(head.ended);
    QCOMPARE(head.headers.value("content-length"), QByteArray("5000"));
    QVERIFY(head.body.isEmpty());
    const httptest::Reply echo = fetch(client, EHTTP_GET, url(QStringLiteral("/echo")));
    QCOMPARE(echo.headers.value("x-mixed-case"), QByteArray("application/json"));
    QCOMPARE(fetch(client, EHTTP_GET, url(QStringLiteral("/status/404"))).status, 404);
}

void TestQHttpClient::invalidUrlIsRefused()
{
    client::QHttpClient client;
    QVERIFY(!client.request(EHTTP_GET, QUrl(), nullptr, nullptr));
    QVERIFY(!client.request(EHTTP_GET, QUrl(QStringLiteral("http://exa mple.com:99999/")), nullptr, nullptr));
}

void TestQHttpClient::refusedConnectionReportsConnectingTimeout()
{
    // A port that was just free: nothing listens there.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();

    client::QHttpClient client;
    bool responded = false;
    QVERIFY(client.request(EHTTP_GET, QUrl(QStringLiteral("http://127.0.0.1:%1/").arg(port)),
                           nullptr, [&](client::QHttpResponse *) { responded = true; }));
    client.setConnectTimeout(300);
    QSignalSpy spy(&client, &client::QHttpClient::connectingTimeOut);
    QElapsedTimer t;
    t.start();
    QVERIFY(spy.wait(3000));
    QVERIFY(t.elapsed() >= 250);
    QVERIFY(!responded);
}

void TestQHttpClient::collectLimitCutsBody()
{
    client::QHttpClient client;
    QByteArray got;
    bool truncated = false;
    QEventLoop loop;
    QVERIFY(client.request(
        EHTTP_GET, url(QStringLiteral("/big/10000")), [](client::QHttpRequest *req) { req->end(); },
        [&](client::QHttpResponse *res) {
            res->collectBody(1000);
            res->whenEnd([&, res]() {
                got = res->collectedBody();
                truncated = res->bodyTruncated();
                loop.quit();
            });
        }));
    QTimer::singleShot(5000, &loop, &QEventLoop::quit); // a bound, not a wait: the end quits first
    loop.exec();
    QCOMPARE(got.size(), 1000);
    QVERIFY(truncated);
}

QTEST_GUILESS_MAIN(TestQHttpClient)
#include "tst_qhttp_client.moc"
