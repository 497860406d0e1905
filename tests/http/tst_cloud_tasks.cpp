// Cloud tasks against the cloud service stand-in: report paths and bodies,
// snapshots, time-outs, and the checks applied to query answers.
#include "HttpTestSupport.h"

#include "comm/AppTask.h"
#include "comm/DevUsageReporter.h"
#include "comm/DevUsageSnapshot.h"
#include "comm/DevUsageSource.h"
#include "comm/GlobalParams.h"
#include "comm/PushDevUsageState.h"
#include "comm/PushToServer.h"
#include "comm/QueryFromServer.h"
#include "comm/TimeScale.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMutex>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QtTest>

using namespace vexo::pc;

namespace {

QMutex g_logLock;
QStringList g_log;

void collectLog(QtMsgType, const QMessageLogContext &, const QString &msg)
{
    QMutexLocker lock(&g_logLock);
    g_log << msg;
}

bool logged(const QString &needle)
{
    QMutexLocker lock(&g_logLock);
    for (const QString &l : g_log) {
        if (l.contains(needle))
            return true;
    }
    return false;
}

class FakeSource final : public DevUsageSource
{
public:
    QHash<QString, DevUsageFacts> cameras;
    mutable QMutex lock;

    DevUsageFacts identity(const QString &sn) override
    {
        QMutexLocker l(&lock);
        return cameras.value(sn);
    }
    bool readPanTilt(const QString &sn, int *pan, int *tilt) override
    {
        QMutexLocker l(&lock);
        const DevUsageFacts f = cameras.value(sn);
        *pan = f.pan;
        *tilt = f.tilt;
        return f.panTiltValid;
    }
    DevUsageFacts snapshot(const QString &sn, bool) override { return identity(sn); }
    QStringList uvcSerials() override
    {
        QMutexLocker l(&lock);
        QStringList out;
        for (const DevUsageFacts &f : cameras) {
            if (!f.network)
                out << f.sn;
        }
        return out;
    }
};

DevUsageFacts camera(const QString &sn, int family, bool network = false)
{
    DevUsageFacts f;
    f.registered = true;
    f.network = network;
    f.family = family;
    f.sn = sn;
    f.version = QStringLiteral("2.1.0.7");
    f.devInfo.insert(QStringLiteral("platform"), QStringLiteral("SSC339G"));
    f.reportInfo.insert(QStringLiteral("sn"), sn);
    f.reportInfo.insert(QStringLiteral("platform"), QStringLiteral("SSC339G"));
    f.reportInfo.insert(QStringLiteral("version"), f.version);
    f.reportInfo.insert(QStringLiteral("product"), QStringLiteral("KAVORA Zarvo4K"));
    f.status = QByteArray(62, '\0');
    return f;
}

class Receiver : public QObject
{
    Q_OBJECT
public:
    int calls = 0;
    QJsonObject last;
public slots:
    void onInfoFromServer(const QJsonObject &info)
    {
        ++calls;
        last = info;
    }
};

} // namespace

class TestCloudTasks : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void eventTableAndEncodings();
    void zarvo4kEventsPostToTheirPaths();
    void unregisteredCameraPostsNothing();
    void snapshotsOfAUvcCamera();
    void networkCameraSnapshotPostsNothing();
    void deviceInfoReport();
    void queryDeliversThePackage();
    void queryAnswerChecks();
    void silentServerEndsTheTask();
    void refusedConnectionLogsConnectingTimeout();
    void periodicAndFirstReports();

private:
    QJsonArray records();
    QJsonArray allRecords();
    QJsonArray waitForRecords(int count, int limitMs = 5000);
    void setMode(const QString &mode);

    QProcess m_sim;
    QTemporaryDir m_fw;
    quint16 m_port = 0;
    FakeSource m_source;
    int m_seen = 0; // records already consumed by earlier tests
};

void TestCloudTasks::initTestCase()
{
    QVERIFY(m_fw.isValid());
    QFile pkg(m_fw.filePath(QStringLiteral("Kavora_zarvo_pc_OA_E_Win_x64_1.0.6.0_release.exe")));
    QVERIFY(pkg.open(QIODevice::WriteOnly));
    pkg.write(QByteArray(4096, 'p'));
    pkg.close();

    const QString exe = QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR")).isEmpty()
        ? QStringLiteral(ZARVO_TEST_STAGE_DIR "/bin/zarvo-cloudsim")
        : QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR")) + QStringLiteral("/bin/zarvo-cloudsim");
    m_sim.start(exe, {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--firmware-dir"), m_fw.path(),
                      QStringLiteral("--slow-ms"), QStringLiteral("50")});
    QVERIFY(m_sim.waitForStarted(5000));
    QVERIFY(m_sim.waitForReadyRead(5000));
    const QList<QByteArray> words = m_sim.readLine().trimmed().split(' ');
    m_port = static_cast<quint16>(words.value(2).toUInt());
    QVERIFY(m_port != 0);

    GlobalParams::instance()->setFwQueryUrl(QStringLiteral("http://127.0.0.1:%1/firmware/dev_query/").arg(m_port));
    DevUsageSource::setInstance(&m_source);
    qInstallMessageHandler(collectLog);
}

void TestCloudTasks::cleanupTestCase()
{
    qInstallMessageHandler(nullptr);
    QThreadPool::globalInstance()->waitForDone();
    DevUsageSource::setInstance(nullptr);
    // The stand-in stops cleanly on SIGTERM.
    m_sim.terminate();
    QVERIFY(m_sim.waitForFinished(5000));
    QCOMPARE(m_sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_sim.exitCode(), 0);
}

void TestCloudTasks::init()
{
    TimeScale::setFactor(1.0);
    AppTask::setReportBaseUrl(QString());
    setMode(QStringLiteral("normal"));
    m_seen = allRecords().size();
    QMutexLocker lock(&g_logLock);
    g_log.clear();
    QMutexLocker l(&m_source.lock);
    m_source.cameras.clear();
}

QJsonArray TestCloudTasks::records()
{
    const QJsonArray all = allRecords();
    QJsonArray fresh;
    for (int i = m_seen; i < all.size(); ++i)
        fresh.append(all.at(i));
    return fresh;
}

QJsonArray TestCloudTasks::allRecords()
{
    qhttp::client::QHttpClient client;
    const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_GET,
                                              QUrl(QStringLiteral("http://127.0.0.1:%1/sim/records").arg(m_port)));
    return QJsonDocument::fromJson(r.body).array();
}

QJsonArray TestCloudTasks::waitForRecords(int count, int limitMs)
{
    QElapsedTimer t;
    t.start();
    QJsonArray got = records();
    while (got.size() < count && t.elapsed() < limitMs) {
        QTest::qWait(20);
        got = records();
    }
    return got;
}

void TestCloudTasks::setMode(const QString &mode)
{
    qhttp::client::QHttpClient client;
    QJsonObject body{{QStringLiteral("mode"), mode}};
    const httptest::Reply r = httptest::fetch(client, qhttp::EHTTP_POST,
                                              QUrl(QStringLiteral("http://127.0.0.1:%1/sim/mode").arg(m_port)),
                                              QJsonDocument(body).toJson());
    QCOMPARE(r.status, 200);
}

void TestCloudTasks::eventTableAndEncodings()
{
    // The divider splits main from ext events; unknown families have no path.
    QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyNimo, 22), 2);
    QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyNimo4k, 23), 7);
    QCOMPARE(DevUsageSnapshot::eventType(DevUsageFacts::FamilyUnknown, 0), 108);
    QVERIFY(PushDevUsageState::pathOf(108).isEmpty());
    QVERIFY(DevUsageSnapshot::actionName(55).isEmpty());

    const DevUsageFacts f = camera(QStringLiteral("SN1"), DevUsageFacts::FamilyZarvo);
    auto data = [&](int action, const QVariant &v, bool ptValid = true) {
        return DevUsageSnapshot::eventBody(f, action, 0, QStringLiteral("c"), v, 12, 34, 2.5, ptValid, -300, 150)
            .value(QStringLiteral("data"));
    };
    QCOMPARE(data(38, 2).toString(), QStringLiteral("60Hz"));
    QCOMPARE(data(38, 0).toString(), QStringLiteral("OFF"));
    QCOMPARE(data(0, 3).toString(), QStringLiteral("SLEEP"));
    QCOMPARE(data(1, 4).toString(), QStringLiteral("PRIVACY"));
    QCOMPARE(data(5, 0).toString(), QStringLiteral("pan=-300,pitch=150"));
    QCOMPARE(data(5, 0, false).toString(), QStringLiteral("pan=0,pitch=0"));
    QCOMPARE(data(16, 0).toString(), QStringLiteral("cx=-300,cy=150"));
    QCOMPARE(data(24, 0).toString(), QStringLiteral("OFF"));
    QCOMPARE(data(27, 1.5).toDouble(), 1.5);
    QCOMPARE(data(33, 7).toString(), QStringLiteral("Not implemented at Present"));
    QCOMPARE(data(40, false).toString(), QStringLiteral("RESET"));

    const QJsonObject preset = DevUsageSnapshot::eventBody(f, 7, 1, QStringLiteral("c"), 2, 12, 34, 2.5, true, 0, 0);
    QCOMPARE(preset.value(QStringLiteral("comment")).toString(), QStringLiteral("pan=12,pitch=34,zoom=2.5"));
    QCOMPARE(preset.value(QStringLiteral("trigger")).toString(), QStringLiteral("KEY"));
    const QJsonObject boot = DevUsageSnapshot::eventBody(f, 40, 3, QStringLiteral("c"), true, 1, 2, 3, true, 0, 0);
    QCOMPARE(boot.value(QStringLiteral("data")).toString(), QStringLiteral("SET"));
    QCOMPARE(boot.value(QStringLiteral("comment")).toString(), QStringLiteral("pan=1,pitch=2,zoom=3"));
    QVERIFY(!DevUsageSnapshot::eventBody(f, 23, 0, QString(), 1, {}, {}, {}, true, 0, 0).contains(QStringLiteral("data")));
    QVERIFY(!DevUsageSnapshot::eventBody(f, 29, 0, QString(), 1, {}, {}, {}, true, 0, 0).contains(QStringLiteral("data")));
}

void TestCloudTasks::zarvo4kEventsPostToTheirPaths()
{
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("Z4K"), camera(QStringLiteral("Z4K"), DevUsageFacts::FamilyZarvo4k));
    }
    pushDevUsageEvent(QStringLiteral("Z4K"), 4, 0, QStringLiteral("zoom"), 250);
    QThreadPool::globalInstance()->waitForDone();
    pushDevUsageEvent(QStringLiteral("Z4K"), 24, 1, QString(), 300);
    QThreadPool::globalInstance()->waitForDone();

    const QJsonArray got = waitForRecords(2);
    QCOMPARE(got.size(), 2);
    const QJsonObject zoom = got.at(0).toObject();
    QCOMPARE(zoom.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo4k/main_event/submit"));
    const QJsonObject zb = zoom.value(QStringLiteral("body")).toObject();
    QCOMPARE(zb.value(QStringLiteral("action")).toString(), QStringLiteral("zooming"));
    QCOMPARE(zb.value(QStringLiteral("data")).toString(), QStringLiteral("250"));
    QCOMPARE(zb.value(QStringLiteral("sn")).toString(), QStringLiteral("Z4K"));
    QCOMPARE(zb.value(QStringLiteral("platform")).toString(), QStringLiteral("SSC339G"));
    QCOMPARE(zb.value(QStringLiteral("version")).toString(), QStringLiteral("2.1.0.7"));
    QCOMPARE(zb.value(QStringLiteral("trigger")).toString(), QStringLiteral("MOUSE"));
    QCOMPARE(zb.value(QStringLiteral("system")).toString(), AppTask::systemName());
    QVERIFY(zb.contains(QStringLiteral("country")));
    const QJsonObject zh = zoom.value(QStringLiteral("headers")).toObject();
    QCOMPARE(zh.value(QStringLiteral("content-type")).toString(), QStringLiteral("application/json"));
    QCOMPARE(zh.value(QStringLiteral("accept")).toString(), QStringLiteral("application/json"));
    QCOMPARE(zh.value(QStringLiteral("charset")).toString(), QStringLiteral("utf-8"));

    const QJsonObject sleep = got.at(1).toObject();
    QCOMPARE(sleep.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo4k/ext_event/submit"));
    QCOMPARE(sleep.value(QStringLiteral("body")).toObject().value(QStringLiteral("data")).toString(), QStringLiteral("300s"));
}

void TestCloudTasks::unregisteredCameraPostsNothing()
{
    pushDevUsageEvent(QStringLiteral("GHOST"), 4, 0, QString(), 1);
    QThreadPool::globalInstance()->waitForDone();
    // A camera unplugged between scheduling and running: nothing either.
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("GONE"), camera(QStringLiteral("GONE"), DevUsageFacts::FamilyZarvo));
    }
    auto *task = new PushDevUsageState(QJsonObject{{QStringLiteral("sn"), QStringLiteral("GONE")}}, 102);
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.clear();
    }
    QThreadPool::globalInstance()->start(task);
    QThreadPool::globalInstance()->waitForDone();
    QTest::qWait(100);
    QCOMPARE(records().size(), 0);
}

void TestCloudTasks::snapshotsOfAUvcCamera()
{
    DevUsageFacts f = camera(QStringLiteral("ZV"), DevUsageFacts::FamilyZarvo);
    f.status[0] = 1;      // virtual background
    f.status[2] = 3;      // sleeping
    f.status[5] = 18;     // blur
    f.status[6] = 40;
    f.status[7] = 2;      // 60 Hz
    f.status[8] = 50;     // zoom 50
    f.status[17] = 1;
    f.status[18] = char(0x2C); // 300 s
    f.status[19] = 1;
    f.status[23] = 1;
    f.status[24] = 1;
    f.panTiltValid = true;
    f.pan = 12;
    f.tilt = -7;
    f.whiteBalance = {true, true, 0};
    f.brightness = {true, false, 55};
    f.contrast = {true, false, 33};
    f.hue = {true, true, 0};
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(f.sn, f);
    }
    startUsageStateReport(f.sn);
    QThreadPool::globalInstance()->waitForDone();
    const QJsonArray got = waitForRecords(2);
    QCOMPARE(got.size(), 2);
    QCOMPARE(got.at(0).toObject().value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/main_status/submit"));
    QCOMPARE(got.at(1).toObject().value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/ext_status/submit"));
    const QJsonObject m = got.at(0).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(m.value(QStringLiteral("state")).toString(), QStringLiteral("Sleep"));
    QCOMPARE(m.value(QStringLiteral("background_enabled")).toBool(), true);
    QCOMPARE(m.value(QStringLiteral("background_blur")).toString(), QStringLiteral("40"));
    QCOMPARE(m.value(QStringLiteral("background_green_color")).toString(), QStringLiteral("OFF"));
    QCOMPARE(m.value(QStringLiteral("auto_framing")).toString(), QStringLiteral("OFF"));
    QCOMPARE(m.value(QStringLiteral("view")).toString(), QStringLiteral("1"));
    QCOMPARE(m.value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("1.5"));
    QCOMPARE(m.value(QStringLiteral("crop_cx")).toString(), QStringLiteral("12"));
    QCOMPARE(m.value(QStringLiteral("crop_cy")).toString(), QStringLiteral("-7"));
    QCOMPARE(m.value(QStringLiteral("auto_framing_size")).toString(), QStringLiteral("UPPER BODY"));
    const QJsonObject e = got.at(1).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(e.value(QStringLiteral("auto_sleep")).toString(), QStringLiteral("300s"));
    QCOMPARE(e.value(QStringLiteral("anti_flicker")).toString(), QStringLiteral("60Hz"));
    QCOMPARE(e.value(QStringLiteral("face_focus")).toBool(), true);
    QCOMPARE(e.value(QStringLiteral("white_balance")).toString(), QStringLiteral("AUTO"));
    QCOMPARE(e.value(QStringLiteral("brightness")).toString(), QStringLiteral("55"));
    QCOMPARE(e.value(QStringLiteral("contrast")).toString(), QStringLiteral("33"));
    QCOMPARE(e.value(QStringLiteral("hue")).toString(), QStringLiteral("AUTO"));
    QCOMPARE(e.value(QStringLiteral("screen_mode")).toString(), QStringLiteral("LANDSCAPE"));

    // Auto framing hides the crop position; the 4x flag triples the zoom steps.
    f.status[0] = 2;
    f.zoom4x = true;
    const QJsonObject framing = DevUsageSnapshot::mainStatus(f);
    QCOMPARE(framing.value(QStringLiteral("crop_cx")).toString(), QStringLiteral("OFF"));
    QCOMPARE(framing.value(QStringLiteral("view")).toString(), QStringLiteral("OFF"));
    QCOMPARE(framing.value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("2.5"));

    // Nimo layout: zoom at bytes 4-5, run state at byte 9, auto sleep at 10-11.
    DevUsageFacts n = camera(QStringLiteral("NM"), DevUsageFacts::FamilyNimo4k);
    n.zoom4x = true;
    n.status[4] = 10;
    n.status[9] = 4;
    n.status[10] = 60;
    n.status[12] = 1;
    n.trackingMode = 1;
    n.trackingModeNext = 0;
    n.bootPan = 1.234;
    n.presets[1] = {12.5, -3.0, 1.3, true};
    const QJsonObject nm = DevUsageSnapshot::mainStatus(n);
    QCOMPARE(nm.value(QStringLiteral("state")).toString(), QStringLiteral("PRIVACY"));
    QCOMPARE(nm.value(QStringLiteral("pos_z")).toString(), QStringLiteral("1.3"));
    QCOMPARE(nm.value(QStringLiteral("pos_p")).toString(), QStringLiteral("0"));
    const QJsonObject ne = DevUsageSnapshot::extStatus(n);
    QCOMPARE(ne.value(QStringLiteral("auto_sleep")).toString(), QStringLiteral("60s"));
    QCOMPARE(ne.value(QStringLiteral("landscape_or_portrait")).toString(), QStringLiteral("PORTRAIT"));
    QCOMPARE(ne.value(QStringLiteral("tracking_mode")).toString(), QStringLiteral("NORMAL"));
    QCOMPARE(ne.value(QStringLiteral("init_pos_p")).toString(), QStringLiteral("1.23"));
    QCOMPARE(ne.value(QStringLiteral("preset_2_pos_p")).toString(), QStringLiteral("12.5"));
    QCOMPARE(ne.value(QStringLiteral("preset_2_used")).toBool(), true);
    n.zoom4x = false;
    QVERIFY(!DevUsageSnapshot::extStatus(n).contains(QStringLiteral("hdr")));
}

void TestCloudTasks::networkCameraSnapshotPostsNothing()
{
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("NET"), camera(QStringLiteral("NET"), DevUsageFacts::FamilyZarvo, true));
    }
    startUsageStateReport(QStringLiteral("NET"));
    QThreadPool::globalInstance()->waitForDone();
    QTest::qWait(100);
    QCOMPARE(records().size(), 0);
}

void TestCloudTasks::deviceInfoReport()
{
    const DevUsageFacts f = camera(QStringLiteral("DI"), DevUsageFacts::FamilyZarvo);
    startDevInfoReport(f.reportInfo);
    QThreadPool::globalInstance()->waitForDone();
    const QJsonArray got = waitForRecords(1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).toObject().value(QStringLiteral("path")).toString(), QStringLiteral("/dev/submit/"));
    QCOMPARE(got.at(0).toObject().value(QStringLiteral("body")).toObject(), f.reportInfo);

    // A type outside the table ends the task without a request.
    QThreadPool::globalInstance()->start(new PushToServer(f.reportInfo, 9));
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(logged(QStringLiteral("Unknown type = 9")));
}

void TestCloudTasks::queryDeliversThePackage()
{
    Receiver rx;
    const QJsonObject info = GlobalParams::instance()->getPcSoftwareInfo();
    startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 1, 8000);
    QCOMPARE(rx.last.value(QStringLiteral("version")).toString(), QStringLiteral("1.0.6.0"));
    QCOMPARE(rx.last.value(QStringLiteral("pkgsize")).toInt(), 4096);
    // The package URL of the answer serves that very file.
    {
        qhttp::client::QHttpClient dl;
        const httptest::Reply pkg = httptest::fetch(dl, qhttp::EHTTP_GET, QUrl(rx.last.value(QStringLiteral("url")).toString()));
        QCOMPARE(pkg.status, 200);
        QCOMPARE(pkg.body, QByteArray(4096, 'p'));
        QCOMPARE(QCryptographicHash::hash(pkg.body, QCryptographicHash::Md5).toHex(),
                 rx.last.value(QStringLiteral("md5")).toString().toLatin1());
    }
    const QJsonObject sent = waitForRecords(1).at(0).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(sent.value(QStringLiteral("latest")).toString(), QStringLiteral("true"));
    QCOMPARE(sent.value(QStringLiteral("device_info")).toString(), QString());
    QVERIFY(!sent.contains(QStringLiteral("pc_version")));
    QVERIFY(!sent.contains(QStringLiteral("country")));

    // Type 1 (a network camera's firmware) also tells our own version.
    QJsonObject dev{{QStringLiteral("product"), QStringLiteral("Kavora_zarvo")}, {QStringLiteral("branch"), QStringLiteral("OA_E")},
                    {QStringLiteral("platform"), QStringLiteral("SSC336Q")}, {QStringLiteral("status"), QStringLiteral("release")}};
    startCloudQuery(dev, 1, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 2, 8000);
    QVERIFY(rx.last.isEmpty()); // no such package: errorcode 404
    QVERIFY(logged(QStringLiteral("Error reason = No package found")));
    const QJsonObject sent1 = waitForRecords(2).at(1).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(sent1.value(QStringLiteral("pc_version")).toString(), GlobalParams::getSoftwareVersion());
}

void TestCloudTasks::queryAnswerChecks()
{
    Receiver rx;
    const QJsonObject info = GlobalParams::instance()->getPcSoftwareInfo();
    setMode(QStringLiteral("two-packages"));
    startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 1, 8000);
    QVERIFY(rx.last.isEmpty());
    QVERIFY(logged(QStringLiteral("response json error in key word: packages")));

    setMode(QStringLiteral("error:404"));
    startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 2, 8000);
    QVERIFY(rx.last.isEmpty());
    QVERIFY(logged(QStringLiteral("Error reason = Simulated error")));

    setMode(QStringLiteral("malformed"));
    startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 3, 8000);
    QVERIFY(logged(QStringLiteral("The response is an invalid json")));

    setMode(QStringLiteral("no-errorcode"));
    startCloudQuery(info, 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 4, 8000);
    QVERIFY(rx.last.isEmpty());

    // Status rule: a "release" request refuses "test" but keeps the element;
    // a "test" request refuses "debug"; a "debug" request takes anything.
    const QJsonObject pkg{{QStringLiteral("product"), QStringLiteral("P")}, {QStringLiteral("branch"), QStringLiteral("B")},
                          {QStringLiteral("platform"), QStringLiteral("X")}, {QStringLiteral("url"), QStringLiteral("u")},
                          {QStringLiteral("pkgsize"), 1}, {QStringLiteral("md5"), QStringLiteral("m")},
                          {QStringLiteral("version"), QStringLiteral("1.0.0.1")}, {QStringLiteral("status"), QStringLiteral("test")}};
    const QJsonObject answer{{QStringLiteral("errorcode"), 200}, {QStringLiteral("packages"), QJsonArray{pkg}}};
    QJsonObject req{{QStringLiteral("product"), QStringLiteral("P")}, {QStringLiteral("branch"), QStringLiteral("B")},
                    {QStringLiteral("platform"), QStringLiteral("X")}, {QStringLiteral("status"), QStringLiteral("release")}};
    {
        QMutexLocker lock(&g_logLock);
        g_log.clear();
    }
    QCOMPARE(QueryFromServer::evaluate(answer, req), pkg);
    QVERIFY(logged(QStringLiteral("Firmware info error")));
    {
        QMutexLocker lock(&g_logLock);
        g_log.clear();
    }
    req.insert(QStringLiteral("status"), QStringLiteral("test"));
    QCOMPARE(QueryFromServer::evaluate(answer, req), pkg);
    QVERIFY(!logged(QStringLiteral("Firmware info error")));
    QJsonObject debugPkg = pkg;
    debugPkg.insert(QStringLiteral("status"), QStringLiteral("debug"));
    QueryFromServer::evaluate(QJsonObject{{QStringLiteral("packages"), QJsonArray{debugPkg}}}, req);
    QVERIFY(logged(QStringLiteral("Firmware info error")));
    QVERIFY(QueryFromServer::evaluate(QJsonObject{{QStringLiteral("packages"), pkg}}, req).isEmpty());
}

void TestCloudTasks::silentServerEndsTheTask()
{
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("Z"), camera(QStringLiteral("Z"), DevUsageFacts::FamilyZarvo));
    }
    setMode(QStringLiteral("silent"));
    // At production scale: the overall deadline of 6000 ms ends the task.
    QElapsedTimer t;
    t.start();
    pushDevUsageEvent(QStringLiteral("Z"), 6, 0);
    QThreadPool::globalInstance()->waitForDone();
    const qint64 took = t.elapsed();
    QVERIFY2(took >= 5900 && took < 7500, QByteArray::number(took).constData());
    QVERIFY(!logged(QStringLiteral("Connecting timeout")));

    // Slow answers that do not finish in time end the same way (scaled).
    TimeScale::setFactor(0.1);
    setMode(QStringLiteral("slow"));
    Receiver rx;
    t.restart();
    startCloudQuery(GlobalParams::instance()->getPcSoftwareInfo(), 0, &rx, QStringLiteral("onInfoFromServer"));
    QTRY_COMPARE_WITH_TIMEOUT(rx.calls, 1, 5000);
    QVERIFY(t.elapsed() < 2000);
    QVERIFY(rx.last.isEmpty());
}

void TestCloudTasks::refusedConnectionLogsConnectingTimeout()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 dead = probe.serverPort();
    probe.close();
    AppTask::setReportBaseUrl(QStringLiteral("http://127.0.0.1:%1/").arg(dead));
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("Z"), camera(QStringLiteral("Z"), DevUsageFacts::FamilyZarvo));
    }
    TimeScale::setFactor(0.2);
    QElapsedTimer t;
    t.start();
    pushDevUsageEvent(QStringLiteral("Z"), 6, 0);
    QThreadPool::globalInstance()->waitForDone();
    QVERIFY(logged(QStringLiteral("Connecting timeout: PushDevUsageState failed")));
    QVERIFY(t.elapsed() < TimeScale::ms(6000));
    AppTask::setReportBaseUrl(QString());
}

void TestCloudTasks::periodicAndFirstReports()
{
    TimeScale::setFactor(0.001); // 600 s -> 600 ms, 10 s -> 10 ms, 90 s -> 90 ms
    {
        QMutexLocker l(&m_source.lock);
        m_source.cameras.insert(QStringLiteral("A"), camera(QStringLiteral("A"), DevUsageFacts::FamilyZarvo));
        m_source.cameras.insert(QStringLiteral("N"), camera(QStringLiteral("N"), DevUsageFacts::FamilyZarvo, true));
    }
    DevUsageReporter reporter;
    reporter.start();
    reporter.onDeviceReady(QStringLiteral("A"), m_source.identity(QStringLiteral("A")).reportInfo, true);
    // First appearance: both snapshots and the device report, well before the period.
    const QJsonArray first = waitForRecords(3, 400);
    QCOMPARE(first.size(), 3);
    QStringList paths;
    for (const QJsonValue &v : first)
        paths << v.toObject().value(QStringLiteral("path")).toString();
    paths.sort();
    QCOMPARE(paths, (QStringList{QStringLiteral("/dev/submit/"), QStringLiteral("/dev/zarvo/ext_status/submit"),
                                 QStringLiteral("/dev/zarvo/main_status/submit")}));
    // Then the period reports every UVC camera (not the network one).
    const QJsonArray later = waitForRecords(5, 3000);
    QCOMPARE(later.size(), 5);
    reporter.stop();
    QThreadPool::globalInstance()->waitForDone();
}

QTEST_GUILESS_MAIN(TestCloudTasks)
#include "tst_cloud_tasks.moc"
