// Not a test: runs the main window with virtual cameras and saves pictures
// of its states (scripts/screenshots.sh runs it under Xvfb):
//   awake.png        a camera selected and running
//   asleep.png       the sleep page
//   vbg_on.png       virtual background on (blur)
//   greenscreen.png  virtual background on, green screen page
//   framing.png      auto framing on
//   compact.png      virtual background unavailable (compact layout)
//   nocamera.png     every camera unplugged
//   hotkeylist.png   the hotkey list the settings panel opens
// Usage: mainwindow_shots <output folder>

#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "camera/VirtualCameras.h"
#include "comm/TimeScale.h"
#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"
#include "zarvocam/HotKeyList.h"
#include "zarvocam/MainUserUi.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTextStream>
#include <QThread>

#include <functional>

using namespace vexo::pc;

namespace {

bool waitFor(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
    return true;
}

void settle(int ms)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

bool save(QWidget *window, const QString &dir, const QString &name)
{
    settle(300);
    const QString path = dir + QLatin1Char('/') + name;
    const bool ok = window->grab().save(path);
    QTextStream(stdout) << (ok ? "saved " : "FAILED ") << path << '\n';
    return ok;
}

QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("KAVORA_ZarvoCam"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screenshots");
    QDir().mkpath(out);

    // Multi-second waits of the device layer (initialisation, status polls)
    // run twenty times faster; the window's own rules are unchanged.
    TimeScale::setFactor(0.05);
    auto backend = VirtualCameras::install(2);

    auto *window = new MainUserUi();
    window->show();
    window->adjustAfterShow();

    int failures = 0;
    auto check = [&failures](bool ok, const char *what) {
        if (!ok) {
            QTextStream(stderr) << "timed out: " << what << '\n';
            ++failures;
        }
    };

    check(waitFor([&] { return window->devButtons().size() == 2 && !window->currentDevSn().isEmpty(); }, 20000),
          "two cameras");
    settle(500);
    failures += !save(window, out, QStringLiteral("awake.png"));

    button(window, "pbDevStatus")->click();
    check(waitFor([&] { return window->devSleep()->isVisible(); }, 3000), "sleep page");
    failures += !save(window, out, QStringLiteral("asleep.png"));

    // Resume without the hold-off of a freshly sent camera.
    window->devSleep()->setSleepTime(window->devSleep()->currentIndex(), 0);
    window->devSleep()->findChild<QPushButton *>(QStringLiteral("pbDevResume"))->click();
    check(waitFor([&] { return window->isAwake() && !window->devSleep()->isVisible(); }, 5000), "wake");
    settle(600);

    button(window, "pbVirtualBg")->click();
    check(waitFor([&] { return window->isBackgroundOn(); }, 3000), "background on");
    settle(600);
    failures += !save(window, out, QStringLiteral("vbg_on.png"));

    settle(300);
    button(window, "pbBgGreenScreen")->click();
    settle(600);
    failures += !save(window, out, QStringLiteral("greenscreen.png"));

    // The second camera: auto framing in single mode.
    window->shortcutNextDev();
    settle(600);
    for (const auto &cam : backend->cameras()) {
        if (cam->serial() == window->currentDevSn()) {
            cam->setStatusByte(0, 2);  // auto framing
            cam->setStatusByte(16, 1); // single
            cam->setStatusByte(17, 1); // upper body
            cam->setStatusByte(8, 40); // zoom
        }
    }
    check(waitFor([&] { return window->isFramingOn(); }, 5000), "framing");
    failures += !save(window, out, QStringLiteral("framing.png"));

    window->setVirtualBgAvailable(false);
    failures += !save(window, out, QStringLiteral("compact.png"));
    window->setVirtualBgAvailable(true);

    for (const auto &cam : backend->cameras())
        cam->unplug();
    check(waitFor([&] { return window->currentDevSn().isEmpty() && window->devButtons().size() == 1; }, 5000),
          "no camera");
    failures += !save(window, out, QStringLiteral("nocamera.png"));

    HotKeyList hotkeys;
    hotkeys.show();
    failures += !save(&hotkeys, out, QStringLiteral("hotkeylist.png"));
    hotkeys.close();

    window->close();
    delete window;
    return failures == 0 ? 0 : 1;
}
