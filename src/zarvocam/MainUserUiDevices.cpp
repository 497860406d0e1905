// MainUserUi: the row of device buttons, the current camera, its status
// updates, and putting it to sleep and waking it.

#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/DevUsageSnapshot.h"
#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/DevButton.h"
#include "uicomm/DevSleep.h"
#include "uicomm/GimbalControl.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QDateTime>
#include <QDebug>
#include <QLabel>
#include <QPointer>

using vexo::pc::CameraStatus;
using vexo::pc::DevUsageSnapshot;
using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;
using vexo::pc::UvcDevices;

// ---------------------------------------------------------------------------
// The registry

UvcDevicePtr MainUserUi::findDev(const QString &sn)
{
    return sn.isEmpty() ? nullptr : UvcDevices::instance()->findDevBySn(sn);
}

QList<UvcDevicePtr> MainUserUi::allDevs()
{
    return UvcDevices::instance()->devices();
}

// The camera's status now, or the last one its worker read.
CameraStatus MainUserUi::readStatus(const UvcDevicePtr &dev)
{
    CameraStatus status;
    if (!dev->getCameraStatus(status))
        status = dev->cachedStatus();
    return status;
}

UvcDevicePtr MainUserUi::currentDev() const
{
    return findDev(m_currentSn);
}

// ---------------------------------------------------------------------------
// Buttons

DevButton *MainUserUi::createDevButton(int index)
{
    auto *button = new DevButton(index, ui->wDevCtrl);
    connect(button, &DevButton::devBtnSelected, this, &MainUserUi::onDevSelectedChanged);
    connect(button, &DevButton::devBtnNameChanged, this, &MainUserUi::onDevRenamed);
    button->setVisible(index < MaxVisibleDevButtons);
    return button;
}

DevButton *MainUserUi::createNoneButton()
{
    DevButton *none = createDevButton(0);
    none->setText(tr("None"));
    return none;
}

void MainUserUi::renumberDevButtons()
{
    for (int i = 0; i < m_devButtons.size(); ++i) {
        m_devButtons.at(i)->setIndex(i);
        m_devButtons.at(i)->setVisible(i < MaxVisibleDevButtons);
    }
}

DevButton *MainUserUi::selectedButton() const
{
    const int index = selectedIndex();
    return index < 0 ? nullptr : m_devButtons.at(index);
}

// The first occupied and selected button; -1 when none is.
int MainUserUi::selectedIndex() const
{
    for (int i = 0; i < m_devButtons.size(); ++i) {
        if (m_devButtons.at(i)->isOccupied() && m_devButtons.at(i)->isSelected())
            return i;
    }
    return -1;
}

void MainUserUi::selectButtonAt(int index)
{
    if (index < 0 || index >= m_devButtons.size())
        return;
    onDevSelectedChanged(m_devButtons.at(index));
}

// The name a camera gets in the row: its stored name unless another button
// shows it already, else the first free number "1".."10" (stored).
QString MainUserUi::assignDevIndex(const QString &sn)
{
    GlobalParams *params = GlobalParams::instance();
    QStringList used;
    for (const DevButton *button : qAsConst(m_devButtons)) {
        if (button->isOccupied())
            used.append(button->devInfo().devName);
    }
    QString firstFree = QString::number(MaxDevIndex);
    for (int i = 1; i <= MaxDevIndex; ++i) {
        if (!used.contains(QString::number(i))) {
            firstFree = QString::number(i);
            break;
        }
    }

    const GlobalParams::DevInfo record = params->getDevInfo(sn);
    if (record.devSn.isEmpty()) {
        params->setDevName(firstFree, sn);
    } else {
        const QString name = record.devName.trimmed().isEmpty() ? QStringLiteral("1") : record.devName;
        if (used.contains(name))
            params->setDevName(firstFree, sn);
        else if (name != record.devName)
            params->setDevName(name, sn);
    }
    return params->getDevInfo(sn).devName;
}

void MainUserUi::onDevChanged(QByteArray dev_sn, bool flag)
{
    const QString sn = QString::fromLatin1(dev_sn);
    if (flag)
        addDevButton(sn);
    else
        removeDevButton(sn);
}

void MainUserUi::removeDevButton(const QString &sn)
{
    int index = -1;
    for (int i = 0; i < m_devButtons.size() && index < 0; ++i) {
        if (m_devButtons.at(i)->isOccupied() && m_devButtons.at(i)->devSn() == sn)
            index = i;
    }
    if (index < 0)
        return;
    qInfo() << "Device removed:" << sn;
    DevButton *button = m_devButtons.takeAt(index);
    button->disconnect(this);
    m_devSleep->removeDev(index);
    delete button;
    if (m_devButtons.isEmpty()) {
        m_devButtons.append(createNoneButton());
        onDevSelectedChanged(m_devButtons.first());
        return;
    }
    renumberDevButtons();
    if (!selectedButton()) {
        DevButton *first = m_devButtons.first();
        first->setLook(first->isOccupied() ? DevButton::LookCurrent : DevButton::LookUnoccupied);
        onDevSelectedChanged(first);
    }
}

void MainUserUi::addDevButton(const QString &sn)
{
    if (sn.isEmpty())
        return;
    for (const DevButton *button : qAsConst(m_devButtons)) {
        if (button->isOccupied() && button->devSn() == sn)
            return; // announced already
    }
    qInfo() << "Device added:" << sn;
    assignDevIndex(sn);
    const GlobalParams::DevInfo record = GlobalParams::instance()->getDevInfo(sn);
    reportNewDev(sn);

    DevButton *first = m_devButtons.value(0);
    if (first && !first->isOccupied()) {
        first->setDevInfo(record);
        first->setOccupied(true);
        first->setText(record.devName);
        m_devSleep->setDevName(0, record.devName);
        onDevSelectedChanged(first);
        if (sn == m_pendingSn)
            m_pendingSn.clear();
        return;
    }

    DevButton *button = createDevButton(m_devButtons.size());
    button->setOccupied(true);
    button->setLook(DevButton::LookOther);
    button->setDevInfo(record);
    button->setText(record.devName);
    m_devButtons.append(button);
    m_devSleep->addDev(record.devName);
    if (!m_pendingSn.isEmpty() && sn == m_pendingSn) {
        onDevSelectedChanged(button);
        const UvcDevicePtr dev = findDev(sn);
        if (dev && dev->devMode() == UvcDevice::DevModeUvc)
            m_pendingSn.clear();
    }
}

// ---------------------------------------------------------------------------
// Selection

void MainUserUi::onDevSelectedChanged(DevButton *dev_btn)
{
    if (!dev_btn || !m_devButtons.contains(dev_btn))
        return;

    // The previous camera stops feeding this window.
    QObject::disconnect(m_stateConnection);
    m_stateConnection = QMetaObject::Connection();
    m_stateDev.reset();

    // The placeholder stands for no camera.
    if (!dev_btn->isOccupied()) {
        picturesFollowCamera(nullptr);
        m_currentSn.clear();
        m_systemSetting->setNoDevice();
        setControlsEnabled(false);
        m_awake = false;
        m_devSleep->hide();
        return;
    }

    setControlsEnabled(true);
    m_currentSn = dev_btn->devSn();
    for (DevButton *button : qAsConst(m_devButtons)) {
        const bool chosen = button == dev_btn;
        button->setSelected(chosen);
        button->setLook(chosen ? DevButton::LookCurrent : DevButton::LookOther);
    }
    m_devSleep->setCurrentIndex(m_devButtons.indexOf(dev_btn));

    // Only the current camera reports its status.
    const QList<UvcDevicePtr> all = allDevs();
    for (const UvcDevicePtr &other : all)
        other->setStatusSignalEnabled(false);
    const UvcDevicePtr dev = currentDev();
    if (!dev) {
        qInfo() << "Selected device is gone:" << m_currentSn;
        return;
    }
    dev->setStatusPollCount(UvcDevice::StatusPollIn400ms);
    markUserAction();
    const CameraStatus status = readStatus(dev);

    GlobalParams::instance()->setCurrDevSn(m_currentSn);
    m_zoom4x = dev->is4KDevice();
    m_framingSizeHidden = status.byte(CameraStatus::ScreenMode) != 0;
    m_systemSetting->setCurrentDevice(dev_btn->devInfo(), status);
    dev->setStatusSignalEnabled(true);

    const int zoom = qMin(status.zoom(), SliderMax);
    setZoomReadout(zoom);
    setSliderQuietly(ui->slZoom, zoom);

    picturesFollowCamera(dev);
    m_stateDev = dev;
    m_stateConnection = connect(dev.get(), &UvcDevice::devStateUpdate, this, &MainUserUi::onDevStateUpdate);

    // The panel follows the camera.
    applyMode(status.byte(CameraStatus::MediaMode), status);
    const int blur = qMin<int>(status.byte(CameraStatus::BlurLevel), SliderMax);
    setBlurReadout(blur);
    setSliderQuietly(ui->slBlurLevel, blur);
    m_systemSetting->setAutoSleep(status.autoSleep());
    showAwake(status.runState() == CameraStatus::RunStateRunning);
}

void MainUserUi::onDevRenamed(DevButton *dev_btn)
{
    const int index = m_devButtons.indexOf(dev_btn);
    if (index < 0)
        return;
    m_devSleep->setDevName(index, dev_btn->text());
    m_systemSetting->setDevName(dev_btn->devSn(), dev_btn->text());
}

void MainUserUi::onDevSnMarked(QString dev_sn)
{
    m_pendingSn = dev_sn;
}

void MainUserUi::onDevChangedFromSleepUi(int index)
{
    selectButtonAt(index);
}

void MainUserUi::shortcutNextDev()
{
    const int i = selectedIndex();
    if (i >= 0 && i + 1 < m_devButtons.size())
        selectButtonAt(i + 1);
}

void MainUserUi::shortcutPreDev()
{
    const int i = selectedIndex();
    if (i > 0)
        selectButtonAt(i - 1);
}

void MainUserUi::onCurrDevStateRefresh()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    CameraStatus status;
    if (!dev->getCameraStatus(status))
        return;
    m_systemSetting->setCurrentDevice(GlobalParams::instance()->getDevInfo(m_currentSn), status);
    requestThumbnails(dev);
}

// ---------------------------------------------------------------------------
// Status updates

void MainUserUi::onDevStateUpdate(vexo::pc::CameraStatus camera_status)
{
    const UvcDevicePtr dev = currentDev();
    // Only the current camera, and never right after a user action.
    if (!dev)
        return;
    if (sender() && sender() != dev.get())
        return;
    if (QDateTime::currentMSecsSinceEpoch() - m_lastUserAction < UserActionQuietMs)
        return;

    const int runState = camera_status.runState();
    const bool asleep = runState == CameraStatus::RunStateSleeping || runState == CameraStatus::RunStatePrivacy;
    if (asleep && m_awake) {
        m_triggerSource = SourceDevice;
        putCurrentToSleep();
        m_triggerSource = SourceMouse;
    } else if (runState == CameraStatus::RunStateRunning && !m_awake) {
        m_triggerSource = SourceDevice;
        onDevResumed();
        m_triggerSource = SourceMouse;
        // Waking waits for the camera: it may have gone meanwhile.
        if (!currentDev())
            return;
    }
    if (runState != CameraStatus::RunStateRunning)
        return;

    followCameraZoom(qMin(camera_status.zoom(), SliderMax));
    if (m_bgOn)
        followCameraBlur(qMin<int>(camera_status.byte(CameraStatus::BlurLevel), SliderMax));

    m_framingSizeHidden = camera_status.byte(CameraStatus::ScreenMode) != 0;
    m_systemSetting->updateDevStatus(camera_status);
    applyMode(camera_status.byte(CameraStatus::MediaMode), camera_status);
    countCropArea();
}

// The slider follows the camera's zoom unless a user zoom is still settling.
void MainUserUi::followCameraZoom(int zoom)
{
    m_zoomHoldOff = qMin(m_zoomHoldOff + 1, 0);
    if (m_zoomHoldOff < 0)
        return;
    if (ui->slZoom->value() != zoom) {
        setZoomReadout(zoom);
        setSliderQuietly(ui->slZoom, zoom);
    }
    if (m_pendingZoomReport != SourceNone) {
        fileUsageEvent(DevUsageSnapshot::ActionZooming, ui->lbZoomValue->text(), m_pendingZoomReport);
        m_pendingZoomReport = SourceNone;
    }
}

void MainUserUi::followCameraBlur(int blur)
{
    setBlurReadout(blur);
    setSliderQuietly(ui->slBlurLevel, blur);
    if (m_pendingBlurReport != SourceNone) {
        fileUsageEvent(DevUsageSnapshot::ActionSetBgBlurLevel, ui->lbBlurLevelValue->text(), m_pendingBlurReport);
        m_pendingBlurReport = SourceNone;
    }
}

// The view stopped moving a while ago: report who moved it.
void MainUserUi::countCropArea()
{
    if (m_cropAreaCounter <= 0)
        return;
    ++m_cropAreaCounter;
    int source = -1;
    if (m_cropAreaCounter == GimbalControl::CropBandKey - 1)
        source = SourceMouse;
    else if (m_cropAreaCounter == GimbalControl::CropBandRemote - 1)
        source = SourceKey;
    else if (m_cropAreaCounter >= GimbalControl::CropBandRemote + GimbalControl::CropBandWidth - 1)
        source = SourceRemote;
    if (source >= 0) {
        m_cropAreaCounter = 0;
        fileUsageEvent(DevUsageSnapshot::ActionSetCropArea, QVariant(), source);
    }
}

// ---------------------------------------------------------------------------
// Sleep and wake

void MainUserUi::putCurrentToSleep()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->setStatusPollCount(UvcDevice::StatusPollIn4s);
    markUserAction();
    dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep);
    fileUsageEvent(DevUsageSnapshot::ActionToSleep, CameraStatus::RunStateSleeping, m_triggerSource);
    const int index = m_devSleep->currentIndex();
    if (index >= 0 && index < DevSleep::MaxRowButtons)
        m_devSleep->setSleepTime(index, QDateTime::currentMSecsSinceEpoch());
    showAwake(false);
}

void MainUserUi::wakeCurrent()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    const int source = m_triggerSource;
    dev->cameraSetDevRunStatus(UvcDevice::DevStatusResume);
    m_awake = true;
    dev->setStatusPollCount(UvcDevice::StatusPollIn4s);
    markUserAction();
    // The camera takes about a second to come up; the window stays live.
    QPointer<MainUserUi> self(this);
    TimeScale::waitWithEvents(WakeSettleMs);
    // The camera may have gone meanwhile; its removal has reset the window.
    if (!self || !currentDev())
        return;
    showAwake(true);
    // Unless a picture transfer is running, the pictures are fetched again.
    if (dev->fileTransState() != UvcDevice::FileTransRunning)
        requestThumbnails(dev);
    fileUsageEvent(DevUsageSnapshot::ActionToWake, CameraStatus::RunStateRunning, source);
}

void MainUserUi::onDevResumed()
{
    wakeCurrent();
}

void MainUserUi::on_devSleepResume()
{
    if (m_awake)
        putCurrentToSleep();
    else
        onDevResumed();
}

void MainUserUi::on_pbDevStatus_clicked()
{
    putCurrentToSleep();
}

void MainUserUi::showAwake(bool awake)
{
    m_awake = awake;
    m_systemSetting->setDevAwake(awake);
    if (awake) {
        m_devSleep->hide();
    } else {
        m_devSleep->show();
        m_devSleep->raise();
    }
}

void MainUserUi::markUserAction()
{
    m_lastUserAction = QDateTime::currentMSecsSinceEpoch();
}
