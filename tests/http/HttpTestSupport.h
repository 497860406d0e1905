#pragma once

#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"

#include <QEventLoop>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <QUrl>

// Shared helpers of the HTTP tests: one request run to its end on a local
// event loop, and curl as a client we did not write.
namespace httptest {

struct Reply {
    bool ended = false;
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
    QEventLoop loop; // the connections to it end with it
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    QObject::connect(&client, &qhttp::client::QHttpClient::connectingTimeOut, &loop, &QEventLoop::quit);
    QObject::connect(&client, &qhttp::client::QHttpClient::disconnected, &loop, &QEventLoop::quit);
    const bool started = client.request(
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
    if (started) {
        client.setConnectTimeout(static_cast<quint32>(qMin(limitMs, 5000)));
        loop.exec();
    }
    return r;
}

// The values of comma-separated keys as text, joined by "|"; absent keys give "".
inline QString values(const QJsonObject &o, const char *keys)
{
    QStringList out;
    for (const QString &k : QString::fromLatin1(keys).split(QLatin1Char(',')))
        out << o.value(k).toVariant().toString();
    return out.join(QLatin1Char('|'));
}

// Runs curl while this thread's event loop keeps serving; what it printed.
inline QByteArray curl(const QStringList &args)
{
    QProcess p;
    QEventLoop loop;
    QObject::connect(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), &loop, &QEventLoop::quit);
    QObject::connect(&p, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    p.start(QStringLiteral("curl"), QStringList{QStringLiteral("-sS"), QStringLiteral("--max-time"), QStringLiteral("10")} + args);
    if (p.state() != QProcess::NotRunning)
        loop.exec();
    return p.readAllStandardOutput();
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
