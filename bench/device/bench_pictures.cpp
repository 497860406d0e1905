// Picture transfers at production timing against a virtual camera: the time
// of an upload and a download of one file (384 KiB unless told), set
// against the sleeps the transfer protocol itself prescribes. Nothing here
// fails on timing; it prints what it measured.
//
//   bench_pictures [bytes] [rounds]
#include "camera/VirtualCamera.h"
#include "camera/VirtualCameraBackend.h"
#include "comm/TimeScale.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/PictureProtocol.h"
#include "uvc/UvcDevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

using namespace vexo::pc;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.info=false");
    const int bytes = argc > 1 ? qBound(1, atoi(argv[1]), int(pic::MaxDownloadSize) - 1) : 384 * 1024;
    const int rounds = argc > 2 ? qMax(1, atoi(argv[2])) : 5;
    TimeScale::setFactor(1.0);
    CameraFamily::instance().setVendorIds({0x3A5F, 0x3A60});

    CameraPlatform platform;
    auto backend = std::make_shared<VirtualCameraBackend>();
    platform.addBackend(backend);
    auto cam = backend->createCamera(int(VirtualCamera::Model::Zarvo), 0);
    DevDescription d;
    d.friendlyName = cam->friendlyName();
    d.devicePath = cam->devicePath();
    UvcDevice dev(d, &platform, UvcDevice::DevModeUvc);
    if (dev.open() != 0 || !dev.initDev()) {
        std::fprintf(stderr, "bench_pictures: the virtual camera did not open\n");
        return 1;
    }

    QTemporaryDir dir;
    const QString up = dir.filePath(QStringLiteral("up.bin"));
    const QString down = dir.filePath(QStringLiteral("down.bin"));
    QByteArray data(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        data[i] = char((i * 131) ^ (i >> 7));
    QFile f(up);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        return 1;
    f.close();

    // Sleeps the protocol prescribes: upload 10 ms after the request, 20 ms
    // before every 1000th piece and at least one 100 ms wait for the
    // camera's check; a picture download none.
    const int pieces = pic::pieceCount(bytes);
    const double upSleeps = 10 + 20 * (pieces / 1000) + 100;
    std::vector<double> upMs, downMs;
    for (int r = 0; r < rounds; ++r) {
        QFile::remove(down);
        QElapsedTimer t;
        t.start();
        if (!dev.fileUploadByUvc(up, pic::remotePicturePath(2)))
            return 1;
        upMs.push_back(t.nsecsElapsed() / 1e6);
        t.restart();
        if (dev.fileDownloadByUvc(down, pic::remotePicturePath(2), false) != 0)
            return 1;
        downMs.push_back(t.nsecsElapsed() / 1e6);
    }
    QFile back(down);
    const bool same = back.open(QIODevice::ReadOnly) && back.readAll() == data;
    std::sort(upMs.begin(), upMs.end());
    std::sort(downMs.begin(), downMs.end());
    const double upMedian = upMs[upMs.size() / 2];
    const double downMedian = downMs[downMs.size() / 2];
    std::printf("picture transfer of %d bytes (%d pieces of 51), %d rounds, production timing\n", bytes, pieces, rounds);
    std::printf("  upload   median %8.1f ms  min %8.1f  max %8.1f  prescribed sleeps %6.1f ms  above them %7.1f ms\n",
                upMedian, upMs.front(), upMs.back(), upSleeps, upMedian - upSleeps);
    std::printf("  download median %8.1f ms  min %8.1f  max %8.1f  prescribed sleeps %6.1f ms  above them %7.1f ms\n",
                downMedian, downMs.front(), downMs.back(), 0.0, downMedian);
    std::printf("  %.0f KiB/s up, %.0f KiB/s down; the copy that came back is %s\n", bytes / 1024.0 / (upMedian / 1000),
                bytes / 1024.0 / (downMedian / 1000), same ? "identical" : "DIFFERENT");
    dev.close();
    return same ? 0 : 1;
}
