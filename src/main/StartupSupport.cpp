#include "main/StartupSupport.h"
#include "3rdparty/qbreakpad/handler/QBreakpadHandler.h"

#include "comm/GlobalParams.h"
#include "download/PkgDownloader.h"
#include "logging/FileLogger.h"
#include "uvc/CameraStatus.h"
#include "comm/UvcDevUsageSource.h"
#include "uvc/UvcDevices.h"

#include "camera/VirtualCameras.h"
#include "netcam/VirtualNetCamera.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLocale>
#include <QStandardPaths>
#include <QSettings>
#include <QSysInfo>
#include <QtDebug>

namespace startup {

QString buildStamp()
{
    // __DATE__ is "Mmm dd yyyy" with the day padded by a blank, __TIME__ "hh:mm:ss".
    return QStringLiteral(__DATE__ ", " __TIME__);
}

QString versionLine()
{
    return QStringLiteral("KAVORA_ZarvoCam_%1.%2.%3.%4,   Build Time: ").arg(1).arg(0).arg(5).arg(4) + buildStamp();
}

QString helpText()
{
    return QStringLiteral("--help, -h: Get list of available commands. \n\n--log_std: Output log to std\n\n");
}

int prepareBeforeRunning()
{
    const QString dataRoot = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    const QString installRoot = QCoreApplication::applicationDirPath() + QStringLiteral("/..");

    QDir dir;
    if (!dir.exists(dataRoot) && !dir.mkpath(dataRoot)) {
        qDebug() << "create dir failed:" << dataRoot;
        return -1;
    }

    static const struct {
        const char *sub;
        const char *failure;
    } folders[] = {
        {"/firmware", "create firmware dir failed"},
        {"/log", "create log dir failed"},
        {"/config", "create config dir failed"},
        {"/pic", "create pic dir failed"},
    };
    for (const auto &f : folders) {
        const QString path = dataRoot + QLatin1String(f.sub);
        if (!dir.exists(path) && !dir.mkpath(path)) {
            qDebug() << f.failure;
            return -1;
        }
    }

    for (const char *name : {"/config/kavora_win_x64.ini", "/config/logging_zarvocam.ini"}) {
        const QString target = dataRoot + QLatin1String(name);
        if (!QFile::exists(target))
            QFile::copy(installRoot + QLatin1String(name), target);
    }
    return 0;
}

void printSysInfo()
{
    qInfo().noquote() << QSysInfo::buildCpuArchitecture();
    qInfo().noquote() << QSysInfo::currentCpuArchitecture();
    qInfo().noquote() << QSysInfo::buildAbi();
    qInfo().noquote() << QSysInfo::kernelType();
    qInfo().noquote() << QSysInfo::kernelVersion();
    qInfo().noquote() << QSysInfo::productType();
    qInfo().noquote() << QSysInfo::productVersion();
    qInfo().noquote() << QSysInfo::prettyProductName();
    qInfo().noquote() << QSysInfo::machineHostName();
    qInfo().noquote() << QString::fromLatin1(QSysInfo::machineUniqueId());
    qInfo().noquote() << QString::fromLatin1(QSysInfo::bootUniqueId());
}

void secondInstanceTexts(QString *text, QString *title)
{
    const QLocale locale;
    if (locale.language() == QLocale::Chinese && locale.country() == QLocale::China) {
        *text = QStringLiteral("程序已经运行！");
        *title = QStringLiteral("警告");
    } else if (locale.language() == QLocale::Chinese) {
        *text = QStringLiteral("程式已經運行！");
        *title = QStringLiteral("警告");
    } else if (locale.language() == QLocale::Japanese) {
        *text = QStringLiteral("プログラムはすでに実行されています！");
        *title = QStringLiteral("警告");
    } else if (locale.language() == QLocale::German) {
        *text = QStringLiteral("Programm läuft bereits!");
        *title = QStringLiteral("Warnung");
    } else if (locale.language() == QLocale::Spanish) {
        *text = QStringLiteral("El programa ya se está ejecutando!");
        *title = QStringLiteral("Advertencia");
    } else {
        *text = QStringLiteral("Program already running!");
        *title = QStringLiteral("Warning");
    }
}

int languageForLocale()
{
    const QLocale locale;
    switch (locale.language()) {
    case QLocale::Chinese:
        return locale.country() == QLocale::China ? 1 : 2;
    case QLocale::Japanese:
        return 3;
    case QLocale::German:
        return 4;
    case QLocale::Spanish:
        return 5;
    default:
        return 0;
    }
}

bool platformHasScreen()
{
    const QString p = QGuiApplication::platformName();
    return p != QLatin1String("offscreen") && p != QLatin1String("minimal");
}

QString crashDumpDir()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/log/crash_log");
}

void startServices(QApplication *app, bool logToStd)
{
    using vexo::pc::GlobalParams;

    // 8: the file logger, configured from the user's copy when there is one.
    if (!logToStd) {
        const QString name = QStringLiteral("/config/logging_zarvocam.ini");
        QString path = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + name;
        if (!QFile::exists(path))
            path = QCoreApplication::applicationDirPath() + QStringLiteral("/..") + name;
        auto *settings = new QSettings(path, QSettings::IniFormat, app);
        settings->beginGroup(QStringLiteral("logging"));
        auto *logger = new vexo::pc::FileLogger(settings, 10000, app);
        logger->installAsHandler();
    }

    // 9-10: system information; crash dumps into their folder.
    printSysInfo();
    QBreakpadHandler::instance()->setDumpPath(crashDumpDir());

    // Virtual cameras, when asked for (--simulate N, ZARVO_SIMULATE), join the
    // camera platform before the registry first looks at it.
    vexo::pc::VirtualCameras::installFromEnvironment(QCoreApplication::arguments());
    // A virtual network camera on loopback, when asked for (ZARVO_SIMULATE_NET=1).
    vexo::pc::VirtualNetCamera::installFromEnvironment();

    // 11: process-wide singletons.
    GlobalParams *params = GlobalParams::instance();
    vexo::pc::UvcDevices::instance();
    vexo::pc::UvcDevUsageSource::install();

    // 12-13
    qInfo() << "Software version:" << GlobalParams::getSoftwareVersion();
    QCoreApplication::setApplicationVersion(GlobalParams::getSoftwareVersion());
    const QLocale locale;
    qDebug().noquote() << "Country =" << QLocale::countryToString(locale.country()) << "; Language ="
                       << QLocale::languageToString(locale.language());

    // 14: a language never chosen follows the system; it is saved with the next save.
    if (params->getLanguageType() < 0)
        params->setLanguageType(languageForLocale());

    // 15: types carried by queued signals.
    vexo::pc::registerCameraStatusMetaType();
    vexo::pc::PkgDownloader::registerMetaType();

    // 16
    qInfo() << "Application dir path =" << QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    qInfo() << "Application name =" << QCoreApplication::applicationName();
    qInfo() << "GenericDataLocation =" << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    qInfo() << "AppDataLocation =" << QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    qInfo() << "AppConfigLocation =" << QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    qInfo() << "DownloadLocation =" << QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
}

} // namespace startup
