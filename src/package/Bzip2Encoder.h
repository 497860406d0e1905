#pragma once

#include "package/ScratchBuffer.h"

#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace vexo {
namespace pc {

// Writes one bzip2 block: the first stage's run shortening, the
// Burrows-Wheeler transform, move-to-front with zero runs, and up to six
// Huffman tables chosen per group of 50 codes. Any bzip2 reader takes the
// block.
//
// The transform sorts the block's rotations. A block rotated to start at
// its least rotation is a Lyndon word, and a Lyndon word's rotations sort
// in the order of its suffixes, so the suffix sorter does the work. A block
// that repeats itself whole has no such rotation; encode() then declines
// and the caller writes it another way.
//
// One object serves one thread at a time and keeps its buffers from one
// block to the next.
class Bzip2Encoder final
{
public:
    Bzip2Encoder() = default;
    Bzip2Encoder(const Bzip2Encoder &) = delete;
    Bzip2Encoder &operator=(const Bzip2Encoder &) = delete;

    // The block's bits from the block mark to its last code (the last byte
    // zero-padded), their count and the block's CRC. False, with nothing
    // written, for empty data, data longer than a block holds after the
    // first stage, or data that repeats itself whole.
    bool encode(const quint8 *data, size_t size, std::vector<quint8> *bits, quint64 *bitCount, quint32 *crc);

    // bzip2's CRC of data (the block CRC).
    static quint32 crc(const quint8 *data, size_t size);

private:
    ScratchBuffer<quint8> m_shortened; // after the first stage, twice over
    ScratchBuffer<qint32> m_sorted;    // the rotations in sorted order
    ScratchBuffer<quint16> m_codes;    // move-to-front output
    ScratchBuffer<quint8> m_bits;      // the block as it is written
};

} // namespace pc
} // namespace vexo
