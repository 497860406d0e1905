#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

namespace vexo {
namespace pc {

// Little-endian values in byte buffers: frame payloads, extension-unit
// blocks, status blocks and package headers all store them so. (Frame
// header fields are big-endian; ProtocolMsg packs those itself.)
// The QByteArray forms take a byte offset the caller has checked.

inline quint16 le16(const uchar *p)
{
    return qFromLittleEndian<quint16>(p);
}

inline quint32 le32(const uchar *p)
{
    return qFromLittleEndian<quint32>(p);
}

inline float leFloat(const uchar *p)
{
    const quint32 bits = le32(p);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

inline void setLe16(uchar *p, quint16 v)
{
    qToLittleEndian<quint16>(v, p);
}

inline void setLe32(uchar *p, quint32 v)
{
    qToLittleEndian<quint32>(v, p);
}

inline const uchar *bytesAt(const QByteArray &b, int offset)
{
    return reinterpret_cast<const uchar *>(b.constData()) + offset;
}

inline uchar *bytesAt(QByteArray &b, int offset)
{
    return reinterpret_cast<uchar *>(b.data()) + offset;
}

inline quint16 le16(const QByteArray &b, int offset)
{
    return le16(bytesAt(b, offset));
}

inline quint32 le32(const QByteArray &b, int offset)
{
    return le32(bytesAt(b, offset));
}

inline float leFloat(const QByteArray &b, int offset)
{
    return leFloat(bytesAt(b, offset));
}

inline void setLe16(QByteArray &b, int offset, quint16 v)
{
    setLe16(bytesAt(b, offset), v);
}

inline void setLe32(QByteArray &b, int offset, quint32 v)
{
    setLe32(bytesAt(b, offset), v);
}

inline void setLeFloat(QByteArray &b, int offset, float f)
{
    quint32 bits;
    std::memcpy(&bits, &f, sizeof bits);
    setLe32(b, offset, bits);
}

inline void appendLe32(QByteArray &b, quint32 v)
{
    const int at = b.size();
    b.resize(at + 4);
    setLe32(b, at, v);
}

} // namespace pc
} // namespace vexo
