#include "uvc/UvcDevice.h"

#include "comm/TimeScale.h"
#include "platform/CameraDevice.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/CommandIds.h"

#include <QDebug>
#include <QMetaObject>
#include <QScopeGuard>

#include <cstring>

namespace vexo {
namespace pc {

namespace {

constexpr int CycleMs = 20;
constexpr int AnswerWaitMs = 1000;
constexpr int NonBlockingDropAge = 50;

} // namespace

UvcDevice::UvcDevice(const DevDescription &desc, CameraPlatform *graph, int devMode, QObject *parent)
    : QThread(parent)
    , devMode_(devMode)
    , friendlyName_(desc.friendlyName)
    , devicePath_(desc.devicePath)
    , tempIpAddr_(desc.tempIpAddr)
    , vendorId_(desc.vendorId)
    , productId_(desc.productId)
    , graph_(graph)
{
    registerCameraStatusMetaType();
    setObjectName(QStringLiteral("UvcDevice"));
}

UvcDevice::~UvcDevice()
{
    close();
}

std::shared_ptr<CameraDevice> UvcDevice::handle() const
{
    std::lock_guard<std::mutex> locker(handleLock_);
    return handle_;
}

bool UvcDevice::isOpen() const
{
    return handle() != nullptr;
}

DevDescription UvcDevice::getDescription() const
{
    DevDescription d;
    d.friendlyName = friendlyName_;
    d.devicePath = devicePath_;
    d.tempIpAddr = tempIpAddr_;
    d.vendorId = vendorId_;
    d.productId = productId_;
    return d;
}

QString UvcDevice::getDevName() const
{
    QString n = devicePath_.toUpper();
    n.remove(QStringLiteral("@DEVICE:PNP:\\\\?\\USB#VID_") + CameraFamily::instance().firstVendorIdText()
             + QStringLiteral("&PID_FEF0&"));
    n.remove(QStringLiteral("#{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\GLOBAL"));
    return n;
}

// ---------------------------------------------------------------------------
// Opening and closing

int UvcDevice::open()
{
    std::lock_guard<std::recursive_mutex> locker(queueLock_);
    if (devMode_.load() == DevModeNet)
        return 0;
    if (!graph_) {
        qWarning() << "Graph is null";
        return -1;
    }
    if (handle()) {
        qInfo() << "filter_ is created";
        qInfo() << "device was already opened: " << friendlyName_ << " - " << getName();
        return 0;
    }
    VideoDeviceList devices;
    if (!graph_->listDevices(devices)) {
        qWarning() << "Open enum_moniker failed";
        return -1;
    }
    std::shared_ptr<CameraDevice> opened;
    for (const VideoDeviceInfo &d : qAsConst(devices)) {
        if (d.devicePath.isEmpty()) {
            qWarning() << "enum_moniker moniker is null";
            continue;
        }
        if (d.devicePath != devicePath_) {
            qDebug() << "Ignore device" << d.devicePath;
            continue;
        }
        qInfo() << "Found device:" << d.devicePath;
        opened = graph_->open(d.devicePath);
        break;
    }
    if (!opened) {
        qWarning() << "create filter failed";
        return -1;
    }
    {
        std::lock_guard<std::mutex> hl(handleLock_);
        handle_ = opened;
    }
    xuReady_.store(false);
    qInfo() << "Open successfully:" << friendlyName_;
    TimeScale::sleep(100);
    if (!uvc_xu_init())
        qWarning() << "uvc_xu_init failed";
    running_.store(true);
    start();
    return 0;
}

void UvcDevice::close()
{
    running_.store(false);
    inited_.store(false);
    qInfo() << "Close uvc device:" << getName();
    // The worker looks at the running flag every cycle (and in its upgrade
    // sleeps), so it ends within one transfer; no need to cut it off.
    if (isRunning()) {
        quit();
        wait();
    }
    workerExited_.load(std::memory_order_acquire);
    {
        // Queued writes die with the connection; a synchronous caller still
        // waiting removes its own packet when it times out.
        std::lock_guard<std::recursive_mutex> locker(queueLock_);
        for (auto it = queue_.begin(); it != queue_.end();)
            it = it->waiter ? std::next(it) : queue_.erase(it);
    }
    xuReady_.store(false);
    camCtrlHeld_.store(false);
    procAmpHeld_.store(false);
    amCamCtrlHeld_.store(false);
    std::lock_guard<std::mutex> hl(handleLock_);
    handle_.reset();
}

// ---------------------------------------------------------------------------
// Extension unit

bool UvcDevice::uvc_xu_init()
{
    const auto h = handle();
    if (!h) {
        qWarning() << "Not open yet " << getName();
        return false;
    }
    if (!h->xuInit()) {
        qWarning().noquote() << QStringLiteral("Could not get IKsControl instance associated with video input device '")
                                    + friendlyName_ + QStringLiteral("'")
                             << "error" << h->lastError();
        return false;
    }
    qInfo() << "!!!ExtensionProp Success!!!";
    xuReady_.store(true);
    TimeScale::sleep(100);
    return true;
}

std::shared_ptr<CameraDevice> UvcDevice::xuHandle(bool write)
{
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return nullptr;
    }
    if (write && devMode_.load() == DevModeUpgrade && !present_.load()) {
        qWarning() << "Device not present:" << getName();
        return nullptr;
    }
    const auto h = handle();
    if (!h || (!xuReady_.load() && !uvc_xu_init())) {
        qWarning() << "UVCXU: " << getName() << " uvc_xu_init failed";
        return nullptr;
    }
    return h;
}

int UvcDevice::uvc_xu_get(int selector, unsigned char *buf, int len)
{
    return xuTransfer(false, selector, buf, len);
}

int UvcDevice::uvc_xu_set(int selector, unsigned char *buf, int len)
{
    return xuTransfer(true, selector, buf, len) < 0 ? -1 : XuBlockSize;
}

int UvcDevice::xuTransfer(bool write, int selector, unsigned char *buf, int len)
{
    const auto h = xuHandle(write);
    if (!h)
        return -1;
    const int r = write ? h->xuSet(selector, buf, len) : h->xuGet(selector, buf, len);
    if (r < 0) {
        qWarning() << "UVCXU:" << getName() << (write ? " KsProperty failed, Error:" : " KsProperty failed. Error:")
                   << h->lastError() << len;
        return -1;
    }
    return r;
}

// ---------------------------------------------------------------------------
// Message engine

UvcDevice::ErrorType UvcDevice::checkSend(const ProtocolMsg::FrmPacket &frame)
{
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return NetModeNotSupported;
    }
    if (!handle()) {
        qWarning() << "uvc device:" << getName() << "not open yet!";
        return DevNotOpen;
    }
    const int len = ProtocolMsg::frameLength(frame);
    if (len > XuBlockSize) {
        qWarning("Data len %d > uvc max payload len %d", len, XuBlockSize);
        return DataTooLong;
    }
    return NoError;
}

int UvcDevice::queuedPackets() const
{
    std::lock_guard<std::recursive_mutex> locker(queueLock_);
    return int(queue_.size());
}

UvcDevice::ErrorType UvcDevice::queueCopy(ProtocolMsg::FrmPacket &frame, QObject *receiver,
                                          QSharedPointer<QString> method)
{
    const ErrorType check = checkSend(frame);
    if (check != NoError)
        return check;
    frame.seq = protocolMsg_.nextSeq();
    const quint32 len = quint32(ProtocolMsg::frameLength(frame));
    const quint16 seq = frame.seq;
    ProtocolMsg::packFrame(frame);

    SendPacket p;
    p.owned.reset(new quint8[XuBlockSize]());
    std::memcpy(p.owned.get(), &frame, len);
    p.data = p.owned.get();
    p.len = len;
    p.seq = seq;
    p.receiver = receiver;
    p.method = method;
    std::lock_guard<std::recursive_mutex> locker(queueLock_);
    queue_.push_back(std::move(p));
    return NoError;
}

UvcDevice::ErrorType UvcDevice::sendMsgAsync(ProtocolMsg::FrmPacket &frame, bool needAnswer)
{
    if (needAnswer)
        frame.flags |= ProtocolMsg::FlagWantAnswer;
    else
        frame.flags &= quint8(~ProtocolMsg::FlagWantAnswer);
    return queueCopy(frame, nullptr, {});
}

UvcDevice::ErrorType UvcDevice::sendMsgAsyncDirectly(ProtocolMsg::FrmPacket &frame)
{
    ProtocolMsg::FrmPacket f = frame;
    const ErrorType check = checkSend(f);
    if (check != NoError)
        return check;
    f.seq = protocolMsg_.nextSeq();
    ProtocolMsg::packFrame(f);
    unsigned char block[XuBlockSize];
    std::memcpy(block, &f, XuBlockSize);
    const int sent = uvc_xu_set(cmd::SelMessage, block, XuBlockSize);
    if (sent != XuBlockSize) {
        qWarning("UVC_SET failed, expected len %d != sended len %d, retry", XuBlockSize, sent);
        return SendFailed;
    }
    return NoError;
}

UvcDevice::ErrorType UvcDevice::sendMsgSyncNonBlock(ProtocolMsg::FrmPacket &frame, QSharedPointer<QString> method,
                                                    QObject *receiver)
{
    return queueCopy(frame, receiver, method ? method : QSharedPointer<QString>::create());
}

UvcDevice::ErrorType UvcDevice::sendMsgSync(ProtocolMsg::FrmPacket &frame, QByteArray &answer)
{
    const ErrorType check = checkSend(frame);
    if (check != NoError)
        return check;
    frame.seq = protocolMsg_.nextSeq();
    const quint16 seq = frame.seq;
    const quint32 len = quint32(ProtocolMsg::frameLength(frame));

    WaitRecord record;
    ProtocolMsg::packFrame(frame);
    {
        SendPacket p;
        p.data = reinterpret_cast<quint8 *>(&frame);
        p.len = len;
        p.seq = seq;
        p.response = &answer;
        p.waiter = &record;
        std::lock_guard<std::recursive_mutex> locker(queueLock_);
        queue_.push_back(std::move(p));
    }

    bool done = false;
    for (int attempt = 0; attempt < 2 && !done; ++attempt) {
        {
            // An answer may have come before we wait: done is checked under
            // the record's mutex first.
            std::unique_lock<std::mutex> wl(record.mutex);
            record.cond.wait_for(wl, std::chrono::milliseconds(TimeScale::ms(AnswerWaitMs)),
                                 [&record] { return record.done; });
            done = record.done;
        }
        if (!done && attempt == 0) {
            std::lock_guard<std::recursive_mutex> locker(queueLock_);
            for (SendPacket &p : queue_) {
                if (p.seq == seq && p.waiter == &record) {
                    qInfo() << "Try to resend packet: seq =" << seq << ", flag =" << p.sent;
                    p.sent = 0;
                }
            }
        }
    }

    {
        std::lock_guard<std::recursive_mutex> locker(queueLock_);
        for (auto it = queue_.begin(); it != queue_.end();) {
            if (it->seq == seq && it->waiter == &record)
                it = queue_.erase(it);
            else
                ++it;
        }
    }
    // The worker writes the record only under the queue lock, which we have
    // passed since the packet left the queue: the record is final now.
    std::lock_guard<std::mutex> wl(record.mutex);
    if (!record.done)
        return Timeout;
    if (record.result == 0)
        return NoError;
    if (record.result == Timeout)
        return Timeout;
    return DevError;
}

// ---------------------------------------------------------------------------
// Worker

void UvcDevice::run()
{
    // The last thing this thread does is release its work to close(), which
    // acquires it after wait(): what the worker touched is then settled.
    workerExited_.store(false, std::memory_order_relaxed);
    const auto exitMark = qScopeGuard([this] { workerExited_.store(true, std::memory_order_release); });
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return;
    }
    while (running_.load()) {
        if (devMode_.load() == DevModeUpgrade) {
            // Idle while the upgrade worker drives the camera; leaving the
            // mode ends the idle, so that the next request goes out at once.
            TimeScale::sleepWhile([this] { return running_.load() && devMode_.load() == DevModeUpgrade; }, 1000);
            continue;
        }
        TimeScale::sleep(CycleMs);
        if (imgRequests_.load())
            serveImageTransfer();
        rx_msg();

        unsigned char block[XuBlockSize];
        bool haveBlock = false;
        {
            std::lock_guard<std::recursive_mutex> locker(queueLock_);
            for (auto it = queue_.begin(); it != queue_.end(); ++it) {
                if (it->sent != 0)
                    continue;
                std::memset(block, 0, sizeof block);
                std::memcpy(block, it->data, qMin<quint32>(it->len, XuBlockSize));
                it->sent = 1;
                it->age = 0;
                if (!it->response && !it->method)
                    queue_.erase(it);
                haveBlock = true;
                break;
            }
        }
        if (haveBlock) {
            const int sent = uvc_xu_set(cmd::SelMessage, block, XuBlockSize);
            if (sent != XuBlockSize)
                qWarning("UVS_SET failed, expected len %d != sent len %d", XuBlockSize, sent);
        }

        if (devMode_.load() == DevModeUvc && sysType_.load() == 1) {
            if (statusPollCount_.fetch_add(1) + 1 >= StatusPollCycles) {
                statusPollCount_.store(0);
                pollStatus();
            }
        }
    }
}

void UvcDevice::pollStatus()
{
    CameraStatus status;
    const int r = uvc_xu_get(cmd::SelCommand, status.data, XuBlockSize);
    if (r != XuBlockSize) {
        qWarning() << "Invalid ret_val =" << r;
        return;
    }
    {
        std::lock_guard<std::mutex> locker(statusLock_);
        if (status != statusCache_)
            statusCache_ = status;
    }
    if (statusSignal_.load())
        emit devStateUpdate(status);
}

CameraStatus UvcDevice::cachedStatus() const
{
    std::lock_guard<std::mutex> locker(statusLock_);
    return statusCache_;
}

void UvcDevice::rx_msg()
{
    bool pending = false;
    {
        std::lock_guard<std::recursive_mutex> locker(queueLock_);
        for (auto it = queue_.begin(); it != queue_.end();) {
            if (it->sent == 1) {
                ++it->age;
                if (it->age >= 2) {
                    if (it->method && it->age >= NonBlockingDropAge) {
                        it = queue_.erase(it);
                        continue;
                    }
                    if (it->response || it->method) {
                        pending = true;
                        break;
                    }
                }
            }
            ++it;
        }
    }
    if (!pending)
        return;

    unsigned char block[XuBlockSize] = {};
    const int r = uvc_xu_get(cmd::SelMessage, block, XuBlockSize);
    if (r < 0) {
        qWarning() << "UVC_GET failed: " << r;
        return;
    }
    ProtocolMsg::FrmPacket answer;
    std::memcpy(static_cast<void *>(&answer), block, XuBlockSize);
    const int check = ProtocolMsg::checkFrame(answer, r);
    if (check == ProtocolMsg::FrameBadSync || check == ProtocolMsg::FrameTooShort)
        return;
    if (check != ProtocolMsg::FrameOk) {
        qWarning() << "Msg check failed, ret_val =" << check;
        return;
    }
    if (ProtocolMsg::receiver(answer) != ProtocolMsg::AddrHost) {
        qWarning() << "Invalid receiver:" << ProtocolMsg::receiver(answer);
        return;
    }
    if (!ProtocolMsg::isAnswer(answer)) {
        qWarning() << "Req frame is not supported at present";
        return;
    }
    const int len = ProtocolMsg::frameLength(answer);
    const auto *bytes = reinterpret_cast<const char *>(&answer);

    std::lock_guard<std::recursive_mutex> locker(queueLock_);
    for (auto it = queue_.begin(); it != queue_.end();) {
        if (it->seq != answer.seq) {
            ++it;
            continue;
        }
        if (it->response) {
            const int dataLen = qMax(0, len - ProtocolMsg::HeaderSize - 1);
            *it->response = QByteArray(bytes + ProtocolMsg::HeaderSize + 1, dataLen);
            std::lock_guard<std::mutex> wl(it->waiter->mutex);
            it->waiter->result = ProtocolMsg::resultCode(answer);
            it->waiter->done = true;
            it->waiter->cond.notify_all();
            ++it;
        } else if (it->method) {
            parseRecvData(&answer, *it);
            it = queue_.erase(it);
        } else {
            ++it;
        }
    }
}

void UvcDevice::parseRecvData(ProtocolMsg::FrmPacket *answer, SendPacket &packet)
{
    const auto *b = reinterpret_cast<const quint8 *>(answer);
    const int set = ProtocolMsg::cmdSet(*answer);
    const int id = ProtocolMsg::cmdId(*answer);
    const int result = ProtocolMsg::resultCode(*answer);
    const QByteArray method = packet.method ? packet.method->toLatin1() : QByteArray();
    QObject *receiver = packet.receiver.data();

    if (set == ProtocolMsg::CmdSetAi) {
        if (id != cmd::AiShortStatus) {
            qWarning() << "Unknown cmd id =" << id << "in AI cmd set";
            return;
        }
        if (result != 0) {
            qWarning() << "Error response =" << result << "in cmd set AI, cmd id AI_FETCH_SHORT_STATUS";
            return;
        }
        AiStatus ai;
        if (!AiStatus::decode(ProtocolMsg::answerData(*answer), ai)) {
            qWarning() << "AI status length error, received length is" << ProtocolMsg::answerData(*answer).size();
            return;
        }
        qInfo() << "AI Status: " << ai.first << ai.second << ai.third << ai.fourth << ai.value;
        if (receiver)
            QMetaObject::invokeMethod(receiver, method.constData(), Qt::AutoConnection, Q_ARG(int, ai.first),
                                      Q_ARG(int, ai.second), Q_ARG(int, ai.third), Q_ARG(int, ai.fourth),
                                      Q_ARG(float, ai.value));
        return;
    }
    if (set == ProtocolMsg::CmdSetCamera) {
        const char *text = nullptr;
        if (id == cmd::CamGetFaceFocus)
            text = "in cmd set Camera, cmd id GET_CAMERA_FACEFOCUS";
        else if (id == cmd::CamDevStatus)
            text = "in cmd set Camera, cmd id SET_CAMERA_DEVSTATUS";
        if (!text) {
            qWarning() << "Unknown cmd id =" << id << "in Camera cmd set";
            return;
        }
        if (result != 0) {
            qWarning() << "Error response =" << result << text;
            return;
        }
        if (receiver)
            QMetaObject::invokeMethod(receiver, method.constData(), Qt::AutoConnection, Q_ARG(int, int(b[13])));
        return;
    }
    qWarning() << "Unknown cmd set =" << set;
}

} // namespace pc
} // namespace vexo
