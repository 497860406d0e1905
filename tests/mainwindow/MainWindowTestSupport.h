#pragma once

// Shared set-up of the main-window tests: virtual cameras in the process-wide
// camera platform, seen by the device registry the window starts, with a
// counter of the standard zoom control in between (zoom commands do not
// travel over the extension unit, so the camera's block log cannot count
// them).

#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "camera/VirtualCameras.h"
#include "comm/TimeScale.h"
#include "platform/CameraBackend.h"
#include "platform/CameraDevice.h"
#include "platform/CameraPlatform.h"
#include "uicomm/DevButton.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "zarvocam/MainUserUi.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

namespace mwtest {

using namespace vexo::pc;

// Production waits of the device layer run twenty times faster: the
// registry's 1 s scan and 2 s initialisation, the 20 ms worker cycle and
// with it the status polls. The window's own 100 ms rules stay as they are.
constexpr double Scale = 0.05;

// Counts the zoom values set through the standard camera control.
struct ZoomLog
{
    std::atomic<int> sets{0};
    std::atomic<int> lastValue{-1};
};

inline ZoomLog &zoomLog()
{
    static ZoomLog log;
    return log;
}

class CountingDevice final : public CameraDevice
{
public:
    explicit CountingDevice(std::shared_ptr<CameraDevice> inner)
        : m_inner(std::move(inner))
    {
    }
    bool xuInit() override { return m_inner->xuInit(); }
    int xuGet(int selector, uchar *buf, int len) override { return m_inner->xuGet(selector, buf, len); }
    int xuSet(int selector, const uchar *buf, int len) override { return m_inner->xuSet(selector, buf, len); }
    bool controlRange(Control c, Range &range) override { return m_inner->controlRange(c, range); }
    bool controlGet(Control c, int &value, int &flags) override { return m_inner->controlGet(c, value, flags); }
    bool controlSet(Control c, int value, int flags) override
    {
        if (c == Control::Zoom) {
            zoomLog().sets.fetch_add(1);
            zoomLog().lastValue.store(value);
        }
        return m_inner->controlSet(c, value, flags);
    }
    bool panTiltSet(int pan, int tilt, int flags) override { return m_inner->panTiltSet(pan, tilt, flags); }
    int lastError() const override { return m_inner->lastError(); }

private:
    std::shared_ptr<CameraDevice> m_inner;
};

class CountingBackend final : public CameraBackend
{
public:
    explicit CountingBackend(std::shared_ptr<VirtualCameraBackend> inner)
        : m_inner(std::move(inner))
    {
    }
    QString name() const override { return m_inner->name(); }
    bool listDevices(VideoDeviceList &out) override { return m_inner->listDevices(out); }
    bool ownsPath(const QString &devicePath) const override { return m_inner->ownsPath(devicePath); }
    std::shared_ptr<CameraDevice> open(const QString &devicePath) override
    {
        std::shared_ptr<CameraDevice> device = m_inner->open(devicePath);
        return device ? std::make_shared<CountingDevice>(device) : nullptr;
    }
    bool isSimulated() const override { return true; }

private:
    std::shared_ptr<VirtualCameraBackend> m_inner;
};

// Call once before the window exists: only virtual cameras, seen through
// the counting backend.
inline void setUpPlatform()
{
    qputenv("ZARVO_REAL_CAMERAS", "0");
    TimeScale::setFactor(Scale);
    registerCameraStatusMetaType();
    std::shared_ptr<VirtualCameraBackend> backend = VirtualCameras::install(0);
    CameraPlatform::instance().removeBackend(backend);
    CameraPlatform::instance().addBackend(std::make_shared<CountingBackend>(backend));
}

inline bool waitFor(const std::function<bool()> &pred, int timeoutMs = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QTest::qWait(5);
    }
    return true;
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

// A status block as the camera would report it: running, standard mode.
inline CameraStatus status(int runState = 1)
{
    CameraStatus s;
    s.data[CameraStatus::RunState] = quint8(runState);
    return s;
}

inline QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

// Answers the next modal message box with its Yes (true) or No button;
// gives up after about five seconds.
template<typename Box>
void answerBox(bool yes, int triesLeft = 500)
{
    QTimer::singleShot(10, [yes, triesLeft] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<Box *>(w);
            if (box && box->isVisible()) {
                QPushButton *b = box->template findChild<QPushButton *>(yes ? QStringLiteral("pbYes")
                                                                            : QStringLiteral("pbNo"));
                b->click();
                return;
            }
        }
        if (triesLeft > 0)
            answerBox<Box>(yes, triesLeft - 1);
    });
}

} // namespace mwtest
