// "zarvoctl fw fetch": the latest package of the cloud service, queried,
// downloaded and checked as the application does, with a progress bar.
#include "ToolCommands.h"

#include "comm/GlobalParams.h"
#include "download/PkgDownloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTextStream>

using vexo::pc::GlobalParams;
using vexo::pc::PkgDownloader;

namespace zarvoctl {

namespace {

constexpr int kBarWidth = 30;
constexpr qint64 kMiB = 1048576;

void drawBar(QTextStream &err, const QString &name, qint64 received, qint64 total)
{
    const int percent = total > 0 ? int(qMin<qint64>(received * 100 / total, 100)) : 0;
    const int filled = percent * kBarWidth / 100;
    err << '\r' << name << " [" << QString(filled, QLatin1Char('#')) << QString(kBarWidth - filled, QLatin1Char(' '))
        << "] " << qSetFieldWidth(3) << percent << qSetFieldWidth(0) << "% " << received / kMiB << '/'
        << total / kMiB << " MiB";
    err.flush();
}

} // namespace

FetchResult fetchPackage(const QJsonObject &request, const QString &dir, const QString &server)
{
    QTextStream err(stderr);
    PkgDownloader downloader;
    downloader.setRequest(request);
    downloader.setDownloadDir(dir);
    downloader.setQueryUrl(server); // this run only: the settings keep theirs

    QString name;
    qint64 total = 0;
    qint64 received = 0;
    PkgDownloader::InfoType last = PkgDownloader::INFO_ERROR;
    QString lastText = QStringLiteral("Failed to get package info!");
    QEventLoop loop;
    QObject::connect(&downloader, &PkgDownloader::notifyInfo, &loop,
                     [&](PkgDownloader::InfoType type, int value, const QString &info) {
                         last = type;
                         lastText = info;
                         if (type == PkgDownloader::INFO_PKG_SIZE) {
                             name = info;
                             total = value;
                             drawBar(err, name, 0, total);
                         } else if (type == PkgDownloader::INFO_PROGRESS) {
                             received += value;
                             drawBar(err, name, received, total);
                         } else if (type == PkgDownloader::INFO_DONE || type == PkgDownloader::INFO_UP_TO_DATE) {
                             drawBar(err, name, total, total);
                             err << '\n';
                         }
                     },
                     Qt::QueuedConnection);
    QObject::connect(&downloader, &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    downloader.start();
    loop.exec();
    downloader.wait();
    QCoreApplication::processEvents(); // the last queued reports

    FetchResult r;
    r.path = QDir(dir).filePath(name);
    r.upToDate = last == PkgDownloader::INFO_UP_TO_DATE;
    r.ok = last == PkgDownloader::INFO_DONE || r.upToDate;
    if (!r.ok) {
        if (received > 0 || total > 0)
            err << '\n';
        r.error = lastText;
    }
    return r;
}

int runFetchCommand(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    bool software = false;
    QString dir;
    QString server;
    // The camera's description instead of the stored one of the selected camera.
    static const QStringList fields = {QStringLiteral("product"), QStringLiteral("branch"), QStringLiteral("platform"),
                                       QStringLiteral("status"), QStringLiteral("version")};
    QJsonObject overrides;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--software")) {
            software = true;
        } else if (a.startsWith(QLatin1String("--")) && fields.contains(a.mid(2)) && i + 1 < args.size()) {
            overrides.insert(a.mid(2), args.at(++i));
        } else if ((a == QLatin1String("--dir") || a == QLatin1String("--server")) && i + 1 < args.size()) {
            (a == QLatin1String("--dir") ? dir : server) = args.at(++i);
        } else if (a == QLatin1String("-v") || a == QLatin1String("--verbose")) {
            continue;
        } else {
            err << "zarvoctl fw: fetch: unexpected argument " << a << '\n'
                << "Usage: zarvoctl fw fetch [--software] [--dir DIR] [--server URL] [--product P] [--branch B]\n"
                   "                        [--platform PL] [--status S] [--version V]\n";
            return ExitUsage;
        }
    }
    GlobalParams *params = GlobalParams::instance();
    if (dir.isEmpty()) {
        dir = software ? QStandardPaths::writableLocation(QStandardPaths::DownloadLocation)
                       : QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/firmware");
    }
    if (!QDir().mkpath(dir)) {
        err << "zarvoctl fw: fetch: cannot create " << dir << '\n';
        return ExitFailed;
    }

    QJsonObject request = software ? params->getPcSoftwareInfo() : params->getDevFirmwareInfo();
    for (auto it = overrides.constBegin(); it != overrides.constEnd(); ++it)
        request.insert(it.key(), it.value());
    const FetchResult r = fetchPackage(request, dir, server);
    if (r.ok) {
        out << (r.upToDate ? "up to date " : "downloaded ") << r.path << '\n';
        return ExitOk;
    }
    err << "zarvoctl fw: fetch: " << r.error << '\n';
    return ExitFailed;
}

} // namespace zarvoctl
