// zarvoctl upgrade and export-log: the upgrade worker on the chosen camera,
// with a progress bar on the terminal or one JSON result.
#include "ToolCommands.h"

#include "comm/GlobalParams.h"

#include "package/FirmwareManager.h"
#include "package/FirmwarePackage.h"
#include "platform/CameraPlatform.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "uvc/UvcPatchUpgrade.h"

#if __has_include("camera/VirtualCameras.h")
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "camera/VirtualCameras.h"
#define ZARVOCTL_HAS_SIMULATOR 1
#endif

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QThread>

namespace zarvoctl {

using vexo::pc::UvcDevice;
using vexo::pc::UvcPatchUpgrade;

namespace {

struct Outcome
{
    int value = -99;
    QString text;
};

void printResult(const QJsonObject &o)
{
    QTextStream(stdout) << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
}

int failWith(const QString &command, const QString &message)
{
    QTextStream(stderr) << "zarvoctl: " << command << ": " << message << '\n';
    return ExitFailed;
}

void drawBar(int percent)
{
    const int filled = qBound(0, percent, 100) * 30 / 100;
    QTextStream(stderr) << '\r' << '[' << QString(filled, QLatin1Char('#')) << QString(30 - filled, QLatin1Char('-'))
                        << "] " << qBound(0, percent, 100) << "%" << Qt::flush;
}

// Runs one task of the upgrade worker on the camera with dev's serial, with
// a registry of its own (the worker finds the camera again after every
// reboot there). dev is closed meanwhile and opened again afterwards.
Outcome runTask(UvcDevice &dev, UvcPatchUpgrade::UvcTaskType task, bool json)
{
    Outcome out;
    const QString sn = dev.getSn();
    dev.close();
    {
        vexo::pc::UvcDevices registry(nullptr, &vexo::pc::CameraPlatform::instance());
        registry.start();
        QElapsedTimer t;
        t.start();
        while (t.elapsed() < 20000) {
            const auto d = registry.findDevBySn(sn);
            if (d && d->isInited())
                break;
            QThread::msleep(20);
        }
        UvcPatchUpgrade worker(sn, task, nullptr, &registry);
        if (!worker.isValid()) {
            out.text = QStringLiteral("No Device Connected");
        } else {
            QEventLoop loop;
            const bool upgrade = task == UvcPatchUpgrade::UvcTaskUpgrade;
            QObject::connect(&worker, &UvcPatchUpgrade::progressUpdate, &loop,
                             [&out, json, upgrade](int v, const QString &queued) {
                // The queued copy of the text is released inside Qt, where
                // the thread sanitizer does not see that our reads end before
                // the worker frees the text; reading through a copy of our
                // own, released here, makes that order visible.
                const QString text = queued;
                // The opening notice (0 with a text) and the retry warnings
                // (-2) are for the user; the others are results.
                const bool notice = (upgrade && v == 0 && !text.isEmpty()) || v == -2;
                if (upgrade && !json) {
                    if (notice)
                        QTextStream(stderr) << '\n' << text << '\n';
                    if (v >= 0 && v <= 100)
                        drawBar(v);
                }
                if (notice)
                    return;
                out.value = v;
                if (!text.isEmpty())
                    out.text = text;
            });
            QObject::connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
            worker.start();
            loop.exec();
            QCoreApplication::processEvents();
            if (task == UvcPatchUpgrade::UvcTaskUpgrade && !json)
                QTextStream(stderr) << '\n';
        }
        registry.stop();
    }
    if (dev.open() == 0)
        dev.initDev();
    return out;
}

} // namespace

CameraAction prepareUpgrade(const QStringList &args, QString &error)
{
    QString package;
    bool cloud = false;
    for (int i = 0; i < args.size(); ++i) {
        if (args.at(i) == QLatin1String("--package") && i + 1 < args.size())
            package = args.at(++i);
        else if (args.at(i) == QLatin1String("--cloud"))
            cloud = true;
        else {
            error = QStringLiteral("unexpected ") + args.at(i);
            return nullptr;
        }
    }
    if (cloud && !package.isEmpty()) {
        error = QStringLiteral("--package and --cloud exclude each other");
        return nullptr;
    }
    return [package, cloud](UvcDevice &dev, bool json) -> int {
        const QString command = QStringLiteral("upgrade");
        vexo::pc::FirmwareManager *manager = vexo::pc::FirmwareManager::instance();
        manager->setChosenPackage(QString());
        if (cloud) {
            // The newest firmware of this camera from the cloud service into
            // the firmware folder, where the upgrade picks the newest package.
            const QJsonObject devInfo = dev.getDevInfo();
            if (devInfo.isEmpty())
                return failWith(command, QStringLiteral("the camera does not describe its firmware"));
            vexo::pc::GlobalParams::instance()->setDevFirmwareInfo(devInfo);
            QDir().mkpath(UvcPatchUpgrade::firmwareDir());
            const FetchResult fetched =
                fetchPackage(vexo::pc::GlobalParams::instance()->getDevFirmwareInfo(), UvcPatchUpgrade::firmwareDir());
            if (!fetched.ok)
                return failWith(command, fetched.error);
        }
        if (!package.isEmpty()) {
            const QString platform = dev.getInfo().value(QStringLiteral("platform")).toString();
            QDir().mkpath(UvcPatchUpgrade::firmwareDir());
            // Why a file is no package is logged; the user gets one clear line.
            holdLogLines(true);
            const QString extracted =
                vexo::pc::FirmwarePackage::extractFirmware(package, platform, UvcPatchUpgrade::firmwareDir());
            const bool valid = !extracted.isEmpty() && vexo::pc::FirmwarePackage(extracted).verifyFirmware();
            holdLogLines(false);
            if (!valid)
                return failWith(command, QStringLiteral("Firmware Invalid: Please select valid firmware package and try again!"));
            manager->init(dev.getInfo());
            manager->setChosenPackage(QFileInfo(extracted).fileName());
        }
        const Outcome o = runTask(dev, UvcPatchUpgrade::UvcTaskUpgrade, json);
        const bool ok = o.value == 100;
        if (json) {
            QJsonObject r;
            r.insert(QStringLiteral("command"), command);
            r.insert(QStringLiteral("ok"), ok);
            r.insert(QStringLiteral("progress"), o.value);
            r.insert(QStringLiteral("message"), o.text);
            r.insert(QStringLiteral("version"), dev.getVersion());
            printResult(r);
        } else if (ok) {
            QTextStream(stdout) << o.text << " version " << dev.getVersion() << '\n';
        }
        return ok ? int(ExitOk) : failWith(command, o.text.isEmpty() ? QStringLiteral("upgrade failed") : o.text);
    };
}

CameraAction prepareExportLog(const QStringList &args, QString &error)
{
    if (args.size() > 1) {
        error = QStringLiteral("takes at most one file name");
        return nullptr;
    }
    const QString target = args.value(0);
    return [target](UvcDevice &dev, bool json) -> int {
        const QString command = QStringLiteral("export-log");
        const Outcome o = runTask(dev, UvcPatchUpgrade::UvcTaskExtractLog, json);
        if (o.value != 1)
            return failWith(command, o.text.isEmpty() ? QStringLiteral("Extract log failed, please try again later!") : o.text);
        QString path = o.text;
        if (!target.isEmpty()) {
            QFile::remove(target);
            if (!QFile::copy(path, target))
                return failWith(command, QStringLiteral("cannot write ") + target);
            path = target;
        }
        if (json) {
            QJsonObject r;
            r.insert(QStringLiteral("command"), command);
            r.insert(QStringLiteral("ok"), true);
            r.insert(QStringLiteral("file"), path);
            r.insert(QStringLiteral("size"), QFileInfo(path).size());
            printResult(r);
        } else {
            QTextStream(stdout) << path << '\n';
        }
        return ExitOk;
    };
}

QString installedImageSha256(const QString &serial)
{
#ifdef ZARVOCTL_HAS_SIMULATOR
    const auto backend = vexo::pc::VirtualCameras::backend();
    const auto cam = backend ? backend->cameraBySerial(serial) : nullptr;
    if (cam)
        return QString::fromLatin1(cam->installedSha256().toHex());
#else
    Q_UNUSED(serial)
#endif
    return QString();
}

} // namespace zarvoctl
