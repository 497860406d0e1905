// Figures of the device engine at production timing against virtual
// cameras. Nothing here fails on timing; it prints what it measured.
//
//   bench_device [requests] [seconds-per-idle-run]
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "comm/TimeScale.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/UvcDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

using namespace vexo::pc;

namespace {

double processCpuMs()
{
    timespec ts;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1000.0 + ts.tv_nsec / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5));
    return v[i];
}

std::unique_ptr<UvcDevice> openCamera(CameraPlatform &platform, const std::shared_ptr<VirtualCamera> &cam)
{
    DevDescription d;
    d.friendlyName = cam->friendlyName();
    d.devicePath = cam->devicePath();
    auto dev = std::make_unique<UvcDevice>(d, &platform, UvcDevice::DevModeUvc);
    if (dev->open() != 0 || !dev->initDev())
        return nullptr;
    return dev;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}%{if-critical}%{message}%{endif}"));
    const int requests = argc > 1 ? qMax(10, atoi(argv[1])) : 200;
    const int idleSeconds = argc > 2 ? qMax(1, atoi(argv[2])) : 3;
    TimeScale::setFactor(1.0);
    CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});

    CameraPlatform platform;
    auto backend = std::make_shared<VirtualCameraBackend>();
    platform.addBackend(backend);

    // Reference: how long one worker cycle (a 20 ms sleep) really takes here.
    QElapsedTimer t;
    t.start();
    const int refCycles = 50;
    for (int i = 0; i < refCycles; ++i)
        QThread::msleep(20);
    const double cycleMs = double(t.nsecsElapsed()) / 1e6 / refCycles;
    std::printf("reference: one worker cycle = %.2f ms (nominal 20 ms)\n", cycleMs);

    // Round trip of synchronous requests on one camera.
    auto cam = backend->createCamera(int(VirtualCamera::Model::Zarvo), 0);
    auto dev = openCamera(platform, cam);
    if (!dev) {
        std::printf("could not open the virtual camera\n");
        return 1;
    }
    std::vector<double> cycles;
    int failures = 0;
    for (int i = 0; i < requests; ++i) {
        auto f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetSystem, 16);
        QByteArray answer;
        t.restart();
        if (dev->sendMsgSync(f, answer) != UvcDevice::NoError)
            ++failures;
        cycles.push_back(double(t.nsecsElapsed()) / 1e6 / cycleMs);
    }
    std::printf("sync round trip over %d requests (%d failed): median %.2f cycles, p99 %.2f cycles, max %.2f cycles"
                " (median %.1f ms)\n",
                requests, failures, percentile(cycles, 0.5), percentile(cycles, 0.99),
                *std::max_element(cycles.begin(), cycles.end()), percentile(cycles, 0.5) * cycleMs);
    dev.reset();

    // Idle CPU: N open, initialised cameras with their workers polling.
    double baseline = 0.0;
    for (int n : {0, 1, 4, 8}) {
        std::vector<std::unique_ptr<UvcDevice>> devs;
        for (int i = 0; i < n; ++i) {
            auto c = backend->createCamera(int(VirtualCamera::Model::Zarvo), 100 + n * 10 + i);
            devs.push_back(openCamera(platform, c));
        }
        QThread::msleep(200);
        const double cpu0 = processCpuMs();
        t.restart();
        QThread::msleep(ulong(idleSeconds) * 1000);
        const double wallMs = double(t.nsecsElapsed()) / 1e6;
        const double cpuPercent = (processCpuMs() - cpu0) / wallMs * 100.0;
        if (n == 0)
            baseline = cpuPercent;
        std::printf("idle, %d open cameras: CPU %.3f %% of one core (%.3f %% over the empty process",
                    n, cpuPercent, cpuPercent - baseline);
        if (n > 0)
            std::printf(", %.3f %% per camera", (cpuPercent - baseline) / n);
        std::printf(")\n");
    }
    return 0;
}
