#include "ToolCommands.h"

#include "comm/GlobalParams.h"
#include "comm/StopSignals.h"
#include "httpserver/HttpServer.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

namespace zarvoctl {

namespace {

void printServeUsage(QTextStream &out)
{
    out << "Usage: zarvoctl serve [--port N] [--firmware-dir DIR] [--bind ADDR]\n\n"
        << "Runs the local HTTP service network cameras upgrade from, without the\n"
        << "desktop application. Packages are served from DIR (default: the\n"
        << "application's firmware folder); N defaults to the host_port setting;\n"
        << "ADDR defaults to every IPv4 interface. Progress reports are printed as\n"
        << "they arrive. Stops on SIGINT or SIGTERM.\n";
}

} // namespace

QString serveHelpLine()
{
    return QStringLiteral("  serve [--port N] [--firmware-dir DIR]   local HTTP service for network cameras");
}

int runServeCommand(const QStringList &args)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString dir;
    QHostAddress address(QHostAddress::AnyIPv4);
    int port = -1;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            printServeUsage(out);
            return ExitOk;
        } else if (a == QLatin1String("--port") && hasValue) {
            bool ok = false;
            port = args.at(++i).toInt(&ok);
            if (!ok || port < 0 || port > 65535) {
                err << "zarvoctl serve: bad port: " << args.at(i) << '\n';
                return ExitUsage;
            }
        } else if (a == QLatin1String("--firmware-dir") && hasValue) {
            dir = args.at(++i);
        } else if (a == QLatin1String("--bind") && hasValue) {
            if (!address.setAddress(args.at(++i))) {
                err << "zarvoctl serve: bad address: " << args.at(i) << '\n';
                return ExitUsage;
            }
        } else {
            err << "zarvoctl serve: unexpected argument: " << a << '\n';
            printServeUsage(err);
            return ExitUsage;
        }
    }
    if (!dir.isEmpty() && !QDir(dir).exists()) {
        err << "zarvoctl serve: no such folder: " << dir << '\n';
        return ExitFailed;
    }

    using vexo::pc::GlobalParams;
    vexo::pc::HttpServer server(dir);
    if (port >= 0)
        server.setPort(static_cast<quint16>(port));
    bool failed = false;
    QObject::connect(&server, &vexo::pc::HttpServer::errorOccurred, [&](const QString &error) {
        err << "zarvoctl serve: cannot listen: " << error << Qt::endl;
        failed = true;
    });
    QObject::connect(GlobalParams::instance(), &GlobalParams::devUpgradeProgress, &server,
                     [&out](GlobalParams::UgProgressEnum type, const QString &uuid, const QString &msg) {
                         out << "progress uuid=" << uuid << " type=" << int(type) << " msg=" << msg << Qt::endl;
                     });
    server.initServer();
    if (failed)
        return ExitFailed;
    out << "serving " << QDir(server.firmwareDir()).absolutePath() << " on " << address.toString() << ':'
        << server.serverPort() << Qt::endl;

    if (!vexo::pc::StopSignals::install()) {
        err << "zarvoctl serve: cannot set up signal handling\n";
        return ExitFailed;
    }
    QCoreApplication::exec();
    vexo::pc::StopSignals::restore();
    server.stopServer();
    out << "stopped" << Qt::endl;
    return ExitOk;
}

} // namespace zarvoctl
