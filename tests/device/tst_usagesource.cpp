// Cloud reports fed by the device registry: virtual cameras in the
// process-wide platform, reports posted to the cloud service stand-in.
#include "DeviceTestSupport.h"

#include "camera/VirtualCameras.h"
#include "comm/AppTask.h"
#include "comm/DevUsageSource.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "qhttp/QHttpClient.h"
#include "qhttp/QHttpClientRequest.h"
#include "qhttp/QHttpClientResponse.h"
#include "comm/UvcDevUsageSource.h"
#include "uvc/UvcDevices.h"

#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>

using namespace vexo::pc;
using namespace devtest;

// Checked builds: Debian's Qt is not instrumented, so the global thread
// pool's bookkeeping (guarded by a lock inside Qt that the sanitizer cannot
// see) is reported when waitForDone() frees it. Ignored by other builds.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:QThreadPoolPrivate::reset\n";
}

class TestUsageSource : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void zarvoReportsFollowTheCamera();
    void zarvo4kAndNimo4kFacts();
    void networkOrUnknownSerialPostsNothing();

private:
    QJsonArray freshRecords();
    QJsonArray waitForRecords(int count);
    QJsonObject usageState(const QString &sn, QJsonObject *ext);
    UvcDevice *dev(const std::shared_ptr<VirtualCamera> &cam);

    QProcess m_sim;
    QTemporaryDir m_fw;
    quint16 m_port = 0;
    int m_seen = 0;
    std::shared_ptr<VirtualCamera> m_zarvo, m_zarvo4k, m_nimo4k;
};

void TestUsageSource::initTestCase()
{
    setUpFamily();
    // Run by hand, the stage sits beside the tests folder.
    QString stage = QString::fromLocal8Bit(qgetenv("ZARVO_STAGE_DIR"));
    if (stage.isEmpty())
        stage = QCoreApplication::applicationDirPath() + QStringLiteral("/../stage");
    m_sim.start(stage + QStringLiteral("/bin/zarvo-cloudsim"),
                {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--firmware-dir"), m_fw.path()});
    QVERIFY(m_sim.waitForStarted(5000));
    QVERIFY(m_sim.waitForReadyRead(5000));
    m_port = quint16(m_sim.readLine().trimmed().split(' ').value(2).toUInt());
    QVERIFY(m_port != 0);
    AppTask::setReportBaseUrl(QStringLiteral("http://127.0.0.1:%1/").arg(m_port));

    // A zarvo and a zarvo 4K from the usual rotation, a nimo 4K beside them.
    auto backend = VirtualCameras::install(2);
    m_zarvo = backend->cameras().at(0);
    m_zarvo4k = backend->cameras().at(1);
    m_nimo4k = backend->createCamera(int(VirtualCamera::Model::Nimo4K), 7);
    for (int i = 0; i < 3; ++i)
        UvcDevices::instance()->detectDevByUvc();
    QCOMPARE(UvcDevices::instance()->count(), 3);
    UvcDevUsageSource::install();
    QCOMPARE(DevUsageSource::instance()->uvcSerials().size(), 3);
    // Answers and reports at production pace from here on.
    TimeScale::setFactor(1.0);
    m_seen = freshRecords().size();
}

void TestUsageSource::cleanupTestCase()
{
    QThreadPool::globalInstance()->waitForDone();
    UvcDevices::instance()->stop();
    m_sim.terminate();
    m_sim.waitForFinished(5000);
}

QJsonArray TestUsageSource::freshRecords()
{
    QJsonArray all;
    qhttp::client::QHttpClient client;
    QEventLoop loop;
    client.request(
        qhttp::EHTTP_GET, QUrl(QStringLiteral("http://127.0.0.1:%1/sim/records").arg(m_port)),
        [](qhttp::client::QHttpRequest *req) { req->end(); },
        [&](qhttp::client::QHttpResponse *res) {
            res->collectBody(-1);
            res->whenEnd([&, res]() {
                all = QJsonDocument::fromJson(res->collectedBody()).array();
                loop.quit();
            });
        });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    loop.exec();
    QJsonArray fresh;
    for (int i = m_seen; i < all.size(); ++i)
        fresh.append(all.at(i));
    return fresh;
}

QJsonArray TestUsageSource::waitForRecords(int count)
{
    QThreadPool::globalInstance()->waitForDone();
    QJsonArray got = freshRecords();
    for (int i = 0; i < 50 && got.size() < count; ++i) {
        QTest::qWait(20);
        got = freshRecords();
    }
    m_seen += got.size();
    return got;
}

// One usage-state report: the main snapshot returned, the extended one in *ext.
QJsonObject TestUsageSource::usageState(const QString &sn, QJsonObject *ext)
{
    startUsageStateReport(sn);
    const QJsonArray got = waitForRecords(2);
    if (got.size() != 2)
        return QJsonObject();
    const QJsonObject main = got.at(0).toObject();
    if (ext)
        *ext = got.at(1).toObject();
    return main;
}

UvcDevice *TestUsageSource::dev(const std::shared_ptr<VirtualCamera> &cam)
{
    return UvcDevices::instance()->findDevBySn(cam->serial());
}

void TestUsageSource::zarvoReportsFollowTheCamera()
{
    const QString sn = m_zarvo->serial();
    UvcDevice *d = dev(m_zarvo);
    QVERIFY(d);

    // Device information: the report record, identity only.
    const DevUsageFacts id = DevUsageSource::instance()->identity(sn);
    QVERIFY(id.registered);
    QCOMPARE(id.family, int(DevUsageFacts::FamilyZarvo));
    startDevInfoReport(id.reportInfo);
    QJsonArray got = waitForRecords(1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).toObject().value(QStringLiteral("path")).toString(), QStringLiteral("/dev/submit/"));
    const QJsonObject info = got.at(0).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(info.value(QStringLiteral("sn")).toString(), sn);
    QCOMPARE(info.value(QStringLiteral("product")).toString(), QStringLiteral("KAVORA Zarvo"));
    QCOMPARE(info.value(QStringLiteral("version")).toString(), d->getVersion());

    QJsonObject ext;
    QJsonObject main = usageState(sn, &ext);
    QCOMPARE(main.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/main_status/submit"));
    QCOMPARE(ext.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/ext_status/submit"));
    QJsonObject m = main.value(QStringLiteral("body")).toObject();
    QCOMPARE(m.value(QStringLiteral("sn")).toString(), sn);
    QCOMPARE(m.value(QStringLiteral("state")).toString(), QStringLiteral("NORMAL"));
    QCOMPARE(m.value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("1"));

    // Commands change the camera; the next report reads the new state.
    QCOMPARE(d->cameraSetZoomRatio(1.5, 0, 0), 0);
    QCOMPARE(d->uvcPanTiltAbsoluteControl(12, -7), 0);
    QCOMPARE(d->cameraSetSuspendTime(300), 0);
    QCOMPARE(d->uvcWhiteBalanceTemperatureControlSet(false, 4600), 0);
    QCOMPARE(d->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), 0);
    // Read through the device: the camera copies its block under its own lock.
    CameraStatus st;
    QVERIFY(waitFor([&] { return d->getCameraStatus(st) && st.runState() == 3 && st.autoSleep() == 300; }));
    main = usageState(sn, &ext);
    m = main.value(QStringLiteral("body")).toObject();
    QCOMPARE(m.value(QStringLiteral("state")).toString(), QStringLiteral("Sleep"));
    QCOMPARE(m.value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("1.5"));
    QCOMPARE(m.value(QStringLiteral("crop_cx")).toString(), QStringLiteral("12"));
    QCOMPARE(m.value(QStringLiteral("crop_cy")).toString(), QStringLiteral("-7"));
    const QJsonObject e = ext.value(QStringLiteral("body")).toObject();
    QCOMPARE(e.value(QStringLiteral("sn")).toString(), sn);
    QCOMPARE(e.value(QStringLiteral("auto_sleep")).toString(), QStringLiteral("300s"));
    QCOMPARE(e.value(QStringLiteral("white_balance")).toString(), QStringLiteral("4600K"));
    QCOMPARE(e.value(QStringLiteral("anti_flicker")).toString(), QStringLiteral("50Hz"));
    d->cameraSetDevRunStatus(UvcDevice::DevStatusResume);
}

void TestUsageSource::zarvo4kAndNimo4kFacts()
{
    // The 4K zoom read-out runs to 4x.
    QVERIFY(dev(m_zarvo4k));
    QCOMPARE(dev(m_zarvo4k)->cameraSetZoomRatio(1.5, 0, 0), 0);
    QJsonObject main = usageState(m_zarvo4k->serial(), nullptr);
    QCOMPARE(main.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo4k/main_status/submit"));
    QCOMPARE(main.value(QStringLiteral("body")).toObject().value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("2.5"));

    // The nimo 4K's extended facts come from the AI status, the gimbal and
    // the camera's own presets (pan 12.34, tilt -5.00, zoom 50 of 100).
    m_nimo4k->setAiStatus(1, 0, 1, 0, 0.0f);
    VirtualCamera::Preset p;
    p.present = true;
    p.data = QByteArray::fromHex("01d2040cfe32000000");
    p.name = "desk";
    m_nimo4k->setPreset(1, p);
    QJsonObject ext;
    main = usageState(m_nimo4k->serial(), &ext);
    QCOMPARE(main.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/nimo4k/main_status/submit"));
    QCOMPARE(ext.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/nimo4k/ext_status/submit"));
    const QJsonObject e = ext.value(QStringLiteral("body")).toObject();
    QCOMPARE(e.value(QStringLiteral("tracking_mode")).toString(), QStringLiteral("HEADROOM"));
    QCOMPARE(e.value(QStringLiteral("init_pos_z")).toString(), QStringLiteral("1.00"));
    QCOMPARE(e.value(QStringLiteral("preset_1_used")).toBool(), true);
    QCOMPARE(e.value(QStringLiteral("preset_1_pos_p")).toString(), QStringLiteral("12.34"));
    QCOMPARE(e.value(QStringLiteral("preset_1_pos_t")).toString(), QStringLiteral("-5"));
    QCOMPARE(e.value(QStringLiteral("preset_1_pos_z")).toString(), QStringLiteral("2.5"));
    QCOMPARE(e.value(QStringLiteral("preset_2_used")).toBool(), false);
}

void TestUsageSource::networkOrUnknownSerialPostsNothing()
{
    DevUsageSource *source = DevUsageSource::instance();
    QVERIFY(!source->identity(QStringLiteral("NOSUCHCAMERA00")).registered);
    startUsageStateReport(QStringLiteral("NOSUCHCAMERA00"));
    pushDevUsageEvent(QStringLiteral("NOSUCHCAMERA00"), 4, 0, QString(), 1);

    // A camera reached over the network gets no snapshot and no traffic.
    UvcDevice *d = dev(m_zarvo);
    QVERIFY(d);
    d->setDevMode(UvcDevice::DevModeNet);
    QVERIFY(source->identity(m_zarvo->serial()).network);
    QVERIFY(!source->uvcSerials().contains(m_zarvo->serial()));
    startUsageStateReport(m_zarvo->serial());
    QThreadPool::globalInstance()->waitForDone();
    d->setDevMode(UvcDevice::DevModeUvc);
    QTest::qWait(100);
    QCOMPARE(freshRecords().size(), 0);
}

QTEST_GUILESS_MAIN(TestUsageSource)
#include "tst_usagesource.moc"
