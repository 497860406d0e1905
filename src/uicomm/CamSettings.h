#pragma once

#include "platform/CameraDevice.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QString>
#include <QVector>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;
class RSlider;

namespace Ui {
class CamSettings;
}

namespace vexo {
namespace pc {
class UvcDevice;
}
}

// The "Camera Setting" window: HDR, focus, exposure, anti-flicker, white
// balance and image parameters of one camera. Every change goes to the
// camera at once; "Done" keeps the changes, "Cancel" (and closing the
// window) sends back every value that differs from what the camera had when
// the window opened.
//
// Ranges come from the camera at every opening. Exposure compensation, ISO
// and shutter are shown from fixed value tables when the camera's range
// starts and ends on table entries (table mode), else as plain numbers (raw
// mode). A control the camera refuses, or whose range is empty or inverted,
// is disabled for this opening.
//
// show() blocks its caller in the window's own event loop until Done or
// Cancel.
class CamSettings : public QWidget
{
    Q_OBJECT
public:
    // One entry of a value table: the device value and its label.
    struct TableEntry
    {
        int value;
        QString label;
    };
    using Table = QVector<TableEntry>;

    static const Table &compensationTable();
    static const Table &isoTable();
    static const Table &shutterTable();

    explicit CamSettings(QWidget *parent = nullptr);
    ~CamSettings() override;

    // The camera the window edits (its serial; empty: none).
    void setDevSn(const QString &sn) { m_sn = sn; }
    QString devSn() const { return m_sn; }

    // Read-outs of the loaded state.
    bool isCompensationTableMode() const;
    bool isIsoTableMode() const;
    bool isShutterTableMode() const;
    // Ends an open window without sending anything back (the camera went
    // to sleep or away).
    void dismiss();

    // Whether the event loop of show() runs.
    bool isEditing() const { return m_loop != nullptr; }

public slots:
    void show();
    void on_pbHDR_clicked();
    void on_pbAutoFocus_clicked();
    void on_pbFocusModeGlobal_clicked();
    void on_pbFocusModeFace_clicked();
    void on_slManualFocus_sliderPressed();
    void on_slManualFocus_sliderReleased();
    void on_slManualFocus_sliderMoved(int value);
    void on_slManualFocus_valueChanged(int value);
    void on_slExposureCompensate_sliderPressed();
    void on_slExposureCompensate_sliderReleased();
    void on_slExposureCompensate_sliderMoved(int value);
    void on_slExposureCompensate_valueChanged(int value);
    void on_slShutter_sliderPressed();
    void on_slShutter_sliderReleased();
    void on_slShutter_sliderMoved(int value);
    void on_slShutter_valueChanged(int value);
    void on_slISO_sliderPressed();
    void on_slISO_sliderReleased();
    void on_slISO_sliderMoved(int value);
    void on_slISO_valueChanged(int value);
    void on_slColorTemperature_sliderPressed();
    void on_slColorTemperature_sliderReleased();
    void on_slColorTemperature_sliderMoved(int value);
    void on_slColorTemperature_valueChanged(int value);
    void on_slContrast_sliderPressed();
    void on_slContrast_sliderReleased();
    void on_slContrast_sliderMoved(int value);
    void on_slContrast_valueChanged(int value);
    void on_slSaturation_sliderPressed();
    void on_slSaturation_sliderReleased();
    void on_slSaturation_sliderMoved(int value);
    void on_slSaturation_valueChanged(int value);
    void on_slSharpness_sliderPressed();
    void on_slSharpness_sliderReleased();
    void on_slSharpness_sliderMoved(int value);
    void on_slSharpness_valueChanged(int value);
    void on_slHue_sliderPressed();
    void on_slHue_sliderReleased();
    void on_slHue_sliderMoved(int value);
    void on_slHue_valueChanged(int value);
    void on_pbExposureReset_clicked();
    void on_pbAutoExposure_clicked();
    void on_pbExposureModeGlobal_clicked();
    void on_pbExposureModeFace_clicked();
    void on_pbWhiteBalanceReset_clicked();
    void on_pbAutoWhiteBalance_clicked();
    void on_pbAntiFlickerOff_clicked();
    void on_pbAntiFlicker50_clicked();
    void on_pbAntiFlicker60_clicked();
    void on_pbImageSettingsReset_clicked();
    void on_pbCancel_clicked();
    void on_pbDone_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    using Control = vexo::pc::CameraDevice::Control;
    using DevicePtr = std::shared_ptr<vexo::pc::UvcDevice>;

    // Commands from one slider are spaced at least this far apart while it
    // moves (a press and a release always send).
    static constexpr qint64 SliderSendIntervalMs = 50;
    // The camera needs this long to switch HDR.
    static constexpr qint64 HdrDeafMs = 2500;
    // Colour temperatures are shown and moved in steps of this many kelvin.
    static constexpr int KelvinStep = 100;

    // One slider row: the slider, its read-out, the camera control behind
    // it and how positions map to device values.
    struct SliderRow
    {
        Control id = Control::Contrast;
        RSlider *slider = nullptr;
        QLabel *value = nullptr;
        QList<QWidget *> widgets;    // disabled with the row
        const Table *table = nullptr; // a value table it may use
        bool tableMode = false;
        int scale = 1;                // device value = position * scale (raw mode)
        QString unit;                 // suffix of the read-out
        bool usable = false;
        int defaultPos = 0;
        int openValue = 0;            // device value at opening
        int currentValue = 0;         // device value last sent (or read)
        QElapsedTimer lastSend;
    };
    enum Row { Focus, Compensation, Shutter, Iso, Temperature, Contrast, Saturation, Sharpness, Hue, RowCount };

    DevicePtr device() const;
    void load();
    void setSectionsEnabled(bool enabled);
    // Range of a row from the camera; false (and the row disabled, with a
    // log line) when refused, empty or inverted.
    bool loadRange(SliderRow &row, const DevicePtr &dev);
    void showValue(SliderRow &row, int deviceValue);
    int positionOf(const SliderRow &row, int deviceValue) const;
    int deviceValueAt(const SliderRow &row, int position) const;
    QString labelAt(const SliderRow &row, int position) const;
    void setRowPosition(SliderRow &row, int position);

    // The four-slot pattern of every slider.
    void rowPressed(Row r);
    void rowReleased(Row r);
    void rowMoved(Row r, int position);
    void rowValueChanged(Row r, int position);
    void sendRow(Row r, int position);

    void applyHdr(bool on);
    void applyAutoFocus(bool on);
    void applyFocusMode(bool face);
    void applyAutoExposure(bool on);
    void applyExposureMode(bool face);
    void applyAntiFlicker(int mode);
    void applyAutoWhiteBalance(bool on);
    void setExposureMode(bool face);
    void setAntiFlicker(int mode);
    void setAutoWhiteBalance(bool on);
    void fileUsage(int action, const QVariant &value);
    void restoreOpening(const DevicePtr &dev);
    void finish();

    Ui::CamSettings *ui;
    QString m_sn;
    QPointer<QEventLoop> m_loop;
    SliderRow m_rows[RowCount];

    // Opening and current states of the switches and options.
    struct Flags
    {
        bool hdr = false;
        bool autoFocus = true;
        bool faceFocus = false;
        bool autoExposure = true;
        bool faceExposure = true;
        int antiFlicker = 0;
        bool autoWhiteBalance = true;
    };
    Flags m_open;
    Flags m_current;
    QElapsedTimer m_hdrClock;
};
