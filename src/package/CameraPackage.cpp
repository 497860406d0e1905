#include "package/CameraPackage.h"

#include "comm/Util.h"
#include "package/PackageFormat.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QFile>

namespace vexo {
namespace pc {

using namespace pkgfmt;

CameraPackage::CameraPackage(QFile *file, qint64 offset, qint64 size)
    : m_file(file), m_offset(offset), m_size(size)
{
}

quint32 CameraPackage::dataOffset() const
{
    return m_header.size() == kHeaderSize ? le32(m_header, kCamDataOffset) : 0;
}

quint32 CameraPackage::totalSize() const
{
    return m_header.size() == kHeaderSize ? le32(m_header, kCamTotalSize) : 0;
}

QByteArray CameraPackage::findModule(quint32 id) const
{
    return findHeader(m_moduleHeaders, id);
}

bool CameraPackage::verifyFirmware()
{
    m_verified = false;
    m_moduleHeaders.clear();
    if (!m_file || !m_file->isOpen()) {
        qCritical().noquote() << "There is no camera package in upgrade package";
        return false;
    }

    m_header = readAt(m_file, m_offset, kHeaderSize);
    if (m_header.isEmpty() || m_size < kHeaderSize) {
        qCritical().noquote() << "Package header error";
        return false;
    }
    if (!checkHeaderCrc(m_header))
        return false;
    const quint32 count = le32(m_header, kCamModuleCount);
    const quint32 dataOff = le32(m_header, kCamDataOffset);
    const quint32 total = le32(m_header, kCamTotalSize);
    // The camera package must lie inside module 1 and its headers before its
    // data; checked before anything is read at the offsets it names.
    if (le32(m_header, 0) != kCameraMagic || total > m_size || dataOff > total
        || qint64(count) >= qint64(dataOff) / kHeaderSize) {
        qCritical().noquote() << "Package header error";
        return false;
    }

    if (!checkMd5(Util::fileMd5Range(m_file, m_offset + dataOff, total - dataOff), m_header.mid(kCamMd5, 16)))
        return false;

    QList<QByteArray> headers;
    for (quint32 j = 0; j < count; ++j) {
        const QByteArray h = readAt(m_file, m_offset + qint64(kHeaderSize) * (j + 1), kHeaderSize);
        if (h.isEmpty()) {
            qCritical().noquote() << "Package header error";
            return false;
        }
        if (!checkHeaderCrc(h))
            return false;
        const quint64 modOffset = le32(h, kCamModOffset);
        const quint64 modLength = le32(h, kCamModLength);
        if (modOffset + modLength > total) {
            qCritical().noquote() << "Package header error";
            return false;
        }
        if (!checkMd5(Util::fileMd5Range(m_file, m_offset + qint64(modOffset), qint64(modLength)),
                      h.mid(kCamModMd5, 16)))
            return false;
        headers.append(h);
    }

    m_moduleHeaders = headers;
    qInfo().noquote() << "camera firmware verify successfully";
    m_verified = true;
    return true;
}

bool CameraPackage::generateCameraModule(const QString &outPath, QList<quint32> camIds,
                                         DevPlatformType platform)
{
    if (!m_file || !m_file->isOpen() || !m_verified) {
        qCritical().noquote() << "Please open package firmware and verify first";
        return false;
    }
    // The camera's main module always travels with whatever else is asked for.
    if (!camIds.contains(CAM_MDL_MAIN))
        camIds.append(CAM_MDL_MAIN);
    qDebug().noquote() << "generate camera package for platform" << int(platform) << camIds;

    QByteArray header = m_header;
    const quint32 count = quint32(camIds.size());
    const quint32 dataOff = (count + 1) * kHeaderSize;
    setLe32(header, kCamModuleCount, count);
    setLe32(header, kCamDataOffset, dataOff);

    QList<QByteArray> headers;
    QList<ModuleSource> sources;
    QCryptographicHash md5(QCryptographicHash::Md5);
    quint64 running = dataOff;
    for (const quint32 id : camIds) {
        QByteArray h = findModule(id);
        if (h.isEmpty()) {
            qCritical().noquote() << "Cannot find module with packet id =" << id;
            return false;
        }
        const ModuleSource src{m_file, m_offset + le32(h, kCamModOffset), le32(h, kCamModLength)};
        if (!placeModule(h, kCamModOffset, src, &running, &md5))
            return false;
        headers.append(h);
        sources.append(src);
    }
    header.replace(kCamMd5, 16, md5.result());
    setLe32(header, kCamTotalSize, quint32(running));
    updateHeaderCrc(header);
    return writePackage(outPath, header, headers, sources);
}

} // namespace pc
} // namespace vexo
