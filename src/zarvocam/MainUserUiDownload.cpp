// MainUserUi: update checks and downloads of this software and of the
// current camera's firmware.
#include "zarvocam/MainUserUi.h"

#include "comm/AppTask.h"
#include "comm/GlobalParams.h"
#include "comm/Util.h"
#include "download/PkgDownloader.h"
#include "uicomm/DownloadProgress.h"
#include "uicomm/UpgradeProgress.h"
#include "uicomm/MsgInfoUi.h"
#include "uicomm/UvcUpgradeProgress.h"
#include "uvc/UvcDevice.h"

#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

using vexo::pc::GlobalParams;
using vexo::pc::PkgDownloader;
using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;
using vexo::pc::Util;

namespace {

// The first software check runs this long after the window is built.
constexpr int kFirstSoftwareCheckMs = 500;
// A finished USB upgrade: the camera needs a moment before its status is read.
constexpr unsigned long kAfterUpgradeMs = 250;

} // namespace

void MainUserUi::initDownload()
{
    m_downloader = new PkgDownloader(this);
    m_downloadProgress = new DownloadProgress(this);
    m_downloadProgress->hide();
    connect(m_downloader, &PkgDownloader::notifyInfo, m_downloadProgress, &DownloadProgress::onDownloadProgressUpdate);
    QTimer::singleShot(kFirstSoftwareCheckMs, this, &MainUserUi::onSoftwareUpgrade);
}

QString MainUserUi::releaseNotes(const QJsonObject &info, int languageType)
{
    const char *key = "release_notes_en";
    switch (languageType) {
    case 1:
        key = "release_notes_cn";
        break;
    case 2:
        key = "release_notes_tc";
        break;
    case 3:
        key = "release_notes_ja";
        break;
    case 4:
        key = "release_notes_de";
        break;
    case 5:
        key = "release_notes_es";
        break;
    default:
        break;
    }
    return info.value(QLatin1String(key)).toString();
}

void MainUserUi::onSoftwareUpgrade()
{
    if (!m_softwareInfo.isEmpty()) {
        onInfoFromServer(m_softwareInfo);
        return;
    }
    vexo::pc::startCloudQuery(GlobalParams::instance()->getPcSoftwareInfo(), 0, this,
                              QStringLiteral("onInfoFromServer"));
}

void MainUserUi::onInfoFromServer(QJsonObject info)
{
    if (info.isEmpty()) {
        qWarning() << "Software info from server is empty";
        return;
    }
    const QString version = info.value(QStringLiteral("version")).toString();
    const bool newer = Util::ipToUint(version) > Util::ipToUint(GlobalParams::getSoftwareVersion());
    m_softwareInfo = info;
    qInfo().noquote() << "Latest software version =" << version << "newer =" << newer;
    m_systemSetting->setSoftwareUpdateMark(newer);
    if (!newer)
        return;

    MsgInfoUi box(this);
    box.setTitle(tr("Software upgrade info"));
    box.setText(tr("New software is available: ") + version + QStringLiteral("!\n")
                + releaseNotes(info, GlobalParams::instance()->getLanguageType()));
    box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    if (box.exec() != MsgInfoUi::Yes) {
        qInfo() << "Upgrade canceled";
        return;
    }
    qInfo() << "Start to download software and upgrade";
    const QString dir = QFileDialog::getExistingDirectory(this, tr("Choose Storage Path"),
                                                          QDir::homePath() + QStringLiteral("/Downloads"),
                                                          QFileDialog::ShowDirsOnly);
    if (dir.isEmpty())
        return;
    if (!runDownload(GlobalParams::instance()->getPcSoftwareInfo(), dir + QLatin1Char('/'),
                     tr("Downloading Software")))
        return;
    const QString path = dir + QLatin1Char('/') + m_downloader->pkgFileName();
    if (startInstaller(path))
        close();
}

bool MainUserUi::runDownload(const QJsonObject &request, const QString &dir, const QString &title)
{
    if (m_downloader->isRunning())
        m_downloader->cancel();
    m_downloader->setRequest(request);
    m_downloader->setDownloadDir(dir);
    m_downloader->start();
    m_downloadProgress->reset();
    m_downloadProgress->setTitle(title);
    const int result = m_downloadProgress->exec();
    if (result != MsgProgressUi::Ok) {
        if (m_downloader->isRunning())
            m_downloader->cancel();
        return false;
    }
    return true;
}

bool MainUserUi::startInstaller(const QString &path)
{
    const QString quoted = QLatin1Char('"') + path + QLatin1Char('"');
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QProcess::startDetached(opener, {path})) {
        qCritical().noquote() << "No package installer to start:" << quoted;
        MsgInfoUi box(this);
        box.setTitle(tr("Software upgrade info"));
        box.setText(tr("No package installer was found on this desktop. Please install the downloaded "
                       "package yourself:\n%1").arg(path));
        box.showButtons(MsgInfoUi::Yes);
        box.setButtonText(MsgInfoUi::Yes, tr("OK"));
        box.exec();
        return false;
    }
    qInfo().noquote() << "Start pc software upgrade process:" << quoted;
    return true;
}

void MainUserUi::onFirmwareUpgrade()
{
    UvcDevicePtr dev = currentDev();
    if (!dev) {
        MsgInfoUi box(this);
        box.setTitle(tr("No Device Connected"));
        box.setText(tr("Please insert device first and try again!"));
        box.showButtons(MsgInfoUi::Yes);
        box.exec();
        return;
    }
    const QString sn = m_currentSn;
    const int result = dev->checkFwUpdate();
    QString text;
    switch (result) {
    case UvcDevice::FwUpToDate:
        text = tr("Current firmware is up to date!");
        break;
    case UvcDevice::FwNewer:
        text = tr("New firmware is available: ") + dev->getLatestFwVersion() + QLatin1Char('!');
        break;
    default:
        text = tr("Cannot get latest firmware info from server!");
        break;
    }
    qInfo() << "result =" << result;
    qInfo().noquote() << "info =" << text;
    // The firmware query describes the selected camera.
    const QJsonObject devInfo = dev->getDevInfo();
    if (!devInfo.isEmpty())
        GlobalParams::instance()->setDevFirmwareInfo(devInfo);
    dev.reset(); // not held across the modal windows

    MsgInfoUi box(this);
    box.setTitle(tr("Firmware upgrade info"));
    if (result != UvcDevice::FwNewer) {
        box.setText(text);
        box.showButtons(MsgInfoUi::Yes);
        box.exec();
        return;
    }
    // The settings panel keeps the firmware answer of the cloud service.
    const QJsonObject fwInfo = m_systemSetting->firmwareInfo();
    const QString notes = releaseNotes(fwInfo, GlobalParams::instance()->getLanguageType());
    box.setText(notes.isEmpty() ? text : text + QLatin1Char('\n') + notes);
    box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
    if (box.exec() != MsgInfoUi::Yes) {
        qInfo() << "Upgrade canceled";
        return;
    }
    qInfo() << "Start to download firmware and upgrade";
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/firmware/");
    if (!runDownload(GlobalParams::instance()->getDevFirmwareInfo(), dir, tr("Downloading Firmware")))
        return;

    dev = findDev(sn);
    if (!dev)
        return;
    if (GlobalParams::instance()->getUpgradeMethod() != 0) {
        // Over the camera's network connection: the camera fetches the
        // package from our local service and reports its progress.
        dev.reset();
        UpgradeProgress window(this);
        runRndisUpgrade(&window, [&window](int type, const QString &uuid, const QString &msg) {
            window.onUpgradeProgressUpdate(GlobalParams::UgProgressEnum(type), uuid, msg);
        });
        return;
    }
    if (dev->devMode() != UvcDevice::DevModeUvc) {
        qCritical().noquote() << "device" << sn << "devMode" << dev->devMode() << "is not DevModeUvc";
        return;
    }
    dev.reset();
    runUvcUpgrade(sn);
}

void MainUserUi::runUvcUpgrade(const QString &sn)
{
    qInfo().noquote() << sn << "Enter uvc patch upgrade";
    auto *window = new UvcUpgradeProgress(sn, this);
    window->exec();
    QThread::msleep(kAfterUpgradeMs);
    onCurrDevStateRefresh();
    delete window;
}
