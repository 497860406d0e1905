// Identity, device information, status and AI status of a camera, read from
// virtual cameras of each model and with damaged answers.
#include "DeviceTestSupport.h"

#include <QJsonObject>
#include <QRegularExpression>

using namespace vexo::pc;
using namespace devtest;

class TestDevIdentity : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFamily(); }

    void models_data()
    {
        QTest::addColumn<int>("model");
        QTest::addColumn<QString>("product");
        QTest::addColumn<QString>("platform");
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("is4k");
        QTest::addColumn<QString>("reportName");
        using M = VirtualCamera::Model;
        QTest::newRow("zarvo") << int(M::Zarvo) << "Kavora_zarvo" << "SSC336Q" << 2 << false << "KAVORA Zarvo";
        QTest::newRow("zarvo 4k") << int(M::Zarvo4K) << "Kavora_zarvo" << "SSC339G" << 3 << true << "KAVORA Zarvo4K";
        QTest::newRow("nimo") << int(M::Nimo) << "Kavora_nimo_2P" << "Hi3516DV300" << 0 << false << "KAVORA Nimo";
        QTest::newRow("nimo 4k") << int(M::Nimo4K) << "Kavora_nimo_2P" << "SSC339G" << 1 << true << "KAVORA Nimo4K";
        QTest::newRow("unknown") << int(M::Unknown) << "Kavora_nimoair" << "Hi3559A" << 5 << false << "KAVORA Unknown";
    }

    void models()
    {
        QFETCH(int, model);
        QFETCH(QString, product);
        QFETCH(QString, platform);
        QFETCH(int, code);
        QFETCH(bool, is4k);
        QFETCH(QString, reportName);
        Rig rig;
        auto cam = rig.addCamera(VirtualCamera::Model(model), 7);
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QVERIFY(dev->isInited());
        QCOMPARE(dev->getSn(), cam->serial());
        QCOMPARE(dev->getName(), QStringLiteral("KAVORA_ZarvoCam_") + cam->serial().toUpper());
        QCOMPARE(dev->getUuid(), cam->uuid());
        QCOMPARE(dev->getVersion(), QStringLiteral("4.2.3.1"));
        QCOMPARE(dev->getSysType(), 1);
        QCOMPARE(dev->getSocVer(), 1);
        QVERIFY(dev->getIpAddr().endsWith(QLatin1String(".10")));

        const QJsonObject info = dev->getInfo();
        QCOMPARE(info.value(QStringLiteral("product")).toString(), product);
        QCOMPARE(info.value(QStringLiteral("platform")).toString(), platform);
        QCOMPARE(info.value(QStringLiteral("branch")).toString(), QStringLiteral("OA_E"));
        QCOMPARE(info.value(QStringLiteral("status")).toString(), QStringLiteral("release"));
        QCOMPARE(info.value(QStringLiteral("seqid")).toString(), QString::fromLatin1(cam->uuid().toHex().toUpper()));
        QCOMPARE(info.value(QStringLiteral("devsn")).toString(), cam->serial());
        QCOMPARE(dev->getDevModel(), code);
        QCOMPARE(dev->getModelCode(), code);
        QCOMPARE(dev->is4KDevice(), is4k);
        const QJsonObject report = dev->getDevReportInfo();
        QCOMPARE(report.value(QStringLiteral("product")).toString(), reportName);
        QCOMPARE(report.value(QStringLiteral("sn")).toString(), cam->serial());
        QCOMPARE(report.value(QStringLiteral("version")).toString(), QStringLiteral("4.2.3.1"));
        QCOMPARE(report.value(QStringLiteral("platform")).toString(), platform);
    }

    void versionIsDottedMostSignificantFirst()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setVersion(0x01020304); // on the wire: 04 03 02 01
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->getVersion(), QStringLiteral("1.2.3.4"));
        QCOMPARE(UvcDevice::versionValue(QStringLiteral("1.2.3.4")), 0x01020304u);
    }

    void informationFallbacks()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setSerialAnswer(QByteArray());
        cam->setInfoByte(32, 3); // systype out of range
        QTest::ignoreMessage(QtWarningMsg, "Wrong sn length = 0");
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        const QString seqid = QString::fromLatin1(cam->uuid().toHex().toUpper());
        QCOMPARE(dev->getInfo().value(QStringLiteral("devsn")).toString(), seqid.right(14));
        QCOMPARE(dev->getSn(), seqid.right(14));
        QCOMPARE(dev->getSysType(), 1);
    }

    void productOutOfTableGivesEmptyInformation()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setInfoByte(0, 6);
        QTest::ignoreMessage(QtWarningMsg,
                             "Error response: Product type = 6 Firmware type = 0 Platform type = 4 Device type = 0");
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QVERIFY(dev->getInfo().isEmpty());
        // The serial then comes from the uuid.
        QCOMPARE(dev->getSn(), QString::fromLatin1(cam->uuid().toHex().toUpper()).right(14));
        QVERIFY(!dev->is4KDevice());
        QCOMPARE(dev->getDevModel(), 5);
        cam->setInfoByte(0, 4);
        cam->setInfoByte(3, 0xff); // negative as a signed byte
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Device type = -1$")));
        QVERIFY(dev->getDevInfo().isEmpty());
    }

    void upgradeSystem()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setSystem(VirtualCamera::System::Upgrade);
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->getSysType(), 2);
        CameraStatus s;
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QVERIFY(!dev->getCameraStatus(s));
        AiStatus ai;
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QCOMPARE(dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), -1);
    }

    void initFailures()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
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
        QVERIFY(dev->getName() == cam->friendlyName());

        cam->setResultCode(8, 16, -1);
        QVERIFY(dev->initDev());
    }

    void statusReads()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        cam->setStatusByte(8, 0x2c);
        cam->setStatusByte(18, 0xff);
        cam->setStatusByte(19, 0xff);
        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(s.toByteArray().left(60), cam->statusBlock());
        QCOMPARE(s.byte(60), quint8(0));
        QCOMPARE(s.byte(61), quint8(0));
        QCOMPARE(s.zoom(), 0x2c);
        QCOMPARE(s.autoSleep(), -1);
        QCOMPARE(dev->cachedStatus(), s);
        CameraStatus again;
        QVERIFY(dev->getCameraStatus(again));
        QCOMPARE(again, s);

        cam->setReadLength(6, 30);
        CameraStatus untouched;
        untouched.data[0] = 9;
        QTest::ignoreMessage(QtWarningMsg, "Invalid ret_val = 30");
        QVERIFY(!dev->getCameraStatus(untouched));
        QCOMPARE(untouched.data[0], quint8(9));
        QCOMPARE(dev->cachedStatus(), s);
    }

    void firmwareCheck()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->getFwState(), -1);
        QString msg;
        QCOMPARE(dev->checkFwUpdate(msg), 2);
        QCOMPARE(msg, QStringLiteral("Cannot get latest firmware info from server!"));
        dev->setLatestFwVersion(QStringLiteral("4.2.3.1"));
        QCOMPARE(dev->checkFwUpdate(msg), 0);
        QCOMPARE(msg, QStringLiteral("Current firmware is up to date!"));
        // Compared as numbers per part, not as text.
        dev->setLatestFwVersion(QStringLiteral("4.2.10.0"));
        QCOMPARE(dev->checkFwUpdate(msg), 1);
        QCOMPARE(msg, QStringLiteral("New firmware is available: 4.2.10.0!"));
        QCOMPARE(dev->getFwState(), 1);
    }

    void aiStatusBlocking()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        cam->setAiStatus(1, 2, 5, 200, 1.5f);
        AiStatus ai;
        QCOMPARE(dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), 0);
        QCOMPARE(ai.first, quint8(1));
        QCOMPARE(ai.second, quint8(2));
        QCOMPARE(ai.third, quint8(0));   // 3..127 means none
        QCOMPARE(ai.fourth, quint8(200)); // negative as a signed byte: kept
        QCOMPARE(ai.fifth, quint8(200));
        QCOMPARE(ai.value, 1.5f);
        QCOMPARE(dev->aiGetAiStatus(nullptr, {}, nullptr, UvcDevice::GetBlocking), -1);
        cam->queueAnswerFaults({VirtualCamera::AnswerFault::ShortData});
        QTest::ignoreMessage(QtWarningMsg, "AI status length error, received length is 37");
        QCOMPARE(dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking), -1);
    }
};

QTEST_GUILESS_MAIN(TestDevIdentity)
#include "tst_devidentity.moc"
