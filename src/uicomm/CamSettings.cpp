#include "uicomm/CamSettings.h"

#include "ui_CamSettings.h"

#include "comm/AppTask.h"
#include "comm/DevUsageSnapshot.h"
#include "uicomm/UiLook.h"
#include "uvc/CameraStatus.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QCloseEvent>
#include <QDebug>
#include <QEventLoop>
#include <QIcon>
#include <QScreen>

using vexo::pc::CameraStatus;
using vexo::pc::DevUsageSnapshot;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevices;

namespace {

const char *const kSwitchOn = ":/source/uicomm/icon/btn_on_n_zarvo@3x";
const char *const kSwitchOff = ":/source/uicomm/icon/btn_off_n_zarvo@3x";

void setSwitchIcon(QPushButton *button, bool on)
{
    button->setIcon(QIcon(QLatin1String(on ? kSwitchOn : kSwitchOff)));
}

void setSelected(QPushButton *button, bool selected)
{
    UiLook::setLook(button, selected ? UiLook::Look::Selected : UiLook::Look::Normal);
}

} // namespace

// ---------------------------------------------------------------------------
// Value tables

const CamSettings::Table &CamSettings::compensationTable()
{
    static const Table table = [] {
        const char *const labels[] = {"-3",  "-2.7", "-2.3", "-2",  "-1.7", "-1.3", "-1",  "-0.7", "-0.3", "0",
                                      "0.3", "0.7",  "1",    "1.3", "1.7",  "2",    "2.3", "2.7",  "3"};
        Table t;
        for (int i = 0; i < 19; ++i)
            t.append({i, QLatin1String(labels[i])});
        return t;
    }();
    return table;
}

const CamSettings::Table &CamSettings::isoTable()
{
    static const Table table = [] {
        Table t;
        for (int i = 1; i <= 48; ++i)
            t.append({i, QString::number(i * 100)});
        return t;
    }();
    return table;
}

// Exposure times in the control's 100 µs units.
const CamSettings::Table &CamSettings::shutterTable()
{
    static const Table table = [] {
        const struct
        {
            int value;
            const char *label;
        } entries[] = {
            {1, "1/6400"},  {2, "1/5000"},  {3, "1/3200"},  {4, "1/2500"},    {5, "1/2000"},   {6, "1/1600"},
            {8, "1/1250"},  {10, "1/1000"}, {13, "1/800"},  {16, "1/640"},    {20, "1/500"},   {25, "1/400"},
            {31, "1/320"},  {42, "1/240"},  {50, "1/200"},  {63, "1/160"},    {83, "1/120"},   {100, "1/100"},
            {125, "1/80"},  {167, "1/60"},  {200, "1/50"},  {250, "1/40"},    {330, "1/33"},   {400, "1/25"},
            {500, "1/20"},  {667, "1/15"},  {800, "1/12.5"}, {1000, "1/10"},  {1250, "1/8"},   {1600, "1/6.25"},
            {2000, "1/5"},  {2500, "1/4"},  {3300, "1/3"},  {4000, "1/2.5"},
        };
        Table t;
        for (const auto &e : entries)
            t.append({e.value, QLatin1String(e.label)});
        return t;
    }();
    return table;
}

namespace {

int tableIndex(const CamSettings::Table &table, int value)
{
    for (int i = 0; i < table.size(); ++i) {
        if (table.at(i).value == value)
            return i;
    }
    return -1;
}

} // namespace

// ---------------------------------------------------------------------------
// Construction

CamSettings::CamSettings(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(new Ui::CamSettings)
{
    UiLook::initResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowModality(Qt::ApplicationModal);
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("camsettings")));
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));

    const QIcon resetIcon(QStringLiteral(":/source/uicomm/icon/reset.svg"));
    for (QPushButton *b : {ui->pbExposureReset, ui->pbWhiteBalanceReset, ui->pbImageSettingsReset})
        b->setIcon(resetIcon);
    UiLook::setEdge(ui->pbFocusModeGlobal, UiLook::Edge::First);
    UiLook::setEdge(ui->pbFocusModeFace, UiLook::Edge::Last);
    UiLook::setEdge(ui->pbExposureModeGlobal, UiLook::Edge::First);
    UiLook::setEdge(ui->pbExposureModeFace, UiLook::Edge::Last);
    UiLook::setEdge(ui->pbAntiFlickerOff, UiLook::Edge::First);
    UiLook::setEdge(ui->pbAntiFlicker50, UiLook::Edge::Middle);
    UiLook::setEdge(ui->pbAntiFlicker60, UiLook::Edge::Last);

    const struct
    {
        Row row;
        Control id;
        RSlider *slider;
        QLabel *value;
        QLabel *caption;
        const Table *table;
    } rows[] = {
        {Focus, Control::Focus, ui->slManualFocus, ui->lbManualFocusValue, ui->lbManualFocus, nullptr},
        {Compensation, Control::BacklightCompensation, ui->slExposureCompensate, ui->lbExposureCompensateValue,
         ui->lbExposureCompensate, &compensationTable()},
        {Shutter, Control::Exposure, ui->slShutter, ui->lbShutterValue, ui->lbShutter, &shutterTable()},
        {Iso, Control::Gain, ui->slISO, ui->lbISOVaule, ui->lbISO, &isoTable()},
        {Temperature, Control::WhiteBalance, ui->slColorTemperature, ui->lbColorTemperatureValue,
         ui->lbColorTemperature, nullptr},
        {Contrast, Control::Contrast, ui->slContrast, ui->lbContrastValue, ui->lbContrast, nullptr},
        {Saturation, Control::Saturation, ui->slSaturation, ui->lbSaturationValue, ui->lbSaturation, nullptr},
        {Sharpness, Control::Sharpness, ui->slSharpness, ui->lbSharpnessValue, ui->lbSharpness, nullptr},
        {Hue, Control::Hue, ui->slHue, ui->lbHueValue, ui->lbHue, nullptr},
    };
    for (const auto &r : rows) {
        SliderRow &row = m_rows[r.row];
        row.id = r.id;
        row.slider = r.slider;
        row.value = r.value;
        row.widgets = {r.slider, r.value, r.caption};
        row.table = r.table;
    }
    m_rows[Temperature].scale = KelvinStep;
    m_rows[Temperature].unit = QStringLiteral(" K");
    m_rows[Temperature].widgets.append(ui->pbAutoWhiteBalance);
}

CamSettings::~CamSettings()
{
    if (m_loop)
        m_loop->exit(0);
    delete ui;
}

bool CamSettings::isCompensationTableMode() const
{
    return m_rows[Compensation].tableMode;
}

bool CamSettings::isIsoTableMode() const
{
    return m_rows[Iso].tableMode;
}

bool CamSettings::isShutterTableMode() const
{
    return m_rows[Shutter].tableMode;
}

CamSettings::DevicePtr CamSettings::device() const
{
    return m_sn.isEmpty() ? nullptr : UvcDevices::instance()->findDevBySn(m_sn);
}

// ---------------------------------------------------------------------------
// Opening and loading

void CamSettings::show()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    load();
    QWidget::show();
    adjustSize();
    setMinimumWidth(width());
    // Centred over the window that opened it, inside the screen.
    if (const QWidget *opener = parentWidget() ? parentWidget()->window() : nullptr) {
        QRect frame = frameGeometry();
        frame.moveCenter(opener->frameGeometry().center());
        if (const QScreen *screen = opener->screen()) {
            const QRect area = screen->availableGeometry();
            frame.moveLeft(qBound(area.left(), frame.left(), qMax(area.left(), area.right() - frame.width())));
            frame.moveTop(qBound(area.top(), frame.top(), qMax(area.top(), area.bottom() - frame.height())));
        }
        move(frame.topLeft());
    }
    QEventLoop loop;
    m_loop = &loop;
    loop.exec();
}

void CamSettings::setSectionsEnabled(bool enabled)
{
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w != ui->pbCancel && w != ui->pbDone && w->parentWidget() == this)
            w->setEnabled(enabled);
    }
    ui->swFocus->setEnabled(enabled);
    ui->swExposure->setEnabled(enabled);
}

void CamSettings::load()
{
    const DevicePtr dev = device();
    setSectionsEnabled(dev != nullptr);
    if (!dev)
        return;
    CameraStatus status;
    dev->getCameraStatus(status);

    m_open.hdr = status.byte(CameraStatus::Hdr) != 0;
    m_open.faceFocus = status.byte(CameraStatus::FaceFocus) != 0;
    m_open.faceExposure = status.byte(CameraStatus::FaceAe) != 0;
    m_open.antiFlicker = status.byte(CameraStatus::AntiFlicker);
    m_open.autoFocus = status.byte(CameraStatus::AutoFocus) != 0;

    for (int r = 0; r < RowCount; ++r) {
        SliderRow &row = m_rows[r];
        row.lastSend.invalidate();
        if (!loadRange(row, dev))
            continue;
        if (const auto v = dev->control(row.id)) {
            row.openValue = v->value;
            if (r == Focus)
                m_open.autoFocus = v->isAuto;
            else if (r == Shutter)
                m_open.autoExposure = v->isAuto;
            else if (r == Temperature)
                m_open.autoWhiteBalance = v->isAuto;
        } else {
            row.openValue = deviceValueAt(row, row.slider->value());
        }
        row.currentValue = row.openValue;
        showValue(row, row.openValue);
    }
    m_current = m_open;

    applyHdr(m_open.hdr);
    applyAutoFocus(m_open.autoFocus);
    applyFocusMode(m_open.faceFocus);
    applyAutoExposure(m_open.autoExposure);
    applyExposureMode(m_open.faceExposure);
    applyAntiFlicker(m_open.antiFlicker);
    applyAutoWhiteBalance(m_open.autoWhiteBalance);
}

bool CamSettings::loadRange(SliderRow &row, const DevicePtr &dev)
{
    const auto range = dev->range(row.id);
    const QString name = vexo::pc::CameraDevice::controlName(row.id);
    row.usable = false;
    if (!range) {
        qWarning().noquote() << "Camera setting disabled, range refused:" << name;
    } else if (range->maximum <= range->minimum) {
        qWarning().noquote() << "Camera setting disabled, empty range:" << name << range->minimum
                             << range->maximum;
    } else {
        row.usable = true;
    }
    for (QWidget *w : qAsConst(row.widgets))
        w->setEnabled(row.usable);
    if (!row.usable)
        return false;

    const QSignalBlocker blocker(row.slider);
    row.tableMode = false;
    if (row.table) {
        const int first = tableIndex(*row.table, range->minimum);
        const int last = tableIndex(*row.table, range->maximum);
        row.tableMode = first >= 0 && last >= 0 && first < last;
        if (row.tableMode) {
            row.slider->setRange(first, last);
            row.slider->setSingleStep(1);
            row.slider->setPageStep(1);
            const int def = tableIndex(*row.table, range->defaultValue);
            row.defaultPos = def >= 0 ? def : first;
            return true;
        }
    }
    const int step = qMax(1, range->step / row.scale);
    const int lo = range->minimum / row.scale;
    const int hi = range->maximum / row.scale;
    row.slider->setRange(lo, hi);
    row.slider->setSingleStep(step);
    const int page = (hi - lo) / 10;
    row.slider->setPageStep(page > 0 ? page : step);
    row.defaultPos = range->defaultValue / row.scale;
    return true;
}

int CamSettings::positionOf(const SliderRow &row, int deviceValue) const
{
    if (row.tableMode) {
        // A value the table does not know shows the table's first entry.
        return qMax(0, tableIndex(*row.table, deviceValue));
    }
    return deviceValue / row.scale;
}

int CamSettings::deviceValueAt(const SliderRow &row, int position) const
{
    if (row.tableMode)
        return row.table->value(position, row.table->value(0)).value;
    return position * row.scale;
}

QString CamSettings::labelAt(const SliderRow &row, int position) const
{
    if (row.tableMode)
        return row.table->value(position, row.table->value(0)).label;
    return QString::number(position * row.scale) + row.unit;
}

void CamSettings::showValue(SliderRow &row, int deviceValue)
{
    setRowPosition(row, positionOf(row, deviceValue));
}

void CamSettings::setRowPosition(SliderRow &row, int position)
{
    const QSignalBlocker blocker(row.slider);
    row.slider->setValue(position);
    row.value->setText(labelAt(row, row.slider->value()));
}

// ---------------------------------------------------------------------------
// Sliders

void CamSettings::sendRow(Row r, int position)
{
    SliderRow &row = m_rows[r];
    row.lastSend.start();
    const DevicePtr dev = device();
    if (!dev || !row.usable)
        return;
    const int value = deviceValueAt(row, position);
    row.currentValue = value;
    switch (r) {
    case Focus:
        dev->uvcFocusSet(false, value);
        break;
    case Compensation:
        dev->uvcBacklightCompensationControlSet(false, value);
        break;
    case Shutter:
        dev->uvcExposureSet(false, value);
        break;
    case Iso:
        dev->uvcGainControlSet(false, value);
        break;
    case Temperature:
        dev->uvcWhiteBalanceTemperatureControlSet(false, value);
        break;
    case Contrast:
        dev->uvcContrastControlSet(value);
        break;
    case Saturation:
        dev->uvcSaturationControlSet(value);
        break;
    case Sharpness:
        dev->uvcSharpnessControlSet(value);
        break;
    case Hue:
        dev->uvcHueControlSet(value);
        break;
    case RowCount:
        break;
    }
}

void CamSettings::rowPressed(Row r)
{
    sendRow(r, m_rows[r].slider->sliderPosition());
}

void CamSettings::rowReleased(Row r)
{
    sendRow(r, m_rows[r].slider->sliderPosition());
}

void CamSettings::rowMoved(Row r, int position)
{
    m_rows[r].value->setText(labelAt(m_rows[r], position));
}

void CamSettings::rowValueChanged(Row r, int position)
{
    SliderRow &row = m_rows[r];
    row.value->setText(labelAt(row, position));
    if (!row.lastSend.isValid() || row.lastSend.elapsed() > SliderSendIntervalMs)
        sendRow(r, position);
}

#define ZARVO_SLIDER_SLOTS(NAME, ROW)                                                                \
    void CamSettings::on_##NAME##_sliderPressed() { rowPressed(ROW); }                               \
    void CamSettings::on_##NAME##_sliderReleased() { rowReleased(ROW); }                             \
    void CamSettings::on_##NAME##_sliderMoved(int value) { rowMoved(ROW, value); }                   \
    void CamSettings::on_##NAME##_valueChanged(int value) { rowValueChanged(ROW, value); }

ZARVO_SLIDER_SLOTS(slManualFocus, Focus)
ZARVO_SLIDER_SLOTS(slExposureCompensate, Compensation)
ZARVO_SLIDER_SLOTS(slShutter, Shutter)
ZARVO_SLIDER_SLOTS(slISO, Iso)
ZARVO_SLIDER_SLOTS(slColorTemperature, Temperature)
ZARVO_SLIDER_SLOTS(slContrast, Contrast)
ZARVO_SLIDER_SLOTS(slSaturation, Saturation)
ZARVO_SLIDER_SLOTS(slSharpness, Sharpness)
ZARVO_SLIDER_SLOTS(slHue, Hue)

#undef ZARVO_SLIDER_SLOTS

// ---------------------------------------------------------------------------
// Looks of the switches and options

void CamSettings::applyHdr(bool on)
{
    m_current.hdr = on;
    setSwitchIcon(ui->pbHDR, on);
}

void CamSettings::applyAutoFocus(bool on)
{
    m_current.autoFocus = on;
    setSwitchIcon(ui->pbAutoFocus, on);
    ui->swFocus->setCurrentIndex(on ? 0 : 1);
}

void CamSettings::applyFocusMode(bool face)
{
    m_current.faceFocus = face;
    setSelected(ui->pbFocusModeGlobal, !face);
    setSelected(ui->pbFocusModeFace, face);
}

void CamSettings::applyAutoExposure(bool on)
{
    m_current.autoExposure = on;
    setSwitchIcon(ui->pbAutoExposure, on);
    ui->swExposure->setCurrentIndex(on ? 0 : 1);
    // Anti-flicker belongs to the automatic exposure.
    for (QPushButton *b : {ui->pbAntiFlickerOff, ui->pbAntiFlicker50, ui->pbAntiFlicker60})
        b->setEnabled(on);
    applyAntiFlicker(m_current.antiFlicker);
}

void CamSettings::applyExposureMode(bool face)
{
    m_current.faceExposure = face;
    setSelected(ui->pbExposureModeGlobal, !face);
    setSelected(ui->pbExposureModeFace, face);
}

void CamSettings::applyAntiFlicker(int mode)
{
    m_current.antiFlicker = mode;
    QPushButton *buttons[] = {ui->pbAntiFlickerOff, ui->pbAntiFlicker50, ui->pbAntiFlicker60};
    for (int i = 0; i < 3; ++i) {
        if (!m_current.autoExposure)
            UiLook::setLook(buttons[i], UiLook::Look::Disabled);
        else
            setSelected(buttons[i], i == mode);
    }
}

void CamSettings::applyAutoWhiteBalance(bool on)
{
    m_current.autoWhiteBalance = on;
    setSwitchIcon(ui->pbAutoWhiteBalance, on);
    ui->slColorTemperature->setEnabled(!on && m_rows[Temperature].usable);
}

void CamSettings::fileUsage(int action, const QVariant &value)
{
    vexo::pc::pushDevUsageEvent(m_sn, action, 0, QString(), value);
}

// ---------------------------------------------------------------------------
// Buttons

void CamSettings::on_pbHDR_clicked()
{
    const DevicePtr dev = device();
    if (!dev || (m_hdrClock.isValid() && m_hdrClock.elapsed() < HdrDeafMs))
        return;
    m_hdrClock.start();
    applyHdr(!m_current.hdr);
    dev->cameraSetHdr(m_current.hdr);
    fileUsage(DevUsageSnapshot::ActionSetHdrEnabled, m_current.hdr);
}

void CamSettings::on_pbAutoFocus_clicked()
{
    const DevicePtr dev = device();
    if (!dev)
        return;
    applyAutoFocus(!m_current.autoFocus);
    SliderRow &row = m_rows[Focus];
    if (const auto v = dev->control(Control::Focus))
        row.currentValue = v->value;
    showValue(row, row.currentValue);
    dev->uvcFocusSet(m_current.autoFocus, row.currentValue);
    fileUsage(DevUsageSnapshot::ActionSetAutoFocusEnabled, m_current.autoFocus);
}

void CamSettings::on_pbFocusModeGlobal_clicked()
{
    if (const DevicePtr dev = device()) {
        applyFocusMode(false);
        dev->cameraSetFaceFocus(false);
        fileUsage(DevUsageSnapshot::ActionSetFaceFocusEnabled, 0);
    }
}

void CamSettings::on_pbFocusModeFace_clicked()
{
    if (const DevicePtr dev = device()) {
        applyFocusMode(true);
        dev->cameraSetFaceFocus(true);
        fileUsage(DevUsageSnapshot::ActionSetFaceFocusEnabled, 1);
    }
}

void CamSettings::on_pbAutoExposure_clicked()
{
    const DevicePtr dev = device();
    if (!dev)
        return;
    applyAutoExposure(!m_current.autoExposure);
    if (!m_current.autoExposure) {
        // Manual: start from what the automatic exposure chose.
        for (Row r : {Shutter, Iso}) {
            SliderRow &row = m_rows[r];
            if (const auto v = dev->control(row.id))
                row.currentValue = v->value;
            showValue(row, row.currentValue);
        }
    }
    dev->uvcExposureSet(m_current.autoExposure, m_rows[Shutter].currentValue);
}

void CamSettings::setExposureMode(bool face)
{
    if (const DevicePtr dev = device()) {
        applyExposureMode(face);
        dev->cameraSetFaceAE(face ? 1 : 0);
        fileUsage(DevUsageSnapshot::ActionSetFaceAeEnabled, face ? 1 : 0);
    }
}

void CamSettings::on_pbExposureModeGlobal_clicked()
{
    setExposureMode(false);
}

void CamSettings::on_pbExposureModeFace_clicked()
{
    setExposureMode(true);
}

void CamSettings::on_pbExposureReset_clicked()
{
    const DevicePtr dev = device();
    if (!dev)
        return;
    // Defaults: automatic exposure, metering on faces, the camera's
    // default compensation.
    applyAutoExposure(true);
    dev->uvcExposureSet(true, deviceValueAt(m_rows[Shutter], m_rows[Shutter].defaultPos));
    setExposureMode(true);
    if (m_rows[Compensation].usable)
        ui->slExposureCompensate->setValue(m_rows[Compensation].defaultPos);
}

void CamSettings::setAntiFlicker(int mode)
{
    const DevicePtr dev = device();
    if (!dev || !m_current.autoExposure)
        return;
    applyAntiFlicker(mode);
    dev->cameraSetAntiFlicker(mode);
    fileUsage(DevUsageSnapshot::ActionSetAntiFlickerMode, mode);
}

void CamSettings::on_pbAntiFlickerOff_clicked()
{
    setAntiFlicker(0);
}

void CamSettings::on_pbAntiFlicker50_clicked()
{
    setAntiFlicker(1);
}

void CamSettings::on_pbAntiFlicker60_clicked()
{
    setAntiFlicker(2);
}

void CamSettings::setAutoWhiteBalance(bool on)
{
    const DevicePtr dev = device();
    if (!dev)
        return;
    applyAutoWhiteBalance(on);
    SliderRow &row = m_rows[Temperature];
    if (const auto v = dev->control(Control::WhiteBalance))
        row.currentValue = v->value;
    showValue(row, row.currentValue);
    dev->uvcWhiteBalanceTemperatureControlSet(on, deviceValueAt(row, row.slider->value()));
    fileUsage(DevUsageSnapshot::ActionSetAutoWhiteBalanceEnabled, on);
}

void CamSettings::on_pbAutoWhiteBalance_clicked()
{
    setAutoWhiteBalance(!m_current.autoWhiteBalance);
}

void CamSettings::on_pbWhiteBalanceReset_clicked()
{
    setAutoWhiteBalance(true);
}

void CamSettings::on_pbImageSettingsReset_clicked()
{
    for (Row r : {Contrast, Saturation, Sharpness, Hue}) {
        if (m_rows[r].usable)
            m_rows[r].slider->setValue(m_rows[r].defaultPos);
    }
}

// ---------------------------------------------------------------------------
// Done, Cancel, close

void CamSettings::on_pbDone_clicked()
{
    finish();
}

void CamSettings::on_pbCancel_clicked()
{
    if (const DevicePtr dev = device())
        restoreOpening(dev);
    finish();
}

void CamSettings::closeEvent(QCloseEvent *event)
{
    if (m_loop) {
        if (const DevicePtr dev = device())
            restoreOpening(dev);
    }
    event->accept();
    if (m_loop)
        m_loop->exit(0);
    m_loop = nullptr;
}

void CamSettings::dismiss()
{
    finish();
}

void CamSettings::finish()
{
    if (m_loop)
        m_loop->exit(0);
    m_loop = nullptr;
    hide();
}

// Sends back, in a fixed order, what differs from the opening state.
void CamSettings::restoreOpening(const DevicePtr &dev)
{
    auto changed = [this](Row r) { return m_rows[r].usable && m_rows[r].currentValue != m_rows[r].openValue; };

    if (m_current.hdr != m_open.hdr)
        dev->cameraSetHdr(m_open.hdr);

    if (m_current.autoFocus != m_open.autoFocus || changed(Focus))
        dev->uvcFocusSet(m_open.autoFocus, m_rows[Focus].openValue);
    if (m_current.faceFocus != m_open.faceFocus)
        dev->cameraSetFaceFocus(m_open.faceFocus);

    if (m_open.autoExposure) {
        if (!m_current.autoExposure)
            dev->uvcExposureSet(true, m_rows[Shutter].openValue);
        if (m_current.faceExposure != m_open.faceExposure)
            dev->cameraSetFaceAE(m_open.faceExposure ? 1 : 0);
        if (changed(Compensation))
            dev->uvcBacklightCompensationControlSet(false, m_rows[Compensation].openValue);
    } else {
        if (m_current.autoExposure != m_open.autoExposure || changed(Shutter))
            dev->uvcExposureSet(m_open.autoExposure, m_rows[Shutter].openValue);
        if (changed(Iso))
            dev->uvcGainControlSet(false, m_rows[Iso].openValue);
    }

    // White balance always, and once more when the automatic mode changed
    // (a camera may take the temperature only in manual mode).
    const bool wbChanged = m_current.autoWhiteBalance != m_open.autoWhiteBalance;
    if (m_rows[Temperature].usable || wbChanged)
        dev->uvcWhiteBalanceTemperatureControlSet(m_open.autoWhiteBalance, m_rows[Temperature].openValue);
    if (wbChanged)
        dev->uvcWhiteBalanceTemperatureControlSet(m_open.autoWhiteBalance, m_rows[Temperature].openValue);

    if (m_current.antiFlicker != m_open.antiFlicker)
        dev->cameraSetAntiFlicker(m_open.antiFlicker);

    if (changed(Contrast))
        dev->uvcContrastControlSet(m_rows[Contrast].openValue);
    if (changed(Saturation))
        dev->uvcSaturationControlSet(m_rows[Saturation].openValue);
    if (changed(Sharpness))
        dev->uvcSharpnessControlSet(m_rows[Sharpness].openValue);
    if (changed(Hue))
        dev->uvcHueControlSet(m_rows[Hue].openValue);
    m_current = m_open;
    for (SliderRow &row : m_rows)
        row.currentValue = row.openValue;
}

void CamSettings::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        // The forms' read-outs are not translated texts: show them again.
        for (SliderRow &row : m_rows)
            row.value->setText(labelAt(row, row.slider->value()));
    }
    QWidget::changeEvent(event);
}
