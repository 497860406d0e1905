#pragma once

// Set-up of the main-window test: virtual cameras in the process-wide camera
// platform, seen by the device registry the window starts, with a log of the
// standard zoom control in between (zoom commands do not travel over the
// extension unit, so the camera's block log cannot time them).

#include "TestWait.h"
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
#include <QMutex>
#include <QPushButton>

#include <memory>
#include <vector>

namespace mwtest {

using namespace vexo::pc;
using testsupport::waitFor;

// Production waits of the device layer run twenty times faster: the
// registry's scan and initialisation, the worker cycle and with it the
// status polls. The window's own 100 ms rules stay as they are.
constexpr double Scale = 0.05;

// When (ms on one clock) zoom values were set through the standard control.
class ZoomLog
{
public:
    void add()
    {
        QMutexLocker l(&m_lock);
        m_times.push_back(m_clock.elapsed());
    }
    std::vector<qint64> times()
    {
        QMutexLocker l(&m_lock);
        return m_times;
    }
    void clear()
    {
        QMutexLocker l(&m_lock);
        m_times.clear();
    }
    ZoomLog() { m_clock.start(); }

private:
    QMutex m_lock;
    QElapsedTimer m_clock;
    std::vector<qint64> m_times;
};

inline ZoomLog &zoomLog()
{
    static ZoomLog log;
    return log;
}

// Forwards everything to the virtual camera's handle, noting zoom sets.
class ZoomLoggingDevice final : public CameraDevice
{
public:
    explicit ZoomLoggingDevice(std::shared_ptr<CameraDevice> inner)
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
        if (c == Control::Zoom)
            zoomLog().add();
        return m_inner->controlSet(c, value, flags);
    }
    bool panTiltSet(int pan, int tilt, int flags) override { return m_inner->panTiltSet(pan, tilt, flags); }
    int lastError() const override { return m_inner->lastError(); }

private:
    std::shared_ptr<CameraDevice> m_inner;
};

class ZoomLoggingBackend final : public CameraBackend
{
public:
    explicit ZoomLoggingBackend(std::shared_ptr<VirtualCameraBackend> inner)
        : m_inner(std::move(inner))
    {
    }
    QString name() const override { return m_inner->name(); }
    bool listDevices(VideoDeviceList &out) override { return m_inner->listDevices(out); }
    bool ownsPath(const QString &devicePath) const override { return m_inner->ownsPath(devicePath); }
    std::shared_ptr<CameraDevice> open(const QString &devicePath) override
    {
        std::shared_ptr<CameraDevice> device = m_inner->open(devicePath);
        return device ? std::make_shared<ZoomLoggingDevice>(device) : nullptr;
    }
    bool isSimulated() const override { return true; }

private:
    std::shared_ptr<VirtualCameraBackend> m_inner;
};

// Call once before the window exists: only virtual cameras.
inline void setUpPlatform()
{
    qputenv("ZARVO_REAL_CAMERAS", "0");
    TimeScale::setFactor(Scale);
    registerCameraStatusMetaType();
    std::shared_ptr<VirtualCameraBackend> backend = VirtualCameras::install(0);
    CameraPlatform::instance().removeBackend(backend);
    CameraPlatform::instance().addBackend(std::make_shared<ZoomLoggingBackend>(backend));
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
    return UvcDevices::instance()->findDevBySn(cam->serial());
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

inline QPushButton *button(QWidget *window, const char *name)
{
    return window->findChild<QPushButton *>(QLatin1String(name));
}

} // namespace mwtest
