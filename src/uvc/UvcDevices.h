#pragma once

#include "uvc/DevDescription.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

namespace vexo {
namespace pc {

class CameraPlatform;
class UvcDevice;
using UvcDevicePtr = std::shared_ptr<UvcDevice>;

// The registry of connected cameras. Its thread rescans once a second:
// it finds cameras of the family among the video devices of the camera
// platform, creates, opens and initialises one UvcDevice for each new one
// (at most one per scan), finds network cameras through the address pool,
// and removes devices that are gone.
//
// Devices are shared: the registry holds one reference to every device it
// lists, and a lookup hands out another, so a device stays usable while a
// caller holds it even if the registry removes it meanwhile (a removed
// device is closed at once: its operations then fail by result). The last
// holder deletes it.
//
// The device list is guarded by a lock: the scans run on the registry
// thread, removal on request (onDevRemoved) on the thread that owns the
// registry object, and lookups on the user-interface thread.
class UvcDevices : public QThread
{
    Q_OBJECT

public:
    // The process-wide registry on CameraPlatform::instance(), created on
    // first use (its scan thread is not started: start() does that); it
    // stops with the application object.
    static UvcDevices *instance();

    // platform: the camera platform to scan (null: the process-wide one).
    explicit UvcDevices(QObject *parent = nullptr, CameraPlatform *platform = nullptr);
    ~UvcDevices() override;

    // One USB scan and one network scan.
    void detectDevByUvc();
    void detectDevByNet();

    // The recognised cameras among the platform's video devices; false when
    // the listing failed (the list is then empty).
    bool enumCameras(QList<DevDescription> &cameras);

    // The first registered device with this serial, or null.
    UvcDevicePtr findDevBySn(const QString &sn) const;
    // A snapshot of the registered devices.
    QList<UvcDevicePtr> devices() const;
    int count() const;

    // Serial number of the camera whose upgrade runs; empty when none.
    QString upgradingSerial() const;
    void setUpgradingSerial(const QString &sn);

    // A network address whose camera failed to initialise is tried again
    // after 1, 2, 4, ... scans, at most this many apart, until it succeeds or
    // the link goes away; one log line per streak of failures.
    static constexpr int MaxNetRetryScans = 30;
    // The camera platform the registry scans.
    CameraPlatform *platform() const { return graph_; }

    // Stops the scan loop (the destructor does this too).
    void stop();

public slots:
    void run() override;
    void onDevRemoved(const QString &devInfo);

signals:
    void devChanged(QByteArray uuid, bool flag);
    void devDisconnDuringUg();

private:
    void releaseAll();
    // Takes the first device that matches out of the list (null if none).
    UvcDevicePtr takeFirst(const std::function<bool(const UvcDevice &)> &match);
    // Announces a removed device and closes it; holders keep a closed device.
    void retire(const UvcDevicePtr &dev);
    bool isKnownPath(const QString &path) const;
    // Whether the network scan should try the address now (back-off).
    bool netRetryDue(const QString &ip);
    void netInitFailed(const QString &ip);

    struct NetRetry
    {
        int failures = 0;   // in a row
        int skipLeft = 0;   // scans to leave out before the next try
    };

    mutable std::mutex snLock_;
    QString upgradingSn_;
    mutable std::recursive_mutex listLock_;
    QList<UvcDevicePtr> devList_;
    std::atomic<bool> running_{true};
    std::atomic<bool> loopExited_{true};
    CameraPlatform *graph_;
    QHash<QString, NetRetry> netRetry_;  // registry thread only
};

} // namespace pc
} // namespace vexo
