// A camera's identity and status, its command set and its standard controls,
// byte for byte and value for value as the virtual camera received them.
#include "DeviceTestSupport.h"

#include "comm/CameraModel.h"

#include <QJsonObject>
#include <QRegularExpression>

#include <functional>

using namespace vexo::pc;
using namespace devtest;
using Control = CameraDevice::Control;

using Command = std::function<int(UvcDevice &)>;
Q_DECLARE_METATYPE(Command)

class TestDevCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFamily(); }

    void identityOfAZarvo4K()
    {
        OneCamera t(OneCamera::Later, VirtualCamera::Model::Zarvo4K);
        t.cam->setVersion(0x01020304); // on the wire: 04 03 02 01
        auto dev = t.openDevice(t.cam);
        QVERIFY(dev);
        QCOMPARE(dev->getName(), QStringLiteral("KAVORA_ZarvoCam_") + t.cam->serial().toUpper());
        QCOMPARE(dev->getVersion(), QStringLiteral("1.2.3.4"));
        QCOMPARE(dev->getInfo().value(QStringLiteral("seqid")).toString(),
                 QString::fromLatin1(t.cam->uuid().toHex().toUpper()));
        QCOMPARE(dev->getDevModel(), int(CameraModel::Zarvo4K));
        QVERIFY(dev->is4KDevice());
        const QJsonObject report = dev->getDevReportInfo();
        QCOMPARE(report.value(QStringLiteral("product")).toString(), QStringLiteral("KAVORA Zarvo4K"));
        QCOMPARE(report.value(QStringLiteral("version")).toString(), QStringLiteral("1.2.3.4"));

        // The firmware check compares versions as numbers per part.
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwUnknown));
        dev->setLatestFwVersion(QStringLiteral("1.2.3.4"));
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwUpToDate));
        dev->setLatestFwVersion(QStringLiteral("1.2.10.0"));
        QCOMPARE(dev->checkFwUpdate(), int(UvcDevice::FwNewer));
        QCOMPARE(dev->getFwState(), int(UvcDevice::FwNewer));
    }

    void modelLookup()
    {
        // A known product on a platform of another model, and the reverse.
        QCOMPARE(CameraModel::find(QStringLiteral("Kavora_zarvo"), QStringLiteral("Hi3516DV300")).code,
                 CameraModel::Unknown);
        QCOMPARE(CameraModel::find(QStringLiteral("Kavora_quil_1P"), QStringLiteral("SSC336Q")).code, CameraModel::Quil);
        QCOMPARE(CameraModel::platformType(QStringLiteral("ssc359g")), -1);
    }

    void oddInformationAnswers()
    {
        OneCamera t(OneCamera::Later);
        t.cam->setInfoByte(0, 6); // a product beyond the table
        QTest::ignoreMessage(QtWarningMsg,
                             "Error response: Product type = 6 Firmware type = 0 Platform type = 4 Device type = 0");
        auto dev = t.openDevice(t.cam);
        QVERIFY(dev);
        const QString uuidHex = QString::fromLatin1(t.cam->uuid().toHex().toUpper());
        QVERIFY(dev->getInfo().isEmpty());
        QCOMPARE(dev->getSn(), uuidHex.right(14));
        QCOMPARE(dev->getDevModel(), int(CameraModel::Unknown));

        // A record without a serial answer: the serial is the end of its
        // seqid; a system type out of range means the main system.
        t.cam->setInfoByte(0, 4);
        t.cam->setInfoByte(32, 3);
        t.cam->setSerialAnswer(QByteArray());
        QTest::ignoreMessage(QtWarningMsg, "Wrong sn length = 0");
        QVERIFY(dev->initDev());
        QCOMPARE(dev->getInfo().value(QStringLiteral("devsn")).toString(), uuidHex.right(14));
        QCOMPARE(dev->getSysType(), 1);
        t.cam->setInfoByte(3, 0xff); // negative as a signed byte
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Device type = -1$")));
        QVERIFY(dev->getDevInfo().isEmpty());
    }

    void initFailures()
    {
        OneCamera t(OneCamera::OpenOnly);
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QVERIFY(t.dev->getDevUuid().isNull());

        t.cam->queueAnswerFaults({VirtualCamera::AnswerFault::ShortData});
        QTest::ignoreMessage(QtWarningMsg, "Dev uuid length error, received length is 23");
        QTest::ignoreMessage(QtWarningMsg, "Failed to get device's uuid");
        QVERIFY(!t.dev->initDev());
        QVERIFY(!t.dev->isInited());

        t.cam->setResultCode(8, 16, 1);
        QTest::ignoreMessage(QtWarningMsg, "Error occurred in sendMsgSync, ret_val = 6");
        QTest::ignoreMessage(QtWarningMsg, "Failed to get device's version");
        QVERIFY(!t.dev->initDev());
        QVERIFY(!t.dev->isInited());
        t.cam->setResultCode(8, 16, -1);
        QVERIFY(t.dev->initDev());
    }

    void commandBlocks_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("block");
        auto row = [](const char *name, Command c, const char *hex) {
            QTest::newRow(name) << c << QByteArray::fromHex(hex);
        };
        row("mask level above range", [](UvcDevice &d) { return d.cameraSetMaskLevel(150); }, "060164");
        row("mask level below range", [](UvcDevice &d) { return d.cameraSetMaskLevel(-5); }, "060100");
        row("background enabled", [](UvcDevice &d) { return d.cameraSetBgEnable(true); }, "110100");
        row("background disabled", [](UvcDevice &d) { return d.cameraSetBgEnable(false); }, "110101");
        row("suspend 600 s", [](UvcDevice &d) { return d.cameraSetSuspendTime(600); }, "0b025802");
        row("media mode", [](UvcDevice &d) { return d.cameraSetMediaMode(UvcDevice::MediaModeFraming); }, "000102");
        row("hdr", [](UvcDevice &d) { return d.cameraSetHdr(true); }, "010101");
        row("face exposure", [](UvcDevice &d) { return d.cameraSetFaceAE(1); }, "030101");
        row("field of view", [](UvcDevice &d) { return d.cameraSetFov(2); }, "040102");
        row("background mode", [](UvcDevice &d) { return d.cameraSetBgMode(UvcDevice::MediaBgReplace); }, "050111");
        row("button mode", [](UvcDevice &d) { return d.cameraSetButtonMode(1); }, "070101");
        row("noise cancellation", [](UvcDevice &d) { return d.cameraSetNoiseCancellation(1); }, "0a0101");
        row("group framing", [](UvcDevice &d) { return d.cameraSetAutoFramingMode(0, -1); }, "0d0200ff");
        row("picture", [](UvcDevice &d) { return d.cameraSetImageReplace(0, 2); }, "0e020002");
        row("colour", [](UvcDevice &d) { return d.cameraSetBgColor(UvcDevice::MediaBgColorBlue); }, "100100");
        row("pan left half", [](UvcDevice &d) { return d.uvcPanTiltRelativeControl(-0.5, 0); }, "0904ff050000");
        row("pan clamped", [](UvcDevice &d) { return d.uvcPanTiltRelativeControl(1.5, 0.25); }, "0904010a0102");
        row("pan truncated", [](UvcDevice &d) { return d.uvcPanTiltRelativeControl(0.09, -0.19); }, "09040000ff01");
    }

    void commandBlocks()
    {
        QFETCH(Command, command);
        QFETCH(QByteArray, block);
        OneCamera t;
        QVERIFY(t.dev);
        QCOMPARE(command(*t.dev), 0);
        const auto written = t.cam->blocksWritten(6);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.at(0), block + QByteArray(60 - block.size(), '\0'));
    }

    void refusedBeforeInitAndOutsideTheMainSystem()
    {
        OneCamera t(OneCamera::OpenOnly);
        // One of each way to the camera (block, frame, request, preset, control).
        const QList<Command> all = {
            [](UvcDevice &d) { return d.cameraSetHdr(true); },
            [](UvcDevice &d) { return d.cameraSetDevRunStatus(UvcDevice::DevStatusSleep); },
            [](UvcDevice &d) { return d.cameraSetZoomRatio(1.5, 5, 0); },
            [](UvcDevice &d) { return d.cameraSetAntiFlicker(1); },
            [](UvcDevice &d) { return d.cameraGetFocusRatio(nullptr); },
            [](UvcDevice &d) { short x, y, z; return d.gimbalGetAttitudeInfo(x, y, z); },
            [](UvcDevice &d) { UvcPreSetPosInfo p; return d.presetPositionGet(1, &p); },
            [](UvcDevice &d) { return d.uvcExposureSet(false, 300); },
        };
        for (int i = 0; i < all.size(); ++i) {
            QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
            QVERIFY2(all.at(i)(*t.dev) == -1, qPrintable(QString::number(i)));
        }
        QCOMPARE(t.dev->queuedPackets(), 0);
        for (int sel = 1; sel <= 7; ++sel)
            QCOMPARE(t.cam->writeCount(sel), 0);
        QVERIFY(!t.dev->control(Control::Gain));

        OneCamera upgrading(OneCamera::Later);
        upgrading.cam->setSystem(VirtualCamera::System::Upgrade);
        auto sys2 = upgrading.openDevice(upgrading.cam);
        QVERIFY(sys2);
        QCOMPARE(sys2->getSysType(), 2);
        CameraStatus none;
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QVERIFY(!sys2->getCameraStatus(none));
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QCOMPARE(sys2->cameraSetHdr(true), -1);
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QCOMPARE(sys2->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), -1);
        QCOMPARE(upgrading.cam->writeCount(6), 0);
    }

    void cameraFrames()
    {
        OneCamera t;
        QVERIFY(t.dev);
        const int before = t.cam->receivedFrames().size();
        QCOMPARE(t.dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), 0);
        QCOMPARE(t.dev->cameraSetZoomRatio(1.5, 5, 1), 0);
        QCOMPARE(t.dev->cameraSetFaceFocus(true), 0);
        QCOMPARE(t.dev->gimbalSetSpeedPosition(10, 20, 30, 1.5, -2.25, 0), 0);
        QCOMPARE(t.dev->cameraPrepareLog(), 0);
        QVERIFY(waitFor([&] { return t.cam->receivedFrames().size() == before + 6; }));
        const auto frames = t.cam->receivedFrames().mid(before);
        QCOMPARE(frames.at(0).cmdId, 962);
        QCOMPARE(frames.at(0).route, quint8(0xE1));
        QCOMPARE(frames.at(0).payload, QByteArray::fromHex("0103"));
        QVERIFY(!(frames.at(0).flags & ProtocolMsg::FlagWantAnswer));
        QCOMPARE(frames.at(1).cmdId, 643);
        QCOMPARE(frames.at(1).payload, QByteArray::fromHex("0500dc050000")); // length 18
        QCOMPARE(frames.at(2).payload, QByteArray::fromHex("01")); // 978
        QCOMPARE(frames.at(3).route, quint8(0xE2)); // set 2
        QCOMPARE(frames.at(3).payload, QByteArray::fromHex("96001fff00000a0014001e00"));
        // The two log commands: 60-byte frames asking for an answer.
        QCOMPARE(frames.at(4).cmdId, 461);
        QVERIFY(frames.at(4).flags & ProtocolMsg::FlagWantAnswer);
        QCOMPARE(frames.at(4).payload, QByteArray("\x14" "cp /app/private/LogFac* /log/ai/ -rf &").leftJustified(48, 0));
        QCOMPARE(frames.at(5).payload, QByteArray("\x14" "cp /factory/*.json /log/ai/ &").leftJustified(48, 0));

        QCOMPARE(t.dev->cameraGetFaceFocus({}, nullptr, UvcDevice::GetBlocking), 1);
        short x = 0, y = 0, z = 9;
        QCOMPARE(t.dev->gimbalGetAttitudeInfo(x, y, z), 0);
        QCOMPARE((QList<short>{x, y, z}), (QList<short>{150, -225, 0}));

        t.cam->setSilent(true);
        QTest::ignoreMessage(QtWarningMsg, "Error occurred in sendMsgAsync, ret_val = 5");
        QCOMPARE(t.dev->cameraGetFaceFocus({}, nullptr, UvcDevice::GetBlocking), 0);
    }

    void zoomAndFocusScaling()
    {
        OneCamera t;
        QVERIFY(t.dev);
        QCOMPARE(t.dev->normalizedZoom(300), 50); // of 100..500
        QCOMPARE(t.dev->normalizedZoom(1000), 100);
        QCOMPARE(t.dev->normalizedZoom(101), 0);  // 0.25 rounds down
        QCOMPARE(t.dev->normalizedZoom(102), 1);  // 0.5 rounds up
        unsigned char isAuto = 9;
        QCOMPARE(t.dev->cameraGetFocusRatio(&isAuto), 50);
        QCOMPARE(isAuto, quint8(1));

        OneCamera flat(OneCamera::Later);
        flat.cam->setControlRange(Control::Zoom, {0, 0, 1, 0, 2});
        flat.cam->setControlRange(Control::Focus, {10, 10, 1, 10, 3});
        auto still = flat.openDevice(flat.cam);
        QVERIFY(still);
        QCOMPARE(still->normalizedZoom(300), 0);
        QCOMPARE(still->cameraGetFocusRatio(nullptr), -1);
    }

    void presets()
    {
        OneCamera t;
        QVERIFY(t.dev);
        VirtualCamera::Preset p;
        p.present = true;
        p.data = QByteArray::fromHex("010203040506070809");
        p.name = "Desk";
        t.cam->setPreset(1, p);
        UvcPreSetPosInfo info;
        QCOMPARE(t.dev->presetPositionGet(1, &info), 0);
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(info.data), 9), p.data);
        QCOMPARE(QByteArray(info.name, info.nameLen), QByteArray("Desk"));
        QCOMPARE(t.cam->blocksWritten(7).last().left(3), QByteArray::fromHex("020101"));
        QCOMPARE(t.dev->presetPositionGet(2, &info), 0);
        QVERIFY(!info.isPresent());
        QTest::ignoreMessage(QtWarningMsg, "Preset info invalid 0 0");
        QCOMPARE(t.dev->presetPositionGet(9, &info), -1);
    }

    // Setters over the standard controls: the control they reach, the value
    // it holds and whether its automatic mode is on afterwards.
    void controlSetters_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<int>("control");
        QTest::addColumn<int>("value");
        QTest::addColumn<bool>("automatic");
        auto row = [](const char *name, Command c, Control id, int value, bool automatic) {
            QTest::newRow(name) << c << int(id) << value << automatic;
        };
        row("white balance manual", [](UvcDevice &d) { return d.uvcWhiteBalanceTemperatureControlSet(false, 5000); },
            Control::WhiteBalance, 5000, false);
        row("exposure manual", [](UvcDevice &d) { return d.uvcExposureSet(false, 300); }, Control::Exposure, 300, false);
        row("gain automatic", [](UvcDevice &d) { return d.uvcGainControlSet(true, 40); }, Control::Gain, 1, true);
        row("contrast", [](UvcDevice &d) { return d.uvcContrastControlSet(70); }, Control::Contrast, 70, false);
        // Anti-flicker: 1 and 2 are 50 and 60 Hz, anything else lets the camera choose.
        row("anti-flicker 0", [](UvcDevice &d) { return d.cameraSetAntiFlicker(0); }, Control::PowerLineFrequency, 1, true);
        row("anti-flicker 60", [](UvcDevice &d) { return d.cameraSetAntiFlicker(2); }, Control::PowerLineFrequency, 2, false);
        row("anti-flicker 3", [](UvcDevice &d) { return d.cameraSetAntiFlicker(3); }, Control::PowerLineFrequency, 1, true);
        row("zoom ratio", [](UvcDevice &d) { return d.cameraSetZoomRatio(1.5, 0, 0); }, Control::Zoom, 300, false);
    }

    void controlSetters()
    {
        QFETCH(Command, command);
        QFETCH(int, control);
        QFETCH(int, value);
        QFETCH(bool, automatic);
        OneCamera t;
        QVERIFY(t.dev);
        QCOMPARE(command(*t.dev), 0);
        QCOMPARE(t.cam->controlValue(Control(control)), value);
        QCOMPARE(t.cam->controlAuto(Control(control)), automatic);
    }

    void controlFailuresLeaveOutputsAlone()
    {
        OneCamera t;
        QVERIFY(t.dev);
        QCOMPARE(t.dev->range(Control::WhiteBalance)->flags, int(CameraDevice::FlagManual | CameraDevice::FlagAuto));

        t.cam->setControlFails(Control::Gain, true);
        QTest::ignoreMessage(QtWarningMsg, "put_Gain failed");
        QCOMPARE(t.dev->uvcGainControlSet(false, 10), -1);
        bool isAuto = true;
        int value = -3;
        QTest::ignoreMessage(QtWarningMsg, "get_Gain failed");
        t.dev->uvcGainControlGet(isAuto, value);
        QVERIFY(isAuto && value == -3);
        UvcDevice::CameraParamRange r;
        r.maximum = 42;
        QTest::ignoreMessage(QtWarningMsg, "getRange_Gain failed");
        t.dev->uvcGainControlRangeGet(r);
        QCOMPARE(r.maximum, 42);
        QTest::ignoreMessage(QtWarningMsg, "getRange_Gain failed");
        QVERIFY(!t.dev->range(Control::Gain));
        // Out of range values are the camera's to refuse.
        QTest::ignoreMessage(QtWarningMsg, "put_Contrast failed");
        QCOMPARE(t.dev->uvcContrastControlSet(1000), -1);
    }

    void panTilt()
    {
        OneCamera t;
        QVERIFY(t.dev);
        QCOMPARE(t.dev->uvcPanTiltAbsoluteControl(500, -100), 0);
        QCOMPARE(t.cam->controlValue(Control::Pan), 170 * 3600);
        QCOMPARE(t.cam->controlValue(Control::Tilt), -30 * 3600);
        QCOMPARE(t.dev->uvcPanTiltAbsoluteControl(-12, 45), 0);
        int pan = 0, tilt = 0;
        QCOMPARE(t.dev->uvcPanTiltAbsoluteControlGet(pan, tilt), 0);
        QCOMPARE(pan, -12);
        QCOMPARE(tilt, 45);

        t.cam->setControlFails(Control::TiltRelative, true);
        QTest::ignoreMessage(QtWarningMsg, "getRange_TiltRelative failed");
        QTest::ignoreMessage(QtWarningMsg, "uvcPanTiltRangeRelGet failed");
        QCOMPARE(t.dev->uvcPanTiltRelativeControl(0.5, 0.5), -1);
        QCOMPARE(t.cam->writeCount(6), 0);
    }
};

QTEST_GUILESS_MAIN(TestDevCommands)
#include "tst_devcommands.moc"
