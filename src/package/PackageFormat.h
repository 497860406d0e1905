#pragma once

#include "comm/ByteOrder.h"
#include "comm/Util.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDebug>
#include <QFile>
#include <QList>
#include <QString>

// Field access for the 256-byte headers of firmware and camera packages.
// Every header carries, in its last four bytes, the CRC-32 of the bytes
// before; all numbers are little-endian. Bytes that the program does not
// interpret are carried through bit for bit.
namespace vexo {
namespace pc {
namespace pkgfmt {

constexpr int kHeaderSize = 256;
constexpr int kCrcOffset = 252;
constexpr int kCopyBlock = 2048;

constexpr quint32 kFirmwareMagic = 0xAB20EC98;
constexpr quint32 kCameraMagic = 0x43414D41; // "AMAC"

// Firmware package header.
constexpr int kFwDataOffset = 4;
constexpr int kFwTotalSize = 8;
constexpr int kFwModuleCount = 12;
constexpr int kFwProduct = 16;
constexpr int kFwBranch = 32;
constexpr int kFwVersion = 48;
constexpr int kFwMd5 = 56;
constexpr int kFwPlatform = 72;
constexpr int kFwStatus = 88;
constexpr int kFwSocVersion = 104;
constexpr int kNameFieldSize = 16;

// Firmware module header.
constexpr int kModId = 0;
constexpr int kModLength = 4;
constexpr int kModOffset = 8;
constexpr int kModCrc = 68;
constexpr int kModMd5 = 72;
constexpr int kModHeadOffset = 152;
constexpr int kModHeadLength = 156;

// Camera package header.
constexpr int kCamDataOffset = 4;
constexpr int kCamTotalSize = 8;
constexpr int kCamModuleCount = 12;
constexpr int kCamMd5 = 20;

// Camera module header.
constexpr int kCamModId = 0;
constexpr int kCamModLength = 4;
constexpr int kCamModOffset = 8;
constexpr int kCamModMd5 = 68;

// NUL-terminated ASCII of at most size bytes.
inline QString cString(const QByteArray &buf, int offset, int size)
{
    const char *p = buf.constData() + offset;
    int n = 0;
    while (n < size && p[n] != '\0')
        ++n;
    return QString::fromLatin1(p, n);
}

inline quint32 headerCrc(const QByteArray &header)
{
    return Util::crc32(header.constData(), kCrcOffset);
}

inline quint32 storedCrc(const QByteArray &header)
{
    return le32(header, kCrcOffset);
}

inline void updateHeaderCrc(QByteArray &header)
{
    setLe32(header, kCrcOffset, headerCrc(header));
}

// Whether a header's own checksum holds; a mismatch is logged.
inline bool checkHeaderCrc(const QByteArray &header)
{
    if (headerCrc(header) == storedCrc(header))
        return true;
    qCritical().noquote() << "crc32 check failed for package header:" << storedCrc(header) << " vs"
                          << headerCrc(header);
    return false;
}

// Whether a digest of the data equals the stored one; a mismatch is logged.
inline bool checkMd5(const QByteArray &computed, const QByteArray &stored)
{
    if (computed == stored)
        return true;
    qCritical().noquote() << "Md5 check failed:" << computed.toHex() << " vs" << stored.toHex();
    return false;
}

// The first of the (module) headers whose id, in its first four bytes, is id;
// empty when there is none.
inline QByteArray findHeader(const QList<QByteArray> &headers, quint32 id)
{
    for (const QByteArray &h : headers)
        if (le32(h, 0) == id)
            return h;
    return {};
}

// "a.b.c.d" from the four version bytes, first byte first.
inline QString versionString(const QByteArray &header)
{
    const auto *p = reinterpret_cast<const quint8 *>(header.constData()) + kFwVersion;
    return QStringLiteral("%1.%2.%3.%4").arg(p[0]).arg(p[1]).arg(p[2]).arg(p[3]);
}

// Exactly size bytes at offset, or an empty array.
inline QByteArray readAt(QFile *file, qint64 offset, int size)
{
    if (!file || !file->isOpen() || offset < 0 || !file->seek(offset))
        return {};
    QByteArray buf = file->read(size);
    if (buf.size() != size)
        return {};
    return buf;
}

// Copies length bytes at offset of src to the current position of dst in
// blocks of kCopyBlock bytes. False on a short read or write.
inline bool copyRange(QFile *src, qint64 offset, qint64 length, QFile *dst)
{
    if (!src->seek(offset))
        return false;
    char block[kCopyBlock];
    while (length > 0) {
        const qint64 n = qMin<qint64>(length, kCopyBlock);
        if (src->read(block, n) != n || dst->write(block, n) != n)
            return false;
        length -= n;
    }
    return true;
}

// Where the data of one module of a package being written comes from.
struct ModuleSource
{
    QFile *file;
    qint64 offset;
    qint64 length;
};

// Puts a module at the running offset of a package being written: its
// header (h) gets that offset in the field at offsetField and a new CRC,
// its data joins the package digest. False (logged) when the package would
// pass 4 GiB.
inline bool placeModule(QByteArray &h, int offsetField, const ModuleSource &src, quint64 *running,
                        QCryptographicHash *md5)
{
    if (*running + quint64(src.length) > 0xFFFFFFFFull) {
        qCritical().noquote() << "Package header error";
        return false;
    }
    setLe32(h, offsetField, quint32(*running));
    updateHeaderCrc(h);
    *running += quint64(src.length);
    Util::addFileRangeToHash(src.file, src.offset, src.length, *md5);
    return true;
}

// Writes a package: its header, the module headers, then each module's data
// copied in blocks. False (logged) when the file cannot be opened or written.
inline bool writePackage(const QString &outPath, const QByteArray &header, const QList<QByteArray> &headers,
                         const QList<ModuleSource> &sources)
{
    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical().noquote() << "Open file failed:" << outPath;
        return false;
    }
    bool ok = out.write(header) == header.size();
    for (const QByteArray &h : headers)
        ok = ok && out.write(h) == h.size();
    for (const ModuleSource &src : sources)
        ok = ok && copyRange(src.file, src.offset, src.length, &out);
    ok = ok && out.flush();
    out.close();
    if (!ok)
        qCritical().noquote() << "Write file failed:" << outPath;
    return ok;
}

} // namespace pkgfmt
} // namespace pc
} // namespace vexo
