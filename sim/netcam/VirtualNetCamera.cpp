#include "netcam/VirtualNetCamera.h"

#include "camera/VirtualCamera.h"
#include "comm/CameraModel.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"
#include "qhttp/QHttpServer.h"
#include "qhttp/QHttpServerRequest.h"
#include "qhttp/QHttpServerResponse.h"
#include "uvc/UvcDevice.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QHostAddress>
#include <QJsonDocument>
#include <QPointer>
#include <QSettings>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUrlQuery>

#include <algorithm>
#include <set>

namespace vexo {
namespace pc {

namespace {

std::mutex &registryLock()
{
    static std::mutex lock;
    return lock;
}

std::set<VirtualNetCamera *> &registry()
{
    static std::set<VirtualNetCamera *> cameras;
    return cameras;
}

QString segmentPlus(const QString &ip, const char *last)
{
    return ip.left(ip.lastIndexOf(QLatin1Char('.'))) + QLatin1String(last);
}

// The PC's local service gives versions with their parts in reverse order.
QString reversedVersion(const QString &v)
{
    QStringList parts = v.split(QLatin1Char('.'));
    std::reverse(parts.begin(), parts.end());
    return parts.join(QLatin1Char('.'));
}

} // namespace

// The camera's side on its own thread: the HTTP service, the upgrade run and
// the reboots. All its members are used on that thread only.
class VirtualNetCamera::Service final : public QObject
{
    Q_OBJECT
public:
    explicit Service(VirtualNetCamera *owner)
        : cam_(owner)
    {
    }

    // Called by name through Qt's queue (nothing of ours travels in it),
    // once per work. The work may delete this Service: nothing of it is
    // used afterwards.
    Q_INVOKABLE void runJob() { cam_->runJob(); }

    bool listen(const QString &address, quint16 port)
    {
        if (!server_)
            server_ = new qhttp::server::QHttpServer(this);
        const bool ok = server_->listen(QHostAddress(address), port,
                                        [this](qhttp::server::QHttpRequest *req, qhttp::server::QHttpResponse *res) {
                                            req->collectBody(-1);
                                            req->whenEnd([this, req, res]() { route(req, res); });
                                        });
        std::lock_guard<std::mutex> locker(cam_->lock_);
        cam_->port_ = ok ? server_->serverPort() : 0;
        cam_->address_ = address;
        return ok;
    }

    void stopListening()
    {
        if (server_)
            server_->stopServing();
    }

    void cancelUpgrade()
    {
        ++run_;
        delete download_;
    }

private:
    using Res = qhttp::server::QHttpResponse;

    template <typename T>
    T get(const T &field) const
    {
        std::lock_guard<std::mutex> locker(cam_->lock_);
        return field;
    }

    void answerJson(Res *res, QJsonObject body)
    {
        const Fault f = get(cam_->fault_);
        QByteArray data;
        if (f == Fault::InvalidJson) {
            data = QByteArrayLiteral("this is not json");
        } else if (f == Fault::EmptyObject) {
            data = QByteArrayLiteral("{}");
        } else {
            if (f == Fault::NumericErrorcode && body.contains(QStringLiteral("errorcode")))
                body.insert(QStringLiteral("errorcode"), 200);
            data = QJsonDocument(body).toJson(QJsonDocument::Compact);
        }
        res->setStatus(200);
        res->putHeader(QByteArrayLiteral("content-type"), QByteArrayLiteral("application/json"));
        res->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(data.size()));
        res->end(data);
    }

    static QJsonObject ok()
    {
        return QJsonObject{{QStringLiteral("errorcode"), QStringLiteral("200")}, {QStringLiteral("reason"), QStringLiteral("OK")}};
    }

    void route(qhttp::server::QHttpRequest *req, Res *res)
    {
        const QString path = req->url().path();
        const QByteArray body = req->collectedBody();
        {
            std::lock_guard<std::mutex> locker(cam_->lock_);
            cam_->requests_.append(Request{QString::fromLatin1(req->methodString()), path, body,
                                           req->headers().value(QByteArrayLiteral("content-type"))});
            if (cam_->fault_ == Fault::Silent)
                return;  // the connection stays open, unanswered
        }
        const QJsonObject json = QJsonDocument::fromJson(body).object();
        if (path == QLatin1String("/query_device_info")) {
            answerJson(res, cam_->deviceInfo());
        } else if (path == QLatin1String("/run_shell_script")) {
            // The reboot is counted when heard: the answer may reach the
            // caller before the camera goes away.
            if (body.trimmed() == "reboot") {
                std::lock_guard<std::mutex> locker(cam_->lock_);
                ++cam_->reboots_;
            }
            answerJson(res, ok());
            if (body.trimmed() == "reboot")
                QTimer::singleShot(0, this, [this] { reboot(false); });
        } else if (path == QLatin1String("/change_ip")) {
            const QString ip = json.value(QStringLiteral("device_ip")).toString();
            if (QHostAddress(ip).protocol() != QAbstractSocket::IPv4Protocol) {
                answerJson(res, QJsonObject{{QStringLiteral("errorcode"), QStringLiteral("400")}});
                return;
            }
            answerJson(res, ok());
            QTimer::singleShot(0, this, [this, ip] { changeIp(ip); });
        } else if (path == QLatin1String("/start_upgrade")) {
            if (get(cam_->fault_) == Fault::RefuseUpgrade) {
                answerJson(res, QJsonObject());
                return;
            }
            const QString server = json.value(QStringLiteral("server_ip")).toString();
            const int port = json.value(QStringLiteral("server_port")).toInt();
            answerJson(res, ok());
            QTimer::singleShot(0, this, [this, server, port] { startUpgrade(server, port); });
        } else if (path == QLatin1String("/download_log")) {
            const QByteArray log = get(cam_->log_);
            res->setStatus(200);
            res->putHeader(QByteArrayLiteral("file-name"), get(cam_->logName_).toUtf8());
            res->putHeader(QByteArrayLiteral("content-type"), QByteArrayLiteral("application/octet-stream"));
            res->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(log.size()));
            res->end(log);
        } else {
            res->setStatus(404);
            res->end();
        }
    }

    void setLink(bool up)
    {
        std::lock_guard<std::mutex> locker(cam_->lock_);
        cam_->linkUp_ = up;
    }

    void changeIp(const QString &ip)
    {
        std::shared_ptr<VirtualCamera> usb;
        {
            std::lock_guard<std::mutex> locker(cam_->lock_);
            if (cam_->usbMode_) {
                cam_->usbMode_ = false;
                usb = cam_->usb_;
            }
        }
        if (usb)
            usb->unplug();
        if (ip != get(cam_->address_)) {
            setLink(false);
            stopListening();
            if (!listen(ip, get(cam_->port_)))
                qWarning() << "Virtual network camera cannot move to" << ip;
        }
        setLink(true);
    }

    // Away for the reboot time; back in USB mode when tied to a USB camera.
    void reboot(bool count = true)
    {
        {
            std::lock_guard<std::mutex> locker(cam_->lock_);
            if (count)
                ++cam_->reboots_;
            cam_->linkUp_ = false;
        }
        stopListening();
        QTimer::singleShot(TimeScale::ms(get(cam_->rebootMs_)), this, [this] {
            std::shared_ptr<VirtualCamera> usb;
            {
                std::lock_guard<std::mutex> locker(cam_->lock_);
                usb = cam_->usb_;
                cam_->usbMode_ = bool(usb);
                cam_->linkUp_ = !usb;
            }
            listen(get(cam_->address_), get(cam_->port_));
            if (usb)
                usb->replug();
        });
    }

    // ---- the upgrade run ----

    void fail(const QString &why)
    {
        {
            std::lock_guard<std::mutex> locker(cam_->lock_);
            cam_->upgradeError_ = why;
        }
        report(4, why, nullptr);
    }

    void report(int type, const QString &msg, std::function<void()> next)
    {
        QJsonObject body{{QStringLiteral("cmd"), QStringLiteral("UpgradeProgress")},
                         {QStringLiteral("type"), type},
                         {QStringLiteral("uuid"), QString::fromLatin1(get(cam_->uuid_).toHex().toUpper())},
                         {QStringLiteral("msg"), msg}};
        {
            std::lock_guard<std::mutex> locker(cam_->lock_);
            cam_->reports_.append(body);
        }
        fetch(qhttp::EHTTP_POST, QStringLiteral("/upgrade_progress"), QUrlQuery(),
              QJsonDocument(body).toJson(QJsonDocument::Compact),
              [next](int, const QByteArray &) {
                  if (next)
                      next();
              });
    }

    // One request to the PC's service; done gets the status (0 when the
    // exchange failed) and the body. A newer upgrade run drops the answer.
    void fetch(int method, const QString &path, const QUrlQuery &query, const QByteArray &body,
               std::function<void(int, const QByteArray &)> done)
    {
        QUrl url(QStringLiteral("http://%1:%2%3").arg(pcServer_).arg(pcPort_).arg(path));
        url.setQuery(query);
        auto *client = new qhttp::client::QHttpClient(this);
        const quint64 run = run_;
        auto finished = std::make_shared<bool>(false);
        auto finish = [this, client, done, run, finished](int status, const QByteArray &data) {
            if (*finished)
                return;
            *finished = true;
            client->deleteLater();
            if (run == run_)
                done(status, data);
        };
        const bool started = client->request(
            method, url,
            [body](qhttp::client::QHttpRequest *req) {
                req->putHeader(QByteArrayLiteral("Content-Type"), QByteArrayLiteral("application/json"));
                req->putHeader(QByteArrayLiteral("content-length"), QByteArray::number(body.size()));
                req->end(body);
            },
            [this, client, finish, path](qhttp::client::QHttpResponse *res) {
                res->collectBody(-1);
                if (path == QLatin1String("/download") && get(cam_->fault_) == Fault::LoseLinkMidDownload) {
                    // The first bytes arrive, then the camera drops off the link.
                    res->whenData([this, client](const QByteArray &) {
                        if (download_ != client)
                            return;
                        download_ = nullptr;
                        ++run_;
                        client->deleteLater();
                        setLink(false);
                        stopListening();
                    });
                    download_ = client;
                }
                res->whenEnd([finish, res] { finish(res->status(), res->collectedBody()); });
            });
        if (!started) {
            finish(0, QByteArray());
            return;
        }
        connect(client, &qhttp::client::QHttpClient::disconnected, this,
                [finish] { finish(0, QByteArray()); });
        QTimer::singleShot(TimeScale::ms(10000), client, [finish] { finish(0, QByteArray()); });
    }

    void startUpgrade(const QString &server, int port)
    {
        ++run_;
        pcServer_ = server;
        pcPort_ = port;
        const QJsonObject info = cam_->deviceInfo();
        QUrlQuery q;
        q.addQueryItem(QStringLiteral("cmd"), QStringLiteral("1"));
        for (const char *key : {"product", "branch", "platform", "status", "seqid", "version"})
            q.addQueryItem(QLatin1String(key), info.value(QLatin1String(key)).toString());
        fetch(qhttp::EHTTP_GET, QStringLiteral("/query"), q, QByteArray(), [this, info](int status, const QByteArray &body) {
            const QJsonObject a = QJsonDocument::fromJson(body).object();
            if (status != 200 || a.value(QStringLiteral("errorcode")).toInt() != 200) {
                fail(QStringLiteral("Query firmware failed: ") + a.value(QStringLiteral("reason")).toString());
                return;
            }
            report(0, QStringLiteral("Start to download firmware"), [this, info, a] { download(info, a); });
        });
    }

    void download(const QJsonObject &info, const QJsonObject &pkg)
    {
        const QString version = reversedVersion(pkg.value(QStringLiteral("version")).toString());
        QUrlQuery q;
        q.addQueryItem(QStringLiteral("cmd"), QStringLiteral("1"));
        for (const char *key : {"product", "branch", "platform"})
            q.addQueryItem(QLatin1String(key), info.value(QLatin1String(key)).toString());
        q.addQueryItem(QStringLiteral("status"), pkg.value(QStringLiteral("status")).toString());
        q.addQueryItem(QStringLiteral("version"), version);
        fetch(qhttp::EHTTP_GET, QStringLiteral("/download"), q, QByteArray(),
              [this, pkg, version](int status, const QByteArray &data) {
                  const QString md5 = QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex());
                  if (status != 200 || data.size() != pkg.value(QStringLiteral("pkgsize")).toInt()
                      || md5 != pkg.value(QStringLiteral("md5")).toString()) {
                      fail(QStringLiteral("Firmware check failed"));
                      return;
                  }
                  step(get(cam_->upgradeSteps_), version);
              });
    }

    void step(int left, const QString &version)
    {
        if (left > 0) {
            report(1, QStringLiteral("Upgrading, %1 steps left").arg(left), [this, left, version] { step(left - 1, version); });
            return;
        }
        report(3, QStringLiteral("Upgrade successfully"), [this, version] {
            std::shared_ptr<VirtualCamera> usb;
            {
                std::lock_guard<std::mutex> locker(cam_->lock_);
                cam_->version_ = version;
                ++cam_->upgrades_;
                usb = cam_->usb_;
            }
            if (usb)
                usb->setVersion(Util::ipToUint(version));
            reboot();
        });
    }

    VirtualNetCamera *cam_;
    qhttp::server::QHttpServer *server_ = nullptr;
    QString pcServer_;
    int pcPort_ = 0;
    quint64 run_ = 0;
    QPointer<qhttp::client::QHttpClient> download_;
};

VirtualNetCamera::VirtualNetCamera()
{
    uuid_ = QCryptographicHash::hash(QByteArrayLiteral("virtual network camera"), QCryptographicHash::Sha256).left(24);
    serial_ = QString::fromLatin1(uuid_.toHex().toUpper()).right(14);
    thread_ = new QThread;
    thread_->setObjectName(QStringLiteral("VirtualNetCamera"));
    service_ = new Service(this);
    service_->moveToThread(thread_);
    thread_->start();
    std::lock_guard<std::mutex> locker(registryLock());
    registry().insert(this);
}

VirtualNetCamera::~VirtualNetCamera()
{
    {
        std::lock_guard<std::mutex> locker(registryLock());
        registry().erase(this);
    }
    onService([this] { delete service_; });
    thread_->quit();
    thread_->wait();
    delete thread_;
}

void VirtualNetCamera::onService(const std::function<void()> &work)
{
    // The work is handed over under our own lock, not inside a queued
    // functor: Qt's queue is not instrumented, so the thread sanitizer would
    // see neither the hand-over nor that the functor is freed after its run.
    Job job{&work, false};
    std::unique_lock<std::mutex> locker(jobLock_);
    jobs_.push_back(&job);
    QMetaObject::invokeMethod(service_, "runJob", Qt::QueuedConnection);
    jobDone_.wait(locker, [&job] { return job.done; });
}

void VirtualNetCamera::runJob()
{
    Job *job = nullptr;
    {
        std::lock_guard<std::mutex> locker(jobLock_);
        if (jobs_.empty())
            return;
        job = jobs_.front();
        jobs_.pop_front();
    }
    (*job->work)();
    // The camera is not touched after its caller is released: the last work
    // of all is the destructor's, which frees the camera once the thread ends
    // (an end the thread sanitizer cannot see inside Qt).
    std::lock_guard<std::mutex> locker(jobLock_);
    job->done = true;
    jobDone_.notify_all();
}

bool VirtualNetCamera::start(const QString &address, quint16 port)
{
    bool ok = false;
    onService([&] { ok = service_->listen(address, port); });
    std::lock_guard<std::mutex> locker(lock_);
    linkUp_ = ok && !usbMode_;
    return ok;
}

void VirtualNetCamera::stop()
{
    onService([this] {
        service_->cancelUpgrade();
        service_->stopListening();
    });
    std::lock_guard<std::mutex> locker(lock_);
    linkUp_ = false;
}

QString VirtualNetCamera::address() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return address_;
}

quint16 VirtualNetCamera::port() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return port_;
}

QString VirtualNetCamera::pcAddress() const
{
    return segmentPlus(address(), ".20");
}

bool VirtualNetCamera::linkUp() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return linkUp_;
}

QString VirtualNetCamera::serial() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return serial_;
}

void VirtualNetCamera::setSerial(const QString &serial)
{
    std::lock_guard<std::mutex> locker(lock_);
    serial_ = serial;
}

QByteArray VirtualNetCamera::uuid() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return uuid_;
}

void VirtualNetCamera::setUuid(const QByteArray &uuid)
{
    std::lock_guard<std::mutex> locker(lock_);
    uuid_ = uuid;
}

QString VirtualNetCamera::version() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return version_;
}

void VirtualNetCamera::setVersion(const QString &version)
{
    std::lock_guard<std::mutex> locker(lock_);
    version_ = version;
}

void VirtualNetCamera::setProduct(const QString &product, const QString &platform)
{
    std::lock_guard<std::mutex> locker(lock_);
    product_ = product;
    platform_ = platform;
}

QJsonObject VirtualNetCamera::deviceInfo() const
{
    std::lock_guard<std::mutex> locker(lock_);
    QJsonObject o{{QStringLiteral("product"), product_},
                  {QStringLiteral("branch"), QStringLiteral("OA_E")},
                  {QStringLiteral("platform"), platform_},
                  {QStringLiteral("status"), QStringLiteral("release")},
                  {QStringLiteral("version"), version_},
                  {QStringLiteral("seqid"), QString::fromLatin1(uuid_.toHex().toUpper())},
                  {QStringLiteral("devsn"), serial_},
                  {QStringLiteral("systype"), 1},
                  {QStringLiteral("socver"), 0}};
    for (auto it = extraInfo_.begin(); it != extraInfo_.end(); ++it)
        o.insert(it.key(), it.value());
    return o;
}

void VirtualNetCamera::setInfoValue(const QString &key, const QJsonValue &value)
{
    std::lock_guard<std::mutex> locker(lock_);
    extraInfo_.insert(key, value);
}

void VirtualNetCamera::attachUsbCamera(const std::shared_ptr<VirtualCamera> &usb)
{
    const CameraModel &m = VirtualCamera::cameraModel(usb->model());
    std::lock_guard<std::mutex> locker(lock_);
    usb_ = usb;
    usbMode_ = true;
    linkUp_ = false;
    serial_ = usb->serial();
    uuid_ = usb->uuid();
    version_ = Util::uintToIp(usb->version());
    product_ = m.productName();
    platform_ = m.platformName();
}

void VirtualNetCamera::setFault(Fault fault)
{
    std::lock_guard<std::mutex> locker(lock_);
    fault_ = fault;
}

VirtualNetCamera::Fault VirtualNetCamera::fault() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return fault_;
}

bool VirtualNetCamera::faultFromName(const QString &name, Fault *fault)
{
    static const QList<QPair<QString, Fault>> names = {
        {QStringLiteral("none"), Fault::None},
        {QStringLiteral("silent"), Fault::Silent},
        {QStringLiteral("invalid-json"), Fault::InvalidJson},
        {QStringLiteral("empty-object"), Fault::EmptyObject},
        {QStringLiteral("numeric-errorcode"), Fault::NumericErrorcode},
        {QStringLiteral("refuse-upgrade"), Fault::RefuseUpgrade},
        {QStringLiteral("lose-link"), Fault::LoseLinkMidDownload},
    };
    for (const auto &n : names) {
        if (n.first == name) {
            *fault = n.second;
            return true;
        }
    }
    return false;
}

void VirtualNetCamera::setLog(const QByteArray &content, const QString &fileName)
{
    std::lock_guard<std::mutex> locker(lock_);
    log_ = content;
    logName_ = fileName;
}

void VirtualNetCamera::setRebootMs(int ms)
{
    std::lock_guard<std::mutex> locker(lock_);
    rebootMs_ = ms;
}

void VirtualNetCamera::setUpgradeSteps(int steps)
{
    std::lock_guard<std::mutex> locker(lock_);
    upgradeSteps_ = steps;
}

QList<VirtualNetCamera::Request> VirtualNetCamera::requests() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return requests_;
}

int VirtualNetCamera::requestCount(const QString &path) const
{
    std::lock_guard<std::mutex> locker(lock_);
    return int(std::count_if(requests_.begin(), requests_.end(), [&path](const Request &r) { return r.path == path; }));
}

int VirtualNetCamera::rebootCount() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return reboots_;
}

int VirtualNetCamera::upgradeCount() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return upgrades_;
}

QList<QJsonObject> VirtualNetCamera::progressReports() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return reports_;
}

QString VirtualNetCamera::lastUpgradeError() const
{
    std::lock_guard<std::mutex> locker(lock_);
    return upgradeError_;
}

QStringList VirtualNetCamera::linkedPcAddresses()
{
    std::lock_guard<std::mutex> locker(registryLock());
    QStringList ips;
    for (VirtualNetCamera *c : registry()) {
        if (c->linkUp())
            ips.append(c->pcAddress());
    }
    return ips;
}

void VirtualNetCamera::installLocalIps(const QStringList &base)
{
    Util::setLocalIpsProvider([base] { return base + linkedPcAddresses(); });
}

VirtualNetCamera *VirtualNetCamera::installFromEnvironment()
{
    if (qEnvironmentVariable("ZARVO_SIMULATE_NET") != QLatin1String("1"))
        return nullptr;
    // Built before the registry, so destroyed after it.
    static QTemporaryDir scratch;
    static std::unique_ptr<GlobalParams> params;
    static VirtualNetCamera *camera = nullptr;
    if (camera)
        return camera;
    camera = new VirtualNetCamera;
    camera->setSerial(QStringLiteral("KZNET000000001"));
    if (!camera->start(QStringLiteral("127.0.89.10"), 0)) {
        qWarning() << "Virtual network camera cannot listen at 127.0.89.10";
        delete camera;
        camera = nullptr;
        return nullptr;
    }
    // Its thread ends with the event loop, not after the application.
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [] {
        delete camera;
        camera = nullptr;
    });
    const QString ini = scratch.path() + QStringLiteral("/netcam.ini");
    {
        QSettings s(ini, QSettings::IniFormat);
        s.setValue(QStringLiteral("local_server/host_ip_prefix"), QStringLiteral("127.0."));
        s.setValue(QStringLiteral("local_server/host_ip_seg_start"), 89);
        s.setValue(QStringLiteral("local_server/host_ip_seg_end"), 92);
    }
    params = std::make_unique<GlobalParams>(ini);
    params->setDevicePort(camera->port());
    QTcpServer probe;  // a free port for the local service
    if (probe.listen(QHostAddress(QStringLiteral("127.0.89.20")), 0))
        params->setHostPort(probe.serverPort());
    UvcDevice::setGlobalParams(params.get());
    installLocalIps(Util::getLocalIps());
    qInfo() << "Virtual network camera at 127.0.89.10 port" << camera->port();
    return camera;
}

} // namespace pc
} // namespace vexo

#include "VirtualNetCamera.moc"
