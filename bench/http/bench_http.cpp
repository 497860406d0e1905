// Local HTTP service benchmark: a 64 MiB package to 8 concurrent clients,
// against nginx serving the same file in the same run, the service's peak
// memory while doing so, and requests per second on "/common" (one request
// per connection, as cameras ask, and kept connections). Rounds alternate
// between the service and nginx; each prints both figures and their ratio.
// Never fails on timing.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr qint64 kFileSize = 64LL * 1024 * 1024;
constexpr int kClients = 8;
constexpr int kRounds = 5;
constexpr int kRpsSeconds = 2;

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}

qint64 procStatusKiB(qint64 pid, const char *key)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(strlen(key))).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

bool waitForPort(quint16 port, int limitMs)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < limitMs) {
        QTcpSocket s;
        s.connectToHost(QHostAddress::LocalHost, port);
        if (s.waitForConnected(200))
            return true;
        QThread::msleep(50);
    }
    return false;
}

// All clients download `url` at once; MiB/s over the whole batch, or -1.
double downloadRound(const QString &url)
{
    QList<QProcess *> procs;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < kClients; ++i) {
        auto *p = new QProcess;
        p->start(QStringLiteral("curl"), {QStringLiteral("-sS"), QStringLiteral("--max-time"), QStringLiteral("120"),
                                          QStringLiteral("-o"), QStringLiteral("/dev/null"), QStringLiteral("-w"),
                                          QStringLiteral("%{size_download}"), url});
        procs << p;
    }
    bool ok = true;
    for (QProcess *p : procs) {
        p->waitForFinished(180000);
        ok = ok && p->exitCode() == 0 && p->readAllStandardOutput().toLongLong() == kFileSize;
    }
    const double secs = t.nsecsElapsed() / 1e9;
    qDeleteAll(procs);
    if (!ok)
        return -1;
    return kClients * kFileSize / (1024.0 * 1024.0) / secs;
}

// What the client says about its connection: nothing (the server's own
// rule applies), asks to keep it, or asks to close it.
enum class Connection { Default, KeepAlive, Close };

// Requests per second over `conns` connections for a few seconds, either
// keeping each connection or opening a new one per request.
double requestsPerSecond(quint16 port, const QByteArray &path, int conns, Connection connection)
{
    const bool keepAlive = connection == Connection::KeepAlive;
    const QByteArray request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n"
        + (keepAlive ? QByteArray("Connection: keep-alive\r\n")
                     : connection == Connection::Close ? QByteArray("Connection: close\r\n") : QByteArray())
        + "\r\n";
    qint64 done = 0;
    bool running = true;
    QEventLoop loop;
    struct Conn {
        QTcpSocket *socket = nullptr;
        QByteArray buf;
    };
    QList<Conn *> all;
    std::function<void(Conn *)> start;
    auto onData = [&](Conn *c) {
        c->buf += c->socket->readAll();
        for (;;) {
            const int headEnd = c->buf.indexOf("\r\n\r\n");
            if (headEnd < 0)
                return;
            const QByteArray head = c->buf.left(headEnd).toLower();
            const int cl = head.indexOf("content-length:");
            const int len = cl < 0 ? 0 : head.mid(cl + 15, head.indexOf('\r', cl) - cl - 15).trimmed().toInt();
            if (c->buf.size() < headEnd + 4 + len)
                return;
            c->buf.remove(0, headEnd + 4 + len);
            ++done;
            if (!running)
                return;
            if (keepAlive) {
                c->socket->write(request);
            } else {
                c->socket->abort();
                c->buf.clear();
                start(c);
                return;
            }
        }
    };
    start = [&](Conn *c) {
        if (c->socket)
            c->socket->deleteLater();
        c->socket = new QTcpSocket;
        QObject::connect(c->socket, &QTcpSocket::connected, c->socket, [c, &request]() { c->socket->write(request); });
        QObject::connect(c->socket, &QTcpSocket::readyRead, c->socket, [c, &onData]() { onData(c); });
        c->socket->connectToHost(QHostAddress::LocalHost, port);
    };
    for (int i = 0; i < conns; ++i) {
        auto *c = new Conn;
        all << c;
        start(c);
    }
    QElapsedTimer t;
    t.start();
    QTimer::singleShot(kRpsSeconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    running = false;
    const double secs = t.nsecsElapsed() / 1e9;
    for (Conn *c : all) {
        delete c->socket;
        delete c;
    }
    return done / secs;
}

QString nginxConfig(const QString &prefix, const QString &root, quint16 port)
{
    return QStringLiteral(
               "daemon off;\nworker_processes 1;\npid %1/nginx.pid;\nerror_log %1/error.log warn;\n"
               "events { worker_connections 1024; }\n"
               "http {\n  access_log off;\n  sendfile on;\n  tcp_nopush on;\n  keepalive_requests 1000000;\n"
               "  client_body_temp_path %1/body;\n  proxy_temp_path %1/proxy;\n  fastcgi_temp_path %1/fastcgi;\n"
               "  uwsgi_temp_path %1/uwsgi;\n  scgi_temp_path %1/scgi;\n"
               "  types { application/octet-stream bin; }\n"
               "  server {\n    listen 127.0.0.1:%3;\n    root %2;\n"
               "    location = /common { default_type application/json; return 200 '{\\n    \"errorcode\": 200,\\n    \"reason\": \"OK\"\\n}\\n'; }\n"
               "  }\n}\n")
        .arg(prefix, root)
        .arg(port);
}

double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? 0 : v.at(v.size() / 2);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QString stage = QCoreApplication::applicationDirPath() + QStringLiteral("/../stage/bin/");
    QTemporaryDir tmp;
    const QString fwDir = tmp.filePath(QStringLiteral("fw"));
    QDir().mkpath(fwDir);
    // nginx workers may run as another user: the files must be readable.
    const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup
        | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
    QFile::setPermissions(tmp.path(), open);
    QFile::setPermissions(fwDir, open);
    const QString name = QStringLiteral("L_B_X_1.0.0.1_release.bin");
    {
        QFile f(fwDir + QLatin1Char('/') + name);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray block(1024 * 1024, '\0');
        for (int i = 0; i < 64; ++i) {
            for (int j = 0; j < block.size(); j += 512)
                block[j] = char(i + j / 512);
            f.write(block);
        }
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    }

    // The service as users run it without the desktop.
    QProcess service;
    service.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    service.start(stage + QStringLiteral("zarvoctl"), {QStringLiteral("serve"), QStringLiteral("--port"), QStringLiteral("0"),
                                                        QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                                        QStringLiteral("--firmware-dir"), fwDir});
    if (!service.waitForStarted(5000) || !service.waitForReadyRead(10000)) {
        out() << "bench_http: cannot start " << stage << "zarvoctl serve\n";
        return 1;
    }
    const QByteArray line = service.readLine().trimmed();
    const quint16 servicePort = quint16(line.mid(line.lastIndexOf(':') + 1).toUInt());
    const qint64 servicePid = service.processId();

    // nginx on a private configuration, same file, same loopback.
    QProcess nginx;
    quint16 nginxPort = 0;
    const QString nginxBin = QStandardPaths::findExecutable(QStringLiteral("nginx"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
    if (!nginxBin.isEmpty()) {
        nginxPort = freePort();
        const QString prefix = tmp.filePath(QStringLiteral("nginx"));
        QDir().mkpath(prefix);
        QFile conf(prefix + QStringLiteral("/nginx.conf"));
        conf.open(QIODevice::WriteOnly);
        conf.write(nginxConfig(prefix, fwDir, nginxPort).toUtf8());
        conf.close();
        nginx.setProcessChannelMode(QProcess::ForwardedChannels);
        nginx.start(nginxBin, {QStringLiteral("-p"), prefix, QStringLiteral("-c"), conf.fileName()});
        if (!nginx.waitForStarted(5000) || !waitForPort(nginxPort, 5000)) {
            out() << "bench_http: nginx did not start; no reference\n";
            nginxPort = 0;
        }
    } else {
        out() << "bench_http: nginx not installed; no reference\n";
    }

    const QString serviceUrl = QStringLiteral("http://127.0.0.1:%1/download?cmd=1&product=L&branch=B&platform=X&version=1.0.0.1&status=release").arg(servicePort);
    const QString nginxUrl = QStringLiteral("http://127.0.0.1:%1/%2").arg(nginxPort).arg(name);

    const qint64 rssIdle = procStatusKiB(servicePid, "VmRSS:");
    const qint64 hwmIdle = procStatusKiB(servicePid, "VmHWM:");
    out().setRealNumberNotation(QTextStream::FixedNotation);
    out() << "download: " << kClients << " clients at once x 64 MiB; nginx: sendfile on, one worker, same file\n";
    QList<double> svc;
    QList<double> ref;
    QList<double> ratios;
    for (int r = 0; r < kRounds; ++r) {
        // Alternating, so that both see the same load of the machine.
        svc << downloadRound(serviceUrl);
        if (nginxPort)
            ref << downloadRound(nginxUrl);
        out().setRealNumberPrecision(1);
        out() << "  round " << r + 1 << ": service " << svc.last() << " MiB/s";
        if (nginxPort) {
            out() << ", nginx " << ref.last() << " MiB/s";
            ratios << svc.last() / ref.last();
            out().setRealNumberPrecision(2);
            out() << ", ratio " << ratios.last();
        }
        out() << '\n';
        out().flush();
    }
    const qint64 hwm = procStatusKiB(servicePid, "VmHWM:");
    out().setRealNumberPrecision(1);
    out() << "  median:  service " << median(svc) << " MiB/s";
    if (!ref.isEmpty()) {
        out() << ", nginx " << median(ref) << " MiB/s";
        out().setRealNumberPrecision(2);
        out() << ", ratio " << median(ratios) << " (median of the rounds' ratios; target >= 1.00)";
        out().setRealNumberPrecision(1);
    }
    out() << '\n';
    out() << "service memory: idle RSS " << rssIdle / 1024.0 << " MiB, peak " << hwm / 1024.0
          << " MiB, growth " << (hwm - qMax(rssIdle, hwmIdle)) / 1024.0 << " MiB (target < 32 MiB)\n";

    // One request per connection is how cameras talk to the service: its
    // answers close the connection unless asked otherwise, and nginx is told
    // to close by the client (Connection: close). Kept connections for
    // comparison only.
    struct RpsCase {
        const char *title;
        bool keepAlive;
        const char *target;
    };
    for (const RpsCase &c : {RpsCase{"one request per connection", false, "; target >= 0.80"},
                             RpsCase{"kept connections", true, ""}}) {
        out() << "/common, " << kClients << " clients at once, " << c.title << ":\n";
        QList<double> ours;
        QList<double> theirs;
        QList<double> rpsRatios;
        for (int r = 0; r < kRounds; ++r) {
            ours << requestsPerSecond(servicePort, "/common?cmd=1", kClients, c.keepAlive ? Connection::KeepAlive : Connection::Default);
            out().setRealNumberPrecision(0);
            out() << "  round " << r + 1 << ": service " << ours.last() << " req/s";
            if (nginxPort) {
                theirs << requestsPerSecond(nginxPort, "/common", kClients, c.keepAlive ? Connection::KeepAlive : Connection::Close);
                out() << ", nginx (fixed JSON) " << theirs.last() << " req/s";
                rpsRatios << ours.last() / theirs.last();
                out().setRealNumberPrecision(2);
                out() << ", ratio " << rpsRatios.last();
            }
            out() << '\n';
            out().flush();
        }
        out().setRealNumberPrecision(0);
        out() << "  median:  service " << median(ours) << " req/s";
        if (!theirs.isEmpty()) {
            out() << ", nginx " << median(theirs) << " req/s";
            out().setRealNumberPrecision(2);
            out() << ", ratio " << median(rpsRatios) << " (median of the rounds' ratios" << c.target << ')';
        }
        out() << '\n';
    }
    out().flush();

    service.terminate();
    service.waitForFinished(5000);
    if (nginx.state() != QProcess::NotRunning) {
        nginx.terminate();
        if (!nginx.waitForFinished(5000))
            nginx.kill();
        nginx.waitForFinished(2000);
    }
    return 0;
}
