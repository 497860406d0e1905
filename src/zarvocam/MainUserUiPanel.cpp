// MainUserUi: the control panel of the current camera (zoom, auto framing,
// field of view, virtual background, direction pad). Every control sends its
// command, restyles at once and schedules the next status read, which
// corrects the panel when the camera did something else.

#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/DevUsageSnapshot.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/DirectionHandler.h"
#include "uicomm/GimbalControl.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/UiLook.h"
#include "uvc/UvcDevice.h"

#include <QLabel>
#include <QPointer>
#include <QTimer>

using vexo::pc::CameraStatus;
using vexo::pc::DevUsageSnapshot;
using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;

// ---------------------------------------------------------------------------
// Control panel: looks

void MainUserUi::initLooks()
{
    const QString option = QStringLiteral("option");
    const struct
    {
        QWidget *button;
        UiLook::Edge edge;
    } options[] = {
        {ui->pbGroupMode, UiLook::Edge::First},     {ui->pbSingleMode, UiLook::Edge::Last},
        {ui->pbCloseUp, UiLook::Edge::First},       {ui->pbUpperBody, UiLook::Edge::Last},
        {ui->pbBgBlur, UiLook::Edge::First},        {ui->pbBgGreenScreen, UiLook::Edge::Middle},
        {ui->pbBgReplace, UiLook::Edge::Last},      {ui->pbView86, UiLook::Edge::First},
        {ui->pbView78, UiLook::Edge::Middle},       {ui->pbView65, UiLook::Edge::Last},
    };
    for (const auto &o : options) {
        UiLook::setRole(o.button, option);
        UiLook::setEdge(o.button, o.edge);
        UiLook::setLook(o.button, UiLook::Look::Normal);
    }
    UiLook::setRole(ui->pbAutoFraming, QStringLiteral("switch"));
    UiLook::setRole(ui->pbVirtualBg, QStringLiteral("switch"));
    for (QWidget *help : {static_cast<QWidget *>(ui->pbAutoFramingHelp), static_cast<QWidget *>(ui->pbVirtualBgHelp),
                          static_cast<QWidget *>(ui->pbDirectionHelp), static_cast<QWidget *>(ui->pbSelectHelp)}) {
        UiLook::setRole(help, QStringLiteral("help"));
        help->setCursor(Qt::PointingHandCursor);
    }
    UiLook::setRole(ui->pbColorG, QStringLiteral("colorG"));
    UiLook::setRole(ui->pbColorB, QStringLiteral("colorB"));
    UiLook::setRole(ui->pbDirectionReset, QStringLiteral("round"));
    UiLook::setRole(ui->pbDevStatus, QStringLiteral("secondary"));
    UiLook::setRole(ui->lbBgOption, QStringLiteral("caption2"));
    for (QWidget *caption : {static_cast<QWidget *>(ui->lbBlurLevel), static_cast<QWidget *>(ui->lbColor),
                             static_cast<QWidget *>(ui->lbSelect)})
        UiLook::setRole(caption, QStringLiteral("caption2"));
    ui->pbUselessArea->setEnabled(false);
    ui->slZoom->setRange(0, SliderMax);
    ui->slBlurLevel->setRange(0, SliderMax);
}

void MainUserUi::setSwitch(QPushButton *button, bool on)
{
    UiLook::setSwitch(button, on ? UiLook::Switch::On : UiLook::Switch::Off);
}

void MainUserUi::deafen(QPushButton *button)
{
    button->blockSignals(true);
    QPointer<QPushButton> guarded(button);
    QTimer::singleShot(TimeScale::ms(SwitchDeafMs), this, [this, guarded] {
        // Without a camera the switches stay blocked.
        if (guarded && !m_currentSn.isEmpty())
            guarded->blockSignals(false);
    });
}

void MainUserUi::restyleBgTabs(int bgMode)
{
    QPushButton *tabs[] = {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace};
    int chosen = -1;
    switch (bgMode) {
    case UvcDevice::MediaBgBlur:
        chosen = 0;
        break;
    case UvcDevice::MediaBgGreenScreen:
        chosen = 1;
        break;
    case UvcDevice::MediaBgReplace:
        chosen = 2;
        break;
    default:
        break;
    }
    for (int i = 0; i < 3; ++i)
        UiLook::setLook(tabs[i], i == chosen ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (chosen >= 0) {
        tabs[chosen]->raise();
        ui->swOptionSet->setCurrentIndex(chosen);
    }
}

void MainUserUi::restyleColors(int color)
{
    const bool blue = color == UvcDevice::MediaBgColorBlue;
    const bool green = color == UvcDevice::MediaBgColorGreen;
    ui->pbColorB->setGeometry(blue ? QRect(184, 27, 60, 26) : QRect(184, 28, 60, 24));
    ui->pbColorG->setGeometry(green ? QRect(262, 27, 60, 26) : QRect(262, 28, 60, 24));
    const UiLook::Look rest = color == ColorDimmed ? UiLook::Look::Disabled : UiLook::Look::Normal;
    UiLook::setLook(ui->pbColorB, blue ? UiLook::Look::Selected : rest);
    UiLook::setLook(ui->pbColorG, green ? UiLook::Look::Selected : rest);
}

void MainUserUi::restyleFramingMode(int framingMode)
{
    UiLook::setLook(ui->pbSingleMode, framingMode == FramingSingle ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbGroupMode, framingMode == FramingGroup ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (framingMode == FramingSingle)
        ui->pbSingleMode->raise();
    else if (framingMode == FramingGroup)
        ui->pbGroupMode->raise();
}

// usable: single mode, where the framing size applies.
void MainUserUi::restyleFramingSize(int framingSize, bool usable)
{
    if (!usable) {
        UiLook::setLook(ui->pbCloseUp, UiLook::Look::Disabled);
        UiLook::setLook(ui->pbUpperBody, UiLook::Look::Disabled);
        ui->pbCloseUp->blockSignals(true);
        ui->pbUpperBody->blockSignals(true);
        return;
    }
    UiLook::setLook(ui->pbCloseUp, framingSize == FramingCloseUp ? UiLook::Look::Selected : UiLook::Look::Normal);
    UiLook::setLook(ui->pbUpperBody, framingSize == FramingUpperBody ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (framingSize == FramingCloseUp)
        ui->pbCloseUp->raise();
    else if (framingSize == FramingUpperBody)
        ui->pbUpperBody->raise();
    ui->pbCloseUp->blockSignals(false);
    ui->pbUpperBody->blockSignals(false);
}

void MainUserUi::restyleViewButtons(int fov)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    for (int i = 0; i < 3; ++i)
        UiLook::setLook(views[i], i == fov ? UiLook::Look::Selected : UiLook::Look::Normal);
    if (fov >= 0 && fov < 3)
        views[fov]->raise();
}

void MainUserUi::setZoomReadout(int value)
{
    const double ratio = vexo::pc::DevUsageSnapshot::zoomRatio(value, m_zoom4x);
    ui->lbZoomValue->setText(QString::number(ratio, 'g', 3) + QLatin1Char('x'));
}

void MainUserUi::setSliderQuietly(QSlider *slider, int value)
{
    slider->blockSignals(true);
    slider->setValue(value);
    slider->blockSignals(false);
}

void MainUserUi::setBlurReadout(int value)
{
    ui->lbBlurLevelValue->setText(QString::number(value) + QLatin1Char('%'));
}

// ---------------------------------------------------------------------------
// Control panel: modes

void MainUserUi::setControlsEnabled(bool enabled)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    m_bgOn = false;
    m_framingOn = false;
    if (!enabled) {
        applyBackgroundOff();
        applyFramingOff();
        for (QPushButton *button : {ui->pbAutoFraming, ui->pbVirtualBg}) {
            UiLook::setSwitch(button, UiLook::Switch::Unavailable);
            button->blockSignals(true);
        }
        for (QPushButton *view : views) {
            UiLook::setLook(view, UiLook::Look::Disabled);
            view->setEnabled(false);
        }
        ui->pbDirectionReset->setEnabled(false);
        ui->pbDevStatus->setEnabled(false);
        setSliderQuietly(ui->slBlurLevel, 0);
        setBlurReadout(0);
        ui->slBlurLevel->setEnabled(false);
        ui->swOptionSet->setCurrentIndex(0);
        setSliderQuietly(ui->slZoom, 0);
        setZoomReadout(0);
        ui->slZoom->setEnabled(false);
        m_direction->enable(false);
        return;
    }
    for (QPushButton *button : {ui->pbAutoFraming, ui->pbVirtualBg}) {
        setSwitch(button, false);
        button->blockSignals(false);
    }
    for (QPushButton *view : views) {
        UiLook::setLook(view, UiLook::Look::Normal);
        view->setEnabled(true);
    }
    ui->slZoom->setEnabled(true);
    ui->pbDirectionReset->setEnabled(true);
    ui->pbDevStatus->setEnabled(true);
    m_direction->enable(true);
}

void MainUserUi::applyMode(int mediaMode, const CameraStatus &values)
{
    const int fov = values.byte(CameraStatus::Fov);
    const bool current = !m_currentSn.isEmpty();
    switch (mediaMode) {
    case UvcDevice::MediaModeStandard:
        applyBackgroundOff();
        applyFramingOff();
        m_framingOn = false;
        setSwitch(ui->pbAutoFraming, false);
        applyView(current, fov);
        break;
    case UvcDevice::MediaModeBackground:
        m_bgOn = true;
        setSwitch(ui->pbVirtualBg, true);
        m_framingOn = false;
        setSwitch(ui->pbAutoFraming, false);
        applyFramingOff();
        applyBackgroundOn(values);
        applyView(current, fov);
        break;
    case UvcDevice::MediaModeFraming:
        applyBackgroundOff();
        m_framingOn = true;
        setSwitch(ui->pbAutoFraming, true);
        applyView(false, fov);
        applyFramingOn(values.byte(CameraStatus::FramingMode), values.byte(CameraStatus::FramingSize));
        break;
    default:
        // A mode this window does not know: leave the panel as it is.
        break;
    }
}

void MainUserUi::applyBackgroundOn(const CameraStatus &values)
{
    if (!m_bgOn) {
        applyBackgroundOff();
        return;
    }
    restyleBgTabs(values.byte(CameraStatus::BgMode));
    for (QPushButton *tab : {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace})
        tab->setEnabled(true);
    const int blur = qMin<int>(values.byte(CameraStatus::BlurLevel), SliderMax);
    setBlurReadout(blur);
    setSliderQuietly(ui->slBlurLevel, blur);
    ui->slBlurLevel->setEnabled(true);
    const int color = values.byte(CameraStatus::GreenScreenColor);
    restyleColors(color == UvcDevice::MediaBgColorBlue || color == UvcDevice::MediaBgColorGreen ? color : ColorNone);
    ui->pbSelectHelp->setEnabled(true);
    imagesFollowBackground(true, values.byte(CameraStatus::ReplaceImage));
}

void MainUserUi::applyBackgroundOff()
{
    m_bgOn = false;
    setSwitch(ui->pbVirtualBg, false);
    for (QPushButton *tab : {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace}) {
        UiLook::setLook(tab, UiLook::Look::Disabled);
        tab->setEnabled(false);
    }
    ui->slBlurLevel->setEnabled(false);
    restyleColors(ColorDimmed);
    ui->pbSelectHelp->setEnabled(false);
    imagesFollowBackground(false, -1);
}

void MainUserUi::applyFramingOn(int framingMode, int framingSize)
{
    ui->pbGroupMode->blockSignals(false);
    ui->pbSingleMode->blockSignals(false);
    restyleFramingMode(framingMode);
    ui->pbCloseUp->setVisible(!m_framingSizeHidden);
    ui->pbUpperBody->setVisible(!m_framingSizeHidden);
    if (m_framingSizeHidden)
        return;
    restyleFramingSize(framingSize, framingMode == FramingSingle);
}

void MainUserUi::applyFramingOff()
{
    for (QPushButton *button : {ui->pbGroupMode, ui->pbSingleMode, ui->pbCloseUp, ui->pbUpperBody}) {
        UiLook::setLook(button, UiLook::Look::Disabled);
        button->blockSignals(true);
    }
    ui->pbCloseUp->setVisible(!m_framingSizeHidden);
    ui->pbUpperBody->setVisible(!m_framingSizeHidden);
}

void MainUserUi::applyView(bool enabled, int fov)
{
    QPushButton *views[] = {ui->pbView86, ui->pbView78, ui->pbView65};
    for (QPushButton *view : views)
        view->setEnabled(enabled);
    if (enabled) {
        restyleViewButtons(fov);
    } else {
        for (QPushButton *view : views)
            UiLook::setLook(view, UiLook::Look::Disabled);
    }
    ui->slZoom->setEnabled(enabled);
    ui->pbDirectionReset->setEnabled(enabled);
    m_direction->enable(enabled);
}

// ---------------------------------------------------------------------------
// Control panel: handlers

void MainUserUi::sendZoom(int position)
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->cameraSetZoomRatio(1.0 + double(position) / SliderMax, 100, 0);
    m_zoomHoldOff = ZoomHoldOffUpdates;
    markUserAction();
}

void MainUserUi::on_slZoom_sliderPressed()
{
    sendZoom(ui->slZoom->sliderPosition());
}

void MainUserUi::on_slZoom_sliderReleased()
{
    releaseSlider(ui->slZoom, &MainUserUi::sendZoom, m_pendingZoomReport);
}

void MainUserUi::on_slZoom_sliderMoved(int value)
{
    setZoomReadout(value);
}

void MainUserUi::on_slZoom_valueChanged(int value)
{
    setZoomReadout(value);
    if (!currentDev())
        return;
    if (m_zoomSendClock.isValid() && m_zoomSendClock.elapsed() < ZoomSendIntervalMs)
        return;
    m_zoomSendClock.start();
    sendChangedValue(value, &MainUserUi::sendZoom, m_pendingZoomReport);
}

void MainUserUi::sendBlur(int position)
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->cameraSetMaskLevel(position);
    if (dev->statusPollCount() > UvcDevice::StatusPollIn400ms)
        dev->setStatusPollCount(UvcDevice::StatusPollIn400ms);
    markUserAction();
}

void MainUserUi::on_slBlurLevel_sliderPressed()
{
    sendBlur(ui->slBlurLevel->sliderPosition());
}

void MainUserUi::on_slBlurLevel_sliderReleased()
{
    releaseSlider(ui->slBlurLevel, &MainUserUi::sendBlur, m_pendingBlurReport);
}

void MainUserUi::on_slBlurLevel_sliderMoved(int value)
{
    setBlurReadout(value);
}

void MainUserUi::on_slBlurLevel_valueChanged(int value)
{
    setBlurReadout(value);
    if (currentDev())
        sendChangedValue(value, &MainUserUi::sendBlur, m_pendingBlurReport);
}

// A released slider sends its position; the next status update files the
// usage event of the value the camera then reports.
void MainUserUi::releaseSlider(QSlider *slider, void (MainUserUi::*send)(int), int &pendingReport)
{
    if (!currentDev())
        return;
    (this->*send)(slider->sliderPosition());
    pendingReport = SourceMouse;
}

void MainUserUi::sendChangedValue(int value, void (MainUserUi::*send)(int), int &pendingReport)
{
    (this->*send)(value);
    if (pendingReport == SourceNone)
        pendingReport = m_triggerSource;
}

void MainUserUi::on_pbAutoFraming_clicked()
{
    if (!currentDev())
        return;
    GlobalParams *params = GlobalParams::instance();
    if (m_bgOn && !m_framingOn && !params->getAutoFramingTips()) {
        params->setAutoFramingTips(true);
        params->saveSettings();
        MsgInfoUi box(this);
        box.setText(tr("Virtual background will be turned off once the Auto Framing is activated, also "
                       "adjustment of FoV, Zoom in/out and Direction will be disabled!"));
        box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
        box.setButtonText(MsgInfoUi::Yes, tr("Turn On"));
        box.setButtonText(MsgInfoUi::No, tr("Cancel"));
        if (box.exec() != MsgInfoUi::Yes)
            return;
    }
    // The dialog ran an event loop: the camera may have gone meanwhile.
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    m_framingOn = !m_framingOn;
    setSwitch(ui->pbAutoFraming, m_framingOn);
    const int mode = m_framingOn ? UvcDevice::MediaModeFraming : UvcDevice::MediaModeStandard;
    applyMode(mode, dev->cachedStatus());
    dev->cameraSetMediaMode(UvcDevice::MediaMode(mode));
    commandSent(dev, UvcDevice::StatusPollIn3s, DevUsageSnapshot::ActionSetAutoFramingEnabled, m_framingOn, m_triggerSource);
    deafen(ui->pbAutoFraming);
}

void MainUserUi::on_pbVirtualBg_clicked()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    m_bgOn = !m_bgOn;
    setSwitch(ui->pbVirtualBg, m_bgOn);
    if (m_bgOn) {
        applyMode(UvcDevice::MediaModeBackground, readStatus(dev));
    } else {
        applyBackgroundOff();
    }
    dev->cameraSetMediaMode(m_bgOn ? UvcDevice::MediaModeBackground : UvcDevice::MediaModeStandard);
    commandSent(dev, UvcDevice::StatusPollIn2s, DevUsageSnapshot::ActionSetBgModeEnabled, m_bgOn, m_triggerSource);
    deafen(ui->pbVirtualBg);
}

void MainUserUi::onBgModeClicked(int bgMode, const QString &usageValue)
{
    const UvcDevicePtr dev = m_bgOn ? currentDev() : nullptr;
    if (!dev)
        return;
    restyleBgTabs(bgMode);
    dev->cameraSetBgMode(UvcDevice::MediaBgMode(bgMode));
    commandSent(dev, UvcDevice::StatusPollIn2s, DevUsageSnapshot::ActionSetBgModeOption, usageValue, m_triggerSource);
}

void MainUserUi::on_pbBgBlur_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgBlur, QStringLiteral("BLUR"));
}

void MainUserUi::on_pbBgGreenScreen_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgGreenScreen, QStringLiteral("GREEN"));
}

void MainUserUi::on_pbBgReplace_clicked()
{
    onBgModeClicked(UvcDevice::MediaBgReplace, QStringLiteral("REPLACE"));
}

void MainUserUi::onColorClicked(int color, const QString &usageValue)
{
    const UvcDevicePtr dev = m_bgOn ? currentDev() : nullptr;
    if (!dev)
        return;
    restyleColors(color);
    dev->cameraSetBgColor(UvcDevice::MediaBgModeColorType(color));
    commandSent(dev, UvcDevice::StatusPollIn2s, DevUsageSnapshot::ActionSetBgGreenScreenColor, usageValue, SourceMouse);
}

void MainUserUi::on_pbColorG_clicked()
{
    onColorClicked(UvcDevice::MediaBgColorGreen, QStringLiteral("GREEN"));
}

void MainUserUi::on_pbColorB_clicked()
{
    onColorClicked(UvcDevice::MediaBgColorBlue, QStringLiteral("BLUE"));
}

void MainUserUi::onViewClicked(int fov, const QString &usageValue)
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    if (!m_framingOn)
        restyleViewButtons(fov);
    dev->cameraSetFov(fov);
    m_zoomHoldOff = 0;
    commandSent(dev, UvcDevice::StatusPollIn400ms, DevUsageSnapshot::ActionSetViewMode, usageValue, m_triggerSource);
}

void MainUserUi::on_pbView65_clicked()
{
    onViewClicked(Fov65, QStringLiteral("65"));
}

void MainUserUi::on_pbView78_clicked()
{
    onViewClicked(Fov78, QStringLiteral("78"));
}

void MainUserUi::on_pbView86_clicked()
{
    onViewClicked(Fov86, QStringLiteral("86"));
}

void MainUserUi::on_pbGroupMode_clicked()
{
    if (!currentDev())
        return;
    restyleFramingMode(FramingGroup);
    if (!m_framingSizeHidden)
        restyleFramingSize(FramingSizeKeep, false);
    onFramingClicked(FramingGroup, FramingSizeKeep, DevUsageSnapshot::ActionSetAutoFramingMode, FramingGroup);
}

void MainUserUi::on_pbSingleMode_clicked()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    const int size = readStatus(dev).byte(CameraStatus::FramingSize);
    restyleFramingMode(FramingSingle);
    if (!m_framingSizeHidden)
        restyleFramingSize(size, true);
    onFramingClicked(FramingSingle, size, DevUsageSnapshot::ActionSetAutoFramingMode, FramingSingle);
}

void MainUserUi::on_pbCloseUp_clicked()
{
    if (!currentDev())
        return;
    restyleFramingSize(FramingCloseUp, true);
    onFramingClicked(FramingSingle, FramingCloseUp, DevUsageSnapshot::ActionSetAutoFramingSize, FramingCloseUp);
}

void MainUserUi::on_pbUpperBody_clicked()
{
    if (!currentDev())
        return;
    restyleFramingSize(FramingUpperBody, true);
    onFramingClicked(FramingSingle, FramingUpperBody, DevUsageSnapshot::ActionSetAutoFramingSize, FramingUpperBody);
}

void MainUserUi::onFramingClicked(int framingMode, int framingSize, int action, int usageValue)
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->cameraSetAutoFramingMode(framingMode, static_cast<signed char>(framingSize));
    commandSent(dev, UvcDevice::StatusPollIn2s, action, usageValue, m_triggerSource);
}

void MainUserUi::showHelp(const QString &text)
{
    MsgInfoUi box(this);
    box.setText(text);
    box.setButtonText(MsgInfoUi::Yes, tr("OK"));
    box.exec();
}

void MainUserUi::on_pbAutoFramingHelp_clicked()
{
    showHelp(tr("The Virtual background will automatically turn off once the AI Auto-framing is activated, "
                "and the adjustment of FoV, Zoom in/out and Direction will be disabled too."));
}

void MainUserUi::on_pbVirtualBgHelp_clicked()
{
    showHelp(tr("Auto framing will be turned off once virtual background is activated."));
}

void MainUserUi::on_pbDirectionHelp_clicked()
{
    showHelp(tr("Please zoom in first before adjusting the direction."));
}

void MainUserUi::on_pbSelectHelp_clicked()
{
    showHelp(tr("Right click to delete the custom image. The default image cannot be deleted."));
}

void MainUserUi::shortcutZoomIn()
{
    if (m_zoomInClock.isValid() && m_zoomInClock.elapsed() < ZoomSendIntervalMs)
        return;
    m_zoomInClock.start();
    ui->slZoom->setValue(qMin(ui->slZoom->value() + ZoomShortcutStep, SliderMax));
}

void MainUserUi::shortcutZoomOut()
{
    if (m_zoomOutClock.isValid() && m_zoomOutClock.elapsed() < ZoomSendIntervalMs)
        return;
    m_zoomOutClock.start();
    ui->slZoom->setValue(qMax(ui->slZoom->value() - ZoomShortcutStep, 0));
}

// ---------------------------------------------------------------------------
// Direction pad

void MainUserUi::onGimbalCtrlRef(double y, double z, bool first_press)
{
    m_gimbal->onGimbalCtrlRef(y, z, first_press);
}

void MainUserUi::on_pbDirectionReset_clicked()
{
    m_gimbal->resetView();
}

void MainUserUi::onMoveToPrePos(int16_t x, int16_t y, int16_t z, double speed_ref, double zoom)
{
    m_gimbal->onMoveToPrePos(x, y, z, speed_ref, zoom);
}


void MainUserUi::scheduleStatusRead(const UvcDevicePtr &dev, int pollCount)
{
    if (dev)
        dev->setStatusPollCount(pollCount);
}

// After a command: the camera's status is read soon, status updates of the
// next moment are ignored, and the action is reported.
void MainUserUi::commandSent(const UvcDevicePtr &dev, int pollCount, int action, const QVariant &value, int source)
{
    scheduleStatusRead(dev, pollCount);
    markUserAction();
    fileUsageEvent(action, value, source);
}
