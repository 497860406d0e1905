// Identity, device information, status and firmware check of a camera, read
// from virtual cameras and with damaged answers.
#include "DeviceTestSupport.h"

#include "comm/CameraModel.h"

#include <QJsonObject>
#include <QRegularExpression>

using namespace vexo::pc;
using namespace devtest;

class TestDevIdentity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFamily(); }

    void identityOfAZarvo4K()
    {
        OneCamera t(OneCamera::Later, VirtualCamera::Model::Zarvo4K);
        auto &cam = t.cam;
        cam->setVersion(0x01020304); // on the wire: 04 03 02 01
        auto dev = t.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->getSn(), cam->serial());
        QCOMPARE(dev->getName(), QStringLiteral("KAVORA_ZarvoCam_") + cam->serial().toUpper());
        QCOMPARE(dev->getUuid(), cam->uuid());
        QCOMPARE(dev->getVersion(), QStringLiteral("1.2.3.4"));
        QCOMPARE(dev->getSysType(), 1);
        QVERIFY(dev->getIpAddr().endsWith(QLatin1String(".10")));
        const QJsonObject info = dev->getInfo();
        QCOMPARE(info.value(QStringLiteral("product")).toString(), QStringLiteral("Kavora_zarvo"));
        QCOMPARE(info.value(QStringLiteral("platform")).toString(), QStringLiteral("SSC339G"));
        QCOMPARE(info.value(QStringLiteral("seqid")).toString(), QString::fromLatin1(cam->uuid().toHex().toUpper()));
        QCOMPARE(dev->getDevModel(), int(CameraModel::Zarvo4K));
        QVERIFY(dev->is4KDevice());
        const QJsonObject report = dev->getDevReportInfo();
        QCOMPARE(report.value(QStringLiteral("product")).toString(), QStringLiteral("KAVORA Zarvo4K"));
        QCOMPARE(report.value(QStringLiteral("sn")).toString(), cam->serial());
        QCOMPARE(report.value(QStringLiteral("version")).toString(), QStringLiteral("1.2.3.4"));
    }

    void modelLookup()
    {
        // A known product on a platform of another model, and the reverse.
        QCOMPARE(CameraModel::find(QStringLiteral("Kavora_zarvo"), QStringLiteral("Hi3516DV300")).code,
                 CameraModel::Unknown);
        QCOMPARE(CameraModel::find(QStringLiteral("Kavora_quil_1P"), QStringLiteral("SSC336Q")).code, CameraModel::Quil);
        QVERIFY(!CameraModel::find(QString(), QString()).is4K);
        QCOMPARE(CameraModel::find(QStringLiteral("Kavora_nimo_2P"), QStringLiteral("Hi3516CV500")).code,
                 CameraModel::Nimo);
        QCOMPARE(CameraModel::platformType(QStringLiteral("SSC359G")), int(DevPlatformSSC359G));
        QCOMPARE(CameraModel::platformType(QStringLiteral("ssc359g")), -1);
    }

    void informationFallbacks()
    {
        OneCamera t(OneCamera::Later);
        auto &cam = t.cam;
        cam->setSerialAnswer(QByteArray());
        cam->setInfoByte(32, 3); // systype out of range
        QTest::ignoreMessage(QtWarningMsg, "Wrong sn length = 0");
        auto dev = t.openDevice(cam);
        QVERIFY(dev);
        const QString seqid = QString::fromLatin1(cam->uuid().toHex().toUpper());
        QCOMPARE(dev->getInfo().value(QStringLiteral("devsn")).toString(), seqid.right(14));
        QCOMPARE(dev->getSn(), seqid.right(14));
        QCOMPARE(dev->getSysType(), 1);
    }

    void productOutOfTableGivesEmptyInformation()
    {
        OneCamera t(OneCamera::Later);
        auto &cam = t.cam;
        cam->setInfoByte(0, 6);
        QTest::ignoreMessage(QtWarningMsg,
                             "Error response: Product type = 6 Firmware type = 0 Platform type = 4 Device type = 0");
        auto dev = t.openDevice(cam);
        QVERIFY(dev);
        QVERIFY(dev->getInfo().isEmpty());
        QCOMPARE(dev->getSn(), QString::fromLatin1(cam->uuid().toHex().toUpper()).right(14));
        QVERIFY(!dev->is4KDevice());
        QCOMPARE(dev->getDevModel(), 5);
        cam->setInfoByte(0, 4);
        cam->setInfoByte(3, 0xff); // negative as a signed byte
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Device type = -1$")));
        QVERIFY(dev->getDevInfo().isEmpty());
    }

    void initFailures()
    {
        OneCamera t(OneCamera::OpenOnly);
        auto &cam = t.cam;
        auto &dev = t.dev;
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QVERIFY(dev->getDevUuid().isNull());

        cam->queueAnswerFaults({VirtualCamera::AnswerFault::ShortData});
        QTest::ignoreMessage(QtWarningMsg, "Dev uuid length error, received length is 23");
        QTest::ignoreMessage(QtWarningMsg, "Failed to get device's uuid");
        QVERIFY(!dev->initDev());
        QVERIFY(!dev->isInited());

        cam->setResultCode(8, 16, 1);
        QTest::ignoreMessage(QtWarningMsg, "Error occurred in sendMsgSync, ret_val = 6");
        QTest::ignoreMessage(QtWarningMsg, "Failed to get device's version");
        QVERIFY(!dev->initDev());
        QVERIFY(!dev->isInited());
        QCOMPARE(dev->getName(), cam->friendlyName());

        cam->setResultCode(8, 16, -1);
        QVERIFY(dev->initDev());
    }

    void statusReads()
    {
        OneCamera t;
        auto &cam = t.cam;
        auto &dev = t.dev;
        cam->setStatusByte(8, 0x2c);
        cam->setStatusByte(18, 0xff);
        cam->setStatusByte(19, 0xff);
        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(s.toByteArray(), cam->statusBlock() + QByteArray(2, '\0'));
        QCOMPARE(s.zoom(), 0x2c);
        QCOMPARE(s.autoSleep(), -1);
        QCOMPARE(dev->cachedStatus(), s);

        cam->setReadLength(6, 30);
        CameraStatus untouched;
        untouched.data[0] = 9;
        QTest::ignoreMessage(QtWarningMsg, "Invalid ret_val = 30");
        QVERIFY(!dev->getCameraStatus(untouched));
        QCOMPARE(untouched.data[0], quint8(9));
        QCOMPARE(dev->cachedStatus(), s);

        OneCamera other(OneCamera::Later);
        other.cam->setSystem(VirtualCamera::System::Upgrade);
        auto sys2 = other.openDevice(other.cam);
        QVERIFY(sys2);
        QCOMPARE(sys2->getSysType(), 2);
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QVERIFY(!sys2->getCameraStatus(s));
    }

    void firmwareCheck()
    {
        OneCamera t;
        auto &dev = t.dev;
        QCOMPARE(dev->getFwState(), -1);
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwUnknown));
        dev->setLatestFwVersion(QStringLiteral("4.2.3.1"));
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwUpToDate));
        // Compared as numbers per part, not as text.
        dev->setLatestFwVersion(QStringLiteral("4.2.10.0"));
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwNewer));
        QCOMPARE(dev->getFwState(), int(UvcDevice::FwNewer));
    }
};

QTEST_GUILESS_MAIN(TestDevIdentity)
#include "tst_devidentity.moc"
