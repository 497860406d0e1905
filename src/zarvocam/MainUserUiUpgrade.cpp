// The main window's firmware actions on USB cameras: the manual upgrade
// from a package file and the log export, both run by the upgrade worker.
#include "zarvocam/MainUserUi.h"
#include "comm/GlobalParams.h"

#include "comm/TimeScale.h"
#include "package/FirmwareManager.h"
#include "package/FirmwarePackage.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/MsgProgressUi.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcPatchUpgrade.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

using vexo::pc::FirmwareManager;
using vexo::pc::FirmwarePackage;
using vexo::pc::TimeScale;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;
using vexo::pc::UvcPatchUpgrade;

QString MainUserUi::chooseFirmwareFile()
{
    return QFileDialog::getOpenFileName(this, tr("Choose Firmware"),
                                        QStandardPaths::writableLocation(QStandardPaths::DownloadLocation),
                                        QStringLiteral("*.bin"));
}

void MainUserUi::showFirmwareInvalid()
{
    MsgInfoUi box(this);
    box.setTitle(tr("Firmware Invalid"));
    box.setText(tr("Please select valid firmware package and try again!"));
    box.showButtons(MsgInfoUi::Yes);
    box.exec();
}

void MainUserUi::onManualUpgrade()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    const QString sn = m_currentSn;
    const QString path = chooseFirmwareFile();
    qInfo() << "Choose firmware:" << path;
    if (path.isEmpty())
        return;
    const QString dir = UvcPatchUpgrade::firmwareDir();
    QDir().mkpath(dir);
    const QJsonObject info = dev->getInfo();
    const QString extracted =
        FirmwarePackage::extractFirmware(path, info.value(QStringLiteral("platform")).toString(), dir);
    if (extracted.isEmpty() || !FirmwarePackage(extracted).verifyFirmware()) {
        showFirmwareInvalid();
        return;
    }
    FirmwareManager *manager = FirmwareManager::instance();
    manager->init(info);
    manager->setChosenPackage(QFileInfo(extracted).fileName());
    if (dev->devMode() != UvcDevice::DevModeUvc) {
        qCritical() << "device" << sn << "devMode" << dev->devMode() << "is not DevModeUvc";
        return;
    }
    runUvcUpgrade(sn);
}

void MainUserUi::prepareExtractingLog(MsgInfoUi &box)
{
    box.setTitle(tr("Extracting Log"));
    box.setText(tr("Please wait and keep the device connected!"));
    box.showButtons(MsgInfoUi::Yes);
    box.enableButtons(MsgInfoUi::Yes, false);
}

void MainUserUi::onExportLog()
{
    const UvcDevicePtr dev = currentDev();
    if (!dev)
        return;
    if (vexo::pc::GlobalParams::instance()->getUpgradeMethod() != 0) {
        extractLogByNet();
        return;
    }
    MsgInfoUi box(this);
    prepareExtractingLog(box);
    UvcPatchUpgrade worker(m_currentSn, UvcPatchUpgrade::UvcTaskExtractLog);
    connect(&worker, &UvcPatchUpgrade::progressUpdate, &box, [this, &box](int value, const QString &info) {
        if (value == 1)
            box.setText(tr("Extract the log file successfully!"));
        else if (!info.isEmpty())
            box.setText(info);
        else
            box.setText(tr("Extract log failed, please try again later!"));
        box.enableButtons(MsgInfoUi::Yes, true);
    });
    worker.start();
    box.exec();
    worker.wait();
}
