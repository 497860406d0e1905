#pragma once

// Set-up of the main-window test: virtual cameras in the process-wide camera
// platform, seen by the device registry the window starts.

#include "TestWait.h"
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "camera/VirtualCameras.h"
#include "comm/AppTask.h"
#include "comm/TimeScale.h"
#include "platform/CameraDevice.h"
#include "uicomm/DevButton.h"
#include "uicomm/MsgInfoUi.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "zarvocam/MainUserUi.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QPushButton>
#include <QTimer>

#include <memory>
#include <vector>

namespace mwtest {

using namespace vexo::pc;
using testsupport::waitFor;

// Production waits of the device layer run twenty times faster: the
// registry's scan and initialisation, the worker cycle and with it the
// status polls. The window's own 100 ms rules stay as they are.
constexpr double Scale = 0.05;

// Call once before the window exists: only virtual cameras, and the
// window's usage reports refused at once (not sent to a stand-in in use).
inline void setUpPlatform()
{
    // The test's own settings file: without one in the data root the
    // settings would be read from and saved to the build tree's, which
    // every test program shares.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/config");
    QDir().mkpath(config);
    QFile::remove(config + QStringLiteral("/kavora_win_x64.ini"));
    QFile::copy(qEnvironmentVariable("ZARVO_STAGE_DIR") + QStringLiteral("/config/kavora_win_x64.ini"),
                config + QStringLiteral("/kavora_win_x64.ini"));
    qputenv("ZARVO_REAL_CAMERAS", "0");
    AppTask::setReportBaseUrl(QStringLiteral("http://127.0.0.1:9/"));
    TimeScale::setFactor(Scale);
    registerCameraStatusMetaType();
    VirtualCameras::install(0);
}

// Adds count cameras and waits until the window shows all of them.
inline std::vector<std::shared_ptr<VirtualCamera>> plugCameras(MainUserUi *window, int count)
{
    const int before = int(VirtualCameras::backend()->cameras().size());
    VirtualCameras::install(count);
    std::vector<std::shared_ptr<VirtualCamera>> all = VirtualCameras::backend()->cameras();
    std::vector<std::shared_ptr<VirtualCamera>> added(all.begin() + before, all.end());
    waitFor([&] {
        int shown = 0;
        for (const auto &cam : added) {
            for (const DevButton *b : window->devButtons())
                shown += b->isOccupied() && b->devSn() == cam->serial();
        }
        return shown == count;
    }, 10000);
    return added;
}

// Unplugs every camera and waits for the lone "None" button.
inline bool unplugAll(MainUserUi *window)
{
    for (const auto &cam : VirtualCameras::backend()->cameras())
        cam->unplug();
    return waitFor([&] {
        return window->devButtons().size() == 1 && !window->devButtons().first()->isOccupied()
               && UvcDevices::instance()->count() == 0;
    }, 10000);
}

inline UvcDevice *device(const std::shared_ptr<VirtualCamera> &cam)
{
    return UvcDevices::instance()->findDevBySn(cam->serial()).get();
}

// Command blocks of one code the camera received on selector 6.
inline QList<QByteArray> blocks(const std::shared_ptr<VirtualCamera> &cam, int code)
{
    QList<QByteArray> out;
    for (const QByteArray &b : cam->blocksWritten(6)) {
        if (!b.isEmpty() && quint8(b.at(0)) == code)
            out.append(b);
    }
    return out;
}

// The value byte of the last command block of one code; -1 when none.
inline int lastCommand(const std::shared_ptr<VirtualCamera> &cam, int code, int byte = 2)
{
    const QList<QByteArray> sent = blocks(cam, code);
    return sent.isEmpty() ? -1 : quint8(sent.last().at(byte));
}

// A status block as the camera would report it.
inline CameraStatus status(int runState = CameraStatus::RunStateRunning)
{
    CameraStatus s;
    s.data[CameraStatus::RunState] = quint8(runState);
    return s;
}

// The message box on screen, if any.
inline MsgInfoUi *openMessageBox()
{
    MsgInfoUi *box = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        box = w->isVisible() && qobject_cast<MsgInfoUi *>(w) ? qobject_cast<MsgInfoUi *>(w) : box;
    return box;
}

// Presses Yes or No of the next message box once it runs; *shown tells
// whether one did. Nothing happens once context is gone, so an answer that
// found no box cannot reach a later test.
inline void answerBox(QObject *context, bool yes, bool *shown = nullptr)
{
    QTimer::singleShot(0, context, [yes, shown] {
        MsgInfoUi *box = openMessageBox();
        if (shown)
            *shown = box != nullptr;
        if (box)
            box->findChild<QPushButton *>(yes ? QStringLiteral("pbYes") : QStringLiteral("pbNo"))->click();
    });
}

inline QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace mwtest
