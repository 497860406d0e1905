// MainUserUi: what the settings panel asks the main window for — the
// language, the virtual background section, the maintenance actions of its
// "More" pop-up and the software and firmware updates.

#include "zarvocam/MainUserUi.h"

#include "ui_MainUserUi.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "uicomm/MsgInfoUi.h"
#include "uvc/UvcDevice.h"

#include <QDebug>
#include <QDesktopServices>
#include <QPointer>
#include <QTimer>
#include <QUrl>

using vexo::pc::GlobalParams;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevicePtr;

namespace {

// The camera needs this long to restore its factory settings.
constexpr int kFactoryResetMs = 4500;

} // namespace

void MainUserUi::connectSettingsPanel()
{
    SystemSettingUi *panel = m_systemSetting;
    connect(panel, &SystemSettingUi::sendSettingEvent, this, &MainUserUi::recvSignalFromSysSetting);
    connect(panel, &SystemSettingUi::softwareUpgrade, this, &MainUserUi::onSoftwareUpgrade);
    connect(panel, &SystemSettingUi::firmwareUpgrade, this, &MainUserUi::onFirmwareUpgrade);
    connect(panel, &SystemSettingUi::languageChanged, this, &MainUserUi::onChangeLanguage);
    connect(panel, &SystemSettingUi::virtualBgChanged, this, &MainUserUi::setVirtualBgAvailable);
    connect(panel, &SystemSettingUi::exportLog, this, &MainUserUi::onExportLog);
    connect(panel, &SystemSettingUi::manualUpgrade, this, &MainUserUi::onManualUpgrade);
    connect(panel, &SystemSettingUi::upgradeHelp, this, &MainUserUi::onUpgradeHelp);
    connect(panel, &SystemSettingUi::upgradeManual, this, &MainUserUi::onUpgradeManual);
    connect(panel, &SystemSettingUi::restoreFactorySetting, this, &MainUserUi::onRestoreFactorySetting);
}

// The background option tabs share one row of 380 px; their widths follow
// the length of their captions in each language (neighbours overlap by the
// 2 px border they share).
void MainUserUi::applyLanguageWidths()
{
    static const int widths[][3] = {
        {110, 150, 124}, // English
        {128, 128, 128}, // simplified Chinese
        {128, 128, 128}, // traditional Chinese
        {120, 140, 124}, // Japanese
        {124, 136, 124}, // German
        {124, 144, 116}, // Spanish
    };
    const int type = GlobalParams::instance()->getLanguageType();
    const int *w = widths[type >= 0 && type < 6 ? type : 0];
    QWidget *buttons[] = {ui->pbBgBlur, ui->pbBgGreenScreen, ui->pbBgReplace};
    int x = ui->pbBgBlur->x();
    for (int i = 0; i < 3; ++i) {
        buttons[i]->setGeometry(x, buttons[i]->y(), w[i], buttons[i]->height());
        x += w[i] - 2;
    }
}

// ---------------------------------------------------------------------------
// Maintenance actions of the "More" pop-up

void MainUserUi::onRestoreFactorySetting()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    MsgInfoUi question(this);
    question.setTitle(tr("Restore Factory Settings"));
    question.setText(tr("Do you want to reset all settings immediately?"));
    question.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    question.setButtonText(MsgInfoUi::Yes, tr("Yes"));
    question.setButtonText(MsgInfoUi::No, tr("No"));
    if (question.exec() != MsgInfoUi::Yes)
        return;

    dev->cameraRestoreFactorySettings();
    MsgInfoUi progress(this);
    progress.setTitle(tr("Restore Factory Settings"));
    progress.setText(tr("Device is restoring the factory settings, please waiting..."));
    progress.setButtonText(MsgInfoUi::Yes, tr("Yes"));
    progress.enableButtons(MsgInfoUi::Yes, false);
    progress.hideButtons(MsgInfoUi::No);
    QPointer<MsgInfoUi> box(&progress);
    QTimer::singleShot(TimeScale::ms(kFactoryResetMs), this, [this, box] {
        if (box) {
            box->setText(tr("Factory reset successfully!"));
            box->enableButtons(MsgInfoUi::Yes, true);
        }
        onCurrDevStateRefresh();
    });
    progress.exec();
}

void MainUserUi::onUpgradeManual()
{
    const int language = GlobalParams::instance()->getLanguageType();
    QDesktopServices::openUrl(QUrl(SystemSettingUi::upgradeManualUrl(language)));
}

void MainUserUi::onUpgradeHelp()
{
    m_systemSetting->on_pbFirmwareVersionHelp_clicked();
}
