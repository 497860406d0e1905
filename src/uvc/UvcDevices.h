#pragma once

#include "uvc/DevDescription.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QThread>

#include <atomic>
#include <mutex>

namespace vexo {
namespace pc {

class CameraPlatform;
class UvcDevice;

// The registry of connected cameras. Its thread rescans once a second:
// it finds cameras of the family among the video devices of the camera
// platform, creates, opens and initialises one UvcDevice for each new one
// (at most one per scan), finds network cameras through the address pool,
// and removes devices that are gone. It owns every device it registers.
//
// The device list is guarded by a lock: the scans run on the registry
// thread, removal on request (onDevRemoved) on the thread that owns the
// registry object, and lookups on the user-interface thread.
class UvcDevices : public QThread
{
    Q_OBJECT

public:
    // The process-wide registry on CameraPlatform::instance(), created on
    // first use (its scan thread is not started: start() does that).
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

    UvcDevice *findDevBySn(const QString &sn) const;
    // A snapshot of the registered devices.
    QList<UvcDevice *> devices() const;
    int count() const;

    // Serial number of the camera whose upgrade runs; empty when none.
    QString upgradingSerial() const;
    void setUpgradingSerial(const QString &sn);

    // Stops the scan loop (the destructor does this too).
    void stop();

public slots:
    void run() override;
    void onDevRemoved(const QString &devInfo);

signals:
    void devChanged(QByteArray uuid, bool flag);
    void devDisconnDuringUg();

private:
    void sleepWhileRunning(int productionMs);
    void deleteAll();
    // Stops a removed camera and deletes it where the interface can no longer be using it.
    void retire(UvcDevice *dev);
    bool isKnownPath(const QString &path) const;

    mutable std::mutex snLock_;
    QString upgradingSn_;
    mutable std::recursive_mutex listLock_;
    QList<UvcDevice *> devList_;
    std::atomic<bool> running_{true};
    std::atomic<bool> loopExited_{true};
    CameraPlatform *graph_;
};

} // namespace pc
} // namespace vexo
