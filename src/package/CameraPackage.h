#pragma once

#include "comm/CameraModel.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QFile;

namespace vexo {
namespace pc {

// The camera package: the data of module 1 of a firmware package, itself a
// package of camera modules (header "AMAC", 256-byte camera module headers,
// module data). All its offsets are relative to its own start within the
// firmware file.
class CameraPackage final
{
public:
    // Camera module ids with a fixed role; other ids come from the packages.
    enum CAM_MDL_ID : quint32 {
        CAM_MDL_MAIN = 0,           // always carried in a generated camera package
        CAM_MDL_UGSYS_HI3516 = 7,   // updater file system of the Hi3516 platforms
        CAM_MDL_UGSYS_SSC33X = 10,  // updater file system of the SSC33x platforms
    };

    // file: the firmware package (not owned, must outlive this object);
    // offset and size: where module 1's data lies in it.
    CameraPackage(QFile *file, qint64 offset, qint64 size);

    // Header CRC, magic, MD5 of the camera data and every camera module's
    // header CRC and MD5.
    bool verifyFirmware();

    // Writes a camera package holding only the listed camera modules (0 is
    // appended when missing), in list order. Needs a verified package.
    bool generateCameraModule(const QString &outPath, QList<quint32> camIds,
                              DevPlatformType platform);

    bool isVerified() const { return m_verified; }
    qint64 offset() const { return m_offset; }
    const QByteArray &header() const { return m_header; }
    const QList<QByteArray> &moduleHeaders() const { return m_moduleHeaders; }
    quint32 dataOffset() const;
    quint32 totalSize() const;

    // The header of the camera module with that id, or an empty array.
    QByteArray findModule(quint32 id) const;

private:
    QFile *m_file = nullptr;
    qint64 m_offset = 0;
    qint64 m_size = 0;
    QByteArray m_header;
    QList<QByteArray> m_moduleHeaders;
    bool m_verified = false;
};

} // namespace pc
} // namespace vexo
