#pragma once

#include "package/Bzip2Encoder.h"
#include "package/ScratchBuffer.h"

#include <QtGlobal>

#include <cstddef>
#include <memory>
#include <vector>

namespace vexo {
namespace pc {

// One bzip2 stream (block size 9) assembled from blocks compressed on their
// own. A bzip2 block depends on nothing outside itself; the stream around
// the blocks is a four-byte head, the blocks bit after bit (they do not end
// on byte boundaries), an end mark and a CRC that folds the blocks' CRCs in
// order. So blocks can be compressed in any order or at the same time, and
// a writer may compress the same bytes cut in several ways and keep the
// smallest; any bzip2 reader takes the joined stream.
//
// Blocks are written by Bzip2Encoder; the rare block it declines (one
// that repeats itself whole) by the bzip2 library.
//
// A Bzip2Blocks object keeps the compressors' working memory from one
// block to the next; one object serves one thread at a time.
class Bzip2Blocks final
{
public:
    Bzip2Blocks() = default;
    Bzip2Blocks(const Bzip2Blocks &) = delete;
    Bzip2Blocks &operator=(const Bzip2Blocks &) = delete;

    // One compressed block: its bits (the last byte zero-padded) and CRC.
    struct Block
    {
        std::vector<quint8> bits;
        quint64 bitCount = 0;
        quint32 crc = 0;
        bool empty = true; // no input: no block at all
    };

    // Most run-shortened input one block holds (bzip2's first stage turns
    // runs of 4 to 255 equal bytes into 5); more does not fit one block.
    static constexpr size_t kMaxShortened = 900000 - 19;

    // bzip2's first stage takes runs of up to 255 equal bytes; a run of 4
    // or more becomes 5 bytes. runEnd() is where the run that starts at i
    // ends, shortenedRun() what a run of that length becomes.
    static size_t runEnd(const quint8 *data, size_t size, size_t i)
    {
        size_t j = i + 1;
        while (j < size && j - i < 255 && data[j] == data[i])
            ++j;
        return j;
    }
    static size_t shortenedRun(size_t length) { return length < 4 ? length : 5; }

    // Run-shortened length of data as bzip2's first stage counts it.
    static size_t shortenedSize(const quint8 *data, size_t size);

    // Compresses data into one block. The bzip2 error code (BZ_OK on
    // success); BZ_PARAM_ERROR when the data does not fit one block.
    int compress(const quint8 *data, size_t size, Block *block);

    // Length of the whole stream (any number of blocks) that data
    // compresses to, without keeping it: for measuring. The bzip2 error code
    // (BZ_OK on success).
    int streamSize(const quint8 *data, size_t size, size_t *bytes);

    // The stream of the blocks in order, appended to out (as bytes).
    static void join(const std::vector<const Block *> &blocks, std::vector<char> *out);

private:
    struct Area
    {
        ScratchBuffer<char> memory;
        size_t size = 0;
        bool inUse = false;
    };

    static void *allocate(void *self, int items, int size);
    static void release(void *self, void *memory);

    Bzip2Encoder m_encoder;
    std::vector<std::unique_ptr<Area>> m_areas; // the compressor's tables, kept for the next block
    std::vector<quint8> m_out;   // a block's whole stream before the block is cut out
};

} // namespace pc
} // namespace vexo
