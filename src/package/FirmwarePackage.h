#pragma once

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>

#include <memory>

namespace vexo {
namespace pc {

class CameraPackage;

// One firmware package file: a 256-byte header, one 256-byte header per
// device module, then the module data. Module 1 is the camera package.
// The file is opened read-only at construction. verifyFirmware() checks
// the name, every checksum and digest and the nested camera package; the
// operations that cut new files out of the package need a verified one.
class FirmwarePackage final
{
public:
    // Device module ids with a fixed role; other ids come from the packages.
    enum DEV_ID : quint32 {
        DEV_ID_CAMERA = 1,
    };

    // Release state of a package as the camera's updater numbers it.
    enum ReleaseState { StateRelease = 0, StateTest = 1, StateDebug = 2, StateOther = 3 };

    // ugsys: the file is an updater package ("Ugsys_" + the name of the
    // package it was made from).
    explicit FirmwarePackage(const QString &path, bool ugsys = false);
    ~FirmwarePackage();
    FirmwarePackage(const FirmwarePackage &) = delete;
    FirmwarePackage &operator=(const FirmwarePackage &) = delete;

    bool verifyFirmware();

    // A new package with the device modules devIds (in that order); when
    // camIds is not empty and devIds holds 1, module 1 becomes a camera
    // package cut down to camIds.
    bool generateFwPackage(const QList<quint32> &devIds, const QList<quint32> &camIds,
                           const QString &outPath);

    // The updater package beside this one: module 1 with camera modules 0
    // and the platform's updater file system.
    bool generateUgsysFwPackage();

    // The patch head (headers of the package and of the camera package, and
    // the data of every module other than the camera package) and the split
    // offsets at which the package is cut into patch pieces.
    bool generateFwPatchHead(const QString &outPath, QList<quint32> &splitOffsets);

    // The updater file system camera module, written to outPath.
    bool extractUpdaterfs(const QString &outPath);

    // The package of one platform: a copy of pkgPath when its name already
    // names the platform, else the platform's part of a combined package
    // (name product_branch_All...). The path of the written file in outDir,
    // empty on failure.
    static QString extractFirmware(const QString &pkgPath, const QString &platform,
                                   const QString &outDir);

    QString path() const { return m_path; }
    bool isVerified() const { return m_verified; }
    bool isUgsys() const { return m_ugsys; }
    const QByteArray &header() const { return m_header; }
    const QList<QByteArray> &moduleHeaders() const { return m_moduleHeaders; }
    CameraPackage *cameraPackage() const { return m_camera.get(); }

    // Header fields (valid once the header has been read).
    QString product() const;
    QString branch() const;
    QString platform() const;
    QString status() const;
    QString version() const;       // "a.b.c.d", byte 48 first
    quint32 versionValue() const;  // bytes 48..51 as one little-endian number
    qint8 socVersion() const;      // 0 = any
    quint32 totalSize() const;
    quint32 dataOffset() const;
    int releaseState() const;

    // Path of the updater package made from this package.
    QString ugsysPath() const;

private:
    QByteArray findModule(quint32 id) const;

    QFile m_file;
    QString m_path;
    QByteArray m_header;
    QList<QByteArray> m_moduleHeaders;
    std::unique_ptr<CameraPackage> m_camera;
    bool m_verified = false;
    bool m_ugsys = false;
};

} // namespace pc
} // namespace vexo
