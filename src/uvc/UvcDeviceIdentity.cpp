// Identity, device information and status of a camera.
#include "uvc/UvcDevice.h"

#include "comm/ByteOrder.h"
#include "comm/CameraModel.h"
#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "uvc/CommandIds.h"

#include <QDebug>
#include <QJsonDocument>
#include <QStringList>

#include <atomic>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

const char *const BranchTable[] = {"OA_E", "OA_W"};
const char *const StatusTable[] = {"release", "test", "debug"};

constexpr int InfoSize = 34;
constexpr int UuidSize = 24;
constexpr int SerialSize = 14;

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
    // The same dotted form as an address.
    return Util::uintToIp(version);
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

bool UvcDevice::checkUsbMainSys() const
{
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

bool UvcDevice::checkCommon() const
{
    return checkInited() && checkUsbMainSys();
}

bool UvcDevice::request(int cmdSet, int cmdId, int minLength, const char *what, QByteArray &answer, bool exact)
{
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(cmdSet, cmdId);
    const ErrorType ret = sendMsgSync(f, answer);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgSync, ret_val =" << ret;
        return false;
    }
    if (answer.size() < minLength || (exact && answer.size() != minLength)) {
        qWarning() << what << "length error, received length is" << answer.size();
        return false;
    }
    return true;
}

bool UvcDevice::identityRequest(int cmdId, int minLength, const char *what, QByteArray &answer, bool exact)
{
    if (!checkInited())
        return false;
    return request(ProtocolMsg::CmdSetSystem, cmdId, minLength, what, answer, exact);
}

QByteArray UvcDevice::getDevUuid()
{
    if (devMode_.load() == DevModeNet) {
        // The camera names itself by "seqid", the uuid's bytes in hex.
        const QString seqid = netDevInfo().value(QStringLiteral("seqid")).toString();
        const QByteArray uuid = QByteArray::fromHex(seqid.toLatin1());
        return uuid.isEmpty() ? QByteArray() : uuid;
    }
    QByteArray answer;
    return identityRequest(cmd::SysUuid, UuidSize, "Dev uuid", answer, true) ? answer : QByteArray();
}

QString UvcDevice::getDevVersion()
{
    if (devMode_.load() == DevModeNet) {
        const QJsonValue v = netDevInfo().value(QStringLiteral("version"));
        return v.isString() ? v.toString() : QString();
    }
    QByteArray answer;
    if (!identityRequest(cmd::SysVersion, 4, "Dev version", answer))
        return QString();
    return versionText(le32(answer, 0));
}

QString UvcDevice::getDevSn()
{
    QByteArray answer;
    if (!identityRequest(cmd::SysSerial, 0, "Dev sn", answer))
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
    if (devMode_.load() == DevModeNet)
        return netDevInfo();
    QByteArray a;
    if (!identityRequest(cmd::SysInfo, InfoSize, "Dev info", a))
        return QJsonObject();
    const qint8 product = qint8(a.at(0));
    const qint8 branch = qint8(a.at(1));
    const qint8 platform = qint8(a.at(2));
    const qint8 status = qint8(a.at(3));
    if (product < 0 || product >= DevProductCount || branch < 0 || branch >= 2 || platform < 0
        || platform >= DevPlatformCount || status < 0 || status >= 3) {
        qWarning() << "Error response:"
                   << "Product type =" << product << "Firmware type =" << branch << "Platform type =" << platform
                   << "Device type =" << status;
        return QJsonObject();
    }
    QJsonObject info;
    info.insert(QStringLiteral("product"), CameraModel::productName(product));
    info.insert(QStringLiteral("branch"), QLatin1String(BranchTable[branch]));
    info.insert(QStringLiteral("platform"), CameraModel::platformName(platform));
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

    const QString ip = net && fixedAddress_.load() ? tempIpAddr_ : globalParams()->allocIpAddr(uuid, true);
    if (ip.isEmpty()) {
        qWarning() << "There is no ip for current device";
        inited_.store(false);
        return false;
    }
    if (net && ip != tempIpAddr_) {
        // The camera moves to its pool address and comes back there later.
        qInfo() << "Due to different ip, reqDevChangeIpAddr";
        const int changed = reqDevChangeIpAddr(ip);
        globalParams()->releaseIpAddr(ip);
        if (changed != 0) {
            qWarning() << "reqDevChangeIpAddr failed";
            inited_.store(false);
        }
        return false;
    }
    std::lock_guard<std::mutex> locker(infoLock_);
    ipAddr_ = ip;
    qInfo() << "Device ip is:" << ip;
    name_ = QStringLiteral("KAVORA_ZarvoCam_") + sn.toUpper();
    qInfo() << "Device name is:" << name_;
    return true;
}

const CameraModel &UvcDevice::model() const
{
    const QJsonObject info = getInfo();
    return CameraModel::find(info.value(QStringLiteral("product")).toString(),
                             info.value(QStringLiteral("platform")).toString());
}

int UvcDevice::getDevModel()
{
    const int code = model().code;
    std::lock_guard<std::mutex> locker(infoLock_);
    modelCode_ = code;
    return code;
}

bool UvcDevice::is4KDevice() const
{
    return model().is4K;
}

QJsonObject UvcDevice::getDevReportInfo() const
{
    const CameraModel &m = model();
    std::lock_guard<std::mutex> locker(infoLock_);
    QJsonObject r;
    r.insert(QStringLiteral("product"), QLatin1String(m.reportName));
    r.insert(QStringLiteral("branch"), devInfo_.value(QStringLiteral("branch")));
    r.insert(QStringLiteral("platform"), devInfo_.value(QStringLiteral("platform")));
    r.insert(QStringLiteral("version"), version_);
    r.insert(QStringLiteral("sn"), sn_);
    return r;
}

bool UvcDevice::getCameraStatus(CameraStatus &status)
{
    if (!checkUsbMainSys())
        return false;
    CameraStatus s;
    const int r = uvc_xu_get(cmd::SelCommand, s.data, XuBlockSize);
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

int UvcDevice::checkFwUpdate()
{
    const QString latest = getLatestFwVersion();
    FwCheck result;
    if (latest.isEmpty())
        result = FwUnknown;
    else if (versionValue(latest) <= versionValue(getVersion()))
        result = FwUpToDate;
    else
        result = FwNewer;
    std::lock_guard<std::mutex> locker(infoLock_);
    fwState_ = result;
    return result;
}

int UvcDevice::aiGetAiStatus(AiStatus *status, QSharedPointer<QString> method, QObject *receiver, int getMethod)
{
    if (!checkCommon())
        return -1;
    if (getMethod == GetNonBlocking) {
        ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetAi, cmd::AiShortStatus);
        return sendMsgSyncNonBlock(f, method, receiver);
    }
    QByteArray a;
    if (!status || !request(ProtocolMsg::CmdSetAi, cmd::AiShortStatus, AiStatus::AnswerSize, "AI status", a))
        return -1;
    AiStatus::decode(a, *status);
    qInfo() << "AI Status: " << status->first << status->second << status->third << status->value;
    return 0;
}

// ---- identity fields ----

QString UvcDevice::getName() const
{
    std::lock_guard<std::mutex> locker(infoLock_);
    return ownCopy(name_.isEmpty() ? friendlyName_ : name_);
}

void UvcDevice::setLatestFwVersion(const QString &version)
{
    std::lock_guard<std::mutex> locker(infoLock_);
    latestFwVersion_ = version;
}

} // namespace pc
} // namespace vexo
