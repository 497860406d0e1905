#include "camera/BsPatchApplier.h"

#include "comm/ByteOrder.h"
#include "comm/Util.h"

#include <QCryptographicHash>

#include <bzlib.h>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

constexpr char Magic[] = "ENDSLEY/BSDIFF43";
constexpr int MagicSize = 16;

// The bsdiff 4.3 number: magnitude in bits 0..62 little-endian, sign in the
// top bit of the eighth byte.
qint64 offtin(const uchar *p)
{
    qint64 y = p[7] & 0x7f;
    for (int i = 6; i >= 0; --i)
        y = y * 256 + p[i];
    return (p[7] & 0x80) ? -y : y;
}

bool bunzip(const char *data, int size, qint64 expectedAtLeast, QByteArray *out)
{
    bz_stream s;
    std::memset(&s, 0, sizeof s);
    if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK)
        return false;
    s.next_in = const_cast<char *>(data);
    s.avail_in = unsigned(size);
    out->resize(int(qBound<qint64>(4096, expectedAtLeast + 4096, 1 << 30)));
    int used = 0;
    int r = BZ_OK;
    while (r == BZ_OK) {
        if (used == out->size())
            out->resize(out->size() * 2);
        s.next_out = out->data() + used;
        s.avail_out = unsigned(out->size() - used);
        r = BZ2_bzDecompress(&s);
        used = out->size() - int(s.avail_out);
        if (r == BZ_OK && s.avail_in == 0 && s.avail_out != 0)
            break; // truncated stream
    }
    BZ2_bzDecompressEnd(&s);
    out->resize(used);
    return r == BZ_STREAM_END;
}

} // namespace

bool BsPatchApplier::applyPatch(const QByteArray &oldData, const QByteArray &patch, QByteArray *newData,
                                QString *error)
{
    if (patch.size() < MagicSize + 8 || std::memcmp(patch.constData(), Magic, MagicSize) != 0) {
        *error = QStringLiteral("not a bsdiff 4.3 patch");
        return false;
    }
    const qint64 newSize = offtin(bytesAt(patch, MagicSize));
    if (newSize < 0 || newSize > (1 << 30)) {
        *error = QStringLiteral("bad new length");
        return false;
    }
    QByteArray stream;
    if (!bunzip(patch.constData() + MagicSize + 8, patch.size() - MagicSize - 8, newSize * 2, &stream)) {
        *error = QStringLiteral("damaged bzip2 stream");
        return false;
    }
    QByteArray out(int(newSize), '\0');
    const uchar *oldp = reinterpret_cast<const uchar *>(oldData.constData());
    const qint64 oldSize = oldData.size();
    const uchar *sp = reinterpret_cast<const uchar *>(stream.constData());
    const qint64 sLen = stream.size();
    qint64 spos = 0;
    qint64 oldpos = 0;
    qint64 newpos = 0;
    while (newpos < newSize) {
        if (spos + 24 > sLen) {
            *error = QStringLiteral("truncated control record");
            return false;
        }
        const qint64 x = offtin(sp + spos);
        const qint64 y = offtin(sp + spos + 8);
        const qint64 z = offtin(sp + spos + 16);
        spos += 24;
        if (x < 0 || y < 0 || newpos + x > newSize || spos + x > sLen) {
            *error = QStringLiteral("corrupt diff record");
            return false;
        }
        for (qint64 i = 0; i < x; ++i) {
            quint8 b = sp[spos + i];
            if (oldpos + i >= 0 && oldpos + i < oldSize)
                b = quint8(b + oldp[oldpos + i]);
            out[int(newpos + i)] = char(b);
        }
        spos += x;
        newpos += x;
        oldpos += x;
        if (newpos + y > newSize || spos + y > sLen) {
            *error = QStringLiteral("corrupt extra record");
            return false;
        }
        std::memcpy(out.data() + newpos, sp + spos, size_t(y));
        spos += y;
        newpos += y;
        oldpos += z;
    }
    *newData = out;
    return true;
}

bool BsPatchApplier::applyList(QByteArray *image, const QByteArray &list, QString *error)
{
    if (list.size() < 64 || list.left(4) != "bspt") {
        *error = QStringLiteral("not a patch list");
        return false;
    }
    if (Util::crc32(list.constData(), 60) != le32(list, 60)) {
        *error = QStringLiteral("patch list header checksum");
        return false;
    }
    const quint32 headerSize = le32(list, 4);
    const quint32 total = le32(list, 8);
    const quint32 count = le32(list, 12);
    if (total != quint32(list.size()) || headerSize != (count + 1) * 64 || headerSize > total) {
        *error = QStringLiteral("patch list sizes");
        return false;
    }
    QByteArray result = *image;
    for (quint32 i = 0; i < count; ++i) {
        const int e = int(64 * (i + 1));
        if (Util::crc32(list.constData() + e, 60) != le32(list, e + 60)) {
            *error = QStringLiteral("entry %1 checksum").arg(i);
            return false;
        }
        const quint32 off = le32(list, e + 4);
        const quint32 size = le32(list, e + 8);
        const quint32 start = le32(list, e + 12);
        const quint32 len = le32(list, e + 16);
        if (qint64(off) + size > total || qint64(start) + len > image->size()) {
            *error = QStringLiteral("entry %1 out of bounds").arg(i);
            return false;
        }
        const QByteArray patch = list.mid(int(off), int(size));
        if (QCryptographicHash::hash(patch, QCryptographicHash::Md5) != list.mid(e + 20, 16)) {
            *error = QStringLiteral("entry %1 digest").arg(i);
            return false;
        }
        QByteArray piece;
        if (!applyPatch(image->mid(int(start), int(len)), patch, &piece, error))
            return false;
        if (quint32(piece.size()) != len) {
            *error = QStringLiteral("entry %1 length").arg(i);
            return false;
        }
        result.replace(int(start), int(len), piece);
    }
    *image = result;
    return true;
}

} // namespace pc
} // namespace vexo
