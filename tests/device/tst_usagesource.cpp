// Cloud reports fed by the device registry: virtual cameras in the
// process-wide platform, reports posted to the cloud service stand-in.
#include "CloudStandIn.h"
#include "DeviceTestSupport.h"

#include "camera/VirtualCameras.h"
#include "comm/AppTask.h"
#include "comm/DevUsageSource.h"
#include "comm/UvcDevUsageSource.h"
#include "uvc/UvcDevices.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <QThreadPool>

using namespace vexo::pc;
using namespace devtest;

// Checked builds: Qt is not instrumented, so the global thread pool's
// bookkeeping is reported when waitForDone() frees it. Others ignore this.
extern "C" const char *__tsan_default_suppressions()
{
    return "race:QThreadPoolPrivate::reset\n";
}

class TestUsageSource : public QObject
{
    Q_OBJECT

    testsupport::CloudStandIn m_cloud;
    QTemporaryDir m_fw;
    std::shared_ptr<VirtualCamera> m_zarvo, m_zarvo4k, m_nimo4k;

    static UvcDevicePtr dev(const std::shared_ptr<VirtualCamera> &cam)
    {
        return UvcDevices::instance()->findDevBySn(cam->serial());
    }

    QJsonArray waitForRecords(int count)
    {
        QThreadPool::globalInstance()->waitForDone();
        const QJsonArray got = m_cloud.waitForRecords(count);
        m_cloud.markSeen();
        return got;
    }

    // One usage-state report: the extended snapshot's record (the main one
    // in *main).
    QJsonObject usageState(const QString &sn, QJsonObject *main = nullptr)
    {
        startUsageStateReport(sn);
        const QJsonArray got = waitForRecords(2);
        if (main)
            *main = got.at(0).toObject();
        return got.at(1).toObject();
    }

private slots:
    void initTestCase()
    {
        setUpFamily();
        QVERIFY(m_cloud.start(m_fw.path()));
        AppTask::setReportBaseUrl(m_cloud.baseUrl());
        // A zarvo and a zarvo 4K from the usual rotation, a nimo 4K beside them.
        auto backend = VirtualCameras::install(2);
        m_zarvo = backend->cameras().at(0);
        m_zarvo4k = backend->cameras().at(1);
        m_nimo4k = backend->createCamera(int(VirtualCamera::Model::Nimo4K), 7);
        for (int i = 0; i < 3; ++i)
            UvcDevices::instance()->detectDevByUvc();
        UvcDevUsageSource::install();
        QCOMPARE(DevUsageSource::instance()->uvcSerials().size(), 3);
        // Answers and reports at production pace from here on.
        TimeScale::setFactor(1.0);
        m_cloud.markSeen();
    }

    void cleanupTestCase()
    {
        QThreadPool::globalInstance()->waitForDone();
        UvcDevices::instance()->stop();
        QVERIFY(m_cloud.stop());
    }

    void zarvoReportsFollowTheCamera();
    void nimo4kFacts();
    void networkOrUnknownSerialPostsNothing();
};

void TestUsageSource::zarvoReportsFollowTheCamera()
{
    const QString sn = m_zarvo->serial();
    const UvcDevicePtr d = dev(m_zarvo);
    QVERIFY(d);

    // Device information: the report record, identity only.
    const DevUsageFacts id = DevUsageSource::instance()->identity(sn);
    QVERIFY(id.registered);
    QCOMPARE(id.family, int(DevUsageFacts::FamilyZarvo));
    startDevInfoReport(id.reportInfo);
    const QJsonObject info = waitForRecords(1).at(0).toObject().value(QStringLiteral("body")).toObject();
    QCOMPARE(info.value(QStringLiteral("product")).toString(), QStringLiteral("KAVORA Zarvo"));

    // Commands change the camera; the report reads the new state.
    QCOMPARE(d->cameraSetZoomRatio(1.5, 0, 0), 0);
    QCOMPARE(d->uvcPanTiltAbsoluteControl(12, -7), 0);
    QCOMPARE(d->cameraSetSuspendTime(300), 0);
    QCOMPARE(d->uvcWhiteBalanceTemperatureControlSet(false, 4600), 0);
    QCOMPARE(d->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), 0);
    // Read through the device: the camera copies its block under its own lock.
    CameraStatus st;
    QVERIFY(waitFor([&] { return d->getCameraStatus(st) && st.runState() == 3 && st.autoSleep() == 300; }));
    QJsonObject main;
    const QJsonObject ext = usageState(sn, &main);
    QCOMPARE(main.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/main_status/submit"));
    QCOMPARE(ext.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/zarvo/ext_status/submit"));
    const QJsonObject m = main.value(QStringLiteral("body")).toObject();
    QCOMPARE(m.value(QStringLiteral("state")).toString(), QStringLiteral("Sleep"));
    QCOMPARE(m.value(QStringLiteral("zoom_ratio")).toString(), QStringLiteral("1.5"));
    QCOMPARE(m.value(QStringLiteral("crop_cx")).toString(), QStringLiteral("12"));
    QCOMPARE(m.value(QStringLiteral("crop_cy")).toString(), QStringLiteral("-7"));
    const QJsonObject e = ext.value(QStringLiteral("body")).toObject();
    QCOMPARE(e.value(QStringLiteral("auto_sleep")).toString(), QStringLiteral("300s"));
    QCOMPARE(e.value(QStringLiteral("white_balance")).toString(), QStringLiteral("4600K"));
    d->cameraSetDevRunStatus(UvcDevice::DevStatusResume);
}

void TestUsageSource::nimo4kFacts()
{
    // The nimo 4K's extended facts come from the AI status, the gimbal and
    // the camera's own presets (pan 12.34, tilt -5.00, zoom 50 of 100).
    m_nimo4k->setAiStatus(1, 0, 1, 0, 0.0f);
    VirtualCamera::Preset p;
    p.present = true;
    p.data = QByteArray::fromHex("01d2040cfe32000000");
    p.name = "desk";
    m_nimo4k->setPreset(1, p);
    const QJsonObject ext = usageState(m_nimo4k->serial());
    QCOMPARE(ext.value(QStringLiteral("path")).toString(), QStringLiteral("/dev/nimo4k/ext_status/submit"));
    const QJsonObject e = ext.value(QStringLiteral("body")).toObject();
    QCOMPARE(e.value(QStringLiteral("tracking_mode")).toString(), QStringLiteral("HEADROOM"));
    QCOMPARE(e.value(QStringLiteral("preset_1_used")).toBool(), true);
    QCOMPARE(e.value(QStringLiteral("preset_1_pos_p")).toString(), QStringLiteral("12.34"));
    QCOMPARE(e.value(QStringLiteral("preset_2_used")).toBool(), false);
}

void TestUsageSource::networkOrUnknownSerialPostsNothing()
{
    DevUsageSource *source = DevUsageSource::instance();
    QVERIFY(!source->identity(QStringLiteral("NOSUCHCAMERA00")).registered);
    startUsageStateReport(QStringLiteral("NOSUCHCAMERA00"));
    pushDevUsageEvent(QStringLiteral("NOSUCHCAMERA00"), 4, 0, QString(), 1);

    // A camera reached over the network gets no snapshot and no traffic.
    const UvcDevicePtr d = dev(m_zarvo);
    QVERIFY(d);
    d->setDevMode(UvcDevice::DevModeNet);
    QVERIFY(source->identity(m_zarvo->serial()).network);
    QVERIFY(!source->uvcSerials().contains(m_zarvo->serial()));
    startUsageStateReport(m_zarvo->serial());
    QThreadPool::globalInstance()->waitForDone();
    d->setDevMode(UvcDevice::DevModeUvc);

    // The first records after all that are those of a report that counts.
    startDevInfoReport(source->identity(m_zarvo4k->serial()).reportInfo);
    const QJsonArray got = waitForRecords(1);
    QCOMPARE(got.size(), 1);
    QCOMPARE(got.at(0).toObject().value(QStringLiteral("path")).toString(), QStringLiteral("/dev/submit/"));
}

QTEST_GUILESS_MAIN(TestUsageSource)
#include "tst_usagesource.moc"
