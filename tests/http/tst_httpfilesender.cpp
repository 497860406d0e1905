// Package bodies handed from the file to the socket by the system: bytes and
// framing as read from the file, the fallback where that cannot be done, and
// clients that stall, vanish or outlive the file's length.
#include "HttpTestSupport.h"
#include "TestWait.h"

#include "httpserver/HttpFileSender.h"
#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using vexo::pc::HttpFileSender;
namespace server = qhttp::server;

namespace {

// Bytes that differ at every offset, so a slip or a repeated piece shows.
QByteArray pattern(int size, quint32 seed)
{
    QByteArray b(size, Qt::Uninitialized);
    quint32 x = seed;
    for (int i = 0; i < size; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = char(x >> 24);
    }
    return b;
}

struct Answer {
    QByteArray head;
    QByteArray body;
};

// Reads one answer framed by its content-length from `s`.
bool readAnswer(QTcpSocket &s, Answer *a, int timeoutMs = 15000)
{
    QByteArray buf;
    int headEnd = -1;
    qint64 length = -1;
    return testsupport::waitFor(
        [&] {
            while (headEnd < 0) {
                const QByteArray c = s.read(1); // never past the head: the next answer may follow
                if (c.isEmpty())
                    return false;
                buf += c;
                if (!buf.endsWith("\r\n\r\n"))
                    continue;
                headEnd = buf.size() - 4;
                a->head = buf.left(headEnd).toLower();
                a->body.clear();
                const int at = a->head.indexOf("content-length: ");
                length = at < 0 ? 0 : a->head.mid(at + 16, a->head.indexOf('\r', at) - at - 16).toLongLong();
            }
            a->body += s.read(length - a->body.size());
            return a->body.size() >= length;
        },
        timeoutMs);
}

QByteArray get(const QByteArray &path, bool keepAlive)
{
    return "GET " + path + " HTTP/1.1\r\nHost: x\r\n" + (keepAlive ? "Connection: keep-alive\r\n" : "") + "\r\n";
}

} // namespace

class TestHttpFileSender : public QObject
{
    Q_OBJECT
private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &content)
    {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
    }
    // Answers every request with the file its path names; "/small" is the
    // only other answer.
    void listen(quint32 idleMs)
    {
        m_server.reset(new server::QHttpServer);
        m_server->setIdleTimeout(idleMs);
        const auto handler = [this](server::QHttpRequest *req, server::QHttpResponse *res) {
            res->setStatus(200);
            if (req->headers().value("connection") == "keep-alive")
                res->putHeader("connection", "keep-alive");
            if (req->url().path() == QLatin1String("/small"))
                return res->end("small answer");
            const QString name = m_local ? m_localFile : req->url().path().mid(1);
            QVERIFY(HttpFileSender::send(res, path(name)));
            m_sender = res->findChild<HttpFileSender *>();
        };
        if (m_local)
            QVERIFY(m_server->listen(path(QStringLiteral("socket")), handler));
        else
            QVERIFY(m_server->listen(QHostAddress::LocalHost, 0, handler));
    }
    void connectTo(QTcpSocket &s)
    {
        s.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
        QVERIFY(s.waitForConnected(3000));
    }

    QTemporaryDir m_tmp;
    QDir m_dir;
    std::unique_ptr<server::QHttpServer> m_server;
    QPointer<HttpFileSender> m_sender;
    bool m_local = false;
    QString m_localFile; // what a local-socket request gets (its path names the socket)

private slots:
    void initTestCase() { m_dir = QDir(m_tmp.path()); }
    void init() { m_local = false; m_sender = nullptr; }

    // Two packages and a small answer on one kept connection: each body is
    // the file to the byte and the next answer starts right after it.
    void bodiesArriveIntactOnAKeptConnection()
    {
        const QByteArray big = pattern(9 * 1024 * 1024 + 17, 1);
        const QByteArray mid = pattern(int(HttpFileSender::ZeroCopyFrom) + 1, 2);
        const QByteArray tiny = pattern(1000, 3);
        writeFile(QStringLiteral("big.bin"), big);
        writeFile(QStringLiteral("mid.bin"), mid);
        writeFile(QStringLiteral("tiny.bin"), tiny);
        listen(10000);
        QTcpSocket s;
        connectTo(s);
        // The first two pipelined: the second waits in the buffer meanwhile.
        s.write(get("/big.bin", true) + get("/tiny.bin", true));
        Answer a;
        QVERIFY(readAnswer(s, &a));
        QVERIFY(a.head.startsWith("http/1.1 200 ok"));
        QVERIFY(a.head.contains("content-length: " + QByteArray::number(big.size())));
        QVERIFY(a.body == big);
        QVERIFY(readAnswer(s, &a));
        QVERIFY(a.body == tiny);
        QVERIFY(m_sender && !m_sender->zeroCopy()); // small bodies travel with their head
        s.write(get("/mid.bin", true));
        QVERIFY(readAnswer(s, &a));
        QVERIFY(a.body == mid);
        QVERIFY(m_sender && m_sender->zeroCopy());
        s.write(get("/small", false));
        QVERIFY(readAnswer(s, &a));
        QCOMPARE(a.body, QByteArray("small answer"));
        QVERIFY(testsupport::waitFor([&] { return s.state() == QAbstractSocket::UnconnectedState; }));
        QCOMPARE(s.bytesAvailable(), 0);
    }

    // A local socket cannot take a file from the system: the body is read
    // and written in slices, with the same bytes.
    void localSocketsFallBackToSlices()
    {
        const QByteArray big = pattern(3 * 1024 * 1024 + 5, 4);
        writeFile(QStringLiteral("local.bin"), big);
        m_local = true;
        m_localFile = QStringLiteral("local.bin");
        listen(10000);
        qhttp::client::QHttpClient client;
        const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_GET,
                                                  QUrl::fromLocalFile(path(QStringLiteral("socket"))),
                                                  QByteArray(), qhttp::Headers(), 15000);
        QVERIFY(r.ended);
        QVERIFY(r.body == big);
        QVERIFY(m_sender && !m_sender->zeroCopy());
    }

    // A client that stops reading holds the socket full; the idle deadline
    // still ends it. One that vanishes mid-body ends its connection only.
    void stalledAndVanishedClientsAreCutOff()
    {
        QFile sparse(path(QStringLiteral("stall.bin")));
        QVERIFY(sparse.open(QIODevice::WriteOnly) && sparse.resize(48LL * 1024 * 1024)); // more than any socket holds
        sparse.close();
        listen(300);

        QTcpSocket stalled;
        stalled.setReadBufferSize(16 * 1024);
        connectTo(stalled);
        stalled.write(get("/stall.bin", true));
        QVERIFY(testsupport::waitFor([&] { return m_sender && m_sender->zeroCopy() && stalled.bytesAvailable() > 0; }));
        QVERIFY(testsupport::waitFor([&] { return m_server->connectionCount() == 0; }, 10000));
        QVERIFY(m_sender.isNull()); // went with its connection
        stalled.setReadBufferSize(0);
        qint64 got = 0;
        QVERIFY(testsupport::waitFor([&] { return (got += stalled.readAll().size(), stalled.state() == QAbstractSocket::UnconnectedState); }));
        QVERIFY(got < 48LL * 1024 * 1024);

        // Gone with the body half sent: its connection ends, the server serves on.
        QTcpSocket vanishing;
        connectTo(vanishing);
        vanishing.write(get("/stall.bin", false));
        QVERIFY(testsupport::waitFor([&] { return m_sender && m_sender->zeroCopy() && vanishing.bytesAvailable() > 0; }));
        vanishing.abort();
        QVERIFY(testsupport::waitFor([&] { return m_server->connectionCount() == 0; }));
        const QByteArray small = pattern(int(HttpFileSender::ZeroCopyFrom) * 3, 5);
        writeFile(QStringLiteral("after.bin"), small);
        QTcpSocket next;
        connectTo(next);
        next.write(get("/after.bin", false));
        Answer a;
        QVERIFY(readAnswer(next, &a));
        QVERIFY(a.body == small);
    }

    // A file cut short while it is being sent cannot keep its promised
    // length: the connection ends instead of hanging or padding the body.
    void shrinkingFileEndsTheConnection()
    {
        const qint64 size = 40LL * 1024 * 1024;
        QFile file(path(QStringLiteral("shrink.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(size));
        listen(10000);
        QTcpSocket s;
        s.setReadBufferSize(16 * 1024);
        connectTo(s);
        s.write(get("/shrink.bin", true));
        QVERIFY(testsupport::waitFor([&] { return m_sender && m_sender->zeroCopy() && s.bytesAvailable() > 0; }));
        QVERIFY(file.resize(1024 * 1024));
        file.close();
        s.setReadBufferSize(0);
        qint64 got = 0;
        QVERIFY(testsupport::waitFor([&] { return (got += s.readAll().size(), s.state() == QAbstractSocket::UnconnectedState); }));
        QVERIFY(got < size);
        QVERIFY(testsupport::waitFor([&] { return m_server->connectionCount() == 0; }));
    }
};

QTEST_GUILESS_MAIN(TestHttpFileSender)
#include "tst_httpfilesender.moc"
