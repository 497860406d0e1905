#pragma once

#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>
#include <QUrl>

// Shared helpers of the HTTP tests: one request run to its end on a local
// event loop, and curl as a client we did not write.
namespace httptest {

struct Reply {
    bool started = false;
    bool ended = false;
    bool connectTimeout = false;
    bool disconnected = false;
    int status = 0;
    QString version;
    qhttp::Headers headers;
    QByteArray body;
    int chunks = 0;
};

// Runs one request on `client` until the end of the answer, a disconnect,
// a connecting time-out or `limitMs`.
inline Reply fetch(qhttp::client::QHttpClient &client, int method, const QUrl &url, const QByteArray &body = QByteArray(),
                   const qhttp::Headers &headers = qhttp::Headers(), int limitMs = 5000)
{
    Reply r;
    QEventLoop loop;
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    auto c1 = QObject::connect(&client, &qhttp::client::QHttpClient::connectingTimeOut, &loop, [&]() {
        r.connectTimeout = true;
        loop.quit();
    });
    auto c2 = QObject::connect(&client, &qhttp::client::QHttpClient::disconnected, &loop, [&]() {
        r.disconnected = true;
        loop.quit();
    });
    r.started = client.request(
        method, url,
        [&](qhttp::client::QHttpRequest *req) {
            for (auto it = headers.constBegin(); it != headers.constEnd(); ++it)
                req->putHeader(it.key(), it.value());
            req->end(body);
        },
        [&](qhttp::client::QHttpResponse *res) {
            r.status = res->status();
            r.version = res->version();
            r.headers = res->headers();
            res->collectBody(-1);
            res->whenData([&](const QByteArray &) { ++r.chunks; });
            res->whenEnd([&, res]() {
                r.body = res->collectedBody();
                r.ended = true;
                loop.quit();
            });
        });
    if (r.started) {
        client.setConnectTimeout(static_cast<quint32>(qMin(limitMs, 5000)));
        loop.exec();
    }
    QObject::disconnect(c1);
    QObject::disconnect(c2);
    client.setConnectTimeout(0);
    return r;
}

struct CurlResult {
    int exitCode = -1;
    QByteArray out;
};

// Runs curl while this thread's event loop keeps serving.
inline CurlResult curl(const QStringList &args)
{
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    p.start(QStringLiteral("curl"), QStringList{QStringLiteral("-sS"), QStringLiteral("--max-time"), QStringLiteral("10")} + args);
    if (p.state() != QProcess::NotRunning)
        loop.exec();
    CurlResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    return r;
}

// Header lines of a "curl -i" output, trimmed; and its body.
inline QList<QByteArray> headLines(const QByteArray &out)
{
    const int end = out.indexOf("\r\n\r\n");
    QList<QByteArray> lines = out.left(end < 0 ? out.size() : end).split('\n');
    for (QByteArray &l : lines)
        l = l.trimmed();
    return lines;
}

inline QByteArray bodyOf(const QByteArray &out)
{
    const int end = out.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : out.mid(end + 4);
}

} // namespace httptest
