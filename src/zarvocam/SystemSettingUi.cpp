#include "zarvocam/SystemSettingUi.h"

#include "ui_SystemSettingUi.h"

#include "comm/AppTask.h"
#include "comm/DevUsageSnapshot.h"
#include "uicomm/CamSettings.h"
#include "uicomm/ForMoreUi.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/UiLook.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "zarvocam/ButtonMode.h"
#include "zarvocam/Language.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDebug>
#include <QEvent>
#include <QIcon>
#include <QScreen>

#include <algorithm>

using vexo::pc::CameraStatus;
using vexo::pc::DevUsageSnapshot;
using vexo::pc::GlobalParams;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevices;

constexpr int SystemSettingUi::SleepTimes[3];

namespace {

const char *const kSwitchOn = ":/source/uicomm/icon/btn_on_n@3x";
const char *const kSwitchOff = ":/source/uicomm/icon/btn_off_n@3x";

// Four common video-conferencing and streaming applications.
const char *const kCameraApps = "Zoom, Microsoft Teams, Skype, OBS Studio";

} // namespace

SystemSettingUi::SystemSettingUi(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(new Ui::SystemSettingUi)
{
    UiLook::initResources();
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("settings")));
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    setFixedSize(360, 600);

    GlobalParams *params = GlobalParams::instance();
    m_virtualBg = params->getPcVirtualBg();
    m_globalHotkeys = params->getShortcutRange() == 1;
    m_remoteCtrl = params->getShortcutExt();
    ui->lbSoftwareVersionVaule->setText(params->getSoftwareVersion());
    ui->lbSoftwareUpdateMark->hide();
    ui->lbFirmwareUpdateMark->hide();
    ui->lbCurrLanguage->setText(Language::languageName(params->getLanguageType()));

    m_camSettings = new CamSettings(this);
    setSwitch(ui->pbGlobalHotkeys, m_globalHotkeys);
    setSwitch(ui->pbRemoteCtrl, m_remoteCtrl);
    setSwitch(ui->pbVirtualBg, m_virtualBg);
    ui->lbVirtualBgBeta->setVisible(m_virtualBg);
    setNoDevice();
    retranslate();
}

SystemSettingUi::~SystemSettingUi()
{
    delete ui;
}

QString SystemSettingUi::remoteCtrlShopUrl()
{
    return QStringLiteral("https://shop.kavora.com/products/zarvo-remote-controller");
}

QString SystemSettingUi::upgradeManualUrl(int languageType)
{
    return languageType == 1 ? QStringLiteral("https://www.kavora.com.cn/support/zarvocam-upgrade-manual")
                             : QStringLiteral("https://www.kavora.com/support/zarvocam-upgrade-manual");
}

// ---------------------------------------------------------------------------
// The current camera

SystemSettingUi::DevicePtr SystemSettingUi::currentDev() const
{
    return m_currentSn.isEmpty() ? nullptr : UvcDevices::instance()->findDevBySn(m_currentSn);
}

SystemSettingUi::DevicePtr SystemSettingUi::awakeDev() const
{
    return m_awake ? currentDev() : nullptr;
}

void SystemSettingUi::setNoDevice()
{
    m_currentSn.clear();
    m_camSettings->setDevSn(QString());
    ui->lbFirmwareVersionValue->setText(QStringLiteral("0.0.0.0"));
    ui->lbFirmwareUpdateMark->hide();
    m_awake = false;
    applyAwake();
}

void SystemSettingUi::setCurrentDevice(const GlobalParams::DevInfo &info, const CameraStatus &status)
{
    const bool otherCamera = m_currentSn != info.devSn;
    m_currentSn = info.devSn;
    m_camSettings->setDevSn(m_currentSn);
    const DevicePtr dev = currentDev();
    // The newest firmware of a camera that becomes current is asked for once;
    // the answer marks the firmware row and is kept for the upgrade.
    if (otherCamera && dev && dev->getLatestFwVersion().isEmpty()) {
        const QJsonObject devInfo = dev->getDevInfo();
        if (!devInfo.isEmpty())
            vexo::pc::startCloudQuery(devInfo, 1, this, QStringLiteral("onFirmwareInfoFromServer"));
    }
    ui->lbFirmwareVersionValue->setText(dev && !dev->getVersion().isEmpty() ? dev->getVersion()
                                                                            : QStringLiteral("0.0.0.0"));
    ui->lbFirmwareUpdateMark->setVisible(dev && dev->getFwState() == UvcDevice::FwNewer);
    applyVirtualBgRow(dev);
    m_awake = status.runState() == CameraStatus::RunStateRunning;
    updateDevStatus(status);
    applyAwake();
}

void SystemSettingUi::setDevName(const QString &sn, const QString &name)
{
    // The panel shows no camera name; the record is the main window's.
    Q_UNUSED(sn)
    Q_UNUSED(name)
}

void SystemSettingUi::updateDevStatus(const CameraStatus &status)
{
    applyAutoSleep(status.autoSleep());
    m_noiseCancellation = status.byte(CameraStatus::NoiseCancellation) != 0;
    setSwitch(ui->pbNoiseCancellation, m_noiseCancellation);
    applyButtonMode(status.byte(CameraStatus::ButtonMode) == 1 ? 1 : 0);
    applyAntiFlicker(status.byte(CameraStatus::AntiFlicker));
}

void SystemSettingUi::setAutoSleep(int seconds)
{
    applyAutoSleep(seconds);
}

void SystemSettingUi::setDevAwake(bool awake)
{
    m_awake = awake;
    applyAwake();
}

void SystemSettingUi::applyAwake()
{
    const bool hasDev = !m_currentSn.isEmpty();
    const bool usable = hasDev && m_awake;
    QWidget *cameraRows[] = {ui->pbDevAutoSleep, ui->cbDevAutoSleep, ui->lbDevAutoSleep, ui->lbDevAutoSleepInfo,
                             ui->lbDevAutoSleepInfo2, ui->pbNoiseCancellation, ui->lbNoiseCancellation,
                             ui->pbVirtualBg, ui->lbVirtualBg, ui->pbCameraSettings, ui->pbButtonAdapt,
                             ui->lbCurrButtonAdapt, ui->pbAntiFlicker, ui->lbCurrAntiFlicker};
    for (QWidget *w : cameraRows)
        w->setEnabled(usable);
    if (!usable) {
        for (QPushButton *b : {ui->pbDevAutoSleep, ui->pbNoiseCancellation, ui->pbVirtualBg})
            UiLook::setSwitch(b, UiLook::Switch::Unavailable);
        if (m_camSettings->isVisible())
            m_camSettings->dismiss();
        if (m_buttonMode)
            m_buttonMode->hide();
        if (m_antiFlicker)
            m_antiFlicker->hide();
    } else {
        setSwitch(ui->pbDevAutoSleep, m_autoSleep);
        setSwitch(ui->pbNoiseCancellation, m_noiseCancellation);
        setSwitch(ui->pbVirtualBg, m_virtualBg);
    }
}

void SystemSettingUi::setSwitch(QPushButton *button, bool on)
{
    const bool cameraRow = button == ui->pbDevAutoSleep || button == ui->pbNoiseCancellation
                           || button == ui->pbVirtualBg;
    if (cameraRow && !(m_awake && !m_currentSn.isEmpty()))
        UiLook::setSwitch(button, UiLook::Switch::Unavailable);
    else
        button->setIcon(QIcon(QLatin1String(on ? kSwitchOn : kSwitchOff)));
}

void SystemSettingUi::fileUsage(int action, const QVariant &value)
{
    vexo::pc::pushDevUsageEvent(m_currentSn, action, 0, QString(), value);
}

// ---------------------------------------------------------------------------
// Noise reduction, auto sleep, button configuration

void SystemSettingUi::on_pbNoiseCancellation_clicked()
{
    const DevicePtr dev = awakeDev();
    if (!dev)
        return;
    m_noiseCancellation = !m_noiseCancellation;
    setSwitch(ui->pbNoiseCancellation, m_noiseCancellation);
    emit sendSettingEvent(EventNoiseCancellation);
    dev->cameraSetNoiseCancellation(m_noiseCancellation ? 1 : 0);
    fileUsage(DevUsageSnapshot::ActionSetNoiseCancellationEnabled, m_noiseCancellation);
}

int SystemSettingUi::sleepIndexFor(int seconds) const
{
    const int t = qAbs(seconds);
    return t <= SleepTimes[0] ? 0 : (t <= SleepTimes[1] ? 1 : 2);
}

void SystemSettingUi::applyAutoSleep(int seconds)
{
    m_autoSleep = seconds > 0;
    setSwitch(ui->pbDevAutoSleep, m_autoSleep);
    ui->wDevAutoSleepTime->setVisible(m_autoSleep);
    ui->lbDevAutoSleepInfo->setVisible(m_autoSleep);
    if (m_autoSleep) {
        const QSignalBlocker blocker(ui->cbDevAutoSleep);
        ui->cbDevAutoSleep->setCurrentIndex(sleepIndexFor(seconds));
    }
}

void SystemSettingUi::on_pbDevAutoSleep_clicked()
{
    const DevicePtr dev = awakeDev();
    if (!dev)
        return;
    m_autoSleep = !m_autoSleep;
    setSwitch(ui->pbDevAutoSleep, m_autoSleep);
    ui->wDevAutoSleepTime->setVisible(m_autoSleep);
    ui->lbDevAutoSleepInfo->setVisible(m_autoSleep);
    if (!m_autoSleep) {
        // A negative time keeps the chosen time while sleeping is off.
        emit sendSettingEvent(EventAutoSleep);
        dev->cameraSetSuspendTime(-SleepTimes[qBound(0, ui->cbDevAutoSleep->currentIndex(), 2)]);
        fileUsage(DevUsageSnapshot::ActionSetAutoSleep, 0);
        return;
    }
    CameraStatus status;
    if (dev->getCameraStatus(status)) {
        const QSignalBlocker blocker(ui->cbDevAutoSleep);
        ui->cbDevAutoSleep->setCurrentIndex(sleepIndexFor(status.autoSleep()));
    }
    on_cbDevAutoSleep_currentIndexChanged(ui->cbDevAutoSleep->currentIndex());
}

void SystemSettingUi::on_cbDevAutoSleep_currentIndexChanged(int index)
{
    const DevicePtr dev = awakeDev();
    if (!dev || !m_autoSleep || index < 0 || index > 2)
        return;
    emit sendSettingEvent(EventAutoSleep);
    dev->cameraSetSuspendTime(SleepTimes[index]);
    fileUsage(DevUsageSnapshot::ActionSetAutoSleep, SleepTimes[index]);
}

void SystemSettingUi::applyButtonMode(int mode)
{
    m_buttonModeValue = mode;
    ui->lbCurrButtonAdapt->setText(mode == 1 ? tr("Rotation") : tr("Default"));
    if (m_buttonMode)
        m_buttonMode->setCurrent(mode);
}

void SystemSettingUi::on_pbButtonAdapt_clicked()
{
    if (!currentDev())
        return;
    if (!m_buttonMode) {
        m_buttonMode = new ButtonMode(this);
        connect(m_buttonMode, &ButtonMode::buttonModeChanged, this, &SystemSettingUi::on_buttonModeChanged);
    }
    m_buttonMode->setCurrent(m_buttonModeValue);
    popUpBeside(m_buttonMode, ui->pbButtonAdapt);
}

void SystemSettingUi::on_buttonModeChanged(int mode)
{
    const DevicePtr dev = currentDev();
    if (!dev)
        return;
    emit sendSettingEvent(EventButtonMode);
    dev->cameraSetButtonMode(mode);
    fileUsage(DevUsageSnapshot::ActionSetButtonWorkMode, mode);
    applyButtonMode(mode);
}

void SystemSettingUi::on_pbButtonAdaptHelp_clicked()
{
    const QString row = QStringLiteral("<tr><td style=\"color:#7C7C7C;padding-right:12px;\">%1</td><td>%2</td></tr>");
    const QString text =
        QStringLiteral("<p><b>") + tr("| Default") + QStringLiteral("</b></p><table>")
        + row.arg(tr("Click"), tr("Turn on/off auto-framing"))
        + row.arg(tr("Double Click"), tr("Turn on/off virtual background  (blur/green screen/replacement)"))
        + row.arg(tr("Long press for 3 seconds"), tr("Sleep/Wake up the device")) + QStringLiteral("</table><p><b>")
        + tr("| Rotation") + QStringLiteral("</b></p><p>")
        + tr("Switch to next mode in the following order: standard->auto-framing->virtual background").toHtmlEscaped()
        + QStringLiteral("</p>");
    showTips(tr("Button Mode Description"), text, true);
}

void SystemSettingUi::applyAntiFlicker(int type)
{
    m_antiFlickerValue = type >= 0 && type <= 2 ? type : 0;
    const QString names[] = {tr("Off"), tr("50Hz"), tr("60Hz")};
    ui->lbCurrAntiFlicker->setText(names[m_antiFlickerValue]);
    if (m_antiFlicker)
        m_antiFlicker->setCurrent(m_antiFlickerValue);
}

void SystemSettingUi::on_pbAntiFlicker_clicked()
{
    if (!awakeDev())
        return;
    if (!m_antiFlicker) {
        m_antiFlicker = new AntiFlicker(this);
        connect(m_antiFlicker, &AntiFlicker::antiFlickerChanged, this, &SystemSettingUi::onAntiFlickerChanged);
    }
    m_antiFlicker->setCurrent(m_antiFlickerValue);
    popUpBeside(m_antiFlicker, ui->pbAntiFlicker);
}

void SystemSettingUi::onAntiFlickerChanged(int type)
{
    const DevicePtr dev = awakeDev();
    if (!dev)
        return;
    emit sendSettingEvent(EventAntiFlicker);
    dev->cameraSetAntiFlicker(type);
    fileUsage(DevUsageSnapshot::ActionSetAntiFlickerMode, type);
    applyAntiFlicker(type);
}

// ---------------------------------------------------------------------------
// Virtual background

void SystemSettingUi::applyVirtualBgRow(const DevicePtr &dev)
{
    bool supported = false;
    if (dev) {
        const quint32 version = UvcDevice::versionValue(dev->getVersion());
        supported = version >= (dev->is4KDevice() ? VirtualBgMin4x : VirtualBgMin);
    }
    ui->wVirtualBg->setVisible(supported);
}

void SystemSettingUi::on_pbVirtualBg_clicked()
{
    const DevicePtr dev = awakeDev();
    if (!dev)
        return;
    if (!m_virtualBg) {
        showTips(tr("Tips"), tr("The Virtual Background features are now in beta version and will give further "
                                "updates to polish the effect."));
    }
    m_virtualBg = !m_virtualBg;
    setSwitch(ui->pbVirtualBg, m_virtualBg);
    ui->lbVirtualBgBeta->setVisible(m_virtualBg);
    GlobalParams::instance()->setPcVirtualBg(m_virtualBg);
    emit sendSettingEvent(EventVirtualBg);
    dev->cameraSetBgEnable(m_virtualBg);
    emit virtualBgChanged(m_virtualBg);
}

// ---------------------------------------------------------------------------
// Hotkeys and remote controller

void SystemSettingUi::on_pbGlobalHotkeys_clicked()
{
    m_globalHotkeys = !m_globalHotkeys;
    setSwitch(ui->pbGlobalHotkeys, m_globalHotkeys);
    emit sendSettingEvent(m_globalHotkeys ? EventGlobalHotkeysOn : EventGlobalHotkeysOff);
}

void SystemSettingUi::on_pbHotkeysHelp_clicked()
{
    QWidget *list = m_hotkeyList.data();
    if (!list) {
        qInfo() << "Hotkey list not available";
        return;
    }
    popUpBeside(list, ui->pbHotkeysHelp);
}

void SystemSettingUi::on_pbRemoteCtrl_clicked()
{
    m_remoteCtrl = !m_remoteCtrl;
    setSwitch(ui->pbRemoteCtrl, m_remoteCtrl);
    emit sendSettingEvent(m_remoteCtrl ? EventRemoteCtrlOn : EventRemoteCtrlOff);
}

void SystemSettingUi::on_pbRemoteCtrlHelp_clicked()
{
    const QString link = QStringLiteral("<a style=\"color:#1E90FF;\" href=\"%1\">%2</a>")
                             .arg(remoteCtrlShopUrl(), tr("KAVORA Zarvo Remote Controller"));
    const QString text =
        tr("Compatible remote controller: %1").arg(link) + QStringLiteral("<br><br>")
        + tr("The remote control keys may conflict with some software shortcuts keys. In case of conflict, please "
             "turn off or change other software shortcuts keys.")
              .toHtmlEscaped()
        + QStringLiteral("<br>")
        + tr("For example, the「Screen Rotation」shortcut key for「Intel ® Graphics Control Centre」").toHtmlEscaped();
    showTips(tr("Tips"), text, true);
}

// ---------------------------------------------------------------------------
// Versions and updates

void SystemSettingUi::setSoftwareUpdateMark(bool shown)
{
    ui->lbSoftwareUpdateMark->setVisible(shown);
}

void SystemSettingUi::on_pbSoftwareUpgrade_clicked()
{
    emit softwareUpgrade();
}

void SystemSettingUi::on_pbFirmwareUpgrade_clicked()
{
    emit firmwareUpgrade();
}

void SystemSettingUi::showFirmwareHelp()
{
    showTips(tr("Tips"), tr("Please make sure that you close all applications that may use KAVORA Zarvo or Zarvo 4K "
                            "during the upgrade, such as %1, etc.")
                             .arg(QLatin1String(kCameraApps)));
}

void SystemSettingUi::on_pbFirmwareVersionHelp_clicked()
{
    showFirmwareHelp();
}

void SystemSettingUi::onFirmwareInfoFromServer(QJsonObject fw_info)
{
    const QString version = fw_info.value(QStringLiteral("version")).toString();
    if (version.isEmpty()) {
        qWarning() << "Firmware info from server is empty";
        ui->lbFirmwareUpdateMark->hide();
        return;
    }
    m_fwInfo = fw_info;
    const DevicePtr dev = currentDev();
    if (!dev)
        return;
    dev->setLatestFwVersion(version);
    ui->lbFirmwareUpdateMark->setVisible(dev->checkFwUpdate() == UvcDevice::FwNewer);
}

// ---------------------------------------------------------------------------
// Camera settings, language, more

void SystemSettingUi::on_pbCameraSettings_clicked()
{
    hideSecondMenu();
    const DevicePtr dev = awakeDev();
    if (!dev)
        return;
    const bool zoom4x = dev->is4KDevice();
    const quint32 needed = zoom4x ? CamSettingsMin4x : CamSettingsMin;
    if (UvcDevice::versionValue(dev->getVersion()) < needed) {
        showTips(tr("Tips"),
                 tr("Please upgrade to the v") + UvcDevice::versionText(needed)
                     + tr(" or higher for new features with your ZarvoCam."),
                 false, 180);
        return;
    }
    if (m_camSettings->isVisible()) {
        m_camSettings->show();
        return;
    }
    fileUsage(DevUsageSnapshot::ActionConfigureVideoOpened, QVariant());
    m_camSettingsOpen = true;
    emit openVideoCfg(true);
    m_camSettings->setDevSn(m_currentSn);
    const QPointer<SystemSettingUi> self(this);
    m_camSettings->show();
    if (!self)
        return;
    m_camSettingsOpen = false;
    emit openVideoCfg(false);
}

void SystemSettingUi::on_pbLanguage_clicked()
{
    if (!m_language) {
        m_language = new Language(this);
        connect(m_language, &Language::languageChanged, this, [this](int type) {
            ui->lbCurrLanguage->setText(Language::languageName(type));
            emit languageChanged(type);
        });
    }
    m_language->setCurrent(GlobalParams::instance()->getLanguageType());
    popUpBeside(m_language, ui->pbLanguage);
}

void SystemSettingUi::on_pbForMore_clicked()
{
    if (!m_forMore) {
        m_forMore = new ForMoreUi(this);
        connect(m_forMore, &ForMoreUi::exportLog, this, &SystemSettingUi::exportLog);
        connect(m_forMore, &ForMoreUi::manualUpgrade, this, &SystemSettingUi::manualUpgrade);
        connect(m_forMore, &ForMoreUi::upgradeHelp, this, &SystemSettingUi::upgradeHelp);
        connect(m_forMore, &ForMoreUi::upgradeManual, this, &SystemSettingUi::upgradeManual);
        connect(m_forMore, &ForMoreUi::restoreFactorySetting, this, &SystemSettingUi::restoreFactorySetting);
    }
    popUpBeside(m_forMore, ui->pbForMore);
}

// Pop-ups open to the right of the panel, level with their row, or to its
// left when the right side would leave the screen.
void SystemSettingUi::popUpBeside(QWidget *popup, QWidget *anchor)
{
    hideSecondMenu();
    popup->adjustSize();
    const QPoint rowTop = anchor->mapToGlobal(QPoint(0, 0));
    QPoint pos(frameGeometry().right() + 4, rowTop.y());
    const QScreen *screen = this->screen();
    if (screen && pos.x() + popup->frameGeometry().width() > screen->availableGeometry().right())
        pos.setX(frameGeometry().left() - 4 - popup->frameGeometry().width());
    // A tall pop-up (the hotkey list) rises until its bottom is on screen.
    if (screen && pos.y() + popup->frameGeometry().height() > screen->availableGeometry().bottom())
        pos.setY(std::max(screen->availableGeometry().top(),
                          screen->availableGeometry().bottom() - popup->frameGeometry().height()));
    if (auto *option = qobject_cast<OptionPopup *>(popup)) {
        option->popUpAt(pos);
    } else {
        popup->move(pos);
        popup->show();
        popup->raise();
    }
}

void SystemSettingUi::showTips(const QString &title, const QString &text, bool rich, int height)
{
    MsgInfoUi box(this);
    box.setTitle(title);
    if (rich)
        box.setRichText(text);
    else
        box.setText(text);
    box.showButtons(MsgInfoUi::Yes);
    box.setButtonText(MsgInfoUi::Yes, tr("Yes"));
    if (height > 0)
        box.setFixedHeight(height);
    box.exec();
}

// ---------------------------------------------------------------------------
// Window

void SystemSettingUi::show()
{
    QWidget::show();
    raise();
}

void SystemSettingUi::hide()
{
    hideSecondMenu();
    QWidget::hide();
}

void SystemSettingUi::hideSecondMenu()
{
    QWidget *popups[] = {m_buttonMode, m_language, m_forMore, m_antiFlicker, m_hotkeyList};
    for (QWidget *popup : popups) {
        if (popup)
            popup->hide();
    }
}

void SystemSettingUi::closeEvent(QCloseEvent *event)
{
    hideSecondMenu();
    event->accept();
    emit sendSettingEvent(EventClosed);
}

void SystemSettingUi::retranslate()
{
    ui->retranslateUi(this);
    setWindowTitle(tr("System Setting"));
    ui->lbSoftwareVersionVaule->setText(GlobalParams::instance()->getSoftwareVersion());
    applyButtonMode(m_buttonModeValue);
    applyAntiFlicker(m_antiFlickerValue);
}

void SystemSettingUi::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The combo keeps its choice across the new texts.
        const QSignalBlocker blocker(ui->cbDevAutoSleep);
        const int index = ui->cbDevAutoSleep->currentIndex();
        const QString firmware = ui->lbFirmwareVersionValue->text();
        retranslate();
        ui->cbDevAutoSleep->setCurrentIndex(index);
        ui->lbFirmwareVersionValue->setText(firmware);
        ui->lbCurrLanguage->setText(Language::languageName(GlobalParams::instance()->getLanguageType()));
    }
    QWidget::changeEvent(event);
}
