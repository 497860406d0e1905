// The standard controls of a camera against the virtual camera: checks,
// automatic flags, ranges, pan and tilt.
#include "DeviceTestSupport.h"

#include <QRegularExpression>

using namespace vexo::pc;
using namespace devtest;
using Control = CameraDevice::Control;

class TestDevControls : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { setUpFamily(); }

    void refusedBeforeInit()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam, false);
        QVERIFY(dev);
        bool isAuto = true;
        int value = -7;
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(dev->uvcGainControlGet(isAuto, value), 0);
        QCOMPARE(value, -7);
        QVERIFY(isAuto);
        UvcDevice::CameraParamRange r;
        r.max = 42;
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(dev->uvcContrastControlRangeGet(r), 0);
        QCOMPARE(r.max, 42);
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(dev->uvcBrightnessControlGet(value), 0);
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(dev->uvcExposureSet(false, 300), -1);
        QCOMPARE(cam->controlValue(Control::Exposure), 156);
        QTest::ignoreMessage(QtWarningMsg, "Device has not been inited");
        QCOMPARE(dev->uvcPanTiltRelativeControl(0.5, 0.5), -1);
        QCOMPARE(cam->writeCount(6), 0);
    }

    void valuesAndAutomaticFlags()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        int value = 0;
        bool isAuto = false;
        QCOMPARE(dev->uvcBrightnessControlGet(value), 0);
        QCOMPARE(value, 128);
        QCOMPARE(dev->uvcWhiteBalanceTemperatureControlGet(isAuto, value), 0);
        QVERIFY(isAuto);
        QCOMPARE(value, 4600);

        QCOMPARE(dev->uvcWhiteBalanceTemperatureControlSet(false, 5000), 0);
        QVERIFY(!cam->controlAuto(Control::WhiteBalance));
        QCOMPARE(cam->controlValue(Control::WhiteBalance), 5000);
        QCOMPARE(dev->uvcWhiteBalanceTemperatureControlGet(isAuto, value), 0);
        QVERIFY(!isAuto);
        QCOMPARE(value, 5000);

        QCOMPARE(dev->uvcExposureSet(true, 0), 0);
        QVERIFY(cam->controlAuto(Control::Exposure));
        QCOMPARE(dev->uvcFocusSet(false, 30), 0);
        QCOMPARE(cam->controlValue(Control::Focus), 30);
        // The status block follows the focus controls.
        QCOMPARE(quint8(cam->statusBlock().at(24)), quint8(0));
        QCOMPARE(quint8(cam->statusBlock().at(25)), quint8(30));

        QCOMPARE(dev->uvcContrastControlSet(70), 0);
        QCOMPARE(dev->uvcHueControlSet(-20), 0);
        QCOMPARE(dev->uvcSaturationControlSet(10), 0);
        QCOMPARE(dev->uvcSharpnessControlSet(90), 0);
        QCOMPARE(dev->uvcBacklightCompensationControlSet(false, 2), 0);
        QCOMPARE(cam->controlValue(Control::Contrast), 70);
        QCOMPARE(cam->controlValue(Control::Hue), -20);
        QCOMPARE(cam->controlValue(Control::Saturation), 10);
        QCOMPARE(cam->controlValue(Control::Sharpness), 90);
        QCOMPARE(cam->controlValue(Control::BacklightCompensation), 2);
        QCOMPARE(dev->uvcSharpnessControlGet(value), 0);
        QCOMPARE(value, 90);
    }

    void ranges()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        UvcDevice::CameraParamRange r;
        QCOMPARE(dev->uvcGainControlRangeGet(r), 0);
        QCOMPARE(r.min, 0);
        QCOMPARE(r.max, 100);
        QCOMPARE(r.flags, 3);
        QCOMPARE(dev->uvcWhiteBalanceColorTemperatureControlRangeGet(r), 0);
        QCOMPARE(r.min, 2800);
        QCOMPARE(r.step, 10);
        QCOMPARE(r.def, 4600);
        QCOMPARE(dev->uvcSaturationControlRangeGet(r), 0);
        QCOMPARE(r.flags, 2);
        QVERIFY(dev->cameraZoomRangeGet());
        QVERIFY(dev->cameraFocusRangeGet());
    }

    void failuresAreLogged()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        cam->setControlFails(Control::Gain, true);
        QTest::ignoreMessage(QtWarningMsg, "put_Gain failed");
        QCOMPARE(dev->uvcGainControlSet(false, 10), -1);
        bool isAuto = true;
        int value = -3;
        QTest::ignoreMessage(QtWarningMsg, "get_Gain failed");
        QCOMPARE(dev->uvcGainControlGet(isAuto, value), 0);
        QCOMPARE(value, -3);
        UvcDevice::CameraParamRange r;
        QTest::ignoreMessage(QtWarningMsg, "getRange_Gain failed");
        QCOMPARE(dev->uvcGainControlRangeGet(r), 0);
        QCOMPARE(r.max, 0);
        // Out of range values are the camera's to refuse.
        QTest::ignoreMessage(QtWarningMsg, "put_Contrast failed");
        QCOMPARE(dev->uvcContrastControlSet(1000), -1);
        // Switching to automatic leaves the value alone.
        QCOMPARE(dev->uvcExposureSet(true, 10), 0);
        QCOMPARE(cam->controlValue(Control::Exposure), 156);
        cam->unplug();
        QTest::ignoreMessage(QtWarningMsg, "put_Exposure failed");
        QCOMPARE(dev->uvcExposureSet(false, 10), -1);
    }

    void absolutePanTiltIsClampedAndInArcSeconds()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->uvcPanTiltAbsoluteControl(500, -100), 0);
        QCOMPARE(cam->controlValue(Control::Pan), 170 * 3600);
        QCOMPARE(cam->controlValue(Control::Tilt), -30 * 3600);
        QCOMPARE(dev->uvcPanTiltAbsoluteControl(-12, 45), 0);
        QCOMPARE(cam->controlValue(Control::Pan), -12 * 3600);
        int pan = 0, tilt = 0;
        QCOMPARE(dev->uvcPanTiltAbsoluteControlGet(pan, tilt), 0);
        QCOMPARE(pan, -12);
        QCOMPARE(tilt, 45);
    }

    void relativePanTiltBlock_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<QByteArray>("block");
        QTest::newRow("left half") << -0.5 << 0.0 << QByteArray::fromHex("0904ff050000");
        QTest::newRow("clamped") << 1.5 << 0.25 << QByteArray::fromHex("0904010a0102");
        QTest::newRow("truncated toward zero") << 0.09 << -0.19 << QByteArray::fromHex("09040000ff01");
    }

    void relativePanTiltBlock()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(QByteArray, block);
        Rig rig;
        auto cam = rig.addCamera();
        cam->setControlRange(Control::PanRelative, {-10, 10, 1, 0, 2});
        cam->setControlRange(Control::TiltRelative, {-10, 10, 1, 0, 2});
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        QCOMPARE(dev->uvcPanTiltRelativeControl(x, y), 0);
        const auto written = cam->blocksWritten(6);
        QCOMPARE(written.size(), 1);
        QCOMPARE(written.at(0).left(6), block);
        QCOMPARE(written.at(0).mid(6), QByteArray(54, '\0'));
    }

    void missingRangeFailsTheMove()
    {
        Rig rig;
        auto cam = rig.addCamera();
        auto dev = rig.openDevice(cam);
        QVERIFY(dev);
        cam->setControlFails(Control::TiltRelative, true);
        QTest::ignoreMessage(QtWarningMsg, "getRange_TiltRelative failed");
        QTest::ignoreMessage(QtWarningMsg, "uvcPanTiltRangeRelGet failed");
        QCOMPARE(dev->uvcPanTiltRelativeControl(0.5, 0.5), -1);
        QCOMPARE(cam->writeCount(6), 0);
    }
};

QTEST_GUILESS_MAIN(TestDevControls)
#include "tst_devcontrols.moc"
