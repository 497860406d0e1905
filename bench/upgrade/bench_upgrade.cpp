// The full upgrade of a zarvo camera (main system -> updater -> patched
// updater -> patched main system -> main system) with production timing,
// against a virtual camera. It prints the wall time, the sum of the fixed
// waits the worker made on that path and the overhead above them, where the
// overhead went by kind of work, and the machine's load around the run;
// nothing fails on timing.
//
//   bench_upgrade [package-MiB]   (default 32)
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "comm/CameraModel.h"
#include "comm/TimeScale.h"
#include "package/FirmwareBuilder.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"
#include "uvc/UvcPatchUpgrade.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace vexo::pc;

namespace {

QByteArray loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("unknown");
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() >= 3 ? parts.at(0) + ' ' + parts.at(1) + ' ' + parts.at(2) : QByteArrayLiteral("unknown");
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    QCoreApplication::setApplicationName(QStringLiteral("bench_upgrade"));
    if (!qEnvironmentVariableIsSet("BENCH_VERBOSE"))
        qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false;*.warning=false");
    const int mib = argc > 1 ? qMax(1, atoi(argv[1])) : 32;
    TimeScale::setFactor(1.0);
    CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});

    CameraPlatform platform;
    auto backend = std::make_shared<VirtualCameraBackend>();
    auto cam = std::make_shared<VirtualCamera>(VirtualCamera::Model::Zarvo, 0);
    const CameraModel &m = VirtualCamera::cameraModel(cam->model());
    FirmwareBuilder::Description d;
    d.product = m.productName();
    d.platform = m.platformName();
    d.size = qint64(mib) * 1024 * 1024;
    d.seed = 11;
    d.version = QStringLiteral("1.0.3.0");
    QElapsedTimer prep;
    prep.start();
    cam->setInstalledImage(FirmwareBuilder::syntheticPackage(d));
    d.version = QStringLiteral("1.0.4.2");
    d.revision = 1;
    const QByteArray pkg = FirmwareBuilder::syntheticPackage(d);
    const QString dir = UvcPatchUpgrade::firmwareDir();
    QDir().mkpath(dir);
    QFile f(dir + FirmwareBuilder::fileName(d, d.platform));
    if (!f.open(QIODevice::WriteOnly) || f.write(pkg) != pkg.size()) {
        std::fprintf(stderr, "cannot write the package\n");
        return 1;
    }
    f.close();
    std::printf("packages of %d MiB made in %lld ms\n", mib, static_cast<long long>(prep.elapsed()));

    backend->addCamera(cam);
    platform.addBackend(backend);
    UvcDevices registry(nullptr, &platform);
    registry.start();
    QElapsedTimer wait;
    wait.start();
    while (!(registry.findDevBySn(cam->serial()) && registry.findDevBySn(cam->serial())->isInited())) {
        if (wait.elapsed() > 20000) {
            std::fprintf(stderr, "the camera was not found\n");
            return 1;
        }
        QThread::msleep(20);
    }

    int last = -99;
    qint64 waited = 0;
    qint64 took = 0;
    qint64 patching = 0;
    QMap<QString, UvcPatchUpgrade::Spent> spent;
    const QByteArray loadBefore = loadAverage();
    {
        UvcPatchUpgrade worker(cam->serial(), UvcPatchUpgrade::UvcTaskUpgrade, nullptr, &registry);
        QEventLoop loop;
        QObject::connect(&worker, &UvcPatchUpgrade::progressUpdate, &loop, [&last](int v, const QString &) {
            if (v != -2)
                last = v;
        });
        QObject::connect(&worker, &QThread::finished, &loop, &QEventLoop::quit);
        worker.start();
        loop.exec();
        QCoreApplication::processEvents();
        waited = worker.waitedMs();
        took = worker.tookMs();
        patching = worker.patchMs();
        spent = worker.spent();
    }
    registry.stop();
    const QByteArray loadAfter = loadAverage();

    const bool right = cam->installedSha256() == QCryptographicHash::hash(pkg, QCryptographicHash::Sha256);
    const qint64 overhead = took - waited;
    std::printf("upgrade of a %d MiB package: %s, installed image %s\n", mib, last == 100 ? "success" : "FAILED",
                right ? "equals the package" : "DIFFERS");
    std::printf("wall time            %8lld ms\n", static_cast<long long>(took));
    std::printf("fixed waits (sleeps) %8lld ms\n", static_cast<long long>(waited));
    std::printf("overhead             %8lld ms = %.1f %% of the waits (target below 10 %%)\n",
                static_cast<long long>(overhead), waited > 0 ? 100.0 * double(overhead) / double(waited) : 0.0);
    std::printf("  of which patches   %8lld ms (bsdiff of the camera's image against the package)\n",
                static_cast<long long>(patching));
    std::printf("  the rest           %8lld ms = %.1f %% of the waits (transfers, reopening, checks)\n",
                static_cast<long long>(overhead - patching),
                waited > 0 ? 100.0 * double(overhead - patching) / double(waited) : 0.0);
    std::printf("where the time went  %8s    %8s\n", "working", "in all");
    qint64 booked = 0;
    for (auto it = spent.cbegin(); it != spent.cend(); ++it) {
        std::printf("  %-18s %8lld ms %8lld ms\n", qPrintable(it.key()), static_cast<long long>(it->busyMs),
                    static_cast<long long>(it->wallMs));
        booked += it->busyMs;
    }
    std::printf("  %-18s %8lld ms (commands, state polls, video start)\n", "other",
                static_cast<long long>(overhead - booked));
    std::printf("load average (1, 5, 15 min) before %s, after %s\n", loadBefore.constData(), loadAfter.constData());
    return last == 100 && right ? 0 : 1;
}
