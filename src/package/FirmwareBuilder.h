#pragma once

#include "comm/CameraModel.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace vexo {
namespace pc {

// Writes firmware packages: from explicit modules, or synthetic ones whose
// modules hold firmware-like pseudo-random content (code words with literal
// pointers, strings, pointer tables, padding, incompressible blobs),
// deterministic for a seed. A "revision" of a synthetic package keeps every
// module's length and edits its content the way a rebuild does: inserted
// and removed code, pointers into moved code shifted, blobs replaced. The
// command-line tool, the tests, the virtual camera and the benchmarks make
// their packages here, so nothing depends on fixtures that cannot be
// regenerated.
class FirmwareBuilder final
{
public:
    FirmwareBuilder() = delete;

    struct Module
    {
        quint32 id = 0;
        QByteArray data;
    };

    struct Description
    {
        QString product = CameraModel::productName(DevProductZarvo);
        QString branch = QStringLiteral("OA_E");
        QString platform = CameraModel::platformName(DevPlatformSSC336Q);
        QString status = QStringLiteral("release");
        QString version = QStringLiteral("1.0.3.0");
        qint8 socVersion = 0;
        quint32 seed = 1;      // content and carried-through header bytes
        int revision = 0;      // 0 = base content; n = n rounds of edits
        qint64 size = 2 * 1024 * 1024; // exact total size of the package
        bool withCamera = true; // module 1 (camera package) present
    };

    // A camera package ("AMAC") of the given camera modules, in order.
    static QByteArray cameraPackage(const QList<Module> &modules, quint32 seed);

    // A firmware package of the given device modules, in order. Header
    // fields from the description; its seed fills the bytes the program
    // carries through unchanged.
    static QByteArray firmwarePackage(const Description &desc, const QList<Module> &modules);

    // A complete synthetic package. Device modules 1 (camera package with
    // camera modules 0, 2, 3, 4 and the platform's updater file system 7 or
    // 10), 2 and 5; without the camera, device modules 2, 5 and 6. Empty
    // when the size is too small to hold them (below 64 KiB).
    static QByteArray syntheticPackage(const Description &desc);

    // Firmware-like content of one module, and its edited revisions.
    static QByteArray firmwareLikeData(quint64 seed, int size, int revision);

    // The conventional file name: product_branch_platform_version_status.bin
    // (platform "All" for a combined package).
    static QString fileName(const Description &desc, const QString &platform);

    // Four dotted numbers, each 0..255. False when the text is not one.
    static bool parseVersion(const QString &text, quint8 out[4]);
};

} // namespace pc
} // namespace vexo
