#include "comm/GlobalParams.h"
#include "comm/Util.h"

#include <QFile>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

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
        return f.open(QIODevice::WriteOnly) && f.write(content) == content.size() ? path : QString();
    }

    static void setLocalIps(const QStringList &ips) { Util::setLocalIpsProvider([ips] { return ips; }); }

private slots:
    void init() { setLocalIps({}); }
    void cleanupTestCase() { Util::setLocalIpsProvider(nullptr); }

    void emptyFileGivesDefaults()
    {
        GlobalParams gp(writeIni(""));
        QCOMPARE(gp.getHostPort(), quint16(10086));
        QCOMPARE(gp.getLanguageType(), -1);
        QVERIFY(gp.getPcVirtualBg());
        QVERIFY(gp.getFallbackEnable());
        // No local interface in the range: 20 foreign segments, 89..108.
        const auto pool = gp.getIpAddrPool();
        QCOMPARE(pool.size(), 20);
        QCOMPARE(pool.first().ip + pool.last().ip, QStringLiteral("192.168.89.10192.168.108.10"));
        QCOMPARE(GlobalParams::getSoftwareVersion().split(QLatin1Char('.')).size(), 4); // from the build
    }

    // Every key a file holds comes back unchanged from a load followed by a
    // save: load and save agree on group, key and type of every setting.
    // Read-only keys are never written, in-memory changes included; the
    // machine id is written but never read.
    void saveWritesBackWhatLoadRead()
    {
        const QString path = writeIni("[cloud_server]\nfw_query_url=http://example.test:1/q/\n"
                                      "[local_server]\nhost_ip=10.1.1.20\nhost_ip_prefix=10.1.\nhost_ip_seg_end=5\n"
                                      "host_ip_seg_start=2\nhost_port=10099\n"
                                      "[product_info]\ndevice_port=8081\nbranch=B\nplatform=P\nproduct=Pr\nseqid=S\n"
                                      "status=release\nversion=1.2.3.4\n"
                                      "[gimbal_ctrl]\npreset_speed_ref=12.25\nctrl_speed_ref=7.5\n"
                                      "[language]\nlanguage_type=4\n"
                                      "[software_pc]\npc_branch=PB\npc_platform=PP\npc_status=test\npc_macos_monterey=true\n"
                                      "auto_framing_tips=true\nremote_ctrl_tips=true\npc_virtual_bg=false\n"
                                      "[others]\nug_info_type=3\nfont=Other.otf\nshortcut_range=1\nshortcut_ext=1\n"
                                      "fallback_enable=false\nupgrade_method=1\n");
        QSettings before(path, QSettings::IniFormat);
        const QStringList keys = before.allKeys();
        QCOMPARE(keys.size(), 29);
        {
            GlobalParams gp(path);
            gp.saveSettings();
            QSettings after(path, QSettings::IniFormat);
            for (const QString &key : keys)
                QVERIFY2(after.value(key).toString() == before.value(key).toString(), qPrintable(key));
            gp.setFont(QStringLiteral("Changed.otf"));
            gp.setUpgradeMethod(2);
        } // the destructor saves
        QSettings after(path, QSettings::IniFormat);
        QCOMPARE(after.value(QStringLiteral("others/font")).toString(), QStringLiteral("Other.otf"));
        QCOMPARE(after.value(QStringLiteral("others/upgrade_method")).toString(), QStringLiteral("1"));
        QCOMPARE(after.value(QStringLiteral("software_pc/pc_seqid")).toString(),
                 QString::fromLatin1(QSysInfo::machineUniqueId()));
        const QString fresh = writeIni("[software_pc]\npc_seqid=someone-else\n");
        QCOMPARE(GlobalParams(fresh).getPcSeqid(), QString::fromLatin1(QSysInfo::machineUniqueId()));
        QVERIFY(!QSettings(fresh, QSettings::IniFormat).contains(QStringLiteral("others/ug_info_type")));
    }

    void garbageReadsAsZero()
    {
        GlobalParams gp(writeIni("[local_server]\nhost_port=abc\nhost_ip_seg_start=x89\nhost_ip_seg_end=\n"
                                 "[product_info]\ndevice_port=70000\n"
                                 "[gimbal_ctrl]\npreset_speed_ref=fast\n"
                                 "[language]\nlanguage_type=english\n"
                                 "[software_pc]\npc_virtual_bg=garbage\nauto_framing_tips=TRUE\nremote_ctrl_tips=2\n"
                                 "[others]\nfallback_enable=yes\nshortcut_range=1.5\n"
                                 "[dev_info]\nsize=1\n1\\dev_time=yesterday\n1\\focus_mode=-3\n"));
        QCOMPARE(gp.getHostPort() + gp.getDevicePort(), 0); // device_port out of range
        QCOMPARE(gp.getPresetSpeedRef(), 0.0);
        QCOMPARE(gp.getLanguageType() + gp.getShortcutRange(), 0);
        QVERIFY(!gp.getPcVirtualBg() && !gp.getFallbackEnable());
        QVERIFY(gp.getAutoFramingTips() && gp.getRemoteCtrlTips());
        QCOMPARE(gp.getDevInfos().first().devTime + gp.getDevInfos().first().focusMode, qint64(0));
        QCOMPARE(gp.getIpAddrPool().last().ip, QStringLiteral("192.168.0.10")); // segments 0..0
    }

    void devInfoArray()
    {
        // Elements without a name read back as their position; missing serials as "null";
        // more than three images are read, three kept.
        const QString path = writeIni("[dev_info]\nsize=3\n"
                                      "1\\dev_sn=SN-A\n1\\dev_time=100\n"
                                      "2\\dev_name=Desk\n2\\focus_mode=2\n"
                                      "2\\dev_image\\size=4\n2\\dev_image\\3\\img_mini=m3\n2\\dev_image\\4\\img_mini=m4\n"
                                      "3\\dev_sn=SN-C\n");
        {
            GlobalParams gp(path);
            const auto infos = gp.getDevInfos();
            QCOMPARE(infos.at(0).devName + infos.at(2).devName, QStringLiteral("02"));
            QCOMPARE(infos.at(1).devSn, QStringLiteral("null"));
            QCOMPARE(infos.at(1).imgMini[2], QStringLiteral("m3"));
            gp.renameDev(QStringLiteral("Room"), QStringLiteral("SN-C"));
            gp.renameDev(QStringLiteral("Nobody"), QStringLiteral("SN-X")); // no record made
            QCOMPARE(gp.getDevPreset(QStringLiteral("SN-A"), 3).zoomRatio, 1.0); // out of range: default
        }
        QSettings raw(path, QSettings::IniFormat);
        QCOMPARE(raw.value(QStringLiteral("dev_info/size")).toInt(), 3);
        QCOMPARE(raw.value(QStringLiteral("dev_info/2/dev_image/size")).toInt(), 3);
        QCOMPARE(raw.value(QStringLiteral("dev_info/3/dev_name")).toString(), QStringLiteral("Room"));
    }

    // A camera reporting its serial in another case keeps its one record.
    void serialCaseDoesNotSplitRecords()
    {
        const QString path = writeIni("");
        GlobalParams gp(path);
        gp.setDevName(QStringLiteral("Desk"), QStringLiteral("SN-abc"));
        gp.setDevName(QStringLiteral("Room"), QStringLiteral("sn-ABC"));
        QCOMPARE(gp.getDevInfos().size(), 1);
        gp.renameDev(QStringLiteral("Hall"), QStringLiteral("SN-ABC"));
        QVERIFY(gp.setDevFocusMode(QStringLiteral("sn-abc"), 3));
        QCOMPARE(gp.getDevInfos().size(), 1);
        QCOMPARE(gp.getDevInfo(QStringLiteral("SN-abc")).devName, QStringLiteral("Hall"));
        QCOMPARE(gp.getDevInfo(QStringLiteral("SN-abc")).focusMode, quint32(3));
    }

    void eleventhCameraEvictsOldest()
    {
        QByteArray ini("[dev_info]\nsize=10\n");
        for (int i = 1; i <= 10; ++i) {
            const int t = (i == 4) ? 50 : 1000 + i; // the fourth record is the oldest
            ini += QByteArray::number(i) + "\\dev_sn=SN" + QByteArray::number(i) + "\n" + QByteArray::number(i)
                + "\\dev_time=" + QByteArray::number(t) + "\n";
        }
        const QString path = writeIni(ini);
        GlobalParams gp(path);
        gp.setDevName(QStringLiteral("known"), QStringLiteral("SN7")); // existing: no eviction
        gp.setDevName(QStringLiteral("new"), QStringLiteral("SN11"));
        QVERIFY(gp.getDevInfo(QStringLiteral("SN4")).devSn.isEmpty());
        // Then the first of the oldest goes (SN1, with 1001); saved at once.
        gp.setDevName(QStringLiteral("n12"), QStringLiteral("SN12"));
        GlobalParams back(path);
        QCOMPARE(back.getDevInfos().size(), 10);
        QVERIFY(back.getDevInfo(QStringLiteral("SN1")).devSn.isEmpty());
        QCOMPARE(back.getDevInfo(QStringLiteral("SN12")).devName, QStringLiteral("n12"));
    }

    void allocateAndRelease()
    {
        GlobalParams gp(writeIni("[local_server]\nhost_ip_seg_start=1\nhost_ip_seg_end=3\n"));
        const auto alloc = [&gp](const char *cam, bool assign = true) { return gp.allocIpAddr(cam, assign); };
        QCOMPARE(alloc("A"), QStringLiteral("192.168.1.10"));
        QCOMPARE(alloc("A"), QStringLiteral("192.168.1.10")); // the same camera again
        QCOMPARE(alloc("B"), QStringLiteral("192.168.2.10"));
        gp.releaseIpAddr(QStringLiteral("192.168.1.10"));
        // A new camera prefers a never-used address over A's released one;
        // the released camera gets its old one back; then the pool is exhausted.
        QCOMPARE(alloc("C"), QStringLiteral("192.168.3.10"));
        QCOMPARE(alloc("A"), QStringLiteral("192.168.1.10"));
        QCOMPARE(alloc("D"), QString());
        gp.releaseIpAddr(QStringLiteral("192.168.2.10"));
        // Nothing never-used left: the first free entry is handed over.
        QCOMPARE(alloc("D"), QStringLiteral("192.168.2.10"));
        // Marking without assigning keeps the entry free.
        gp.releaseIpAddr(QStringLiteral("192.168.3.10"));
        QCOMPARE(alloc("C", false), QStringLiteral("192.168.3.10"));
        QVERIFY(!gp.getIpAddrPool().at(2).assigned);
    }

    void lostAndFactoryAddresses()
    {
        setLocalIps({QStringLiteral("10.0.0.5"), QStringLiteral("192.168.88.20"), QStringLiteral("192.168.91.20")});
        GlobalParams gp(writeIni(""));
        // 192.168.91.10 is an existed, unassigned entry: it wins over the factory address.
        QCOMPARE(gp.findNewDevIpAddr().ip, QStringLiteral("192.168.91.10"));
        QCOMPARE(gp.allocIpAddr("cam-a", true), QStringLiteral("192.168.89.10"));
        QCOMPARE(gp.allocIpAddr("cam-b", true), QStringLiteral("192.168.90.10"));
        QCOMPARE(gp.allocIpAddr("cam-c", true), QStringLiteral("192.168.91.10"));
        // Now 91 is assigned: the camera in factory state at .88.
        QCOMPARE(gp.findNewDevIpAddr().ip, QStringLiteral("192.168.88.10"));
        QVERIFY(gp.getIpAddrPool().at(2).existed);
        QCOMPARE(gp.getIpAddrPool().last().ip, QStringLiteral("192.168.109.10")); // 20 foreign segments
        // 89 and 90 have no .20 link on this PC: lost. 91 has.
        auto lost = gp.getLostIpAddrs();
        QCOMPARE(lost.size(), 2);
        QCOMPARE(lost.at(1).ip, QStringLiteral("192.168.90.10"));
        setLocalIps({QStringLiteral("192.168.89.20")});
        lost = gp.getLostIpAddrs();
        QCOMPARE(lost.size(), 2);
        QCOMPARE(lost.at(1).ip, QStringLiteral("192.168.91.10"));
        // Only existed entries can be deleted.
        gp.deleteAnIpAddr(QStringLiteral("192.168.89.10"));
        gp.deleteAnIpAddr(QStringLiteral("192.168.91.10"));
        QCOMPARE(gp.getIpAddrPool().size(), 20);
        QCOMPARE(gp.getIpAddrPool().at(0).ip, QStringLiteral("192.168.89.10"));
    }

    void jsonBuilders()
    {
        GlobalParams gp(writeIni(""));
        gp.setDevFirmwareInfo(QJsonObject{{QStringLiteral("seqid"), QStringLiteral("Q7")}});
        const QJsonObject fw = gp.getDevFirmwareInfo();
        QCOMPARE(fw.value(QStringLiteral("seqid")).toString(), QStringLiteral("Q7"));
        QCOMPARE(fw.value(QStringLiteral("branch")).toString(), QString()); // missing key
    }

    void poolFromSeveralThreads()
    {
        GlobalParams gp(writeIni(""));
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([&gp, t] {
                const QByteArray id = "cam-" + QByteArray::number(t);
                for (int i = 0; i < 200; ++i) {
                    gp.releaseIpAddr(gp.allocIpAddr(id, true));
                    gp.getLostIpAddrs();
                    if (i % 25 == 0)
                        gp.saveSettings();
                }
                gp.allocIpAddr(id, true);
            });
        }
        for (std::thread &th : threads)
            th.join();
        // Each camera ended up with exactly one address of its own.
        int assigned = 0;
        for (const auto &e : gp.getIpAddrPool())
            assigned += e.assigned ? 1 : 0;
        QCOMPARE(assigned, 4);
    }
};

QTEST_GUILESS_MAIN(TstGlobalParams)
#include "tst_globalparams.moc"
