#include "camera/VirtualCameras.h"

#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "platform/CameraBackend.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"

#include <QDebug>
#include <QFile>

#include "comm/CameraModel.h"

#include <mutex>

namespace vexo {
namespace pc {

namespace {

std::mutex &installLock()
{
    static std::mutex lock;
    return lock;
}

std::shared_ptr<VirtualCameraBackend> &installed()
{
    static std::shared_ptr<VirtualCameraBackend> backend;
    return backend;
}

const VirtualCamera::Model Rotation[] = {
    VirtualCamera::Model::Zarvo,
    VirtualCamera::Model::Zarvo4K,
    VirtualCamera::Model::Nimo,
    VirtualCamera::Model::Unknown,
};

// -1 when the arguments say nothing, 0 when they refuse, N otherwise.
int countFromArguments(const QStringList &arguments)
{
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--no-simulate"))
            return 0;
        if (a == QLatin1String("--simulate") && i + 1 < arguments.size())
            return qMax(0, arguments.at(i + 1).toInt());
        if (a.startsWith(QLatin1String("--simulate=")))
            return qMax(0, a.midRef(11).toInt());
    }
    return -1;
}

} // namespace

std::shared_ptr<VirtualCameraBackend> VirtualCameras::install(int count)
{
    std::lock_guard<std::mutex> locker(installLock());
    auto &backend = installed();
    if (!backend) {
        backend = std::make_shared<VirtualCameraBackend>();
        CameraPlatform::instance().addBackend(backend);
    }
    const int first = int(backend->cameras().size());
    const SimulatedFaults faults = SimulatedFaults::fromEnvironment();
    const QString fault = qEnvironmentVariable("ZARVO_SIMULATE_FAULT");
    VirtualUpdater::Faults updaterFaults;
    if (!VirtualUpdater::Faults::parse(fault, &updaterFaults))
        qWarning() << "ZARVO_SIMULATE_FAULT: a transfer fault is malformed:" << fault;
    QByteArray firmware;
    const QString firmwarePath = qEnvironmentVariable("ZARVO_SIMULATE_FIRMWARE");
    if (!firmwarePath.isEmpty()) {
        QFile f(firmwarePath);
        if (f.open(QIODevice::ReadOnly))
            firmware = f.readAll();
        else
            qWarning() << "ZARVO_SIMULATE_FIRMWARE: cannot read" << firmwarePath;
    }
    for (int i = 0; i < count; ++i) {
        const int index = first + i;
        auto camera = backend->createCamera(int(Rotation[index % 4]), index);
        if (faults.has(QStringLiteral("mute-after")))
            camera->muteAfterFrames(faults.integer(QStringLiteral("mute-after"), -1));
        if (faults.has(QStringLiteral("capture-busy")))
            camera->setCaptureBusy(true);
        if (!faults.isEmpty())
            camera->setTransferFaults(faults);
        camera->setUpdaterFaults(updaterFaults);
        // The first camera runs the given package: its platform and version.
        if (index == 0 && firmware.size() >= 256) {
            const int platform = CameraModel::platformType(QString::fromLatin1(firmware.mid(72, 16).constData()));
            if (platform >= 0)
                camera->setInfoByte(2, quint8(platform));
            camera->setInstalledImage(firmware);
        }
    }
    if (count > 0)
        qInfo() << "Virtual cameras installed:" << count;
    return backend;
}

std::shared_ptr<VirtualCameraBackend> VirtualCameras::backend()
{
    std::lock_guard<std::mutex> locker(installLock());
    return installed();
}

void VirtualCameras::uninstall()
{
    std::lock_guard<std::mutex> locker(installLock());
    auto &backend = installed();
    if (backend)
        CameraPlatform::instance().removeBackend(backend);
    backend.reset();
}

bool VirtualCameras::realCameraPresent()
{
    for (const auto &backend : CameraPlatform::instance().backends()) {
        if (backend->isSimulated())
            continue;
        VideoDeviceList devices;
        if (!backend->listDevices(devices))
            continue;
        for (const VideoDeviceInfo &d : qAsConst(devices)) {
            if (CameraFamily::instance().isFamilyCamera(d))
                return true;
        }
    }
    return false;
}

int VirtualCameras::installFromEnvironment(const QStringList &arguments, bool whenNoCamera)
{
    int count = countFromArguments(arguments);
    if (count < 0) {
        const QString env = qEnvironmentVariable("ZARVO_SIMULATE").trimmed();
        if (env.compare(QLatin1String("auto"), Qt::CaseInsensitive) == 0) {
            whenNoCamera = true;
        } else if (!env.isEmpty()) {
            count = qMax(0, env.toInt());
        }
    }
    if (count < 0)
        count = (whenNoCamera && !realCameraPresent()) ? 2 : 0;
    if (count > 0)
        install(count);
    return count;
}

} // namespace pc
} // namespace vexo
