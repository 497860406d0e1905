#pragma once

// The cloud stand-in (zarvo-cloudsim) as a child process of a test: started
// on a free loopback port, asked for the records it received, switched
// between answer modes, stopped with SIGTERM.

#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace testsupport {

class CloudStandIn
{
public:
    ~CloudStandIn() { stop(); }

    // Starts the stand-in serving firmwareDir; false when it does not come up.
    bool start(const QString &firmwareDir, const QStringList &extraArgs = {})
    {
        QString stage = QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR"));
        if (stage.isEmpty()) // run by hand: the stage sits beside the tests folder
            stage = QCoreApplication::applicationDirPath() + QStringLiteral("/../stage");
        m_proc.start(stage + QStringLiteral("/bin/zarvo-cloudsim"),
                     QStringList{QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--firmware-dir"), firmwareDir}
                         + extraArgs);
        if (!m_proc.waitForStarted(5000) || !m_proc.waitForReadyRead(5000))
            return false;
        // First line: "listening <address> <port>"
        m_port = quint16(m_proc.readLine().trimmed().split(' ').value(2).toUInt());
        m_seen = 0;
        return m_port != 0;
    }

    // Stops with SIGTERM; true when it ended cleanly with status 0.
    bool stop()
    {
        if (m_proc.state() == QProcess::NotRunning)
            return true;
        m_proc.terminate();
        if (!m_proc.waitForFinished(5000)) {
            m_proc.kill();
            m_proc.waitForFinished(3000);
            return false;
        }
        return m_proc.exitStatus() == QProcess::NormalExit && m_proc.exitCode() == 0;
    }

    quint16 port() const { return m_port; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }

    // Every record received since start. A stand-in that does not answer
    // fails the running test: an empty list then never passes for "nothing
    // was posted".
    QJsonArray allRecords()
    {
        int status = 0;
        const QByteArray body = call(QByteArrayLiteral("/sim/records"), QByteArray(), &status);
        const QJsonDocument doc = QJsonDocument::fromJson(body);
        if (status != 200 || !doc.isArray())
            QTest::qFail("the cloud stand-in did not list its records", __FILE__, __LINE__);
        return doc.array();
    }

    // Records received since the last markSeen().
    QJsonArray freshRecords()
    {
        const QJsonArray all = allRecords();
        QJsonArray fresh;
        for (int i = m_seen; i < all.size(); ++i)
            fresh.append(all.at(i));
        return fresh;
    }

    void markSeen() { m_seen = allRecords().size(); }

    // Fresh records once there are at least count of them, or what came by limitMs.
    QJsonArray waitForRecords(int count, int limitMs = 5000)
    {
        QElapsedTimer t;
        t.start();
        QJsonArray got = freshRecords();
        while (got.size() < count && t.elapsed() < limitMs && !QTest::currentTestFailed()) {
            QTest::qWait(20);
            got = freshRecords();
        }
        return got;
    }

    // Switches the answer mode ("normal", "silent", ...); true when accepted.
    bool setMode(const QString &mode)
    {
        const QJsonObject body{{QStringLiteral("mode"), mode}};
        int status = 0;
        call(QByteArrayLiteral("/sim/mode"), QJsonDocument(body).toJson(), &status);
        return status == 200;
    }

private:
    // GET (empty body) or POST to the stand-in; the answer's body.
    QByteArray call(const QByteArray &path, const QByteArray &body, int *status = nullptr)
    {
        qhttp::client::QHttpClient client;
        QByteArray answer;
        QEventLoop loop;
        const bool started = client.request(
            body.isEmpty() ? qhttp::EHTTP_GET : qhttp::EHTTP_POST,
            QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_port) + QString::fromLatin1(path)),
            [&](qhttp::client::QHttpRequest *req) {
                if (!body.isEmpty())
                    req->putHeader("content-type", "application/json");
                req->end(body);
            },
            [&](qhttp::client::QHttpResponse *res) {
                if (status)
                    *status = res->status();
                res->collectBody(-1);
                res->whenEnd([&, res]() {
                    answer = res->collectedBody();
                    loop.quit();
                });
            });
        QObject::connect(&client, &qhttp::client::QHttpClient::disconnected, &loop, &QEventLoop::quit);
        if (started) {
            QTimer::singleShot(3000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return answer;
    }

    QProcess m_proc;
    quint16 m_port = 0;
    int m_seen = 0;
};

} // namespace testsupport
