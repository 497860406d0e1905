#pragma once

#include <QtGlobal>

namespace vexo {
namespace pc {

// Writes bits, most significant first, into room the caller has made
// (bzip2's bit order). Up to 32 bits a call.
class BitWriter
{
public:
    explicit BitWriter(quint8 *out) : m_out(out) {}

    void put(quint32 value, int count)
    {
        m_buffer = m_buffer << count | (quint64(value) & ((quint64(1) << count) - 1));
        m_used += count;
        if (m_used >= 32) {
            m_used -= 32;
            const quint32 word = quint32(m_buffer >> m_used);
            m_out[0] = quint8(word >> 24);
            m_out[1] = quint8(word >> 16);
            m_out[2] = quint8(word >> 8);
            m_out[3] = quint8(word);
            m_out += 4;
        }
        m_total += quint64(count);
    }

    // Appends bitCount bits that start on a byte boundary in bits.
    void putBits(const quint8 *bits, quint64 bitCount)
    {
        quint64 at = 0;
        for (; at + 32 <= bitCount; at += 32, bits += 4)
            put(quint32(bits[0]) << 24 | quint32(bits[1]) << 16 | quint32(bits[2]) << 8 | bits[3], 32);
        for (; at + 8 <= bitCount; at += 8)
            put(*bits++, 8);
        const int rest = int(bitCount - at);
        if (rest > 0)
            put(quint32(*bits) >> (8 - rest), rest);
    }

    // The number of bits written; the last byte is zero-padded.
    quint64 finish()
    {
        for (; m_used >= 8; m_used -= 8)
            *m_out++ = quint8(m_buffer >> (m_used - 8));
        if (m_used > 0)
            *m_out++ = quint8(m_buffer << (8 - m_used));
        m_used = 0;
        return m_total;
    }

private:
    quint8 *m_out;
    quint64 m_buffer = 0;
    int m_used = 0; // bits in m_buffer not yet written, below 32 between calls
    quint64 m_total = 0;
};

} // namespace pc
} // namespace vexo
