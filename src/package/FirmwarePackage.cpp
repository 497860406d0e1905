#include "package/FirmwarePackage.h"

#include "comm/CameraModel.h"
#include "comm/Util.h"
#include "package/CameraPackage.h"
#include "package/PackageFormat.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

namespace vexo {
namespace pc {

using namespace pkgfmt;

namespace {

const QString kUgsysPrefix = QStringLiteral("Ugsys_");

// The platform a generated package is meant for, from the names in its path.
DevPlatformType platformFromPath(const QString &path)
{
    for (DevPlatformType t : {DevPlatformSSC336Q, DevPlatformSSC339G, DevPlatformHi3516CV500}) {
        if (path.contains(CameraModel::platformName(t)))
            return t;
    }
    return DevPlatformHi3516DV300;
}

} // namespace

FirmwarePackage::FirmwarePackage(const QString &path, bool ugsys)
    : m_file(path), m_path(path), m_ugsys(ugsys)
{
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::ExistingOnly))
        qWarning().noquote() << "Open file failed:" << path << m_file.errorString();
}

FirmwarePackage::~FirmwarePackage() = default;

QString FirmwarePackage::product() const
{
    return m_header.size() == kHeaderSize ? cString(m_header, kFwProduct, kNameFieldSize) : QString();
}

QString FirmwarePackage::branch() const
{
    return m_header.size() == kHeaderSize ? cString(m_header, kFwBranch, kNameFieldSize) : QString();
}

QString FirmwarePackage::platform() const
{
    return m_header.size() == kHeaderSize ? cString(m_header, kFwPlatform, kNameFieldSize)
                                          : QString();
}

QString FirmwarePackage::status() const
{
    return m_header.size() == kHeaderSize ? cString(m_header, kFwStatus, kNameFieldSize) : QString();
}

QString FirmwarePackage::version() const
{
    return m_header.size() == kHeaderSize ? versionString(m_header) : QString();
}

quint32 FirmwarePackage::versionValue() const
{
    return m_header.size() == kHeaderSize ? le32(m_header, kFwVersion) : 0;
}

qint8 FirmwarePackage::socVersion() const
{
    return m_header.size() == kHeaderSize ? qint8(m_header.at(kFwSocVersion)) : 0;
}

quint32 FirmwarePackage::totalSize() const
{
    return m_header.size() == kHeaderSize ? le32(m_header, kFwTotalSize) : 0;
}

quint32 FirmwarePackage::dataOffset() const
{
    return m_header.size() == kHeaderSize ? le32(m_header, kFwDataOffset) : 0;
}

int FirmwarePackage::releaseState() const
{
    const QString s = status();
    if (s == QLatin1String("release"))
        return StateRelease;
    if (s == QLatin1String("test"))
        return StateTest;
    if (s == QLatin1String("debug"))
        return StateDebug;
    return StateOther;
}

QString FirmwarePackage::ugsysPath() const
{
    const QFileInfo info(m_path);
    return info.dir().filePath(kUgsysPrefix + info.fileName());
}

QByteArray FirmwarePackage::findModule(quint32 id) const
{
    return findHeader(m_moduleHeaders, id);
}

bool FirmwarePackage::verifyFirmware()
{
    m_verified = false;
    m_moduleHeaders.clear();
    m_camera.reset();

    if (!m_file.isOpen()) {
        qCritical().noquote() << "Open file failed:" << m_path;
        return false;
    }
    m_header = readAt(&m_file, 0, kHeaderSize);
    if (m_header.isEmpty()) {
        qCritical().noquote() << "Package header error";
        return false;
    }

    // The name is checked first: a package that was renamed or belongs to
    // another product is refused before any digest is computed.
    const QString fileName = QFileInfo(m_path).fileName();
    const QString prefix = (m_ugsys ? kUgsysPrefix : QString()) + product() + QLatin1Char('_')
                           + branch() + QLatin1Char('_') + platform();
    if (!fileName.startsWith(prefix)) {
        qCritical().noquote() << "File name invalid:" << fileName;
        return false;
    }
    if (!fileName.contains(version())) {
        qCritical().noquote() << "Version in file name:" << fileName;
        qCritical().noquote() << "Version in pkg header:" << version();
        return false;
    }

    if (!checkHeaderCrc(m_header))
        return false;
    const qint64 fileSize = m_file.size();
    const quint32 count = le32(m_header, kFwModuleCount);
    const quint32 dataOff = dataOffset();
    if (le32(m_header, 0) != kFirmwareMagic || qint64(totalSize()) != fileSize
        || dataOff > totalSize() || qint64(count) >= qint64(dataOff) / kHeaderSize) {
        qCritical().noquote() << "Package header error";
        return false;
    }

    if (!checkMd5(Util::fileMd5(&m_file, dataOff), m_header.mid(kFwMd5, 16)))
        return false;

    QList<QByteArray> headers;
    std::unique_ptr<CameraPackage> camera;
    for (quint32 i = 0; i < count; ++i) {
        const QByteArray h = readAt(&m_file, qint64(kHeaderSize) * (i + 1), kHeaderSize);
        if (h.isEmpty()) {
            qCritical().noquote() << "Package header error";
            return false;
        }
        if (!checkHeaderCrc(h))
            return false;
        const quint64 offset = le32(h, kModOffset);
        const quint64 length = le32(h, kModLength);
        if (offset + length > quint64(fileSize)) {
            qCritical().noquote() << "Package header error";
            return false;
        }
        const quint32 dataCrc = length == 0 ? 0u : Util::fileCrc32(&m_file, qint64(offset),
                                                                    qint64(length));
        if (dataCrc != le32(h, kModCrc)) {
            qCritical().noquote() << "crc32 check failed for package header:" << le32(h, kModCrc) << " vs"
                        << dataCrc;
            return false;
        }
        headers.append(h);
        if (le32(h, kModId) == DEV_ID_CAMERA && !camera)
            camera.reset(new CameraPackage(&m_file, qint64(offset), qint64(length)));
    }
    m_moduleHeaders = headers;

    if (camera && !camera->verifyFirmware())
        return false;
    m_camera = std::move(camera);
    m_verified = true;
    return true;
}

bool FirmwarePackage::generateFwPackage(const QList<quint32> &devIds,
                                        const QList<quint32> &camIds, const QString &outPath)
{
    if (!m_verified) {
        qCritical().noquote() << "Please verify firmware first by calling verifyFirmware()";
        return false;
    }

    const QString camTemp = outPath + QStringLiteral(".cam_temp");
    const bool newCamera = !camIds.isEmpty() && devIds.contains(DEV_ID_CAMERA);
    qint64 camSize = 0;
    QFile camFile(camTemp);
    if (newCamera) {
        if (!m_camera
            || !m_camera->generateCameraModule(camTemp, camIds, platformFromPath(outPath))) {
            qCritical().noquote() << "generateCameraModule camera package failed";
            return false;
        }
        if (!camFile.open(QIODevice::ReadOnly)) {
            qCritical().noquote() << "Open file failed:" << camTemp;
            return false;
        }
        camSize = camFile.size();
        qInfo().noquote() << "Camera package size =" << camSize;
    }

    QByteArray header = m_header;
    const quint32 dataOff = quint32(devIds.size() + 1) * kHeaderSize;
    setLe32(header, kFwDataOffset, dataOff);
    setLe32(header, kFwModuleCount, quint32(devIds.size()));

    QList<QByteArray> headers;
    QList<ModuleSource> sources;
    QCryptographicHash md5(QCryptographicHash::Md5);
    quint64 running = dataOff;
    for (const quint32 id : devIds) {
        QByteArray h = findModule(id);
        if (h.isEmpty()) {
            qCritical().noquote() << "Cannot find module with device id =" << id;
            return false;
        }
        ModuleSource src{&m_file, qint64(le32(h, kModOffset)), qint64(le32(h, kModLength))};
        if (id == DEV_ID_CAMERA && newCamera) {
            src = ModuleSource{&camFile, 0, camSize};
            setLe32(h, kModLength, quint32(camSize));
            setLe32(h, kModCrc, Util::fileCrc32(&camFile, 0, 0));
            h.replace(kModMd5, 16, Util::fileMd5(&camFile, 0));
        }
        if (!placeModule(h, kModOffset, src, &running, &md5))
            return false;
        headers.append(h);
        sources.append(src);
    }
    setLe32(header, kFwTotalSize, quint32(running));
    header.replace(kFwMd5, 16, md5.result());
    updateHeaderCrc(header);
    if (!writePackage(outPath, header, headers, sources))
        return false;
    if (newCamera) {
        camFile.close();
        QFile::remove(camTemp);
    }
    return true;
}

bool FirmwarePackage::generateUgsysFwPackage()
{
    if (!m_verified) {
        qCritical().noquote() << "Please verify firmware first by calling verifyFirmware()";
        return false;
    }
    if (m_ugsys) {
        qInfo().noquote() << "Current package is already used for ugsys";
        return true;
    }
    const QList<quint32> devIds{DEV_ID_CAMERA};
    const quint32 ugfs = CameraModel::isSsc33x(platform()) ? CameraPackage::CAM_MDL_UGSYS_SSC33X
                                              : CameraPackage::CAM_MDL_UGSYS_HI3516;
    const QList<quint32> camIds{CameraPackage::CAM_MDL_MAIN, ugfs};
    const QString outPath = ugsysPath();
    if (!generateFwPackage(devIds, camIds, outPath)) {
        qCritical().noquote() << "Generate package failed: " << outPath;
        return false;
    }
    return true;
}

bool FirmwarePackage::generateFwPatchHead(const QString &outPath, QList<quint32> &splitOffsets)
{
    splitOffsets.clear();
    if (!m_verified) {
        qCritical().noquote() << "Please verify firmware first by calling verifyFirmware()";
        return false;
    }
    if (!m_camera) {
        qCritical().noquote() << "camera fw does not exist";
        return false;
    }

    const quint32 dataOff = dataOffset();
    if (!m_file.seek(0)) {
        qCritical().noquote() << "seek file failed" << m_path << m_file.errorString();
        return false;
    }
    QByteArray head = m_file.read(dataOff);
    if (head.size() != int(dataOff)) {
        qCritical().noquote() << "read file failed" << m_path << m_file.errorString();
        return false;
    }

    for (int i = 0; i < m_moduleHeaders.size(); ++i) {
        QByteArray h = m_moduleHeaders.at(i);
        qint64 offset = le32(h, kModOffset);
        qint64 length = le32(h, kModLength);
        // The camera package contributes only its headers: the camera fills
        // in its installed module data itself.
        if (le32(h, kModId) == DEV_ID_CAMERA && offset == m_camera->offset()) {
            offset = m_camera->offset();
            length = m_camera->dataOffset();
        }
        if (!m_file.seek(offset)) {
            qCritical().noquote() << "seek file failed" << m_path << m_file.errorString();
            return false;
        }
        const QByteArray content = m_file.read(length);
        if (content.size() != length) {
            qCritical().noquote() << "read file failed" << m_path << m_file.errorString();
            return false;
        }
        setLe32(h, kModHeadOffset, quint32(head.size()));
        setLe32(h, kModHeadLength, quint32(length));
        updateHeaderCrc(h);
        head.replace(kHeaderSize * (i + 1), kHeaderSize, h);
        head.append(content);
    }

    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical().noquote() << "open file failed:" << outPath << out.errorString();
        return false;
    }
    if (out.write(head) != head.size() || !out.flush()) {
        qCritical().noquote() << "write file failed:" << outPath << out.errorString();
        return false;
    }
    out.close();

    const quint32 camDataOff = m_camera->dataOffset();
    for (const QByteArray &h : m_camera->moduleHeaders()) {
        const quint32 offset = le32(h, kCamModOffset);
        if (offset != camDataOff)
            splitOffsets.append(quint32(m_camera->offset()) + offset);
    }
    splitOffsets.append(totalSize());
    return true;
}

bool FirmwarePackage::extractUpdaterfs(const QString &outPath)
{
    if (!m_verified) {
        qCritical().noquote() << "Please verify firmware first by calling verifyFirmware()";
        return false;
    }
    const QString pf = platform();
    if (!CameraModel::isSsc33x(pf) && !CameraModel::isHi3516(pf)) {
        qCritical().noquote() << "Only support Hi3516DV300, Hi3516CV500, SSC336Q, SSC339G at present";
        return false;
    }
    const quint32 id = CameraModel::isSsc33x(pf) ? CameraPackage::CAM_MDL_UGSYS_SSC33X
                                    : CameraPackage::CAM_MDL_UGSYS_HI3516;
    const QByteArray h = m_camera ? m_camera->findModule(id) : QByteArray();
    if (h.isEmpty()) {
        qCritical().noquote() << "Cannot find updaterfs";
        return false;
    }
    const qint64 offset = m_camera->offset() + le32(h, kCamModOffset);
    const qint64 length = le32(h, kCamModLength);

    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical().noquote() << "Open file failed:" << outPath;
        return false;
    }
    const bool ok = copyRange(&m_file, offset, length, &out) && out.flush();
    out.close();
    if (!ok) {
        qCritical().noquote() << "Write file failed:" << outPath;
        return false;
    }
    return true;
}

QString FirmwarePackage::extractFirmware(const QString &pkgPath, const QString &platform,
                                         const QString &outDir)
{
    const QFileInfo info(pkgPath);
    if (!info.exists()) {
        qCritical().noquote() << "File does not exist:" << pkgPath;
        return {};
    }
    const QString fileName = info.fileName();

    // Already the package of one platform: hand over a copy.
    if (fileName.contains(platform)) {
        const QString dst = QDir(outDir).filePath(fileName);
        if (QFileInfo(dst).absoluteFilePath() == info.absoluteFilePath())
            return dst;
        QFile::remove(dst);
        if (!QFile::copy(pkgPath, dst)) {
            qCritical().noquote() << "Open output file failed:" << dst;
            return {};
        }
        return dst;
    }

    QFile file(pkgPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qCritical().noquote() << "File does not exist:" << pkgPath;
        return {};
    }
    const qint64 fileSize = file.size();
    qint64 start = 0;
    while (start < fileSize) {
        if (!file.seek(start)) {
            qCritical().noquote() << "seek error";
            return {};
        }
        const QByteArray h = file.read(kHeaderSize);
        if (h.size() != kHeaderSize) {
            qCritical().noquote() << "read error";
            return {};
        }
        if (!checkHeaderCrc(h))
            return {};
        const qint64 total = le32(h, kFwTotalSize);
        // A total below one header would never move the walk forward.
        if (le32(h, 0) != kFirmwareMagic || total < kHeaderSize || start + total > fileSize) {
            qCritical().noquote() << "Package header error or size error";
            return {};
        }
        const QString prefix = cString(h, kFwProduct, kNameFieldSize) + QLatin1Char('_')
                               + cString(h, kFwBranch, kNameFieldSize) + QLatin1Char('_');
        if (!fileName.startsWith(prefix + QLatin1String("All"))) {
            qCritical().noquote() << "File name invalid:" << fileName;
            return {};
        }
        const QString version = versionString(h);
        if (!fileName.contains(version)) {
            qCritical().noquote() << "Version in file name:" << fileName;
            qCritical().noquote() << "Version in pkg header:" << version;
            return {};
        }
        if (cString(h, kFwPlatform, kNameFieldSize) == platform) {
            const QString outName = prefix + platform + fileName.mid(prefix.size() + 3);
            const QString dst = QDir(outDir).filePath(outName);
            QFile out(dst);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
                qCritical().noquote() << "Open output file failed:" << dst;
                return {};
            }
            if (!file.seek(start)) {
                qCritical().noquote() << "seek error";
                return {};
            }
            qint64 left = total;
            while (left > 0) {
                const QByteArray block = file.read(qMin<qint64>(left, 1024 * 1024));
                if (block.isEmpty()) {
                    qCritical().noquote() << "read error";
                    return {};
                }
                if (out.write(block) != block.size()) {
                    qCritical().noquote() << "Open output file failed:" << dst;
                    return {};
                }
                left -= block.size();
            }
            out.close();
            return dst;
        }
        start += total;
    }
    qCritical().noquote() << "No package for platform" << platform << "in" << fileName;
    return {};
}

} // namespace pc
} // namespace vexo
