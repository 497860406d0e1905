#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <memory>
#include <mutex>
#include <vector>

class QSettings;

namespace vexo {
namespace pc {

// The process-wide parameters: every persisted setting of the settings file
// "config/kavora_win_x64.ini", the cameras the user has named, the pool of
// addresses handed to network-attached cameras, the JSON descriptions used by
// the cloud queries, and the one process-wide upgrade progress signal.
//
// The program uses the singleton instance(); tests build private instances on
// a settings file of their own with the public constructor.
//
// Locking: the address pool, the JSON builders, setDevFirmwareInfo and
// saveSettings are meant to be called from any thread. The other accessors
// are meant for the user-interface thread; they lock as well, so that a save
// or a JSON build on another thread never reads a half-written value.
class GlobalParams : public QObject
{
    Q_OBJECT

public:
    // Kinds of upgrade progress a network camera reports.
    enum UgProgressEnum : qint32 {
        UgBegin = 0,
        UgStep = 1,
        UgBusy = 2,
        UgSuccess = 3,
        UgFailed = 4,
    };
    Q_ENUM(UgProgressEnum)

    // One candidate address of the pool for a network-attached camera.
    struct IpAddrInfo
    {
        QString ip;             // prefix + segment + ".10"
        bool assigned = false;  // given to a camera right now
        QByteArray devId;       // camera identity it was given to; null if never
        int counter = 0;        // reset on assignment and release
        bool existed = false;   // this PC had the segment when the pool was built
    };

    // A remembered gimbal preset of a camera (memory only, never saved).
    struct DevPresetInfo
    {
        quint16 pan = 0;        // hundredths
        quint16 tilt = 0;       // hundredths
        quint16 zoom = 0;
        QString name;
        double zoomRatio = 1.0;
        quint8 used = 0;
    };

    // A camera the user has used, keyed by its serial number.
    struct DevInfo
    {
        QString devName;
        QString devSn;
        qint64 devTime = 0;     // creation, seconds since the epoch
        quint32 focusMode = 0;
        std::array<QString, 3> imgMini;
        std::array<QString, 3> imgPreview;
        std::array<DevPresetInfo, 3> presets;
    };

    static constexpr int MaxDevInfos = 10;
    static constexpr int MaxForeignIpSegs = 20;

    // The singleton, created on first use on the settings file of
    // defaultSettingsPath().
    static GlobalParams *instance();

    // The data root's settings file if it exists, else the installation
    // root's (program folder + "/..").
    static QString defaultSettingsPath();

    // A private instance on the given settings file (INI). Loads it and
    // builds the address pool from this PC's addresses (Util::getLocalIps).
    explicit GlobalParams(const QString &settingsPath, QObject *parent = nullptr);
    ~GlobalParams() override;

    QString settingsPath() const;

    void loadSettings();
    // Writes every persisted value and the camera records, then flushes.
    void saveSettings();

    // The project version of the build ("1.0.5.4").
    static QString getSoftwareVersion();
    QJsonObject getPcSoftwareInfo();
    QJsonObject getDevFirmwareInfo();
    void setDevFirmwareInfo(const QJsonObject &info);

    // ---- camera records ----
    // Serial numbers are compared ignoring case throughout.
    // Names the camera sn, creating its record (evicting the oldest when full)
    // if needed; saves.
    void setDevName(const QString &name, const QString &sn);
    // Renames an existing record and saves; nothing when sn is unknown.
    void renameDev(const QString &name, const QString &sn);
    // Copy of the record of sn, or an empty one.
    DevInfo getDevInfo(const QString &sn) const;
    QList<DevInfo> getDevInfos() const;
    // Copy of preset index (0..2) of sn; a default record otherwise.
    DevPresetInfo getDevPreset(const QString &sn, int index) const;
    // The following change a record in memory only (callers save).
    bool setDevPreset(const QString &sn, int index, const DevPresetInfo &preset);
    bool setDevFocusMode(const QString &sn, quint32 focusMode);
    bool setDevImage(const QString &sn, int index, const QString &imgMini, const QString &imgPreview);

    // The camera currently selected in the user interface (memory only).
    QString getCurrDevSn() const;
    void setCurrDevSn(const QString &sn);

    // ---- address pool of network cameras ----
    QString allocIpAddr(const QByteArray &devId, bool assigned);
    void releaseIpAddr(const QString &ip);
    void deleteAnIpAddr(const QString &ip);
    IpAddrInfo findNewDevIpAddr();
    QList<IpAddrInfo> getLostIpAddrs();
    QList<IpAddrInfo> getIpAddrPool() const;

    // ---- plain accessors ----
    QString getFwQueryUrl() const;
    void setFwQueryUrl(const QString &v);

    QString getHostIp() const;
    void setHostIp(const QString &v);
    QString getHostIpPrefix() const;
    void setHostIpPrefix(const QString &v);
    int getHostIpSegEnd() const;
    void setHostIpSegEnd(int v);
    int getHostIpSegStart() const;
    void setHostIpSegStart(int v);
    quint16 getHostPort() const;
    void setHostPort(quint16 v);

    quint16 getDevicePort() const;
    void setDevicePort(quint16 v);
    QString getBranch() const;
    void setBranch(const QString &v);
    QString getPlatform() const;
    void setPlatform(const QString &v);
    QString getProduct() const;
    void setProduct(const QString &v);
    QString getSeqid() const;
    void setSeqid(const QString &v);
    QString getStatus() const;
    void setStatus(const QString &v);
    QString getVersion() const;
    void setVersion(const QString &v);

    double getPresetSpeedRef() const;
    void setPresetSpeedRef(double v);
    double getCtrlSpeedRef() const;
    void setCtrlSpeedRef(double v);

    int getLanguageType() const;
    void setLanguageType(int v);

    QString getPcBranch() const;
    void setPcBranch(const QString &v);
    QString getPcPlatform() const;
    void setPcPlatform(const QString &v);
    QString getPcSeqid() const;    // this PC's machine id
    QString getPcStatus() const;
    void setPcStatus(const QString &v);
    bool getPcMacosMonterey() const;
    void setPcMacosMonterey(bool v);
    bool getAutoFramingTips() const;
    void setAutoFramingTips(bool v);
    bool getRemoteCtrlTips() const;
    void setRemoteCtrlTips(bool v);
    bool getPcVirtualBg() const;
    void setPcVirtualBg(bool v);

    // ug_info_type, font and upgrade_method are read from the file but never
    // written back; their setters change the value in memory only.
    int getUgInfoType() const;
    void setUgInfoType(int v);
    QString getFont() const;
    void setFont(const QString &v);
    int getShortcutRange() const;
    void setShortcutRange(int v);
    bool getShortcutExt() const;
    void setShortcutExt(bool v);
    bool getFallbackEnable() const;
    void setFallbackEnable(bool v);
    int getUpgradeMethod() const;
    void setUpgradeMethod(int v);

signals:
    // A network camera (uuid) reported upgrade progress; emitted from any
    // thread, receivers connect queued.
    void devUpgradeProgress(GlobalParams::UgProgressEnum type, QString uuid, QString msg);

private:
    struct SettingKey;
    static const std::vector<SettingKey> &settingKeys();

    void buildIpPool();
    int devIndex(const QString &sn) const;
    DevInfo *findDev(const QString &sn);
    int oldestDev() const;

    mutable std::recursive_mutex m_mutex;
    std::unique_ptr<QSettings> m_settings;

    QList<IpAddrInfo> m_ipPool;
    QList<DevInfo> m_devInfos;
    QString m_currDevSn;

    // The settings of the key table (defaults there).
    // cloud_server
    QString m_fwQueryUrl;
    // local_server
    QString m_hostIp;
    QString m_hostIpPrefix;
    int m_hostIpSegEnd = 0;
    int m_hostIpSegStart = 0;
    quint16 m_hostPort = 0;
    // product_info
    quint16 m_devicePort = 0;
    QString m_branch;
    QString m_platform;
    QString m_product;
    QString m_seqid;
    QString m_status;
    QString m_version;
    // gimbal_ctrl
    double m_presetSpeedRef = 0.0;
    double m_ctrlSpeedRef = 0.0;
    // language
    int m_languageType = 0;
    // software_pc
    QString m_pcBranch;
    QString m_pcPlatform;
    QString m_pcSeqid;
    QString m_pcStatus;
    bool m_pcMacosMonterey = false;
    bool m_autoFramingTips = false;
    bool m_remoteCtrlTips = false;
    bool m_pcVirtualBg = false;
    // others
    int m_ugInfoType = 0;
    QString m_font;
    int m_shortcutRange = 0;
    bool m_shortcutExt = false;
    bool m_fallbackEnable = false;
    int m_upgradeMethod = 0;
};

} // namespace pc
} // namespace vexo

Q_DECLARE_METATYPE(vexo::pc::GlobalParams::IpAddrInfo)
Q_DECLARE_METATYPE(vexo::pc::GlobalParams::DevInfo)
