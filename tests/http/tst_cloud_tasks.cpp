// Cloud tasks against the cloud service stand-in: report paths and bodies,
// snapshots, time-outs, and the checks applied to query answers.
#include "CloudStandIn.h"
#include "HttpTestSupport.h"
#include "TestWait.h"

#include "comm/AppTask.h"
#include "comm/DevUsageReporter.h"
#include "comm/DevUsageSnapshot.h"
#include "comm/DevUsageSource.h"
#include "comm/GlobalParams.h"
#include "comm/PushDevUsageState.h"
#include "comm/PushToServer.h"
#include "comm/QueryFromServer.h"
#include "comm/TimeScale.h"

#include <QMutex>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

using namespace vexo::pc;
using httptest::values;

namespace {

QMutex g_logLock;
QStringList g_log;

// What the tasks logged, from any thread.
void collectLog(QtMsgType, const QMessageLogContext &, const QString &msg) { QMutexLocker lock(&g_logLock); g_log << msg; }
void clearLog() { QMutexLocker lock(&g_logLock); g_log.clear(); }
bool logged(const QString &needle)
{
    QMutexLocker lock(&g_logLock);
    return std::any_of(g_log.cbegin(), g_log.cend(), [&](const QString &l) { return l.contains(needle); });
}

// The cameras the tasks see; the device layer's own source is tested with
// the virtual camera.
class FakeSource final : public DevUsageSource
{
public:
    void set(const QList<DevUsageFacts> &cameras) { QMutexLocker l(&m_lock); m_cameras = cameras; }
    DevUsageFacts identity(const QString &sn) override
    {
        QMutexLocker l(&m_lock);
        const auto it = std::find_if(m_cameras.cbegin(), m_cameras.cend(), [&](const DevUsageFacts &f) { return f.sn == sn; });
        return it == m_cameras.cend() ? DevUsageFacts() : *it;
    }
    bool readPanTilt(const QString &, int *, int *) override { return false; }
    DevUsageFacts snapshot(const QString &sn, bool) override { return identity(sn); }
    QStringList uvcSerials() override
    {
        QMutexLocker l(&m_lock);
        QStringList out;
        for (const DevUsageFacts &f : qAsConst(m_cameras))
            if (!f.network)
                out << f.sn;
        return out;
    }

private:
    QMutex m_lock;
    QList<DevUsageFacts> m_cameras;
};

DevUsageFacts camera(const char *sn, int family, bool network = false)
{
    DevUsageFacts f;
    f.registered = true;
    f.network = network;
    f.family = family;
    f.sn = QLatin1String(sn);
    f.version = QStringLiteral("2.1.0.7");
    f.devInfo.insert(QStringLiteral("platform"), QStringLiteral("SSC339G"));
    f.reportInfo = QJsonObject{{QStringLiteral("sn"), f.sn}, {QStringLiteral("platform"), QStringLiteral("SSC339G")}};
    return f;
}

QString path(const QJsonArray &records, int i) { return records.at(i).toObject().value(QStringLiteral("path")).toString(); }
QJsonObject body(const QJsonArray &records, int i) { return records.at(i).toObject().value(QStringLiteral("body")).toObject(); }

class Receiver : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    int *alsoCount = nullptr;
    QJsonObject last;
public slots:
    void onInfoFromServer(const QJsonObject &info)
    {
        ++calls, last = info;
        if (alsoCount)
            ++*alsoCount;
    }
};

} // namespace

class TestCloudTasks : public QObject
{
    Q_OBJECT
private:
    void query(Receiver &rx, int type = 0, const QJsonObject &info = GlobalParams::instance()->getPcSoftwareInfo())
    {
        const int before = rx.calls;
        startCloudQuery(info, type, &rx, QStringLiteral("onInfoFromServer"));
        QVERIFY(testsupport::waitFor([&] { return rx.calls == before + 1; }, 8000));
    }

    testsupport::CloudStandIn m_cloud;
    QTemporaryDir m_fw;
    FakeSource m_source;

private slots:
    void initTestCase()
    {
        QFile pkg(m_fw.filePath(QStringLiteral("Kavora_zarvo_pc_OA_E_") + GlobalParams::instance()->getPcPlatform()
                                + QStringLiteral("_1.0.6.0_release.deb")));
        QVERIFY(pkg.open(QIODevice::WriteOnly) && pkg.write(QByteArray(4096, 'p')) == 4096 && pkg.flush());
        QVERIFY(m_cloud.start(m_fw.path(), {QStringLiteral("--slow-ms"), QStringLiteral("50")}));
        GlobalParams::instance()->setFwQueryUrl(m_cloud.baseUrl() + QStringLiteral("firmware/dev_query/"));
        DevUsageSource::setInstance(&m_source);
        qInstallMessageHandler(collectLog);
    }

    void cleanupTestCase()
    {
        qInstallMessageHandler(nullptr);
        QThreadPool::globalInstance()->waitForDone();
        DevUsageSource::setInstance(nullptr);
        QVERIFY(m_cloud.stop()); // cleanly on SIGTERM
    }

    void init()
    {
        TimeScale::setFactor(1.0);
        AppTask::setReportBaseUrl(QString());
        QVERIFY(m_cloud.setMode(QStringLiteral("normal")));
        m_cloud.markSeen();
        clearLog();
        m_source.set({});
    }

    void eventEncodings()
    {
        // The divider splits main from ext events; unknown families have no path.
        QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyNimo, 22), 2);
        QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyNimo4k, 23), 7);
        QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyUnknown, 0), 108);
        QVERIFY(PushDevUsageState::pathOf(108).isEmpty());
        const DevUsageFacts f = camera("SN1", DevUsageFacts::FamilyZarvo);
        auto event = [&](int action, const QVariant &v, bool ptValid = true) {
            QJsonObject o = DevUsageSnapshot::eventBody(f, action, 1, QStringLiteral("c"), v, 12, 34, 2.5, ptValid, -300, 150);
            o.insert(QStringLiteral("has"), o.contains(QStringLiteral("data")));
            return values(o, "data,comment,has");
        };
        QCOMPARE(event(38, 2), QStringLiteral("60Hz|c|true"));
        QCOMPARE(event(5, 0), QStringLiteral("pan=-300,pitch=150|c|true"));
        QCOMPARE(event(5, 0, false), QStringLiteral("pan=0,pitch=0|c|true"));
        QCOMPARE(event(16, 0), QStringLiteral("cx=-300,cy=150|c|true"));
        QCOMPARE(event(27, 1.5), QStringLiteral("1.5|c|true"));
        QCOMPARE(event(7, 2), QStringLiteral("2|pan=12,pitch=34,zoom=2.5|true"));
        QCOMPARE(event(40, true), QStringLiteral("SET|pan=12,pitch=34,zoom=2.5|true"));
        QCOMPARE(event(40, false), QStringLiteral("RESET|c|true"));
        QCOMPARE(event(23, 1), QStringLiteral("|c|false"));
        QCOMPARE(event(29, 1), QStringLiteral("|c|false"));
    }

    void zarvo4kEventsPostToTheirPaths()
    {
        m_source.set({camera("Z4K", DevUsageFacts::FamilyZarvo4k)});
        pushDevUsageEvent(QStringLiteral("Z4K"), 4, 0, QStringLiteral("zoom"), 250);
        QThreadPool::globalInstance()->waitForDone();
        pushDevUsageEvent(QStringLiteral("Z4K"), 24, 1, QString(), 300);
        const QJsonArray got = m_cloud.waitForRecords(2);
        QCOMPARE(path(got, 0), QStringLiteral("/dev/zarvo4k/main_event/submit"));
        QCOMPARE(values(body(got, 0), "action,data,platform,trigger"), QStringLiteral("zooming|250|SSC339G|MOUSE"));
        QCOMPARE(body(got, 0).value(QStringLiteral("system")).toString(), AppTask::systemName());
        QVERIFY(body(got, 0).contains(QStringLiteral("country")));
        QCOMPARE(values(got.at(0).toObject().value(QStringLiteral("headers")).toObject(), "content-type,charset"),
                 QStringLiteral("application/json|utf-8"));
        QCOMPARE(path(got, 1), QStringLiteral("/dev/zarvo4k/ext_event/submit"));
        QCOMPARE(values(body(got, 1), "data"), QStringLiteral("300s"));
    }

    // An unknown camera, one unplugged between scheduling and running, and a
    // network camera's snapshot: the tasks end without a request. Each task
    // posts before it ends, so once the pool is idle the records are complete.
    void camerasThatPostNothing()
    {
        m_source.set({camera("GONE", DevUsageFacts::FamilyZarvo), camera("NET", DevUsageFacts::FamilyZarvo, true)});
        auto *task = new PushDevUsageState(QJsonObject{{QStringLiteral("sn"), QStringLiteral("GONE")}}, 102);
        m_source.set({camera("NET", DevUsageFacts::FamilyZarvo, true)});
        CloudReport::startOnPool(task);
        pushDevUsageEvent(QStringLiteral("GHOST"), 4, 0, QString(), 1);
        startUsageStateReport(QStringLiteral("NET"));
        QThreadPool::globalInstance()->waitForDone();
        QCOMPARE(m_cloud.freshRecords().size(), 0);
    }

    void snapshotsOfAUvcCamera()
    {
        DevUsageFacts f = camera("ZV", DevUsageFacts::FamilyZarvo);
        using S = CameraStatus;
        // Virtual background, sleeping, blur 40, green, 60 Hz, zoom 50, upper body, 300 s, face focus.
        for (const auto &b : std::initializer_list<std::pair<int, int>>{
                 {S::MediaMode, 1}, {S::RunState, S::RunStateSleeping}, {S::BgMode, 18}, {S::BlurLevel, 40}, {S::GreenScreenColor, 1},
                 {S::AntiFlicker, 2}, {S::Zoom, 50}, {S::FramingSize, 1}, {S::AutoSleep, 0x2C}, {S::AutoSleep + 1, 1},
                 {S::FaceFocus, 1}, {S::AutoFocus, 1}})
            f.status.data[b.first] = quint8(b.second);
        f.panTiltValid = true;
        f.tilt = -7;
        f.whiteBalance = {true, true, 0};
        f.contrast = {true, false, 33};
        m_source.set({f});
        startUsageStateReport(f.sn);
        const QJsonArray got = m_cloud.waitForRecords(2);
        QCOMPARE(path(got, 0), QStringLiteral("/dev/zarvo/main_status/submit"));
        QCOMPARE(path(got, 1), QStringLiteral("/dev/zarvo/ext_status/submit"));
        QCOMPARE(values(body(got, 0), "state,background_enabled,background_blur,background_green_color,zoom_ratio,crop_cy,auto_framing_size"),
                 QStringLiteral("Sleep|true|40|GREEN|1.5|-7|UPPER BODY"));
        QCOMPARE(values(body(got, 1), "auto_sleep,anti_flicker,face_focus,white_balance,contrast"),
                 QStringLiteral("300s|60Hz|true|AUTO|33"));
        // The colour comes from the colour byte, not from the mode; auto framing
        // hides the crop position; the 4x flag triples the zoom steps.
        f.status.data[S::BgMode] = 1; // green screen
        f.status.data[S::GreenScreenColor] = 0;
        f.status.data[S::MediaMode] = 2;
        f.zoom4x = true;
        QCOMPARE(values(DevUsageSnapshot::mainStatus(f), "background_green_color,crop_cx,zoom_ratio"), QStringLiteral("BLUE|OFF|2.5"));

        // Nimo layout: zoom at bytes 4-5, run state at byte 9, auto sleep at 10-11, portrait at 12.
        DevUsageFacts n = camera("NM", DevUsageFacts::FamilyNimo4k);
        n.zoom4x = true;
        n.status.data[4] = 10;
        n.status.data[9] = 4;
        n.status.data[10] = 60;
        n.status.data[12] = 1;
        n.trackingMode = 1;
        n.bootPan = 1.234;
        n.presets[1] = {12.5, -3.0, 1.3, true};
        QCOMPARE(values(DevUsageSnapshot::mainStatus(n), "state,pos_z"), QStringLiteral("PRIVACY|1.3"));
        // In portrait the tracking mode comes from the next AI status value.
        QCOMPARE(values(DevUsageSnapshot::extStatus(n), "auto_sleep,tracking_mode,init_pos_p,preset_2_pos_p"),
                 QStringLiteral("60s|NORMAL|1.23|12.5"));
    }

    void deviceInfoReport()
    {
        const DevUsageFacts f = camera("DI", DevUsageFacts::FamilyZarvo);
        startDevInfoReport(f.reportInfo);
        const QJsonArray got = m_cloud.waitForRecords(1);
        QCOMPARE(path(got, 0), QStringLiteral("/dev/submit/"));
        QCOMPARE(body(got, 0), f.reportInfo);
        // A type outside the table ends the task without a request.
        CloudReport::startOnPool(new PushToServer(f.reportInfo, 9));
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY(logged(QStringLiteral("Unknown type = 9")));
    }

    void queryDeliversThePackage()
    {
        Receiver rx;
        query(rx);
        QCOMPARE(values(rx.last, "version,pkgsize"), QStringLiteral("1.0.6.0|4096"));
        QCOMPARE(values(body(m_cloud.waitForRecords(1), 0), "latest,pc_version,country"), QStringLiteral("true||"));
        // Type 1 (a network camera's firmware) also tells our own version.
        query(rx, 1, QJsonObject{{QStringLiteral("product"), QStringLiteral("Kavora_zarvo")}});
        QVERIFY(rx.last.isEmpty()); // no such package: errorcode 404
        QVERIFY(logged(QStringLiteral("Error reason = No package found")));
        QCOMPARE(values(body(m_cloud.waitForRecords(2), 1), "pc_version"), GlobalParams::getSoftwareVersion());
    }

    // Queries that overlap each answer once and leave nothing attached to
    // their receiver; a receiver destroyed while its query runs is not
    // reached afterwards.
    void queryReceivers()
    {
        const QJsonObject info = GlobalParams::instance()->getPcSoftwareInfo();
        Receiver rx;
        startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
        startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
        QVERIFY(testsupport::waitFor([&] { return rx.calls == 2; }, 8000));
        QCOMPARE(rx.last.value(QStringLiteral("version")).toString(), QStringLiteral("1.0.6.0"));
        QVERIFY(testsupport::waitFor([&] { return rx.children().isEmpty(); }, 2000));

        int late = 0;
        auto *gone = new Receiver;
        gone->alsoCount = &late;
        startCloudQuery(info, 0, gone, QStringLiteral("onInfoFromServer"));
        startCloudQuery(info, 0, gone, QStringLiteral("onInfoFromServer"));
        delete gone;
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(late, 0);
        QCOMPARE(m_cloud.waitForRecords(4).size(), 4); // the queries did go out
    }

    void queryAnswerChecks()
    {
        Receiver rx;
        const QList<QPair<QString, QString>> modes = {
            {QStringLiteral("two-packages"), QStringLiteral("response json error in key word: packages")},
            {QStringLiteral("error:404"), QStringLiteral("Error reason = Simulated error")},
            {QStringLiteral("malformed"), QStringLiteral("The response is an invalid json")},
            {QStringLiteral("no-errorcode"), QStringLiteral("Error reason =")},
        };
        for (const auto &mode : modes) {
            clearLog();
            QVERIFY(m_cloud.setMode(mode.first));
            query(rx);
            QVERIFY2(rx.last.isEmpty() && logged(mode.second), qPrintable(mode.first));
        }
        // Status rule: a "release" request refuses "test" but keeps the element;
        // a "test" request refuses "debug".
        const QJsonObject req{{QStringLiteral("product"), QStringLiteral("P")}, {QStringLiteral("branch"), QStringLiteral("B")},
                              {QStringLiteral("platform"), QStringLiteral("X")}, {QStringLiteral("status"), QStringLiteral("release")}};
        QJsonObject pkg = req;
        for (const char *key : {"url", "pkgsize", "md5", "version"})
            pkg.insert(QLatin1String(key), QStringLiteral("1"));
        const auto verdict = [&](const char *wanted, const char *offered) -> QString {
            QJsonObject request = req;
            request.insert(QStringLiteral("status"), QLatin1String(wanted));
            pkg.insert(QStringLiteral("status"), QLatin1String(offered));
            clearLog();
            const bool kept = QueryFromServer::evaluate(QJsonObject{{QStringLiteral("packages"), QJsonArray{pkg}}}, request) == pkg;
            return QString::number(kept) + (logged(QStringLiteral("Firmware info error")) ? QStringLiteral(" refused") : QString());
        };
        QCOMPARE(verdict("release", "test") + verdict("test", "test") + QLatin1Char('|') + verdict("test", "debug") + verdict("debug", "debug"),
                 QStringLiteral("1 refused1|1 refused1")); // refused answers are still handed on
    }

    // The overall deadline (6000 ms, scaled) ends a task whose server never
    // answers or answers too slowly; a refused connection logs the connecting time-out.
    void deadlines()
    {
        m_source.set({camera("Z", DevUsageFacts::FamilyZarvo)});
        QVERIFY(m_cloud.setMode(QStringLiteral("silent")));
        TimeScale::setFactor(0.1);
        QElapsedTimer t;
        t.start();
        pushDevUsageEvent(QStringLiteral("Z"), 6, 0);
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY2(t.elapsed() >= 590, QByteArray::number(t.elapsed()).constData());
        QVERIFY(!logged(QStringLiteral("Connecting timeout")));
        QVERIFY(m_cloud.setMode(QStringLiteral("slow")));
        Receiver rx;
        query(rx);
        QVERIFY(rx.last.isEmpty());

        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        AppTask::setReportBaseUrl(QStringLiteral("http://127.0.0.1:%1/").arg(probe.serverPort()));
        probe.close();
        pushDevUsageEvent(QStringLiteral("Z"), 6, 0);
        QThreadPool::globalInstance()->waitForDone();
        QVERIFY(logged(QStringLiteral("Connecting timeout: PushDevUsageState failed")));
    }

    void periodicAndFirstReports()
    {
        TimeScale::setFactor(0.005); // period 3 s, first report after 50 ms, 450 ms left at least
        m_source.set({camera("A", DevUsageFacts::FamilyZarvo), camera("N", DevUsageFacts::FamilyZarvo, true)});
        DevUsageReporter reporter;
        reporter.start();
        reporter.onDeviceReady(QStringLiteral("A"), m_source.identity(QStringLiteral("A")).reportInfo, true);
        // First appearance: both snapshots and the device report.
        const QJsonArray first = m_cloud.waitForRecords(3);
        QStringList paths{path(first, 0), path(first, 1), path(first, 2)};
        paths.sort();
        QCOMPARE(paths.join(QLatin1Char(' ')), QStringLiteral("/dev/submit/ /dev/zarvo/ext_status/submit /dev/zarvo/main_status/submit"));
        // Then the period reports every UVC camera (not the network one).
        QCOMPARE(m_cloud.waitForRecords(5, 10000).size(), 5);
        reporter.stop();
        QThreadPool::globalInstance()->waitForDone();
    }
};

QTEST_GUILESS_MAIN(TestCloudTasks)
#include "tst_cloud_tasks.moc"
