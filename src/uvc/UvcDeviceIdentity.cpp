// Identity, device information and status of a camera.
#include "uvc/UvcDevice.h"

#include "comm/GlobalParams.h"

#include <QDebug>
#include <QJsonDocument>
#include <QStringList>

#include <atomic>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

const char *const ProductTable[] = {"Kavora_vela_3P", "Kavora_vela_2P", "Kavora_nimo_2P",
                                    "Kavora_quil_1P", "Kavora_zarvo", "Kavora_nimoair"};
const char *const BranchTable[] = {"OA_E", "OA_W"};
const char *const PlatformTable[] = {"Hi3559A", "Hi3519A", "Hi3516DV300", "Hi3516CV500",
                                     "SSC336Q", "SSC339G", "SSC359G"};
const char *const StatusTable[] = {"release", "test", "debug"};

constexpr int CmdVersion = 16;
constexpr int CmdUuid = 96;
constexpr int CmdSerial = 99;
constexpr int CmdInfo = 101;
constexpr int InfoSize = 34;
constexpr int UuidSize = 24;
constexpr int SerialSize = 14;

quint32 le32(const QByteArray &b, int offset)
{
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= quint32(quint8(b.at(offset + i))) << (8 * i);
    return v;
}

QString modelDisplayName(const QString &product, const QString &platform)
{
    if (product == QLatin1String("Kavora_nimo_2P")) {
        if (platform == QLatin1String("SSC339G"))
            return QStringLiteral("KAVORA Nimo4K");
        if (platform == QLatin1String("Hi3516DV300") || platform == QLatin1String("Hi3516CV500")
            || platform == QLatin1String("SSC336Q"))
            return QStringLiteral("KAVORA Nimo");
    } else if (product == QLatin1String("Kavora_zarvo")) {
        if (platform == QLatin1String("SSC339G"))
            return QStringLiteral("KAVORA Zarvo4K");
        if (platform == QLatin1String("SSC336Q"))
            return QStringLiteral("KAVORA Zarvo");
    }
    return QStringLiteral("KAVORA Unknown");
}

} // namespace

namespace {

std::atomic<GlobalParams *> g_params{nullptr};

} // namespace

void UvcDevice::setGlobalParams(GlobalParams *params)
{
    g_params.store(params);
}

GlobalParams *UvcDevice::globalParams()
{
    GlobalParams *p = g_params.load();
    return p ? p : GlobalParams::instance();
}

QString UvcDevice::versionText(quint32 version)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((version >> 24) & 0xff)
        .arg((version >> 16) & 0xff)
        .arg((version >> 8) & 0xff)
        .arg(version & 0xff);
}

quint32 UvcDevice::versionValue(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    quint32 v = 0;
    for (int i = 0; i < 4; ++i)
        v = (v << 8) | (parts.value(i).toUInt() & 0xff);
    return v;
}

bool UvcDevice::checkInited() const
{
    if (!inited_.load()) {
        qWarning() << "Device has not been inited";
        return false;
    }
    return true;
}

bool UvcDevice::checkCommon() const
{
    if (!checkInited())
        return false;
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return false;
    }
    if (sysType_.load() != 1) {
        qWarning() << "Only supported in main sys";
        return false;
    }
    return true;
}

bool UvcDevice::identityRequest(int cmdId, QByteArray &answer)
{
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, cmdId);
    const ErrorType ret = sendMsgSync(f, answer);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgSync, ret_val =" << ret;
        return false;
    }
    return true;
}

QByteArray UvcDevice::getDevUuid()
{
    if (!checkInited())
        return QByteArray();
    if (devMode_.load() == DevModeNet) {
        // Network cameras answer over HTTP; that path is not built in.
        qWarning() << "Net mode not supported";
        return QByteArray();
    }
    QByteArray answer;
    if (!identityRequest(CmdUuid, answer))
        return QByteArray();
    if (answer.size() != UuidSize) {
        qWarning() << "Dev uuid length error, received length is" << answer.size();
        return QByteArray();
    }
    return answer;
}

QString UvcDevice::getDevVersion()
{
    if (!checkInited())
        return QString();
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return QString();
    }
    QByteArray answer;
    if (!identityRequest(CmdVersion, answer))
        return QString();
    if (answer.size() < 4) {
        qWarning() << "Dev version length error, received length is" << answer.size();
        return QString();
    }
    return versionText(le32(answer, 0));
}

QString UvcDevice::getDevSn()
{
    if (!checkInited())
        return QString();
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return QString();
    }
    QByteArray answer;
    if (!identityRequest(CmdSerial, answer))
        return QString();
    if (answer.size() != SerialSize) {
        qWarning() << "Wrong sn length =" << answer.size();
        return QString();
    }
    const QString sn = QString::fromLatin1(answer);
    qInfo() << "Dev sn =" << sn;
    return sn;
}

QJsonObject UvcDevice::getDevInfo()
{
    if (!checkInited())
        return QJsonObject();
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return QJsonObject();
    }
    QByteArray a;
    if (!identityRequest(CmdInfo, a))
        return QJsonObject();
    if (a.size() < InfoSize) {
        qWarning() << "Dev info length error, received length is" << a.size();
        return QJsonObject();
    }
    const qint8 product = qint8(a.at(0));
    const qint8 branch = qint8(a.at(1));
    const qint8 platform = qint8(a.at(2));
    const qint8 status = qint8(a.at(3));
    if (product < 0 || product >= 6 || branch < 0 || branch >= 2 || platform < 0 || platform >= 7 || status < 0
        || status >= 3) {
        qWarning() << "Error response:"
                   << "Product type =" << product << "Firmware type =" << branch << "Platform type =" << platform
                   << "Device type =" << status;
        return QJsonObject();
    }
    QJsonObject info;
    info.insert(QStringLiteral("product"), QLatin1String(ProductTable[product]));
    info.insert(QStringLiteral("branch"), QLatin1String(BranchTable[branch]));
    info.insert(QStringLiteral("platform"), QLatin1String(PlatformTable[platform]));
    info.insert(QStringLiteral("status"), QLatin1String(StatusTable[status]));
    info.insert(QStringLiteral("version"), versionText(le32(a, 4)));
    const QString seqid = QString::fromLatin1(a.mid(8, 24).toHex().toUpper());
    info.insert(QStringLiteral("seqid"), seqid);
    info.insert(QStringLiteral("systype"), int(qint8(a.at(32))));
    info.insert(QStringLiteral("socver"), int(qint8(a.at(33))));
    const QString sn = getDevSn();
    info.insert(QStringLiteral("devsn"), sn.isEmpty() ? seqid.right(14) : sn);
    return info;
}

bool UvcDevice::initDev()
{
    inited_.store(true);
    qInfo() << "Init device:" << getDevName();
    const bool net = devMode_.load() == DevModeNet;
    if (net) {
        std::lock_guard<std::mutex> locker(infoLock_);
        ipAddr_ = tempIpAddr_;
        qInfo() << "Temporary ip:" << ipAddr_;
    }

    const QByteArray uuid = getDevUuid();
    if (uuid.isNull()) {
        qWarning() << "Failed to get device's uuid";
        inited_.store(false);
        return false;
    }
    const QString uuidHex = QString::fromLatin1(uuid.toHex().toUpper());
    qInfo() << "Device uuid is:" << uuidHex.right(16);

    const QString version = getDevVersion();
    if (version.isNull()) {
        qWarning() << "Failed to get device's version";
        inited_.store(false);
        return false;
    }
    qInfo() << "Device version is:" << version;

    const QJsonObject info = getDevInfo();
    qInfo().noquote() << "Device Info is:" << QString::fromUtf8(QJsonDocument(info).toJson(QJsonDocument::Compact));

    int sysType = info.value(QStringLiteral("systype")).toInt();
    if (sysType == 0 || sysType > 2)
        sysType = net ? 0 : 1;
    const QString sn = info.contains(QStringLiteral("devsn")) ? info.value(QStringLiteral("devsn")).toString()
                                                              : uuidHex.right(14);
    const int socVer = info.contains(QStringLiteral("socver")) ? info.value(QStringLiteral("socver")).toInt() : 0;
    {
        std::lock_guard<std::mutex> locker(infoLock_);
        uuid_ = uuid;
        version_ = version;
        devInfo_ = info;
        sn_ = sn;
        socVer_ = socVer;
    }
    sysType_.store(sysType);

    const QString ip = globalParams()->allocIpAddr(uuid, true);
    if (ip.isEmpty()) {
        qWarning() << "There is no ip for current device";
        inited_.store(false);
        return false;
    }
    if (net && ip != tempIpAddr_) {
        // Network cameras are told to move to their pool address; that
        // request goes over HTTP, which this build does not speak yet, so
        // the camera is given up until it shows up at its address.
        qInfo() << "Due to different ip, reqDevChangeIpAddr";
        globalParams()->releaseIpAddr(ip);
        qWarning() << "reqDevChangeIpAddr failed";
        inited_.store(false);
        return false;
    }
    std::lock_guard<std::mutex> locker(infoLock_);
    ipAddr_ = ip;
    qInfo() << "Device ip is:" << ip;
    name_ = QStringLiteral("KAVORA_ZarvoCam_") + sn.toUpper();
    qInfo() << "Device name is:" << name_;
    return true;
}

int UvcDevice::getDevModel()
{
    const QJsonObject info = getInfo();
    const QString product = info.value(QStringLiteral("product")).toString();
    const QString platform = info.value(QStringLiteral("platform")).toString();
    int code = 5;
    if (product == QLatin1String("Kavora_nimo_2P")) {
        if (platform == QLatin1String("SSC339G"))
            code = 1;
        else if (platform == QLatin1String("Hi3516DV300") || platform == QLatin1String("Hi3516CV500")
                 || platform == QLatin1String("SSC336Q"))
            code = 0;
    } else if (product == QLatin1String("Kavora_zarvo")) {
        if (platform == QLatin1String("SSC339G"))
            code = 3;
        else if (platform == QLatin1String("SSC336Q"))
            code = 2;
    } else if (product == QLatin1String("Kavora_quil_1P") && platform == QLatin1String("SSC336Q")) {
        code = 4;
    }
    std::lock_guard<std::mutex> locker(infoLock_);
    modelCode_ = code;
    return code;
}

bool UvcDevice::is4KDevice() const
{
    const QJsonObject info = getInfo();
    if (!info.contains(QStringLiteral("platform")) || !info.contains(QStringLiteral("product")))
        return false;
    const QString product = info.value(QStringLiteral("product")).toString();
    const QString platform = info.value(QStringLiteral("platform")).toString();
    return platform == QLatin1String("SSC339G")
        && (product == QLatin1String("Kavora_nimo_2P") || product == QLatin1String("Kavora_zarvo"));
}

QJsonObject UvcDevice::getDevReportInfo() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    QJsonObject r;
    r.insert(QStringLiteral("product"),
             modelDisplayName(devInfo_.value(QStringLiteral("product")).toString(),
                              devInfo_.value(QStringLiteral("platform")).toString()));
    r.insert(QStringLiteral("branch"), devInfo_.value(QStringLiteral("branch")));
    r.insert(QStringLiteral("platform"), devInfo_.value(QStringLiteral("platform")));
    r.insert(QStringLiteral("version"), version_);
    r.insert(QStringLiteral("sn"), sn_);
    return r;
}

bool UvcDevice::getCameraStatus(CameraStatus &status)
{
    if (devMode_.load() == DevModeNet) {
        qWarning() << "Net mode not supported";
        return false;
    }
    if (sysType_.load() != 1) {
        qWarning() << "Only supported in main sys";
        return false;
    }
    CameraStatus s;
    const int r = uvc_xu_get(6, s.data, XuBlockSize);
    if (r != XuBlockSize) {
        qWarning() << "Invalid ret_val =" << r;
        return false;
    }
    status = s;
    std::lock_guard<std::mutex> locker(statusLock_);
    if (s != statusCache_)
        statusCache_ = s;
    return true;
}

int UvcDevice::checkFwUpdate(QString &message)
{
    const QString latest = getLatestFwVersion();
    int result;
    if (latest.isEmpty()) {
        result = 2;
        message = tr("Cannot get latest firmware info from server!");
    } else if (versionValue(latest) <= versionValue(getVersion())) {
        result = 0;
        message = tr("Current firmware is up to date!");
    } else {
        result = 1;
        message = tr("New firmware is available: ") + latest + QStringLiteral("!");
    }
    std::lock_guard<std::mutex> locker(infoLock_);
    fwState_ = result;
    return result;
}

int UvcDevice::aiGetAiStatus(AiStatus *status, QSharedPointer<QString> method, QObject *receiver, int getMethod)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetAi, 146);
    if (getMethod == GetNonBlocking)
        return sendMsgSyncNonBlock(f, method, receiver);
    if (!status)
        return -1;
    QByteArray a;
    const ErrorType ret = sendMsgSync(f, a);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgSync, ret_val =" << ret;
        return -1;
    }
    if (a.size() < 38) {
        qWarning() << "AI status length error, received length is" << a.size();
        return -1;
    }
    // The two small values are compared as signed bytes: 3..127 mean none.
    auto small = [](char c) { return (qint8(c) >= 3) ? quint8(0) : quint8(c); };
    status->first = quint8(a.at(30));
    status->second = quint8(a.at(31));
    status->third = small(a.at(32));
    status->fourth = small(a.at(37));
    status->fifth = quint8(a.at(37));
    std::memcpy(&status->value, a.constData() + 33, sizeof status->value);
    qInfo() << "AI Status: " << status->first << status->second << status->third << status->value;
    return 0;
}

// ---- identity fields ----

QString UvcDevice::getName() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return name_.isEmpty() ? friendlyName_ : name_;
}

QString UvcDevice::getIpAddr() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return ipAddr_;
}

QByteArray UvcDevice::getUuid() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return uuid_;
}

QString UvcDevice::getVersion() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return version_;
}

QJsonObject UvcDevice::getInfo() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return devInfo_;
}

QString UvcDevice::getSn() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return sn_;
}

int UvcDevice::getSocVer() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return socVer_;
}

int UvcDevice::getModelCode() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return modelCode_;
}

QString UvcDevice::getLatestFwVersion() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return latestFwVersion_;
}

void UvcDevice::setLatestFwVersion(const QString &version)
{
    std::lock_guard<std::mutex> locker(infoLock_);
    latestFwVersion_ = version;
}

int UvcDevice::getFwState() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return fwState_;
}

} // namespace pc
} // namespace vexo
