#include "package/Bzip2Blocks.h"

#include "package/BitWriter.h"

#include <bzlib.h>

#include <cstring>

namespace vexo {
namespace pc {

namespace {

constexpr int kHeadBytes = 4;          // "BZh9"
constexpr int kMarkBits = 48;
constexpr quint64 kBlockMark = 0x314159265359ULL;
constexpr quint64 kEndMark = 0x177245385090ULL;
constexpr int kTailBits = kMarkBits + 32; // end mark and stream CRC

// Reads count (≤ 64) bits from bit position at, most significant first.
quint64 readBits(const quint8 *bytes, quint64 at, int count)
{
    quint64 value = 0;
    for (int i = 0; i < count; ++i, ++at)
        value = value << 1 | ((bytes[at >> 3] >> (7 - (at & 7))) & 1u);
    return value;
}

// Input that is mostly long runs (a difference stream where little
// changed) repeats itself after the first stage; bzip2's usual sort crawls
// through such input before it gives up on it, and its fallback sort is
// faster there. The work factor only picks the sort; the output is the
// same either way.
int workFactorFor(size_t size, size_t shortened)
{
    return shortened * 5 < size ? 1 : 0;
}

} // namespace

void *Bzip2Blocks::allocate(void *self, int items, int size)
{
    auto *blocks = static_cast<Bzip2Blocks *>(self);
    const size_t bytes = size_t(items) * size_t(size);
    for (const std::unique_ptr<Area> &a : blocks->m_areas)
        if (!a->inUse && a->size == bytes) {
            a->inUse = true;
            return a->memory.data();
        }
    try {
        std::unique_ptr<Area> area(new Area);
        void *memory = area->memory.take(bytes);
        area->size = bytes;
        area->inUse = true;
        blocks->m_areas.push_back(std::move(area));
        return memory;
    } catch (const std::bad_alloc &) {
        return nullptr;
    }
}

void Bzip2Blocks::release(void *self, void *memory)
{
    for (const std::unique_ptr<Area> &a : static_cast<Bzip2Blocks *>(self)->m_areas)
        if (a->memory.data() == memory)
            a->inUse = false;
}

size_t Bzip2Blocks::shortenedSize(const quint8 *data, size_t size)
{
    size_t shortened = 0;
    for (size_t i = 0; i < size;) {
        const size_t j = runEnd(data, size, i);
        shortened += shortenedRun(j - i);
        i = j;
    }
    return shortened;
}

int Bzip2Blocks::compress(const quint8 *data, size_t size, Block *block)
{
    *block = Block();
    if (size == 0)
        return BZ_OK;
    if (m_encoder.encode(data, size, &block->bits, &block->bitCount, &block->crc)) {
        block->empty = false;
        return BZ_OK;
    }
    const size_t shortened = shortenedSize(data, size);
    if (shortened > kMaxShortened)
        return BZ_PARAM_ERROR;
    const int workFactor = workFactorFor(size, shortened);

    bz_stream bz;
    std::memset(&bz, 0, sizeof bz);
    bz.bzalloc = &Bzip2Blocks::allocate;
    bz.bzfree = &Bzip2Blocks::release;
    bz.opaque = this;
    int rc = BZ2_bzCompressInit(&bz, 9, 0, workFactor);
    if (rc != BZ_OK)
        return rc;
    std::vector<quint8> &out = m_out;
    if (out.size() < 65536)
        out.resize(65536);
    bz.next_in = reinterpret_cast<char *>(const_cast<quint8 *>(data));
    bz.avail_in = unsigned(size);
    size_t used = 0;
    for (;;) {
        if (out.size() - used < 4096)
            out.resize(out.size() * 2);
        bz.next_out = reinterpret_cast<char *>(out.data() + used);
        bz.avail_out = unsigned(out.size() - used);
        const unsigned room = bz.avail_out;
        rc = BZ2_bzCompress(&bz, BZ_FINISH);
        used += room - bz.avail_out;
        if (rc != BZ_FINISH_OK)
            break;
    }
    BZ2_bzCompressEnd(&bz);
    if (rc != BZ_STREAM_END)
        return rc < 0 ? rc : BZ_SEQUENCE_ERROR;

    // The stream is head, one block (mark, CRC, ...), end mark, the stream
    // CRC (for one block, the block's own) and up to 7 padding bits.
    const quint64 total = quint64(used) * 8;
    const quint64 minimum = quint64(kHeadBytes) * 8 + kMarkBits + 32 + kTailBits;
    if (total < minimum || readBits(out.data(), kHeadBytes * 8, kMarkBits) != kBlockMark)
        return BZ_SEQUENCE_ERROR;
    const quint32 crc = quint32(readBits(out.data(), kHeadBytes * 8 + kMarkBits, 32));
    quint64 end = 0;
    for (int pad = 0; pad < 8 && end == 0; ++pad) {
        const quint64 at = total - pad - kTailBits;
        if (readBits(out.data(), at, kMarkBits) == kEndMark && readBits(out.data(), at + kMarkBits, 32) == crc
            && readBits(out.data(), total - pad, pad) == 0)
            end = at;
    }
    if (end == 0)
        return BZ_SEQUENCE_ERROR;
    block->bitCount = end - quint64(kHeadBytes) * 8;
    block->crc = crc;
    block->empty = false;
    block->bits.assign(out.begin() + kHeadBytes, out.begin() + kHeadBytes + long((block->bitCount + 7) >> 3));
    return BZ_OK;
}

int Bzip2Blocks::streamSize(const quint8 *data, size_t size, size_t *bytes)
{
    *bytes = 0;
    // Blocks as full as one takes, as a single compressor fills them.
    quint64 bits = quint64(kHeadBytes) * 8 + kTailBits;
    Block block;
    for (size_t i = 0; i < size;) {
        size_t j = i;
        size_t shortened = 0;
        while (j < size) {
            const size_t end = runEnd(data, size, j);
            if (shortened + shortenedRun(end - j) > kMaxShortened)
                break;
            shortened += shortenedRun(end - j);
            j = end;
        }
        const int rc = compress(data + i, j - i, &block);
        if (rc != BZ_OK)
            return rc;
        bits += block.bitCount;
        i = j;
    }
    *bytes = size_t((bits + 7) / 8);
    return BZ_OK;
}

void Bzip2Blocks::join(const std::vector<const Block *> &blocks, std::vector<char> *out)
{
    quint64 bits = quint64(kHeadBytes) * 8 + kTailBits;
    for (const Block *b : blocks)
        bits += b->empty ? 0 : b->bitCount;
    const size_t base = out->size();
    out->resize(base + size_t((bits + 7) / 8));
    BitWriter writer(reinterpret_cast<quint8 *>(out->data() + base));
    for (char c : {'B', 'Z', 'h', '9'})
        writer.put(quint8(c), 8);
    quint32 combined = 0;
    for (const Block *b : blocks) {
        if (b->empty)
            continue;
        writer.putBits(b->bits.data(), b->bitCount);
        combined = (combined << 1 | combined >> 31) ^ b->crc;
    }
    writer.put(quint32(kEndMark >> 32), kMarkBits - 32);
    writer.put(quint32(kEndMark), 32);
    writer.put(combined, 32);
    writer.finish();
}

} // namespace pc
} // namespace vexo
