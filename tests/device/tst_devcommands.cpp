// The camera command set, byte for byte as the virtual camera received it,
// and the effect each command has on the camera's status block.
#include "DeviceTestSupport.h"

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

    void commandBlocks_data()
    {
        QTest::addColumn<Command>("command");
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<int>("statusOffset");
        QTest::addColumn<int>("statusValue");
        auto row = [](const char *name, Command c, const char *hex, int offset, int value) {
            QTest::newRow(name) << c << QByteArray::fromHex(hex) << offset << value;
        };
        row("mask level above range", [](UvcDevice &d) { return d.cameraSetMaskLevel(150); }, "060164", 6, 100);
        row("mask level below range", [](UvcDevice &d) { return d.cameraSetMaskLevel(-5); }, "060100", 6, 0);
        row("background enabled", [](UvcDevice &d) { return d.cameraSetBgEnable(true); }, "110100", 26, 0);
        row("background disabled", [](UvcDevice &d) { return d.cameraSetBgEnable(false); }, "110101", 26, 1);
        row("suspend 600 s", [](UvcDevice &d) { return d.cameraSetSuspendTime(600); }, "0b025802", 18, 0x58);
        row("media mode", [](UvcDevice &d) { return d.cameraSetMediaMode(UvcDevice::MediaModeFraming); }, "000102", 0, 2);
        row("hdr", [](UvcDevice &d) { return d.cameraSetHdr(true); }, "010101", 1, 1);
        row("face exposure", [](UvcDevice &d) { return d.cameraSetFaceAE(1); }, "030101", 3, 1);
        row("field of view", [](UvcDevice &d) { return d.cameraSetFov(2); }, "040102", 4, 2);
        row("background mode", [](UvcDevice &d) { return d.cameraSetBgMode(UvcDevice::MediaBgReplace); }, "050111", 5, 17);
        row("button mode", [](UvcDevice &d) { return d.cameraSetButtonMode(1); }, "070101", 10, 1);
        row("noise cancellation", [](UvcDevice &d) { return d.cameraSetNoiseCancellation(1); }, "0a0101", 14, 1);
        row("group framing", [](UvcDevice &d) { return d.cameraSetAutoFramingMode(0, -1); }, "0d0200ff", 16, 0);
        row("upper body", [](UvcDevice &d) { return d.cameraSetAutoFramingMode(1, 1); }, "0d020101", 17, 1);
        row("picture", [](UvcDevice &d) { return d.cameraSetImageReplace(0, 2); }, "0e020002", 20, 2);
        row("colour", [](UvcDevice &d) { return d.cameraSetBgColor(UvcDevice::MediaBgColorBlue); }, "100100", 22, 0);
    }

    void commandBlocks()
    {
        QFETCH(Command, command);
        QFETCH(QByteArray, block);
        QFETCH(int, statusOffset);
        QFETCH(int, statusValue);
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(command(*dev), 0);
        const auto written = cam->blocksWritten(6);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.at(0).left(block.size()), block);
        QCOMPARE(written.at(0).mid(block.size()), QByteArray(60 - block.size(), '\0'));
        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(int(s.byte(statusOffset)), statusValue);
    }

    void refusedBeforeInit()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        const QList<Command> all = {
            [](UvcDevice &d) { return d.cameraSetMediaMode(UvcDevice::MediaModeStandard); },
            [](UvcDevice &d) { return d.cameraSetHdr(true); },
            [](UvcDevice &d) { return d.cameraSetFaceAE(1); },
            [](UvcDevice &d) { return d.cameraSetFov(1); },
            [](UvcDevice &d) { return d.cameraSetBgMode(UvcDevice::MediaBgBlur); },
            [](UvcDevice &d) { return d.cameraSetMaskLevel(5); },
            [](UvcDevice &d) { return d.cameraSetButtonMode(1); },
            [](UvcDevice &d) { return d.cameraSetNoiseCancellation(1); },
            [](UvcDevice &d) { return d.cameraSetSuspendTime(60); },
            [](UvcDevice &d) { return d.cameraSetAutoFramingMode(1, 0); },
            [](UvcDevice &d) { return d.cameraSetImageReplace(0, 1); },
            [](UvcDevice &d) { return d.cameraSetBgColor(UvcDevice::MediaBgColorGreen); },
            [](UvcDevice &d) { return d.cameraSetBgEnable(true); },
            [](UvcDevice &d) { return d.cameraSetDevRunStatus(UvcDevice::DevStatusSleep); },
            [](UvcDevice &d) { return d.cameraRestoreFactorySettings(); },
            [](UvcDevice &d) { return d.cameraSetFaceFocus(true); },
            [](UvcDevice &d) { return d.cameraGetFaceFocus({}, nullptr, UvcDevice::GetBlocking); },
            [](UvcDevice &d) { return d.cameraSetZoomRatio(1.5, 5, 1); },
            [](UvcDevice &d) { return d.cameraSetZoomRatio(1.5, 5, 0); },
            [](UvcDevice &d) { return d.cameraPrepareLog(); },
            [](UvcDevice &d) { return d.cameraSetAntiFlicker(1); },
            [](UvcDevice &d) { return d.cameraGetFocusRatio(nullptr); },
            [](UvcDevice &d) { return d.gimbalSetSpeedPosition(1, 1, 1, 1, 1, 1); },
            [](UvcDevice &d) { short x, y, z; return d.gimbalGetAttitudeInfo(x, y, z); },
            [](UvcDevice &d) { float a, b, c, e; return d.aiGetGimbalBootPos(a, b, c, e); },
            [](UvcDevice &d) { UvcPreSetPosInfo p; return d.presetPositionGet(1, &p); },
            [](UvcDevice &d) { return d.uvcPanTiltRelativeControl(0.5, 0); },
            [](UvcDevice &d) { return d.uvcPanTiltAbsoluteControl(1, 1); },
        };
        for (int i = 0; i < all.size(); ++i) {
            QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
            QVERIFY2(all.at(i)(*dev) == -1, qPrintable(QString::number(i)));
        }
        QTest::qWait(TimeScale::ms(200));
        for (int sel = 1; sel <= 7; ++sel)
            QCOMPARE(cam->writeCount(sel), 0);
        QCOMPARE(cam->controlValue(Control::PowerLineFrequency), 1);
        QCOMPARE(cam->controlValue(Control::Zoom), 100);
    }

    void refusedOutsideTheMainSystem()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setSystem(VirtualCamera::System::Upgrade);
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QCOMPARE(dev->cameraSetHdr(true), -1);
        QTest::ignoreMessage(QtWarningMsg, "Only supported in main sys");
        QCOMPARE(dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), -1);
        QCOMPARE(cam->writeCount(6), 0);
    }

    void cameraFrames()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        const int before = cam->receivedFrames().size();
        QCOMPARE(dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep), 0);
        QCOMPARE(dev->cameraSetZoomRatio(1.5, 5, 1), 0);
        QCOMPARE(dev->cameraSetFaceFocus(true), 0);
        QCOMPARE(dev->gimbalSetSpeedPosition(10, 20, 30, 1.5, -2.25, 0), 0);
        QVERIFY(waitFor([&] { return cam->receivedFrames().size() == before + 4; }));
        const auto frames = cam->receivedFrames().mid(before);

        QCOMPARE(frames.at(0).cmdSet, 1);
        QCOMPARE(frames.at(0).cmdId, 962);
        QCOMPARE(frames.at(0).route, quint8(0xE1));
        QCOMPARE(frames.at(0).payload, QByteArray::fromHex("0103"));
        QVERIFY(!(frames.at(0).flags & ProtocolMsg::FlagWantAnswer));

        QCOMPARE(frames.at(1).cmdId, 643);
        QCOMPARE(frames.at(1).payload, QByteArray::fromHex("0500dc050000")); // length 18
        QCOMPARE(frames.at(2).cmdId, 978);
        QCOMPARE(frames.at(2).payload, QByteArray::fromHex("01"));
        QCOMPARE(frames.at(3).cmdSet, 2);
        QCOMPARE(frames.at(3).route, quint8(0xE2));
        QCOMPARE(frames.at(3).payload, QByteArray::fromHex("96001fff00000a0014001e00"));

        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(s.runState(), 3);
        QCOMPARE(s.zoom(), 50);
        QCOMPARE(int(s.byte(CameraStatus::FaceFocus)), 1);

        QCOMPARE(dev->cameraGetFaceFocus({}, nullptr, UvcDevice::GetBlocking), 1);
        short x = 0, y = 0, z = 9;
        QCOMPARE(dev->gimbalGetAttitudeInfo(x, y, z), 0);
        QCOMPARE(x, short(150));
        QCOMPARE(y, short(-225));
        QCOMPARE(z, short(0));
        float a, b, c, d;
        QCOMPARE(dev->aiGetGimbalBootPos(a, b, c, d), 0);
        QCOMPARE(c, 1.0f);

        cam->setSilent(true);
        QTest::ignoreMessage(QtWarningMsg, "Error occurred in sendMsgSync, ret_val = 5");
        QCOMPARE(dev->gimbalGetAttitudeInfo(x, y, z), -1);
        QTest::ignoreMessage(QtWarningMsg, "Error occurred in sendMsgAsync, ret_val = 5");
        QCOMPARE(dev->cameraGetFaceFocus({}, nullptr, UvcDevice::GetBlocking), 0);
    }

    void prepareLog()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        const int before = cam->receivedFrames().size();
        QCOMPARE(dev->cameraPrepareLog(), 0);
        QVERIFY(waitFor([&] { return cam->receivedFrames().size() == before + 2; }));
        const auto frames = cam->receivedFrames().mid(before);
        for (const auto &f : frames) {
            QCOMPARE(f.cmdId, 461);
            QCOMPARE(f.payload.size(), 48); // a 60-byte frame
            QCOMPARE(quint8(f.payload.at(0)), quint8(0x14));
            QVERIFY(f.flags & ProtocolMsg::FlagWantAnswer);
        }
        QCOMPARE(frames.at(0).payload.mid(1).left(38), QByteArray("cp /app/private/LogFac* /log/ai/ -rf &"));
        QCOMPARE(frames.at(0).payload.at(39), '\0');
        QCOMPARE(frames.at(1).payload.mid(1, 29), QByteArray("cp /factory/*.json /log/ai/ &"));
    }

    void zoomAndFocusThroughControls()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->cameraSetZoomRatio(1.5, 0, 0), 0);
        QCOMPARE(cam->controlValue(Control::Zoom), 300); // 100 + 400 x 0.5
        QCOMPARE(dev->normalizedZoom(300), 50);
        QCOMPARE(dev->normalizedZoom(1000), 100);
        QCOMPARE(dev->normalizedZoom(101), 0);  // 0.25 rounds down
        QCOMPARE(dev->normalizedZoom(102), 1);  // 0.5 rounds up
        CameraStatus s;
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(s.zoom(), 50);

        unsigned char isAuto = 9;
        QCOMPARE(dev->cameraGetFocusRatio(&isAuto), 50);
        QCOMPARE(isAuto, quint8(1));

        QCOMPARE(dev->cameraSetAntiFlicker(2), 0);
        QVERIFY(dev->getCameraStatus(s));
        QCOMPARE(int(s.byte(CameraStatus::AntiFlicker)), 2);
    }

    void emptyZoomRange()
    {
        Rig rig;
        auto cam = rig.addCamera();
        cam->setControlRange(Control::Zoom, {0, 0, 1, 0, 2});
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->normalizedZoom(300), 0);
        cam->setControlRange(Control::Focus, {10, 10, 1, 10, 3});
        QCOMPARE(dev->cameraGetFocusRatio(nullptr), -1);
    }

    void presets()
    {
        Rig rig;
        auto cam = rig.addCamera();
        VirtualCamera::Preset p;
        p.present = true;
        p.data = QByteArray::fromHex("010203040506070809");
        p.name = "Desk";
        cam->setPreset(1, p);
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        UvcPreSetPosInfo info;
        QCOMPARE(dev->presetPositionGet(1, &info), 0);
        QVERIFY(info.isPresent());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(info.data), 9), p.data);
        QCOMPARE(info.nameLen, quint8(4));
        QCOMPARE(QByteArray(info.name, 4), QByteArray("Desk"));
        QCOMPARE(cam->blocksWritten(7).last().left(3), QByteArray::fromHex("020101"));

        QCOMPARE(dev->presetPositionGet(2, &info), 0);
        QVERIFY(!info.isPresent());

        QTest::ignoreMessage(QtWarningMsg, "Preset info invalid 0 0");
        QCOMPARE(dev->presetPositionGet(9, &info), -1);
        QCOMPARE(dev->presetPositionGet(1, nullptr), -1);
    }
};

QTEST_GUILESS_MAIN(TestDevCommands)
#include "tst_devcommands.moc"
