#include "3rdparty/qbreakpad/handler/CrashTrigger.h"
#include "main/KAVORAApp.h"
#include "main/QuitOnSignal.h"
#include "main/SingleInstanceGuard.h"
#include "main/StartupSupport.h"

#include <QMessageBox>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

namespace {

// Without a display the program still runs, on the offscreen platform.
void chooseOffscreenWithoutDisplay(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY")
        || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    bool quiet = false;
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        quiet = quiet || a == "--version" || a == "-V" || a == "--help" || a == "-h";
    }
    if (!quiet)
        std::fprintf(stderr, "No display found: running on the offscreen platform (no window is shown).\n");
}

} // namespace

int main(int argc, char *argv[])
{
    chooseOffscreenWithoutDisplay(argc, argv);

    // 1-3: attributes, application object, name.
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    KAVORAApp app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KAVORA_ZarvoCam"));

    // 4: one copy at a time.
    SingleInstanceGuard guard(QCoreApplication::applicationName());
    if (!guard.acquire()) {
        QString text, title;
        startup::secondInstanceTexts(&text, &title);
        if (startup::platformHasScreen())
            QMessageBox::warning(nullptr, title, text, QMessageBox::Ok, QMessageBox::NoButton);
        else
            QTextStream(stderr) << title << ": " << text << '\n';
        return 0;
    }

    // 5: pattern of the default message handler (used with --log_std).
    qSetMessagePattern(QStringLiteral(
        "[%{time yyyyMMdd h:mm:ss.zzz} %{if-debug}D%{endif}%{if-info}I%{endif}%{if-warning}W%{endif}"
        "%{if-critical}C%{endif}%{if-fatal}F%{endif}] %{function}:%{line} - %{message}"));

    // 6: working folders and default configuration files.
    startup::prepareBeforeRunning();

    // 7: command line.
    bool logToStd = false;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            QTextStream(stdout) << startup::helpText();
            if (startup::platformHasScreen())
                QMessageBox::information(nullptr, QStringLiteral("Help"), startup::helpText());
            return 0;
        }
        if (a == QLatin1String("--version") || a == QLatin1String("-V")) {
            QTextStream(stdout) << startup::versionLine() << '\n';
            return 0;
        }
        if (a == QLatin1String("--log_std"))
            logToStd = true;
    }

    startup::startServices(&app, logToStd);
    app.showMainWindow();

    // Deliberate crashes, to check the crash dumps of a real start-up.
    const QByteArray crashTest = qgetenv("ZARVO_CRASH_TEST");
    if (!crashTest.isEmpty())
        crashdump::crashForTest(crashTest.constData());

    QuitOnSignal quitOnSignal([&app] {
        if (QWidget *w = app.mainWindow())
            w->close();
        else
            QCoreApplication::quit();
    });
    return app.exec();
}
