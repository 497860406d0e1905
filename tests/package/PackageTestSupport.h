#pragma once

// Helpers shared by the package tests: an independent reader of bsdiff 4.3
// patches and of bspt patch lists, a capture of log lines, and small file
// helpers. The readers are written from the file formats alone and share no
// code with the writers under test.

#include <QByteArray>
#include <QCryptographicHash>
#include <QFile>
#include <QStringList>

#include "LogCapture.h"

#include <bzlib.h>
#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <vector>

namespace pkgtest {

// Numbers of the patch format: magnitude little-endian in the low 63 bits,
// sign in the top bit of the eighth byte.
inline qint64 readOffset(const quint8 *p)
{
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return (v >> 63) ? -qint64(v & ~(quint64(1) << 63)) : qint64(v);
}

inline quint32 le32(const QByteArray &b, int off)
{
    const auto *p = reinterpret_cast<const quint8 *>(b.constData()) + off;
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}

inline void setLe32(QByteArray &b, int off, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[off + i] = char((v >> (8 * i)) & 0xFF);
}

inline quint32 crc32Of(const char *data, int size)
{
    return quint32(::crc32(::crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef *>(data), uInt(size)));
}

// The CRC-32 that ends every 256-byte package header at offset at.
inline bool headerCrcOk(const QByteArray &b, qint64 at = 0)
{
    return at >= 0 && at + 256 <= b.size() && le32(b, int(at + 252)) == crc32Of(b.constData() + at, 252);
}
inline void fixHeaderCrc(QByteArray &b, qint64 at = 0)
{
    if (at >= 0 && at + 256 <= b.size())
        setLe32(b, int(at + 252), crc32Of(b.constData() + at, 252));
}

inline QByteArray md5Of(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Md5);
}

// Decompresses one complete bzip2 stream that fills all of data, refusing
// output beyond limit bytes.
inline bool bunzipAll(const char *data, int size, qint64 limit, std::vector<quint8> *out)
{
    bz_stream bz;
    std::memset(&bz, 0, sizeof bz);
    if (BZ2_bzDecompressInit(&bz, 0, 0) != BZ_OK)
        return false;
    bz.next_in = const_cast<char *>(data);
    bz.avail_in = unsigned(size);
    out->clear();
    int rc = BZ_OK;
    char buf[65536];
    while (rc == BZ_OK) {
        bz.next_out = buf;
        bz.avail_out = sizeof buf;
        rc = BZ2_bzDecompress(&bz);
        out->insert(out->end(), buf, buf + (sizeof buf - bz.avail_out));
        if (qint64(out->size()) > limit)
            rc = BZ_DATA_ERROR;
        if (rc == BZ_OK && bz.avail_in == 0 && bz.avail_out != 0)
            rc = BZ_UNEXPECTED_EOF;
    }
    const bool ok = rc == BZ_STREAM_END && bz.avail_in == 0;
    BZ2_bzDecompressEnd(&bz);
    return ok;
}

// Applies an ENDSLEY/BSDIFF43 patch the way a bsdiff 4.3 applier does.
// False on any malformed patch.
inline bool applyPatch(const QByteArray &oldData, const QByteArray &patch, QByteArray *newData)
{
    if (patch.size() < 24 || std::memcmp(patch.constData(), "ENDSLEY/BSDIFF43", 16) != 0)
        return false;
    const qint64 newSize = readOffset(reinterpret_cast<const quint8 *>(patch.constData()) + 16);
    if (newSize < 0 || newSize > (qint64(1) << 30))
        return false;
    std::vector<quint8> stream;
    if (!bunzipAll(patch.constData() + 24, patch.size() - 24, 2 * newSize + (1 << 20), &stream))
        return false;

    QByteArray out(int(newSize), '\0');
    const auto *oldBytes = reinterpret_cast<const quint8 *>(oldData.constData());
    const qint64 oldSize = oldData.size();
    size_t at = 0;
    qint64 newPos = 0;
    qint64 oldPos = 0;
    while (newPos < newSize) {
        if (stream.size() - at < 24)
            return false;
        // Bytes of old + difference, bytes copied from the extra data, move
        // of the old position afterwards.
        const struct { qint64 add, extra, seek; } r{readOffset(&stream[at]), readOffset(&stream[at + 8]),
                                                   readOffset(&stream[at + 16])};
        at += 24;
        if (r.add < 0 || r.extra < 0 || r.add > newSize || r.extra > newSize
            || newPos + r.add + r.extra > newSize || qint64(stream.size() - at) < r.add + r.extra)
            return false;
        for (qint64 i = 0; i < r.add; ++i) {
            quint8 b = stream[at + size_t(i)];
            if (oldPos + i >= 0 && oldPos + i < oldSize)
                b = quint8(b + oldBytes[oldPos + i]);
            out[int(newPos + i)] = char(b);
        }
        at += size_t(r.add);
        newPos += r.add;
        oldPos += r.add;
        std::memcpy(out.data() + newPos, &stream[at], size_t(r.extra));
        at += size_t(r.extra);
        newPos += r.extra;
        oldPos += r.seek;
    }
    if (at != stream.size())
        return false;
    *newData = out;
    return true;
}

struct ListEntry
{
    quint32 index, offset, size, start, length;
    QByteArray md5;
};

// Reads a bspt patch list and checks its own consistency (sizes, CRCs,
// MD5s, patches back to back). False when anything is off.
inline bool readPatchList(const QByteArray &list, std::vector<ListEntry> *entries)
{
    if (list.size() < 64 || std::memcmp(list.constData(), "bspt", 4) != 0)
        return false;
    const quint32 count = le32(list, 12);
    const quint32 headerSize = le32(list, 4);
    if (headerSize != (count + 1) * 64 || le32(list, 8) != quint32(list.size())
        || le32(list, 60) != crc32Of(list.constData(), 60) || headerSize > quint32(list.size()))
        return false;
    if (list.mid(16, 44) != QByteArray(44, '\0'))
        return false;
    quint32 expectOffset = headerSize;
    for (quint32 i = 0; i < count; ++i) {
        const int e = int(64 * (i + 1));
        if (le32(list, e + 60) != crc32Of(list.constData() + e, 60) || list.mid(e + 36, 24) != QByteArray(24, '\0'))
            return false;
        ListEntry entry{le32(list, e), le32(list, e + 4), le32(list, e + 8), le32(list, e + 12),
                        le32(list, e + 16), list.mid(e + 20, 16)};
        if (entry.index != i || entry.offset != expectOffset
            || quint64(entry.offset) + entry.size > quint64(list.size())
            || md5Of(list.mid(int(entry.offset), int(entry.size))) != entry.md5)
            return false;
        expectOffset += entry.size;
        entries->push_back(entry);
    }
    return expectOffset == quint32(list.size());
}

inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

using testsupport::LogCapture;

} // namespace pkgtest
