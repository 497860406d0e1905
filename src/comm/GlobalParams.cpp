#include "comm/GlobalParams.h"

#include "comm/Util.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDebug>
#include <QFileInfo>
#include <QMetaType>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QSysInfo>

#include <limits>
#include <mutex>
#include <variant>
#include <vector>

namespace vexo {
namespace pc {

namespace {

const QString kSettingsFile = QStringLiteral("/config/kavora_win_x64.ini");
const QString kDefaultFwQueryUrl = QStringLiteral("http://127.0.0.1:18080/firmware/dev_query/");
const QString kFactoryHostIp = QStringLiteral("192.168.88.20");

// The standard library's lock, which the thread sanitizer sees.
using Locker = std::lock_guard<std::recursive_mutex>;

// Readers applying the file's rule for values of the wrong type: they read
// as the type's zero value.

QString readString(const QSettings &s, const QString &key, const QString &def)
{
    const QVariant v = s.value(key, def);
    // An unquoted value with commas comes back from the INI reader as a list.
    if (v.type() == QVariant::StringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

// A number of the file through the given conversion, or 0 when the value
// does not convert.
template <typename T>
T readNumber(const QSettings &s, const QString &key, const QVariant &def, T (QVariant::*convert)(bool *) const)
{
    bool ok = false;
    const T r = (s.value(key, def).*convert)(&ok);
    return ok ? r : T(0);
}

quint16 readPort(const QSettings &s, const QString &key, quint16 def)
{
    const quint32 v = readNumber(s, key, def, &QVariant::toUInt);
    return v <= std::numeric_limits<quint16>::max() ? static_cast<quint16>(v) : quint16(0);
}

// "true" (any case) or a non-zero number is true; anything else false.
bool readBool(const QSettings &s, const QString &key, bool def)
{
    const QVariant v = s.value(key, def);
    if (v.type() == QVariant::Bool)
        return v.toBool();
    const QString text = v.toString().trimmed();
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    const double number = text.toDouble(&ok);
    return ok && number != 0.0;
}

void readValue(const QSettings &s, const QString &key, const QVariant &def, QString &out)
{
    out = readString(s, key, def.toString());
}

void readValue(const QSettings &s, const QString &key, const QVariant &def, int &out)
{
    out = readNumber(s, key, def, &QVariant::toInt);
}

void readValue(const QSettings &s, const QString &key, const QVariant &def, quint16 &out)
{
    out = readPort(s, key, static_cast<quint16>(def.toUInt()));
}

void readValue(const QSettings &s, const QString &key, const QVariant &def, double &out)
{
    out = readNumber(s, key, def, &QVariant::toDouble);
}

void readValue(const QSettings &s, const QString &key, const QVariant &def, bool &out)
{
    out = readBool(s, key, def.toBool());
}

template <typename T>
QVariant settingValue(const T &v, bool)
{
    return QVariant(v);
}

QVariant settingValue(quint16 v, bool)
{
    return QVariant(static_cast<int>(v));
}

QVariant settingValue(bool v, bool asInt)
{
    return asInt ? QVariant(v ? 1 : 0) : QVariant(v);
}

QString segmentOf(const QString &ip)
{
    return ip.left(ip.lastIndexOf(QLatin1Char('.')));
}

} // namespace

GlobalParams *GlobalParams::instance()
{
    static GlobalParams params(defaultSettingsPath());
    return &params;
}

QString GlobalParams::defaultSettingsPath()
{
    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString userFile = dataRoot + kSettingsFile;
    if (!dataRoot.isEmpty() && QFileInfo::exists(userFile))
        return userFile;
    return QCoreApplication::applicationDirPath() + QLatin1String("/..") + kSettingsFile;
}

GlobalParams::GlobalParams(const QString &settingsPath, QObject *parent)
    : QObject(parent)
    , m_settings(new QSettings(settingsPath, QSettings::IniFormat))
{
    m_settings->setIniCodec("UTF-8");
    loadSettings();
    qRegisterMetaType<GlobalParams::UgProgressEnum>("GlobalParams::UgProgressEnum");
    buildIpPool();
}

GlobalParams::~GlobalParams()
{
    saveSettings();
}

QString GlobalParams::settingsPath() const
{
    return m_settings->fileName();
}

// Every plain setting: where it lives in the file, which member holds it,
// its default, and whether it is read, written or both. Load and save both
// walk this table; the camera records are an array and handled beside it.
struct GlobalParams::SettingKey
{
    using Member = std::variant<QString GlobalParams::*, int GlobalParams::*, quint16 GlobalParams::*,
                                double GlobalParams::*, bool GlobalParams::*>;
    enum Flags { Read = 1, Write = 2, ReadWrite = Read | Write, BoolAsInt = 4 };

    const char *group;
    const char *key;
    Member member;
    QVariant def;
    int flags;
};

const std::vector<GlobalParams::SettingKey> &GlobalParams::settingKeys()
{
    using K = SettingKey;
    static const std::vector<SettingKey> keys = {
        {"cloud_server", "fw_query_url", &GlobalParams::m_fwQueryUrl, kDefaultFwQueryUrl, K::ReadWrite},
        {"local_server", "host_ip", &GlobalParams::m_hostIp, kFactoryHostIp, K::ReadWrite},
        {"local_server", "host_ip_prefix", &GlobalParams::m_hostIpPrefix, QStringLiteral("192.168."), K::ReadWrite},
        {"local_server", "host_ip_seg_end", &GlobalParams::m_hostIpSegEnd, 128, K::ReadWrite},
        {"local_server", "host_ip_seg_start", &GlobalParams::m_hostIpSegStart, 89, K::ReadWrite},
        {"local_server", "host_port", &GlobalParams::m_hostPort, 10086, K::ReadWrite},
        {"product_info", "device_port", &GlobalParams::m_devicePort, 10086, K::ReadWrite},
        {"product_info", "branch", &GlobalParams::m_branch, QStringLiteral("OA_E"), K::ReadWrite},
        {"product_info", "platform", &GlobalParams::m_platform, QStringLiteral("Hi3516DV300"), K::ReadWrite},
        {"product_info", "product", &GlobalParams::m_product, QStringLiteral("Kavora_nimo_2P"), K::ReadWrite},
        {"product_info", "seqid", &GlobalParams::m_seqid, QString(), K::ReadWrite},
        {"product_info", "status", &GlobalParams::m_status, QStringLiteral("debug"), K::ReadWrite},
        {"product_info", "version", &GlobalParams::m_version, QStringLiteral("0.0.0.0"), K::ReadWrite},
        {"gimbal_ctrl", "preset_speed_ref", &GlobalParams::m_presetSpeedRef, 20.0, K::ReadWrite},
        {"gimbal_ctrl", "ctrl_speed_ref", &GlobalParams::m_ctrlSpeedRef, 30.0, K::ReadWrite},
        {"language", "language_type", &GlobalParams::m_languageType, -1, K::ReadWrite},
        {"software_pc", "pc_branch", &GlobalParams::m_pcBranch, QStringLiteral("OA_E"), K::ReadWrite},
        {"software_pc", "pc_platform", &GlobalParams::m_pcPlatform, QStringLiteral(ZARVO_PC_PLATFORM), K::ReadWrite},
        // Written for reference only; the identity is always the machine's.
        {"software_pc", "pc_seqid", &GlobalParams::m_pcSeqid, QString(), K::Write},
        {"software_pc", "pc_status", &GlobalParams::m_pcStatus, QStringLiteral("release"), K::ReadWrite},
        {"software_pc", "pc_macos_monterey", &GlobalParams::m_pcMacosMonterey, false, K::ReadWrite},
        {"software_pc", "auto_framing_tips", &GlobalParams::m_autoFramingTips, false, K::ReadWrite},
        {"software_pc", "remote_ctrl_tips", &GlobalParams::m_remoteCtrlTips, false, K::ReadWrite},
        {"software_pc", "pc_virtual_bg", &GlobalParams::m_pcVirtualBg, true, K::ReadWrite},
        // ug_info_type, font and upgrade_method are the user's to edit: never written.
        {"others", "ug_info_type", &GlobalParams::m_ugInfoType, 0, K::Read},
        {"others", "font", &GlobalParams::m_font, QStringLiteral("SourceHanSansCN-Bold.otf"), K::Read},
        {"others", "shortcut_range", &GlobalParams::m_shortcutRange, 0, K::ReadWrite},
        {"others", "shortcut_ext", &GlobalParams::m_shortcutExt, false, K::ReadWrite | K::BoolAsInt},
        {"others", "fallback_enable", &GlobalParams::m_fallbackEnable, true, K::ReadWrite},
        {"others", "upgrade_method", &GlobalParams::m_upgradeMethod, 0, K::Read},
    };
    return keys;
}

void GlobalParams::loadSettings()
{
    Locker lock(m_mutex);
    QSettings &s = *m_settings;

    for (const SettingKey &k : settingKeys()) {
        if (!(k.flags & SettingKey::Read))
            continue;
        const QString path = QLatin1String(k.group) + QLatin1Char('/') + QLatin1String(k.key);
        std::visit([&](auto member) { readValue(s, path, k.def, this->*member); }, k.member);
    }
    m_pcSeqid = QString::fromLatin1(QSysInfo::machineUniqueId());

    m_devInfos.clear();
    const int count = s.beginReadArray(QStringLiteral("dev_info"));
    for (int i = 0; i < count; ++i) {
        s.setArrayIndex(i);
        DevInfo info;
        info.devName = readString(s, QStringLiteral("dev_name"), QString::number(i));
        info.devSn = readString(s, QStringLiteral("dev_sn"), QStringLiteral("null"));
        info.devTime = readNumber(s, QStringLiteral("dev_time"), 0, &QVariant::toLongLong);
        info.focusMode = readNumber(s, QStringLiteral("focus_mode"), 0, &QVariant::toUInt);
        const int images = s.beginReadArray(QStringLiteral("dev_image"));
        for (int k = 0; k < images && k < 3; ++k) {
            s.setArrayIndex(k);
            info.imgMini[k] = readString(s, QStringLiteral("img_mini"), QString());
            info.imgPreview[k] = readString(s, QStringLiteral("img_preview"), QString());
        }
        s.endArray();
        m_devInfos.append(info);
    }
    s.endArray();
    // A hand-edited file may list more cameras than we keep: drop the oldest.
    while (m_devInfos.size() > MaxDevInfos)
        m_devInfos.removeAt(oldestDev());
}

void GlobalParams::saveSettings()
{
    Locker lock(m_mutex);
    QSettings &s = *m_settings;

    for (const SettingKey &k : settingKeys()) {
        if (!(k.flags & SettingKey::Write))
            continue;
        const QString path = QLatin1String(k.group) + QLatin1Char('/') + QLatin1String(k.key);
        std::visit([&](auto member) { s.setValue(path, settingValue(this->*member, k.flags & SettingKey::BoolAsInt)); },
                   k.member);
    }

    // Rewrite the array whole, so that no element of a longer old list stays.
    s.remove(QStringLiteral("dev_info"));
    s.beginWriteArray(QStringLiteral("dev_info"), m_devInfos.size());
    for (int i = 0; i < m_devInfos.size(); ++i) {
        const DevInfo &info = m_devInfos.at(i);
        s.setArrayIndex(i);
        s.setValue(QStringLiteral("dev_name"), info.devName);
        s.setValue(QStringLiteral("dev_sn"), info.devSn);
        s.setValue(QStringLiteral("dev_time"), info.devTime);
        s.setValue(QStringLiteral("focus_mode"), info.focusMode);
        s.beginWriteArray(QStringLiteral("dev_image"), 3);
        for (int k = 0; k < 3; ++k) {
            s.setArrayIndex(k);
            s.setValue(QStringLiteral("img_mini"), info.imgMini[k]);
            s.setValue(QStringLiteral("img_preview"), info.imgPreview[k]);
        }
        s.endArray();
    }
    s.endArray();
    s.sync();
}

QString GlobalParams::getSoftwareVersion()
{
    return QStringLiteral(ZARVO_VERSION);
}

QJsonObject GlobalParams::getPcSoftwareInfo()
{
    Locker lock(m_mutex);
    QJsonObject obj;
    obj.insert(QStringLiteral("product"), QStringLiteral("Kavora_zarvo_pc"));
    obj.insert(QStringLiteral("branch"), m_pcBranch);
    obj.insert(QStringLiteral("platform"), m_pcPlatform);
    obj.insert(QStringLiteral("status"), m_pcStatus);
    obj.insert(QStringLiteral("version"), getSoftwareVersion());
    obj.insert(QStringLiteral("seqid"), m_pcSeqid);
    obj.insert(QStringLiteral("pkg_type"), 0);
    return obj;
}

QJsonObject GlobalParams::getDevFirmwareInfo()
{
    Locker lock(m_mutex);
    QJsonObject obj;
    obj.insert(QStringLiteral("product"), m_product);
    obj.insert(QStringLiteral("branch"), m_branch);
    obj.insert(QStringLiteral("platform"), m_platform);
    obj.insert(QStringLiteral("status"), m_status);
    obj.insert(QStringLiteral("version"), m_version);
    obj.insert(QStringLiteral("seqid"), m_seqid);
    obj.insert(QStringLiteral("pkg_type"), 1);
    return obj;
}

void GlobalParams::setDevFirmwareInfo(const QJsonObject &info)
{
    Locker lock(m_mutex);
    m_product = info.value(QStringLiteral("product")).toString();
    m_branch = info.value(QStringLiteral("branch")).toString();
    m_platform = info.value(QStringLiteral("platform")).toString();
    m_status = info.value(QStringLiteral("status")).toString();
    m_version = info.value(QStringLiteral("version")).toString();
    m_seqid = info.value(QStringLiteral("seqid")).toString();
}

// ---- camera records --------------------------------------------------------

// Serials are compared ignoring case everywhere, so that a camera reporting
// its serial in another case keeps its one record.
int GlobalParams::devIndex(const QString &sn) const
{
    for (int i = 0; i < m_devInfos.size(); ++i) {
        if (m_devInfos.at(i).devSn.compare(sn, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

GlobalParams::DevInfo *GlobalParams::findDev(const QString &sn)
{
    const int i = devIndex(sn);
    return i < 0 ? nullptr : &m_devInfos[i];
}

// The record created first (the first one on a tie).
int GlobalParams::oldestDev() const
{
    int oldest = 0;
    for (int i = 1; i < m_devInfos.size(); ++i) {
        if (m_devInfos.at(i).devTime < m_devInfos.at(oldest).devTime)
            oldest = i;
    }
    return oldest;
}

void GlobalParams::setDevName(const QString &name, const QString &sn)
{
    Locker lock(m_mutex);
    if (DevInfo *info = findDev(sn)) {
        info->devName = name;
    } else {
        if (m_devInfos.size() >= MaxDevInfos)
            m_devInfos.removeAt(oldestDev());
        DevInfo added;
        added.devName = name;
        added.devSn = sn;
        added.devTime = QDateTime::currentSecsSinceEpoch();
        m_devInfos.append(added);
    }
    saveSettings();
}

void GlobalParams::renameDev(const QString &name, const QString &sn)
{
    Locker lock(m_mutex);
    DevInfo *info = findDev(sn);
    if (!info)
        return;
    info->devName = name;
    saveSettings();
}

GlobalParams::DevInfo GlobalParams::getDevInfo(const QString &sn) const
{
    Locker lock(m_mutex);
    const int i = devIndex(sn);
    return i < 0 ? DevInfo() : m_devInfos.at(i);
}

QList<GlobalParams::DevInfo> GlobalParams::getDevInfos() const
{
    Locker lock(m_mutex);
    return m_devInfos;
}

GlobalParams::DevPresetInfo GlobalParams::getDevPreset(const QString &sn, int index) const
{
    Locker lock(m_mutex);
    const int i = devIndex(sn);
    if (i < 0 || index < 0 || index >= 3)
        return DevPresetInfo();
    return m_devInfos.at(i).presets[static_cast<size_t>(index)];
}

bool GlobalParams::setDevPreset(const QString &sn, int index, const DevPresetInfo &preset)
{
    Locker lock(m_mutex);
    DevInfo *info = findDev(sn);
    if (!info || index < 0 || index >= 3)
        return false;
    info->presets[static_cast<size_t>(index)] = preset;
    return true;
}

bool GlobalParams::setDevFocusMode(const QString &sn, quint32 focusMode)
{
    Locker lock(m_mutex);
    DevInfo *info = findDev(sn);
    if (!info)
        return false;
    info->focusMode = focusMode;
    return true;
}

bool GlobalParams::setDevImage(const QString &sn, int index, const QString &imgMini,
                               const QString &imgPreview)
{
    Locker lock(m_mutex);
    DevInfo *info = findDev(sn);
    if (!info || index < 0 || index >= 3)
        return false;
    info->imgMini[static_cast<size_t>(index)] = imgMini;
    info->imgPreview[static_cast<size_t>(index)] = imgPreview;
    return true;
}

QString GlobalParams::getCurrDevSn() const
{
    Locker lock(m_mutex);
    return m_currDevSn;
}

void GlobalParams::setCurrDevSn(const QString &sn)
{
    Locker lock(m_mutex);
    m_currDevSn = sn;
}

// ---- address pool -------------------------------------------------------

void GlobalParams::buildIpPool()
{
    Locker lock(m_mutex);
    m_ipPool.clear();
    const QStringList localSegs = Util::getLocalIpSegs();
    int foreign = 0;
    for (qint64 n = m_hostIpSegStart; n <= m_hostIpSegEnd && foreign < MaxForeignIpSegs; ++n) {
        const QString seg = m_hostIpPrefix + QString::number(n);
        IpAddrInfo entry;
        entry.ip = seg + QLatin1String(".10");
        if (localSegs.contains(seg)) {
            entry.existed = true;
            qDebug().noquote() << "Add existed ip:" << seg;
        } else {
            ++foreign;
        }
        m_ipPool.append(entry);
    }
}

QString GlobalParams::allocIpAddr(const QByteArray &devId, bool assigned)
{
    Locker lock(m_mutex);
    if (!devId.isEmpty()) {
        for (IpAddrInfo &entry : m_ipPool) {
            if (entry.devId == devId) {
                entry.assigned = assigned;
                entry.counter = 0;
                return entry.ip;
            }
        }
    }
    IpAddrInfo *chosen = nullptr;
    for (IpAddrInfo &entry : m_ipPool) {
        if (!entry.assigned && entry.devId.isNull()) {
            chosen = &entry;
            break;
        }
    }
    if (!chosen) {
        for (IpAddrInfo &entry : m_ipPool) {
            if (!entry.assigned) {
                chosen = &entry;
                break;
            }
        }
    }
    if (!chosen)
        return QString();
    chosen->devId = devId;
    chosen->assigned = assigned;
    chosen->counter = 0;
    return chosen->ip;
}

void GlobalParams::releaseIpAddr(const QString &ip)
{
    Locker lock(m_mutex);
    for (IpAddrInfo &entry : m_ipPool) {
        if (entry.ip == ip) {
            entry.assigned = false;
            entry.counter = 0;
            return;
        }
    }
}

void GlobalParams::deleteAnIpAddr(const QString &ip)
{
    Locker lock(m_mutex);
    for (int i = 0; i < m_ipPool.size(); ++i) {
        if (m_ipPool.at(i).ip == ip && m_ipPool.at(i).existed) {
            m_ipPool.removeAt(i);
            qDebug().noquote() << "Delete ip:" << ip;
            return;
        }
    }
}

GlobalParams::IpAddrInfo GlobalParams::findNewDevIpAddr()
{
    Locker lock(m_mutex);
    const QStringList localIps = Util::getLocalIps();
    for (const QString &local : localIps) {
        if (!local.startsWith(m_hostIpPrefix) || !local.endsWith(QLatin1String(".20")))
            continue;
        const QString candidate = segmentOf(local) + QLatin1String(".10");
        for (const IpAddrInfo &entry : qAsConst(m_ipPool)) {
            if (!entry.assigned && entry.ip == candidate)
                return entry;
        }
    }
    // A camera in its factory state sits at .10 beside the PC's factory link.
    IpAddrInfo result;
    if (localIps.contains(m_hostIp))
        result.ip = segmentOf(m_hostIp) + QLatin1String(".10");
    return result;
}

QList<GlobalParams::IpAddrInfo> GlobalParams::getLostIpAddrs()
{
    Locker lock(m_mutex);
    const QStringList localIps = Util::getLocalIps();
    QList<IpAddrInfo> lost;
    for (const IpAddrInfo &entry : qAsConst(m_ipPool)) {
        if (entry.assigned && !localIps.contains(segmentOf(entry.ip) + QLatin1String(".20")))
            lost.append(entry);
    }
    return lost;
}

QList<GlobalParams::IpAddrInfo> GlobalParams::getIpAddrPool() const
{
    Locker lock(m_mutex);
    return m_ipPool;
}

// ---- plain accessors -------------------------------------------------------

#define ZARVO_PARAM(Type, Get, Set, member)                                                        \
    Type GlobalParams::Get() const                                                                 \
    {                                                                                              \
        Locker lock(m_mutex);                                                                     \
        return member;                                                                             \
    }                                                                                              \
    void GlobalParams::Set(ZARVO_PARAM_ARG(Type) v)                                                \
    {                                                                                              \
        Locker lock(m_mutex);                                                                     \
        member = v;                                                                                \
    }

// Strings are passed by const reference, numbers by value.
template <typename T>
struct ParamArg { using type = T; };
template <>
struct ParamArg<QString> { using type = const QString &; };
#define ZARVO_PARAM_ARG(Type) ParamArg<Type>::type

ZARVO_PARAM(QString, getFwQueryUrl, setFwQueryUrl, m_fwQueryUrl)
ZARVO_PARAM(QString, getHostIp, setHostIp, m_hostIp)
ZARVO_PARAM(QString, getHostIpPrefix, setHostIpPrefix, m_hostIpPrefix)
ZARVO_PARAM(int, getHostIpSegEnd, setHostIpSegEnd, m_hostIpSegEnd)
ZARVO_PARAM(int, getHostIpSegStart, setHostIpSegStart, m_hostIpSegStart)
ZARVO_PARAM(quint16, getHostPort, setHostPort, m_hostPort)
ZARVO_PARAM(quint16, getDevicePort, setDevicePort, m_devicePort)
ZARVO_PARAM(QString, getBranch, setBranch, m_branch)
ZARVO_PARAM(QString, getPlatform, setPlatform, m_platform)
ZARVO_PARAM(QString, getProduct, setProduct, m_product)
ZARVO_PARAM(QString, getSeqid, setSeqid, m_seqid)
ZARVO_PARAM(QString, getStatus, setStatus, m_status)
ZARVO_PARAM(QString, getVersion, setVersion, m_version)
ZARVO_PARAM(double, getPresetSpeedRef, setPresetSpeedRef, m_presetSpeedRef)
ZARVO_PARAM(double, getCtrlSpeedRef, setCtrlSpeedRef, m_ctrlSpeedRef)
ZARVO_PARAM(int, getLanguageType, setLanguageType, m_languageType)
ZARVO_PARAM(QString, getPcBranch, setPcBranch, m_pcBranch)
ZARVO_PARAM(QString, getPcPlatform, setPcPlatform, m_pcPlatform)
ZARVO_PARAM(QString, getPcStatus, setPcStatus, m_pcStatus)
ZARVO_PARAM(bool, getPcMacosMonterey, setPcMacosMonterey, m_pcMacosMonterey)
ZARVO_PARAM(bool, getAutoFramingTips, setAutoFramingTips, m_autoFramingTips)
ZARVO_PARAM(bool, getRemoteCtrlTips, setRemoteCtrlTips, m_remoteCtrlTips)
ZARVO_PARAM(bool, getPcVirtualBg, setPcVirtualBg, m_pcVirtualBg)
ZARVO_PARAM(int, getUgInfoType, setUgInfoType, m_ugInfoType)
ZARVO_PARAM(QString, getFont, setFont, m_font)
ZARVO_PARAM(int, getShortcutRange, setShortcutRange, m_shortcutRange)
ZARVO_PARAM(bool, getShortcutExt, setShortcutExt, m_shortcutExt)
ZARVO_PARAM(bool, getFallbackEnable, setFallbackEnable, m_fallbackEnable)
ZARVO_PARAM(int, getUpgradeMethod, setUpgradeMethod, m_upgradeMethod)

#undef ZARVO_PARAM
#undef ZARVO_PARAM_ARG

QString GlobalParams::getPcSeqid() const
{
    Locker lock(m_mutex);
    return m_pcSeqid;
}

} // namespace pc
} // namespace vexo
