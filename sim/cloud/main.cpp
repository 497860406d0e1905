// zarvo-cloudsim: a local stand-in for the cloud service.
#include "CloudSimulator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_wake[2] = {-1, -1};

void onStopSignal(int)
{
    // Async-signal-safe: only wake the event loop.
    const char c = 1;
    const ssize_t n = ::write(g_wake[0], &c, 1);
    (void)n;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zarvo-cloudsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers firmware and software queries, serves packages and records reports, "
        "as the cloud service would. Modes: normal, error:N, http:N, malformed, no-errorcode, "
        "two-packages, silent, slow (switch at run time with POST /sim/mode {\"mode\": ...})."));
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

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_wake) != 0)
        return 1;
    QSocketNotifier wake(g_wake[1], QSocketNotifier::Read);
    QObject::connect(&wake, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return app.exec();
}
