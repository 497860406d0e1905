#include "comm/GlobalParams.h"
#include "comm/Util.h"

#include <QFile>
#include <QJsonObject>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>
#include <thread>
#include <vector>

using vexo::pc::GlobalParams;
using vexo::pc::Util;

class TstGlobalParams : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    int m_fileNo = 0;

    QString writeIni(const QByteArray &content)
    {
        const QString path = m_dir.filePath(QStringLiteral("kavora_%1.ini").arg(++m_fileNo));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return QString();
        f.write(content);
        return path;
    }

    static void setLocalIps(const QStringList &ips)
    {
        Util::setLocalIpsProvider([ips] { return ips; });
    }

    static QStringList poolIps(const GlobalParams &gp)
    {
        QStringList ips;
        for (const auto &e : gp.getIpAddrPool())
            ips << e.ip;
        return ips;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
    }

    void init()
    {
        setLocalIps({});
    }

    void cleanupTestCase()
    {
        Util::setLocalIpsProvider(nullptr);
    }

    void emptyFileGivesDefaults()
    {
        GlobalParams gp(writeIni(""));
        QCOMPARE(gp.getFwQueryUrl(), QStringLiteral("http://127.0.0.1:18080/firmware/dev_query/"));
        QCOMPARE(gp.getHostPort(), quint16(10086));
        QCOMPARE(gp.getLanguageType(), -1);
        QCOMPARE(gp.getPresetSpeedRef(), 20.0);
        QCOMPARE(gp.getPcSeqid(), QString::fromLatin1(QSysInfo::machineUniqueId()));
        QVERIFY(gp.getPcVirtualBg());
        QVERIFY(gp.getFallbackEnable());
        QVERIFY(!gp.getShortcutExt());
        QVERIFY(gp.getDevInfos().isEmpty());

        // No local interface in the range: 20 foreign segments, 89..108.
        const QStringList pool = poolIps(gp);
        QCOMPARE(pool.size(), 20);
        QCOMPARE(pool.first(), QStringLiteral("192.168.89.10"));
        QCOMPARE(pool.last(), QStringLiteral("192.168.108.10"));
        QCOMPARE(GlobalParams::getSoftwareVersion(), QStringLiteral("1.0.5.4"));
    }

    void garbageReadsAsZero()
    {
        GlobalParams gp(writeIni("[local_server]\nhost_port=abc\nhost_ip_seg_start=x89\n"
                                 "host_ip_seg_end=\n"
                                 "[product_info]\ndevice_port=70000\n"
                                 "[gimbal_ctrl]\npreset_speed_ref=fast\nctrl_speed_ref=12.5\n"
                                 "[language]\nlanguage_type=english\n"
                                 "[software_pc]\npc_virtual_bg=garbage\nauto_framing_tips=TRUE\n"
                                 "remote_ctrl_tips=2\n"
                                 "[others]\nfallback_enable=yes\nshortcut_ext=1\nshortcut_range=1.5\n"
                                 "upgrade_method=7\n"
                                 "[dev_info]\nsize=1\n1\\dev_time=yesterday\n1\\focus_mode=-3\n"));
        QCOMPARE(gp.getHostPort(), quint16(0));
        QCOMPARE(gp.getHostIpSegStart(), 0);
        QCOMPARE(gp.getHostIpSegEnd(), 0);
        QCOMPARE(gp.getDevicePort(), quint16(0));
        QCOMPARE(gp.getPresetSpeedRef(), 0.0);
        QCOMPARE(gp.getCtrlSpeedRef(), 12.5);
        QCOMPARE(gp.getLanguageType(), 0);
        QVERIFY(!gp.getPcVirtualBg());
        QVERIFY(gp.getAutoFramingTips());
        QVERIFY(gp.getRemoteCtrlTips());
        QVERIFY(!gp.getFallbackEnable());
        QVERIFY(gp.getShortcutExt());
        QCOMPARE(gp.getShortcutRange(), 0);
        QCOMPARE(gp.getUpgradeMethod(), 7);
        QCOMPARE(gp.getDevInfos().size(), 1);
        QCOMPARE(gp.getDevInfos().first().devTime, qint64(0));
        QCOMPARE(gp.getDevInfos().first().focusMode, quint32(0));
        // Segment range 0..0 of the garbage file: one entry.
        QCOMPARE(poolIps(gp), QStringList{QStringLiteral("192.168.0.10")});
    }

    void saveWritesEveryPersistedKey()
    {
        const QString path = writeIni("[others]\nug_info_type=3\nfont=Other.otf\nupgrade_method=1\n");
        {
            GlobalParams gp(path);
            gp.setHostPort(10099);
            gp.setLanguageType(4);
            gp.setShortcutExt(true);
            gp.setPcVirtualBg(false);
            gp.setPresetSpeedRef(12.25);
            gp.setUgInfoType(9);    // memory only
            gp.setFont(QStringLiteral("Changed.otf"));
            gp.setUpgradeMethod(0);
            gp.saveSettings();
        }
        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("others/shortcut_ext")).toString(), QStringLiteral("1"));
        QCOMPARE(raw.value(QStringLiteral("software_pc/pc_seqid")).toString(),
                 QString::fromLatin1(QSysInfo::machineUniqueId()));
        QCOMPARE(raw.value(QStringLiteral("others/ug_info_type")).toString(), QStringLiteral("3"));
        QCOMPARE(raw.value(QStringLiteral("others/font")).toString(), QStringLiteral("Other.otf"));
        QCOMPARE(raw.value(QStringLiteral("others/upgrade_method")).toString(), QStringLiteral("1"));
        QVERIFY(raw.contains(QStringLiteral("cloud_server/fw_query_url")));
        QVERIFY(raw.contains(QStringLiteral("product_info/seqid")));

        GlobalParams back(path);
        QCOMPARE(back.getHostPort(), quint16(10099));
        QCOMPARE(back.getLanguageType(), 4);
        QVERIFY(back.getShortcutExt());
        QVERIFY(!back.getPcVirtualBg());
        QCOMPARE(back.getPresetSpeedRef(), 12.25);
        QCOMPARE(back.getUgInfoType(), 3);
        QCOMPARE(back.getUpgradeMethod(), 1);

        // Read-only keys are not created by a save either.
        const QString fresh = writeIni("");
        { GlobalParams gp(fresh); }
        QSettings rawFresh(fresh, QSettings::IniFormat);
        QVERIFY(rawFresh.contains(QStringLiteral("language/language_type")));
        QVERIFY(!rawFresh.contains(QStringLiteral("others/ug_info_type")));
        QVERIFY(!rawFresh.contains(QStringLiteral("others/font")));
        QVERIFY(!rawFresh.contains(QStringLiteral("others/upgrade_method")));
    }

    void devInfoArray()
    {
        // Elements without a name read back as their position; missing serials as "null";
        // more than three images are read, three kept.
        const QString path = writeIni(
            "[dev_info]\nsize=3\n"
            "1\\dev_sn=SN-A\n1\\dev_time=100\n"
            "2\\dev_name=Desk\n2\\dev_time=200\n2\\focus_mode=2\n"
            "2\\dev_image\\size=4\n2\\dev_image\\1\\img_mini=m1\n2\\dev_image\\1\\img_preview=p1\n"
            "2\\dev_image\\3\\img_mini=m3\n2\\dev_image\\4\\img_mini=m4\n"
            "3\\dev_sn=SN-C\n");
        {
            GlobalParams gp(path);
            const auto infos = gp.getDevInfos();
            QCOMPARE(infos.size(), 3);
            QCOMPARE(infos.at(0).devName, QStringLiteral("0"));
            QCOMPARE(infos.at(0).devSn, QStringLiteral("SN-A"));
            QCOMPARE(infos.at(1).devName, QStringLiteral("Desk"));
            QCOMPARE(infos.at(1).devSn, QStringLiteral("null"));
            QCOMPARE(infos.at(1).focusMode, quint32(2));
            QCOMPARE(infos.at(1).imgMini[0], QStringLiteral("m1"));
            QCOMPARE(infos.at(1).imgPreview[0], QStringLiteral("p1"));
            QCOMPARE(infos.at(1).imgMini[2], QStringLiteral("m3"));
            QCOMPARE(infos.at(2).devName, QStringLiteral("2"));

            QCOMPARE(gp.getDevInfo(QStringLiteral("sn-a")).devTime, qint64(100));
            QCOMPARE(gp.getDevInfo(QStringLiteral("SN-X")).devSn, QString());
            gp.renameDev(QStringLiteral("Room"), QStringLiteral("SN-C"));
            gp.renameDev(QStringLiteral("Nobody"), QStringLiteral("SN-X")); // no record made
            QCOMPARE(gp.getDevInfos().size(), 3);
        }
        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("dev_info/size")).toInt(), 3);
        QCOMPARE(raw.value(QStringLiteral("dev_info/1/dev_image/size")).toInt(), 3);
        QVERIFY(!raw.contains(QStringLiteral("dev_info/2/dev_image/4/img_mini")));
        QCOMPARE(raw.value(QStringLiteral("dev_info/3/dev_name")).toString(), QStringLiteral("Room"));

        GlobalParams back(path);
        const auto infos = back.getDevInfos();
        QCOMPARE(infos.size(), 3);
        QCOMPARE(infos.at(0).devName, QStringLiteral("0"));
        QCOMPARE(infos.at(1).imgMini[2], QStringLiteral("m3"));
        QCOMPARE(infos.at(2).devName, QStringLiteral("Room"));

        // Presets live in memory only.
        GlobalParams::DevPresetInfo preset;
        preset.pan = 1234;
        preset.zoomRatio = 2.5;
        preset.used = 1;
        QVERIFY(back.setDevPreset(QStringLiteral("SN-A"), 1, preset));
        QVERIFY(!back.setDevPreset(QStringLiteral("SN-A"), 3, preset));
        QCOMPARE(back.getDevPreset(QStringLiteral("SN-A"), 1).pan, quint16(1234));
        QCOMPARE(back.getDevPreset(QStringLiteral("SN-A"), 1).zoomRatio, 2.5);
        const auto none = back.getDevPreset(QStringLiteral("SN-A"), 3);
        QCOMPARE(none.zoomRatio, 1.0);
        QCOMPARE(none.used, quint8(0));
        QCOMPARE(back.getDevPreset(QStringLiteral("SN-Z"), 0).pan, quint16(0));
    }

    void eleventhCameraEvictsOldest()
    {
        QByteArray ini("[dev_info]\nsize=10\n");
        for (int i = 1; i <= 10; ++i) {
            // The fourth record is the oldest.
            const int t = (i == 4) ? 50 : 1000 + i;
            ini += QByteArray::number(i) + "\\dev_sn=SN" + QByteArray::number(i) + "\n"
                   + QByteArray::number(i) + "\\dev_time=" + QByteArray::number(t) + "\n";
        }
        const QString path = writeIni(ini);
        GlobalParams gp(path);
        QCOMPARE(gp.getDevInfos().size(), 10);
        gp.setDevName(QStringLiteral("known"), QStringLiteral("SN7")); // existing: no eviction
        QCOMPARE(gp.getDevInfos().size(), 10);
        QCOMPARE(gp.getDevInfo(QStringLiteral("SN7")).devName, QStringLiteral("known"));

        const qint64 before = QDateTime::currentSecsSinceEpoch();
        gp.setDevName(QStringLiteral("new"), QStringLiteral("SN11"));
        QCOMPARE(gp.getDevInfos().size(), 10);
        QVERIFY(gp.getDevInfo(QStringLiteral("SN4")).devSn.isEmpty());
        QCOMPARE(gp.getDevInfos().last().devSn, QStringLiteral("SN11"));
        QVERIFY(gp.getDevInfo(QStringLiteral("SN11")).devTime >= before);

        // Ties: the first of the oldest goes (SN1 now, with 1001).
        gp.setDevName(QStringLiteral("n12"), QStringLiteral("SN12"));
        QVERIFY(gp.getDevInfo(QStringLiteral("SN1")).devSn.isEmpty());

        // Saved immediately.
        GlobalParams back(path);
        QCOMPARE(back.getDevInfos().size(), 10);
        QCOMPARE(back.getDevInfo(QStringLiteral("SN12")).devName, QStringLiteral("n12"));
    }

    void poolAroundAnExistingSegment()
    {
        setLocalIps({QStringLiteral("127.0.0.1"), QStringLiteral("192.168.90.20")});
        GlobalParams gp(writeIni(""));
        const auto pool = gp.getIpAddrPool();
        QCOMPARE(pool.size(), 21);
        QCOMPARE(pool.at(1).ip, QStringLiteral("192.168.90.10"));
        QVERIFY(pool.at(1).existed);
        QVERIFY(!pool.at(0).existed);
        QCOMPARE(pool.last().ip, QStringLiteral("192.168.109.10"));

        // The camera behind the PC's .20 link gets the existed entry.
        const auto found = gp.findNewDevIpAddr();
        QCOMPARE(found.ip, QStringLiteral("192.168.90.10"));
        QVERIFY(found.existed);

        // Only existed entries can be deleted.
        gp.deleteAnIpAddr(QStringLiteral("192.168.89.10"));
        QCOMPARE(gp.getIpAddrPool().size(), 21);
        gp.deleteAnIpAddr(QStringLiteral("192.168.90.10"));
        QCOMPARE(gp.getIpAddrPool().size(), 20);
        QVERIFY(!poolIps(gp).contains(QStringLiteral("192.168.90.10")));
        QCOMPARE(gp.findNewDevIpAddr().ip, QString()); // no pool entry, no factory link
    }

    void allocateAndRelease()
    {
        GlobalParams gp(writeIni("[local_server]\nhost_ip_seg_start=1\nhost_ip_seg_end=3\n"));
        QCOMPARE(poolIps(gp).size(), 3);
        const QByteArray camA("uuid-A"), camB("uuid-B"), camC("uuid-C"), camD("uuid-D");
        QCOMPARE(gp.allocIpAddr(camA, true), QStringLiteral("192.168.1.10"));
        QCOMPARE(gp.allocIpAddr(camA, true), QStringLiteral("192.168.1.10")); // same camera again
        QCOMPARE(gp.allocIpAddr(camB, true), QStringLiteral("192.168.2.10"));
        gp.releaseIpAddr(QStringLiteral("192.168.1.10"));
        // A new camera prefers a never-used address over A's released one.
        QCOMPARE(gp.allocIpAddr(camC, true), QStringLiteral("192.168.3.10"));
        // The released camera gets its old address back.
        QCOMPARE(gp.allocIpAddr(camA, true), QStringLiteral("192.168.1.10"));
        QCOMPARE(gp.allocIpAddr(camD, true), QString()); // pool exhausted
        gp.releaseIpAddr(QStringLiteral("192.168.2.10"));
        // Nothing never-used left: the first free entry is handed over.
        QCOMPARE(gp.allocIpAddr(camD, true), QStringLiteral("192.168.2.10"));
        const auto pool = gp.getIpAddrPool();
        QCOMPARE(pool.at(1).devId, camD);
        QVERIFY(pool.at(1).assigned);
        QCOMPARE(pool.at(1).counter, 0);
        // Marking without assigning keeps the entry free.
        gp.releaseIpAddr(QStringLiteral("192.168.3.10"));
        QCOMPARE(gp.allocIpAddr(camC, false), QStringLiteral("192.168.3.10"));
        QVERIFY(!gp.getIpAddrPool().at(2).assigned);
    }

    void lostAndFactoryAddresses()
    {
        setLocalIps({QStringLiteral("10.0.0.5"), QStringLiteral("192.168.88.20"),
                     QStringLiteral("192.168.91.20")});
        GlobalParams gp(writeIni(""));
        // 192.168.91.10 is an existed entry and unassigned: it wins over the factory address.
        QCOMPARE(gp.findNewDevIpAddr().ip, QStringLiteral("192.168.91.10"));
        QCOMPARE(gp.allocIpAddr("cam91", true), QStringLiteral("192.168.89.10"));
        QCOMPARE(gp.allocIpAddr("cam-x", true), QStringLiteral("192.168.90.10"));
        QCOMPARE(gp.allocIpAddr("cam-y", true), QStringLiteral("192.168.91.10"));
        // Now 91 is assigned: the camera in factory state at .88.
        const auto factory = gp.findNewDevIpAddr();
        QCOMPARE(factory.ip, QStringLiteral("192.168.88.10"));
        QVERIFY(!factory.assigned);
        QVERIFY(factory.devId.isNull());

        // 89 and 90 have no .20 link on this PC: lost. 91 has.
        auto lost = gp.getLostIpAddrs();
        QCOMPARE(lost.size(), 2);
        QCOMPARE(lost.at(0).ip, QStringLiteral("192.168.89.10"));
        QCOMPARE(lost.at(1).ip, QStringLiteral("192.168.90.10"));
        setLocalIps({QStringLiteral("192.168.89.20")});
        lost = gp.getLostIpAddrs();
        QCOMPARE(lost.size(), 2);
        QCOMPARE(lost.at(1).ip, QStringLiteral("192.168.91.10"));
        QCOMPARE(gp.findNewDevIpAddr().ip, QString()); // 89 is assigned, no factory link
    }

    void jsonBuilders()
    {
        GlobalParams gp(writeIni("[software_pc]\npc_branch=B1\npc_platform=P1\npc_status=S1\n"
                                 "[product_info]\nproduct=Kavora_zarvo\nversion=4.2.2.1\n"));
        const QJsonObject pc = gp.getPcSoftwareInfo();
        QCOMPARE(pc.size(), 7);
        QCOMPARE(pc.value(QStringLiteral("product")).toString(), QStringLiteral("Kavora_zarvo_pc"));
        QCOMPARE(pc.value(QStringLiteral("branch")).toString(), QStringLiteral("B1"));
        QCOMPARE(pc.value(QStringLiteral("platform")).toString(), QStringLiteral("P1"));
        QCOMPARE(pc.value(QStringLiteral("status")).toString(), QStringLiteral("S1"));
        QCOMPARE(pc.value(QStringLiteral("version")).toString(), QStringLiteral("1.0.5.4"));
        QCOMPARE(pc.value(QStringLiteral("seqid")).toString(), gp.getPcSeqid());
        QVERIFY(pc.value(QStringLiteral("pkg_type")).isDouble());
        QCOMPARE(pc.value(QStringLiteral("pkg_type")).toInt(), 0);

        QJsonObject fw = gp.getDevFirmwareInfo();
        QCOMPARE(fw.size(), 7);
        QCOMPARE(fw.value(QStringLiteral("product")).toString(), QStringLiteral("Kavora_zarvo"));
        QCOMPARE(fw.value(QStringLiteral("version")).toString(), QStringLiteral("4.2.2.1"));
        QCOMPARE(fw.value(QStringLiteral("status")).toString(), QStringLiteral("debug"));
        QCOMPARE(fw.value(QStringLiteral("pkg_type")).toInt(), 1);

        gp.setDevFirmwareInfo(QJsonObject{{QStringLiteral("product"), QStringLiteral("Kavora_zarvo4K")},
                                          {QStringLiteral("version"), QStringLiteral("5.0.0.1")},
                                          {QStringLiteral("seqid"), QStringLiteral("Q7")}});
        fw = gp.getDevFirmwareInfo();
        QCOMPARE(fw.value(QStringLiteral("product")).toString(), QStringLiteral("Kavora_zarvo4K"));
        QCOMPARE(fw.value(QStringLiteral("seqid")).toString(), QStringLiteral("Q7"));
        QCOMPARE(fw.value(QStringLiteral("branch")).toString(), QString()); // missing key
        QCOMPARE(gp.getPlatform(), QString());
    }

    void progressSignalCrossesThreads()
    {
        QVERIFY(QMetaType::type("GlobalParams::UgProgressEnum") != QMetaType::UnknownType);
        GlobalParams gp(writeIni(""));
        GlobalParams::UgProgressEnum got = GlobalParams::UgBegin;
        QString gotUuid, gotMsg;
        QObject receiver;
        connect(&gp, &GlobalParams::devUpgradeProgress, &receiver,
                [&](GlobalParams::UgProgressEnum t, const QString &u, const QString &m) {
                    got = t;
                    gotUuid = u;
                    gotMsg = m;
                },
                Qt::QueuedConnection);
        QSignalSpy spy(&gp, &GlobalParams::devUpgradeProgress);
        std::thread emitter([&gp] {
            emit gp.devUpgradeProgress(GlobalParams::UgSuccess, QStringLiteral("uuid-1"),
                                       QStringLiteral("done"));
        });
        emitter.join();
        QTRY_COMPARE(got, GlobalParams::UgSuccess);
        QCOMPARE(gotUuid, QStringLiteral("uuid-1"));
        QCOMPARE(gotMsg, QStringLiteral("done"));
        QCOMPARE(spy.count(), 1);
    }

    void poolFromSeveralThreads()
    {
        GlobalParams gp(writeIni(""));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&gp, t] {
                const QByteArray id = "cam-" + QByteArray::number(t);
                for (int i = 0; i < 200; ++i) {
                    const QString ip = gp.allocIpAddr(id, true);
                    gp.getLostIpAddrs();
                    gp.getPcSoftwareInfo();
                    if (i % 25 == 0)
                        gp.saveSettings();
                    gp.releaseIpAddr(ip);
                }
                gp.allocIpAddr(id, true);
            });
        }
        for (std::thread &th : threads)
            th.join();
        // Each camera ended up with exactly one address of its own.
        QSet<QString> ips;
        int assigned = 0;
        for (const auto &e : gp.getIpAddrPool()) {
            if (e.assigned) {
                ++assigned;
                ips.insert(e.ip);
            }
        }
        QCOMPARE(assigned, 4);
        QCOMPARE(ips.size(), 4);
    }
};

QTEST_GUILESS_MAIN(TstGlobalParams)
#include "tst_globalparams.moc"
