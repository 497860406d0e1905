// zarvoctl on network cameras: one camera addressed directly (--net) or
// found by serial among those the network scan finds (--camera), and the
// commands info, upgrade, export-log and reboot over the camera's HTTP service.
#include "ToolCommands.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "httpserver/HttpServer.h"
#include "platform/CameraPlatform.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QTimer>

#include <memory>

namespace zarvoctl {

using vexo::pc::GlobalParams;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;

namespace {

constexpr int UpgradeTries = 5;
constexpr int UpgradeSilenceMs = 180000;
constexpr int ScanTimeMs = 15000;

const QStringList NetworkOnly = {QStringLiteral("upgrade"), QStringLiteral("export-log"), QStringLiteral("reboot")};

struct Options
{
    QString net;            // ADDRESS[:PORT]
    QString serial;
    QString hostPrefix;
    QStringList localIps;
    QString firmwareDir;
    int hostPort = -1;
    int devicePort = -1;
    bool json = false;
    QString command;
};

int fail(const QString &what, const QString &message, int code = ExitFailed)
{
    QTextStream(stderr) << "zarvoctl: " << what << ": " << message << '\n';
    return code;
}

void quietLog(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    static const bool verbose = qEnvironmentVariableIsSet("ZARVOCTL_VERBOSE");
    if (verbose || type == QtCriticalMsg || type == QtFatalMsg)
        QTextStream(stderr) << msg << '\n';
}

int parse(const QStringList &args, Options &o)
{
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        const auto value = [&](const char *opt) {
            const QString v = args.value(++i);
            if (v.isEmpty())
                fail(QLatin1String(opt), QStringLiteral("expects a value"), ExitUsage);
            return v;
        };
        if (a == QLatin1String("--net")) {
            if ((o.net = value("--net")).isEmpty())
                return ExitUsage;
        } else if (a == QLatin1String("--camera")) {
            if ((o.serial = value("--camera")).isEmpty())
                return ExitUsage;
        } else if (a == QLatin1String("--host-prefix")) {
            if ((o.hostPrefix = value("--host-prefix")).isEmpty())
                return ExitUsage;
        } else if (a == QLatin1String("--local-ip")) {
            const QString ip = value("--local-ip");
            if (QHostAddress(ip).protocol() != QAbstractSocket::IPv4Protocol)
                return fail(QStringLiteral("--local-ip"), QStringLiteral("expects an IPv4 address"), ExitUsage);
            o.localIps << ip;
        } else if (a == QLatin1String("--firmware-dir")) {
            if ((o.firmwareDir = value("--firmware-dir")).isEmpty())
                return ExitUsage;
        } else if (a == QLatin1String("--host-port")) {
            bool ok = false;
            o.hostPort = args.value(++i).toInt(&ok);
            if (!ok || o.hostPort < 0 || o.hostPort > 65535)
                return fail(QStringLiteral("--host-port"), QStringLiteral("expects 0..65535"), ExitUsage);
        } else if (a == QLatin1String("--device-port")) {
            bool ok = false;
            o.devicePort = args.value(++i).toInt(&ok);
            if (!ok || o.devicePort < 1 || o.devicePort > 65535)
                return fail(QStringLiteral("--device-port"), QStringLiteral("expects 1..65535"), ExitUsage);
        } else if (a == QLatin1String("--json")) {
            o.json = true;
        } else if (a == QLatin1String("--verbose")) {
            qputenv("ZARVOCTL_VERBOSE", "1");
        } else if (a.startsWith(QLatin1String("--"))) {
            return fail(a, QStringLiteral("unknown option (see zarvoctl --help)"), ExitUsage);
        } else if (o.command.isEmpty()) {
            o.command = a;
        } else {
            return fail(o.command, QStringLiteral("takes no arguments: ") + a, ExitUsage);
        }
    }
    if (o.command != QLatin1String("info") && !NetworkOnly.contains(o.command))
        return fail(o.command.isEmpty() ? QStringLiteral("usage") : o.command,
                    QStringLiteral("network cameras take info, upgrade, export-log or reboot"), ExitUsage);
    if (o.net.isEmpty() && o.serial.isEmpty())
        return fail(o.command, QStringLiteral("name the camera with --net ADDRESS[:PORT] or --camera SERIAL"),
                    ExitUsage);
    return ExitOk;
}

// The camera at --net, initialised where it is.
UvcDevicePtr direct(const Options &o, GlobalParams &params)
{
    const int colon = o.net.indexOf(QLatin1Char(':'));
    const QString ip = colon < 0 ? o.net : o.net.left(colon);
    if (colon >= 0)
        params.setDevicePort(quint16(o.net.mid(colon + 1).toUInt()));
    vexo::pc::DevDescription d;
    d.tempIpAddr = ip;
    auto dev = std::make_shared<UvcDevice>(d, nullptr, UvcDevice::DevModeNet);
    dev->setFixedAddress(true);
    return dev->initDev() ? dev : nullptr;
}

// The camera of --camera among those the network scan finds.
UvcDevicePtr scanned(const Options &o, vexo::pc::UvcDevices &registry)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < vexo::pc::TimeScale::ms(ScanTimeMs)) {
        registry.detectDevByNet();
        if (const UvcDevicePtr dev = registry.findDevBySn(o.serial))
            return dev;
        QThread::msleep(quint32(vexo::pc::TimeScale::ms(1000)));
    }
    return nullptr;
}

int info(const Options &o, UvcDevice &dev)
{
    QJsonObject i = dev.getInfo();
    i.insert(QStringLiteral("address"), dev.getIpAddr());
    i.insert(QStringLiteral("name"), dev.getName());
    if (o.json) {
        QTextStream(stdout) << QJsonDocument(i).toJson(QJsonDocument::Compact) << '\n';
    } else {
        QTextStream out(stdout);
        for (auto it = i.begin(); it != i.end(); ++it)
            out << qSetFieldWidth(9) << Qt::left << it.key() << qSetFieldWidth(0) << ' '
                << it.value().toVariant().toString() << '\n';
    }
    return ExitOk;
}

// Serves the firmware folder to the camera on the PC's address towards it,
// asks the camera to upgrade and follows its progress reports.
int upgrade(const Options &o, UvcDevice &dev, GlobalParams &params)
{
    QThread thread;
    auto *service = new vexo::pc::HttpServer(o.firmwareDir, o.hostPort >= 0 ? quint16(o.hostPort) : params.getHostPort(),
                                             QHostAddress(UvcDevice::serverIpFor(dev.getIpAddr())));
    service->moveToThread(&thread);
    QObject::connect(&thread, &QThread::started, service, &vexo::pc::HttpServer::initServer);
    QObject::connect(&thread, &QThread::finished, service, &QObject::deleteLater);
    thread.start();
    const auto stop = [&thread] {
        thread.quit();
        thread.wait();
    };
    QElapsedTimer t;
    t.start();
    while (!service->isListening() && t.elapsed() < 3000)
        QThread::msleep(5);
    if (!service->isListening()) {
        stop();
        return fail(QStringLiteral("upgrade"), QStringLiteral("cannot start the local service on ")
                                                   + UvcDevice::serverIpFor(dev.getIpAddr()));
    }
    params.setHostPort(service->serverPort());
    QTextStream out(stdout);
    out << "serving " << service->firmwareDir() << " on " << UvcDevice::serverIpFor(dev.getIpAddr()) << ':'
        << service->serverPort() << Qt::endl;

    QEventLoop loop;
    int result = -1;
    QTimer silence;
    silence.setSingleShot(true);
    silence.setInterval(vexo::pc::TimeScale::ms(UpgradeSilenceMs));
    QObject::connect(&silence, &QTimer::timeout, &loop, [&] {
        out << "no report from the camera for a long time" << Qt::endl;
        loop.quit();
    });
    QObject::connect(GlobalParams::instance(), &GlobalParams::devUpgradeProgress, &loop,
                     [&](GlobalParams::UgProgressEnum type, const QString &, const QString &msg) {
                         out << "progress " << int(type) << ' ' << msg << Qt::endl;
                         silence.start();
                         if (type == GlobalParams::UgSuccess || type == GlobalParams::UgFailed
                             || type == GlobalParams::UgBusy) {
                             result = type == GlobalParams::UgSuccess ? 0 : 1;
                             loop.quit();
                         }
                     });
    int ret = -1;
    for (int i = 0; i < UpgradeTries && ret != 0; ++i)
        ret = dev.reqDevUpgrade();
    if (ret != 0) {
        stop();
        return fail(QStringLiteral("upgrade"), QStringLiteral("the camera refused the upgrade"));
    }
    silence.start();
    loop.exec();
    stop();
    if (result != 0)
        return fail(QStringLiteral("upgrade"), QStringLiteral("the upgrade failed"));
    out << "upgraded; the camera reboots" << Qt::endl;
    return ExitOk;
}

} // namespace

bool isNetworkInvocation(const QStringList &args)
{
    for (const QString &a : args) {
        if (a == QLatin1String("--net") || a == QLatin1String("--local-ip") || a == QLatin1String("--host-prefix")
            || a == QLatin1String("--device-port") || a == QLatin1String("reboot"))
            return true;
    }
    return false;
}

QString networkHelpText()
{
    return QStringLiteral(
        "Network cameras:\n"
        "  --net ADDRESS[:PORT]  the camera at this address (PORT: the device_port setting)\n"
        "  --camera SERIAL       the camera of this serial among those the network scan finds;\n"
        "  --host-prefix P       the scan's address prefix (host_ip_prefix, e.g. 127.0.) and\n"
        "  --local-ip ADDRESS    an address this PC is taken to hold (repeatable)\n"
        "  --device-port N       the cameras' HTTP port (device_port)\n"
        "  info                  identity and device information\n"
        "  upgrade [--firmware-dir DIR] [--host-port N]\n"
        "                        serve DIR to the camera and let it upgrade itself\n"
        "  export-log            save the camera's log archive in the log folder\n"
        "  reboot                reboot the camera");
}

int runNetworkCommands(const QStringList &args)
{
    Options o;
    const int usage = parse(args, o);
    if (usage != ExitOk)
        return usage;
    qInstallMessageHandler(quietLog);

    // A pool of this run only; the application's settings stay untouched.
    QTemporaryDir scratch;
    const QString ini = scratch.path() + QStringLiteral("/zarvoctl.ini");
    if (!o.hostPrefix.isEmpty()) {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("local_server/host_ip_prefix"), o.hostPrefix);
    }
    if (!o.localIps.isEmpty()) {
        const QStringList ips = vexo::pc::Util::getLocalIps() + o.localIps;
        vexo::pc::Util::setLocalIpsProvider([ips] { return ips; });
    }
    GlobalParams params(ini);
    if (o.devicePort > 0)
        params.setDevicePort(quint16(o.devicePort));
    UvcDevice::setGlobalParams(&params);
    vexo::pc::CameraPlatform noUsb;
    vexo::pc::UvcDevices registry(nullptr, &noUsb);
    struct Reset
    {
        ~Reset() { UvcDevice::setGlobalParams(nullptr); }
    } reset;

    const UvcDevicePtr dev = o.net.isEmpty() ? scanned(o, registry) : direct(o, params);
    if (!dev)
        return fail(QStringLiteral("camera"), o.net.isEmpty() ? QStringLiteral("no network camera with serial ") + o.serial
                                                              : QStringLiteral("no camera answers at ") + o.net);
    if (!o.serial.isEmpty() && dev->getSn() != o.serial)
        return fail(QStringLiteral("camera"), QStringLiteral("the camera at %1 has serial %2").arg(o.net, dev->getSn()));

    if (o.command == QLatin1String("info"))
        return info(o, *dev);
    if (o.command == QLatin1String("upgrade"))
        return upgrade(o, *dev, params);
    if (o.command == QLatin1String("export-log")) {
        QString path;
        if (dev->getDevLogFile(&path) != 0)
            return fail(QStringLiteral("export-log"), QStringLiteral("the camera gave no log"));
        QTextStream(stdout) << path << '\n';
        return ExitOk;
    }
    if (!dev->reqDevReboot())
        return fail(QStringLiteral("reboot"), QStringLiteral("the camera refused or did not answer"));
    return ExitOk;
}

} // namespace zarvoctl
