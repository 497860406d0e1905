// zarvo-netcam: one virtual network camera, to try the network path by hand.
// The PC side must hold the ".20" address of the camera's segment (for a
// loopback run: the camera at 127.0.89.10, host_ip_prefix "127.0.").
#include "netcam/VirtualNetCamera.h"

#include "comm/StopSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zarvo-netcam"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual network camera: answers /query_device_info, /run_shell_script, /change_ip, "
        "/start_upgrade (then fetches its firmware from the PC's local service and reboots) and /download_log."));
    parser.addHelpOption();
    const QCommandLineOption bindOpt(QStringLiteral("bind"), QStringLiteral("The camera's address."),
                                     QStringLiteral("ADDRESS"), QStringLiteral("127.0.89.10"));
    const QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("HTTP port (the device_port setting)."),
                                     QStringLiteral("N"), QStringLiteral("10086"));
    const QCommandLineOption serialOpt(QStringLiteral("serial"), QStringLiteral("Serial number (14 characters)."),
                                       QStringLiteral("S"));
    const QCommandLineOption versionOpt(QStringLiteral("fw-version"), QStringLiteral("Firmware version, dotted."),
                                        QStringLiteral("V"), QStringLiteral("1.2.3.4"));
    const QCommandLineOption faultOpt(QStringLiteral("fault"),
                                      QStringLiteral("none, silent, invalid-json, empty-object, numeric-errorcode, "
                                                     "refuse-upgrade or lose-link."),
                                      QStringLiteral("NAME"), QStringLiteral("none"));
    const QCommandLineOption rebootOpt(QStringLiteral("reboot-ms"), QStringLiteral("How long a reboot takes."),
                                       QStringLiteral("MS"), QStringLiteral("5000"));
    const QCommandLineOption logOpt(QStringLiteral("log"), QStringLiteral("File served by /download_log."),
                                    QStringLiteral("FILE"));
    parser.addOptions({bindOpt, portOpt, serialOpt, versionOpt, faultOpt, rebootOpt, logOpt});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    vexo::pc::VirtualNetCamera camera;
    vexo::pc::VirtualNetCamera::Fault fault;
    if (!vexo::pc::VirtualNetCamera::faultFromName(parser.value(faultOpt), &fault)) {
        err << "zarvo-netcam: unknown fault: " << parser.value(faultOpt) << '\n';
        return 2;
    }
    camera.setFault(fault);
    if (parser.isSet(serialOpt))
        camera.setSerial(parser.value(serialOpt));
    camera.setVersion(parser.value(versionOpt));
    camera.setRebootMs(parser.value(rebootOpt).toInt());
    if (parser.isSet(logOpt)) {
        QFile f(parser.value(logOpt));
        if (!f.open(QIODevice::ReadOnly)) {
            err << "zarvo-netcam: cannot read " << f.fileName() << '\n';
            return 1;
        }
        camera.setLog(f.readAll(), QFileInfo(f).fileName());
    }
    bool portOk = false;
    const uint port = parser.value(portOpt).toUInt(&portOk);
    if (!portOk || port > 65535) {
        err << "zarvo-netcam: bad port\n";
        return 2;
    }
    if (!camera.start(parser.value(bindOpt), static_cast<quint16>(port))) {
        err << "zarvo-netcam: cannot listen at " << parser.value(bindOpt) << ':' << port << '\n';
        return 1;
    }
    // The first line tells scripts where we listen.
    out << "listening " << camera.address() << ' ' << camera.port() << " serial " << camera.serial() << Qt::endl;

    if (!vexo::pc::StopSignals::install())
        return 1;
    return app.exec();
}
