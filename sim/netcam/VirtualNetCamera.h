#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

class QThread;

namespace vexo {
namespace pc {

class VirtualCamera;

// A model of a network-attached camera's small HTTP service: it answers
// "/query_device_info", "/run_shell_script" (reboot), "/change_ip",
// "/start_upgrade" and "/download_log". Told to upgrade, it asks the PC's
// local service for its firmware ("/query", "/download"), posts its progress
// there, reboots and comes back with the new version.
//
// The service runs on a thread of its own, so a caller may wait for it
// synchronously. Every public call is thread safe.
//
// Network links are modelled, not made: while the camera's link is up, the
// PC holds the ".20" address of the camera's segment. installLocalIps()
// makes the process's list of local addresses (Util::getLocalIps) show it,
// so the device registry finds the camera as it would on a real link.
//
// A camera tied to a USB virtual camera (attachUsbCamera) starts in USB
// mode: no network link, the USB camera plugged. Asked to change its address
// (to switch to its network connection), it unplugs the USB camera and
// brings the link up: the same camera, now a network camera.
class VirtualNetCamera final
{
public:
    enum class Fault {
        None,
        Silent,            // accepts connections, never answers
        InvalidJson,       // JSON answers are not JSON
        EmptyObject,       // JSON answers are "{}"
        NumericErrorcode,  // "errorcode" as the number 200, not the string
        RefuseUpgrade,     // "/start_upgrade" answers an empty object
        LoseLinkMidDownload, // the link drops while the package downloads
    };

    // One request the camera received.
    struct Request
    {
        QString method;
        QString path;
        QByteArray body;
        QByteArray contentType;
    };

    VirtualNetCamera();
    ~VirtualNetCamera();
    VirtualNetCamera(const VirtualNetCamera &) = delete;
    VirtualNetCamera &operator=(const VirtualNetCamera &) = delete;

    // Listens at address:port (port 0: any free port) and brings the link up
    // (unless tied to a USB camera). False when the address cannot be bound.
    bool start(const QString &address, quint16 port);
    void stop();
    QString address() const;
    quint16 port() const;
    // The PC's address towards the camera: the camera's segment + ".20".
    QString pcAddress() const;
    bool linkUp() const;

    // ---- identity ----
    QString serial() const;
    void setSerial(const QString &serial);
    QByteArray uuid() const;               // 24 bytes; "seqid" is its hex
    void setUuid(const QByteArray &uuid);
    QString version() const;               // dotted
    void setVersion(const QString &version);
    // product, branch, platform, status of the device information.
    void setProduct(const QString &product, const QString &platform);
    QJsonObject deviceInfo() const;
    // Overrides or adds one key of the "/query_device_info" answer.
    void setInfoValue(const QString &key, const QJsonValue &value);

    // Ties the camera to a USB virtual camera (identity copied from it);
    // the camera then starts in USB mode.
    void attachUsbCamera(const std::shared_ptr<VirtualCamera> &usb);

    // ---- behaviour ----
    void setFault(Fault fault);
    Fault fault() const;
    // Fault names for the command line: none, silent, invalid-json,
    // empty-object, numeric-errorcode, refuse-upgrade, lose-link.
    static bool faultFromName(const QString &name, Fault *fault);
    // The log archive "/download_log" serves.
    void setLog(const QByteArray &content, const QString &fileName);
    // How long a reboot keeps the camera away (production ms, TimeScale).
    void setRebootMs(int ms);
    // Steps reported between the download and the success.
    void setUpgradeSteps(int steps);

    // ---- observation ----
    QList<Request> requests() const;
    int requestCount(const QString &path) const;
    int rebootCount() const;
    int upgradeCount() const;   // upgrades completed
    // The progress reports posted to the PC (their JSON bodies).
    QList<QJsonObject> progressReports() const;
    QString lastUpgradeError() const;

    // ---- the PC's addresses ----
    // Makes Util::getLocalIps return base plus pcAddress() of every camera
    // whose link is up. Call with no cameras alive to switch the provider
    // back with Util::setLocalIpsProvider(nullptr).
    static void installLocalIps(const QStringList &base = QStringList());

    // For trying the network path in the application: with
    // ZARVO_SIMULATE_NET=1, one camera at 127.0.89.10 (serial
    // KZNET000000001) for the process's lifetime, and the device layer's
    // parameters (address pool, ports) on loopback with the PC at
    // 127.0.89.20. Call at start-up before the registry exists. Returns the
    // camera; null when not asked for or when it cannot listen.
    static VirtualNetCamera *installFromEnvironment();
    static QStringList linkedPcAddresses();

private:
    class Service;
    friend class Service;
    // Runs work on the service's thread and waits for it.
    void onService(const std::function<void()> &work);
    // On the service's thread: runs the oldest work handed over.
    void runJob();

    // Work for the service's thread, on the caller's stack until done. It is
    // handed over under jobLock_; Qt's event queue only wakes the thread.
    struct Job
    {
        const std::function<void()> *work;
        bool done;
    };
    std::mutex jobLock_;
    std::condition_variable jobDone_;
    std::deque<Job *> jobs_;

    mutable std::mutex lock_;
    QString address_;
    quint16 port_ = 0;
    bool linkUp_ = false;
    bool usbMode_ = false;
    std::shared_ptr<VirtualCamera> usb_;
    QString serial_;
    QByteArray uuid_;
    QString version_ = QStringLiteral("1.2.3.4");
    QJsonObject extraInfo_;
    QString product_ = QStringLiteral("Kavora_zarvo");
    QString platform_ = QStringLiteral("SSC336Q");
    Fault fault_ = Fault::None;
    QByteArray log_ = QByteArrayLiteral("virtual network camera log\n");
    QString logName_ = QStringLiteral("netcam_log.tar.gz");
    int rebootMs_ = 5000;
    int upgradeSteps_ = 3;
    QList<Request> requests_;
    QList<QJsonObject> reports_;
    int reboots_ = 0;
    int upgrades_ = 0;
    QString upgradeError_;

    QThread *thread_ = nullptr;
    Service *service_ = nullptr;
};

} // namespace pc
} // namespace vexo
