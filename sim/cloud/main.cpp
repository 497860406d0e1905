// zarvo-cloudsim: a local stand-in for the cloud service.
#include "CloudSimulator.h"

#include "comm/StopSignals.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zarvo-cloudsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers firmware and software queries, serves packages and records reports, "
        "as the cloud service would. Modes: normal, error:N, http:N, malformed, no-errorcode, "
        "two-packages, packages-object, wrong-md5, upper-md5, silent, slow, short-body, stall, "
        "download-http:N (switch at run time with POST /sim/mode {\"mode\": ...})."));
    parser.addHelpOption();
    const QCommandLineOption portOpt(QStringLiteral("port"), QStringLiteral("TCP port (0: any free port)."),
                                     QStringLiteral("N"), QStringLiteral("18080"));
    const QCommandLineOption bindOpt(QStringLiteral("bind"), QStringLiteral("Address to listen on."),
                                     QStringLiteral("ADDR"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption dirOpt(QStringLiteral("firmware-dir"), QStringLiteral("Folder of package files."),
                                    QStringLiteral("DIR"));
    const QCommandLineOption recordOpt(QStringLiteral("record"),
                                       QStringLiteral("Append every received request to FILE as JSON lines."),
                                       QStringLiteral("FILE"));
    const QCommandLineOption modeOpt(QStringLiteral("mode"), QStringLiteral("Initial answer mode."),
                                     QStringLiteral("MODE"), QStringLiteral("normal"));
    const QCommandLineOption slowOpt(QStringLiteral("slow-ms"), QStringLiteral("Pause between slices in slow mode."),
                                     QStringLiteral("MS"), QStringLiteral("200"));
    const QCommandLineOption baseOpt(QStringLiteral("base-url"), QStringLiteral("Base of the package URLs."),
                                     QStringLiteral("URL"));
    parser.addOptions({portOpt, bindOpt, dirOpt, recordOpt, modeOpt, slowOpt, baseOpt});
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    vexo::pc::CloudSimulator sim;
    const QString mode = parser.value(modeOpt);
    if (!vexo::pc::CloudSimulator::isValidMode(mode)) {
        err << "zarvo-cloudsim: unknown mode: " << mode << '\n';
        return 2;
    }
    sim.setMode(mode);
    sim.setFirmwareDir(parser.value(dirOpt));
    sim.setSlowPauseMs(parser.value(slowOpt).toInt());
    if (parser.isSet(baseOpt))
        sim.setBaseUrl(parser.value(baseOpt));
    if (parser.isSet(recordOpt) && !sim.setRecordFile(parser.value(recordOpt))) {
        err << "zarvo-cloudsim: cannot open record file " << parser.value(recordOpt) << '\n';
        return 1;
    }
    bool portOk = false;
    const uint port = parser.value(portOpt).toUInt(&portOk);
    if (!portOk || port > 65535) {
        err << "zarvo-cloudsim: bad port\n";
        return 2;
    }
    if (!sim.start(parser.value(bindOpt), static_cast<quint16>(port))) {
        err << "zarvo-cloudsim: cannot listen: " << sim.errorString() << '\n';
        return 1;
    }
    // The first line tells scripts and tests where we listen.
    out << "listening " << parser.value(bindOpt) << ' ' << sim.port() << Qt::endl;

    if (!vexo::pc::StopSignals::install())
        return 1;
    return app.exec();
}
