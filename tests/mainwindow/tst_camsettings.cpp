// Camera settings window against a virtual camera: value tables against the
// camera's ranges, the slider send rule, what Cancel sends back, and
// controls the camera refuses.

#include "MainWindowTestSupport.h"

#include "uicomm/CamSettings.h"
#include "uicomm/RSlider.h"

#include <QLabel>
#include <QStackedWidget>
#include <QtTest>

#include <functional>

using namespace mwtest;
using Control = CameraDevice::Control;

class TestCamSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void tableAndRawModes();
    void cancelRestoresOnlyWhatChanged();
    void sliderSendsAtMostEvery50ms();
    void refusedAndEmptyRangesDisableTheirRow();
    void manualExposureDimsAntiFlicker();
    void exposureResetAndNoCamera();

private:
    // Opens the window, runs body inside its event loop, then presses the
    // named button (pbDone or pbCancel).
    void openAnd(const std::function<void()> &body, const char *closeWith = "pbCancel");
    RSlider *slider(const char *name) const { return m_dlg->findChild<RSlider *>(QLatin1String(name)); }
    QString label(const char *name) const { return m_dlg->findChild<QLabel *>(QLatin1String(name))->text(); }
    QList<VirtualCamera::ControlWrite> writes() const { return m_cam->controlWrites(); }

    std::shared_ptr<VirtualCamera> m_cam;
    CamSettings *m_dlg = nullptr;
};

void TestCamSettings::initTestCase()
{
    setUpPlatform();
    VirtualCameras::install(1);
    m_cam = VirtualCameras::backend()->cameras().front();
    UvcDevices::instance()->start();
    QVERIFY(waitFor([&] { return device(m_cam) && device(m_cam)->isInited(); }, 10000));
    m_dlg = new CamSettings();
    m_dlg->setDevSn(m_cam->serial());
}

void TestCamSettings::init()
{
    m_cam->setModel(VirtualCamera::Model::Zarvo);
    m_cam->clearLog();
}

void TestCamSettings::cleanupTestCase()
{
    delete m_dlg;
    m_cam->unplug();
    QVERIFY(waitFor([] { return UvcDevices::instance()->count() == 0; }, 10000));
}

void TestCamSettings::openAnd(const std::function<void()> &body, const char *closeWith)
{
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        QVERIFY(m_dlg->isEditing());
        body();
        ran = true;
        m_dlg->findChild<QPushButton *>(QLatin1String(closeWith))->click();
    });
    m_dlg->show();
    QVERIFY(ran);
    QVERIFY(!m_dlg->isVisible() && !m_dlg->isEditing());
}

void TestCamSettings::tableAndRawModes()
{
    // Compensation 0..18 and shutter 1..4000 are whole tables.
    openAnd([&] {
        QVERIFY(m_dlg->isCompensationTableMode());
        QCOMPARE(slider("slExposureCompensate")->minimum(), 0);
        QCOMPARE(slider("slExposureCompensate")->maximum(), 18);
        slider("slExposureCompensate")->setValue(0);
        QCOMPARE(label("lbExposureCompensateValue"), QStringLiteral("-3"));
        QVERIFY(m_dlg->isShutterTableMode());
        QCOMPARE(slider("slShutter")->maximum() - slider("slShutter")->minimum() + 1, 34);
        QVERIFY(m_dlg->isIsoTableMode());
    });
    // The table value reached the camera.
    QCOMPARE(writes().first().control, Control::BacklightCompensation);

    // Compensation -64..64 is raw; shutter 2..3300 is entries 1..32.
    m_cam->setControlRange(Control::BacklightCompensation, {-64, 64, 1, 0, CameraDevice::FlagManual});
    m_cam->setControlRange(Control::Exposure, {2, 3300, 1, 167, CameraDevice::FlagManual | CameraDevice::FlagAuto});
    openAnd([&] {
        QVERIFY(!m_dlg->isCompensationTableMode());
        QCOMPARE(slider("slExposureCompensate")->minimum(), -64);
        QCOMPARE(slider("slExposureCompensate")->pageStep(), 12);
        slider("slExposureCompensate")->setValue(-40);
        QCOMPARE(label("lbExposureCompensateValue"), QStringLiteral("-40"));
        QVERIFY(m_dlg->isShutterTableMode());
        QCOMPARE(slider("slShutter")->minimum(), 1);
        QCOMPARE(slider("slShutter")->maximum(), 32);
    }, "pbDone");
    QCOMPARE(m_cam->controlValue(Control::BacklightCompensation), -40);
}

void TestCamSettings::cancelRestoresOnlyWhatChanged()
{
    const int blocksBefore = m_cam->blocksWritten(6).size();
    openAnd([&] {
        slider("slHue")->setValue(40);
        QCOMPARE(m_cam->controlValue(Control::Hue), 40);
        m_cam->clearLog();
    });
    // White balance (automatic, as opened), then hue; nothing else.
    const auto w = writes();
    QCOMPARE(w.size(), 2);
    QCOMPARE(w.at(0).control, Control::WhiteBalance);
    QCOMPARE(w.at(0).flags, int(CameraDevice::FlagAuto));
    QCOMPARE(w.at(1).control, Control::Hue);
    QCOMPARE(w.at(1).value, 0);
    QCOMPARE(m_cam->blocksWritten(6).size(), blocksBefore);

    // Done keeps the change.
    openAnd([&] { slider("slContrast")->setValue(70); }, "pbDone");
    QCOMPARE(m_cam->controlValue(Control::Contrast), 70);
}

void TestCamSettings::sliderSendsAtMostEvery50ms()
{
    openAnd([&] {
        RSlider *s = slider("slSaturation");
        auto sent = [&] {
            int n = 0;
            for (const auto &w : writes())
                n += w.control == Control::Saturation;
            return n;
        };
        // Three quick bursts of ten changes, 60 ms apart: the first change
        // of each burst is sent, the rest fall within 50 ms of it.
        for (int burst = 0; burst < 3; ++burst) {
            for (int i = 1; i <= 10; ++i)
                s->setValue(20 * burst + i);
            QTest::qWait(60);
        }
        QCOMPARE(sent(), 3);
        QCOMPARE(m_cam->controlValue(Control::Saturation), 41);
        // A press and a release always send.
        s->setSliderDown(true);
        s->setSliderDown(false);
        QCOMPARE(sent(), 5);
        QCOMPARE(m_cam->controlValue(Control::Saturation), s->value());
    }, "pbDone");
}

void TestCamSettings::refusedAndEmptyRangesDisableTheirRow()
{
    m_cam->setControlFails(Control::Hue, true);
    m_cam->setControlRange(Control::Sharpness, {50, 10, 1, 30, CameraDevice::FlagManual});
    m_cam->setControlRange(Control::Contrast, {0, 0, 1, 0, CameraDevice::FlagManual});
    QTest::ignoreMessage(QtWarningMsg, "getRange_Hue failed");
    QTest::ignoreMessage(QtWarningMsg, "Camera setting disabled, range refused: Hue");
    QTest::ignoreMessage(QtWarningMsg, "Camera setting disabled, empty range: Sharpness 50 10");
    QTest::ignoreMessage(QtWarningMsg, "Camera setting disabled, empty range: Contrast 0 0");
    openAnd([&] {
        QVERIFY(!slider("slHue")->isEnabled());
        QVERIFY(!slider("slSharpness")->isEnabled());
        QVERIFY(!slider("slContrast")->isEnabled());
        QVERIFY(slider("slSaturation")->isEnabled());
        m_dlg->findChild<QPushButton *>(QStringLiteral("pbImageSettingsReset"))->click();
    });
    m_cam->setControlFails(Control::Hue, false);
    for (const auto &w : writes())
        QVERIFY(w.control != Control::Hue && w.control != Control::Sharpness && w.control != Control::Contrast);
    QCOMPARE(m_cam->controlValue(Control::Saturation), 64);
}

void TestCamSettings::manualExposureDimsAntiFlicker()
{
    openAnd([&] {
        auto *stack = m_dlg->findChild<QStackedWidget *>(QStringLiteral("swExposure"));
        QPushButton *flicker60 = m_dlg->findChild<QPushButton *>(QStringLiteral("pbAntiFlicker60"));
        QVERIFY(flicker60->isEnabled());
        m_dlg->findChild<QPushButton *>(QStringLiteral("pbAutoExposure"))->click();
        QCOMPARE(stack->currentIndex(), 1);
        QVERIFY(!flicker60->isEnabled());
        QVERIFY(!m_cam->controlAuto(Control::Exposure));
        QCOMPARE(label("lbShutterValue"), QStringLiteral("1/60"));
        QCOMPARE(label("lbISOVaule"), QStringLiteral("100"));
    });
    // Cancel: back to the automatic exposure with the opening shutter value.
    QVERIFY(m_cam->controlAuto(Control::Exposure));
}

void TestCamSettings::exposureResetAndNoCamera()
{
    // Reset: automatic exposure, metering on faces, default compensation.
    openAnd([&] {
        m_dlg->findChild<QPushButton *>(QStringLiteral("pbAutoExposure"))->click();
        m_dlg->findChild<QPushButton *>(QStringLiteral("pbExposureModeGlobal"))->click();
        slider("slExposureCompensate")->setValue(3);
        QCOMPARE(m_cam->controlValue(Control::BacklightCompensation), 3);
        QTest::qWait(60); // the reset moves the slider: past its send spacing
        m_dlg->findChild<QPushButton *>(QStringLiteral("pbExposureReset"))->click();
        QVERIFY(m_cam->controlAuto(Control::Exposure));
        QCOMPARE(m_cam->controlValue(Control::BacklightCompensation), 9);
        QCOMPARE(label("lbExposureCompensateValue"), QStringLiteral("0"));
    }, "pbDone");
    const QList<QByteArray> blocks = m_cam->blocksWritten(6);
    QVERIFY(blocks.size() >= 2);
    QCOMPARE(blocks.last().left(3), QByteArray::fromHex("030101")); // face metering back on

    // Without the camera every section is off and Cancel only hides.
    m_dlg->setDevSn(QStringLiteral("gone"));
    m_cam->clearLog();
    openAnd([&] { QVERIFY(!slider("slHue")->isEnabled()); });
    QVERIFY(writes().isEmpty());
    m_dlg->setDevSn(m_cam->serial());
}

QTEST_MAIN(TestCamSettings)
#include "tst_camsettings.moc"
