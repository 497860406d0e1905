#include "package/Bzip2Encoder.h"

#include "package/BitWriter.h"
#include "package/Bzip2Blocks.h"

#include <divsufsort.h>

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexo {
namespace pc {

namespace {

static_assert(sizeof(saidx_t) == sizeof(qint32), "the suffix sorter indexes with 32-bit numbers");

constexpr int kGroupSize = 50;     // codes per selector
constexpr int kMaxGroups = 6;
constexpr int kMaxAlphabet = 258;  // RUNA, RUNB, 255 move-to-front positions, end of block
constexpr int kMaxCodeLength = 17; // readers take up to 20
constexpr int kIterations = 4;     // rounds of fitting the tables to their groups

// bzip2's CRC (most significant bit first), four bytes a step.
struct CrcTable
{
    quint32 entries[4][256];
    CrcTable()
    {
        for (quint32 i = 0; i < 256; ++i) {
            quint32 c = i << 24;
            for (int k = 0; k < 8; ++k)
                c = (c & 0x80000000u) ? (c << 1) ^ 0x04c11db7u : c << 1;
            entries[0][i] = c;
        }
        for (int t = 1; t < 4; ++t)
            for (quint32 i = 0; i < 256; ++i)
                entries[t][i] = (entries[t - 1][i] << 8) ^ entries[0][entries[t - 1][i] >> 24];
    }
};

const CrcTable &crcTable()
{
    static const CrcTable table;
    return table;
}

// Start of the least rotation of the n bytes at s (their Lyndon rotation),
// or -1 when they repeat themselves whole (their rotations are not all
// distinct). s holds the bytes twice over, so that every rotation lies
// whole in it.
qint64 leastRotation(const quint8 *s, qint64 n)
{
    qint64 i = 0;
    qint64 j = 1;
    qint64 k = 0;
    while (i < n && j < n && k < n) {
        const quint8 a = s[i + k];
        const quint8 b = s[j + k];
        if (a == b) {
            ++k;
            continue;
        }
        if (a > b)
            i += k + 1;
        else
            j += k + 1;
        if (i == j)
            ++j;
        k = 0;
    }
    if (k >= n)
        return n == 1 ? 0 : -1;
    return std::min(i, j);
}

// Where c is in order (256 bytes, c among them, not in front).
inline int positionOf(const quint8 *order, quint8 c)
{
#if defined(__SSE2__)
    const __m128i wanted = _mm_set1_epi8(char(c));
    for (int at = 0;; at += 16) {
        const unsigned hits = unsigned(
            _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(order + at)), wanted)));
        if (hits)
            return at + __builtin_ctz(hits);
    }
#else
    int j = 1;
    while (order[j] != c)
        ++j;
    return j;
#endif
}

// Moves order[j] (which is c) to the front; the bytes before it move up.
inline void moveToFront(quint8 *order, int j, quint8 c)
{
#if defined(__SSE2__)
    __m128i carry = _mm_cvtsi32_si128(c);
    int at = 0;
    for (; at + 16 <= j; at += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(order + at));
        const __m128i next = _mm_cvtsi32_si128(order[at + 15]);
        _mm_storeu_si128(reinterpret_cast<__m128i *>(order + at), _mm_or_si128(_mm_slli_si128(v, 1), carry));
        carry = next;
    }
    // The chunk that holds j: bytes up to j move, the ones after it stay.
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(order + at));
    const __m128i moved = _mm_or_si128(_mm_slli_si128(v, 1), carry);
    const __m128i index = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i take = _mm_cmplt_epi8(index, _mm_set1_epi8(char(j - at + 1)));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(order + at),
                     _mm_or_si128(_mm_and_si128(take, moved), _mm_andnot_si128(take, v)));
#else
    std::memmove(order + 1, order, size_t(j));
    order[0] = c;
#endif
}

// Huffman code lengths no longer than kMaxCodeLength for freq; a code that
// does not occur still gets a length, as the format wants one for every
// code. The leaves are sorted once by weight; the joined nodes come out in
// order of weight, so the two lightest are always at the front of one of
// the two lists. Where the tree grows too deep the counts are flattened and
// the tree is built again.
void makeLengths(quint8 *lengths, const quint32 *freq, int alphaSize)
{
    quint32 weight[kMaxAlphabet];
    for (int i = 0; i < alphaSize; ++i)
        weight[i] = std::max<quint32>(freq[i], 1);
    for (;;) {
        int leaf[kMaxAlphabet];
        for (int i = 0; i < alphaSize; ++i)
            leaf[i] = i;
        std::sort(leaf, leaf + alphaSize, [&](int a, int b) { return weight[a] < weight[b] || (weight[a] == weight[b] && a < b); });
        // Node k < alphaSize is leaf[k]; node alphaSize + m the m-th join.
        quint64 nodeWeight[2 * kMaxAlphabet];
        int parent[2 * kMaxAlphabet];
        for (int k = 0; k < alphaSize; ++k)
            nodeWeight[k] = weight[leaf[k]];
        int nextLeaf = 0;
        int nextJoined = alphaSize;
        int joined = alphaSize;
        auto lightest = [&]() {
            // Leaves first on equal weight: shallower trees.
            if (nextLeaf < alphaSize && (nextJoined >= joined || nodeWeight[nextLeaf] <= nodeWeight[nextJoined]))
                return nextLeaf++;
            return nextJoined++;
        };
        while (joined < 2 * alphaSize - 1) {
            const int a = lightest();
            const int b = lightest();
            nodeWeight[joined] = nodeWeight[a] + nodeWeight[b];
            parent[a] = joined;
            parent[b] = joined;
            ++joined;
        }
        quint8 depth[2 * kMaxAlphabet];
        depth[joined - 1] = 0;
        bool fits = true;
        for (int k = joined - 2; k >= 0; --k) {
            depth[k] = quint8(depth[parent[k]] + 1);
            fits = fits && (k >= alphaSize || depth[k] <= kMaxCodeLength);
        }
        if (fits) {
            for (int k = 0; k < alphaSize; ++k)
                lengths[leaf[k]] = depth[k];
            return;
        }
        for (int i = 0; i < alphaSize; ++i)
            weight[i] = 1 + weight[i] / 2;
    }
}

} // namespace

quint32 Bzip2Encoder::crc(const quint8 *data, size_t size)
{
    const auto &t = crcTable().entries;
    quint32 c = 0xffffffffu;
    size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        c ^= quint32(data[i]) << 24 | quint32(data[i + 1]) << 16 | quint32(data[i + 2]) << 8 | data[i + 3];
        c = t[3][c >> 24] ^ t[2][(c >> 16) & 0xff] ^ t[1][(c >> 8) & 0xff] ^ t[0][c & 0xff];
    }
    for (; i < size; ++i)
        c = (c << 8) ^ t[0][(c >> 24) ^ data[i]];
    return ~c;
}

bool Bzip2Encoder::encode(const quint8 *data, size_t size, std::vector<quint8> *bits, quint64 *bitCount,
                          quint32 *crc)
{
    if (size == 0)
        return false;

    // The first stage: runs of 4 to 255 equal bytes become the byte four
    // times and the count beyond four. The shortened block is kept twice
    // over, so that its least rotation lies whole in the buffer. Every
    // buffer is taken at the largest size a block can need, once: only the
    // pages in use are ever touched.
    constexpr size_t kRoom = Bzip2Blocks::kMaxShortened + 8;
    quint8 *block = m_shortened.take(2 * kRoom);
    size_t n = 0;
    bool used[256] = {};
    for (size_t i = 0; i < size && n <= Bzip2Blocks::kMaxShortened;) {
        const size_t end = Bzip2Blocks::runEnd(data, size, i);
        const size_t run = end - i;
        const size_t copies = std::min<size_t>(run, 4);
        for (size_t k = 0; k < copies; ++k)
            block[n++] = data[i];
        used[data[i]] = true;
        if (run >= 4) {
            block[n++] = quint8(run - 4);
            used[run - 4] = true;
        }
        i = end;
    }

    if (n > Bzip2Blocks::kMaxShortened)
        return false;
    std::memcpy(block + n, block, n);
    const qint64 start = leastRotation(block, qint64(n));
    if (start < 0)
        return false;

    // Sort the rotations: those of the least rotation sort as its suffixes.
    const quint8 *rotated = block + start;
    qint32 *sorted = m_sorted.take(kRoom);
    if (divsufsort(rotated, reinterpret_cast<saidx_t *>(sorted), saidx_t(n)) != 0)
        return false;
    // The block itself is the rotation that starts n - start into rotated.
    const qint32 self = qint32((n - size_t(start)) % n);

    // Move-to-front over the bytes in use, runs of front bytes as RUNA/RUNB.
    quint8 toSeq[256];
    int inUse = 0;
    for (int b = 0; b < 256; ++b)
        if (used[b])
            toSeq[b] = quint8(inUse++);
    const int alphaSize = inUse + 2;
    const quint16 endOfBlock = quint16(inUse + 1);
    quint16 *codes = m_codes.take(kRoom);
    size_t count = 0;
    quint32 freq[kMaxAlphabet] = {};
    quint8 order[256] = {};
    for (int i = 0; i < inUse; ++i)
        order[i] = quint8(i);
    size_t zeros = 0;
    auto flushZeros = [&] {
        if (zeros == 0)
            return;
        size_t r = zeros - 1;
        for (;;) {
            const quint16 c = (r & 1) ? 1 : 0;
            codes[count++] = c;
            ++freq[c];
            if (r < 2)
                break;
            r = (r - 2) / 2;
        }
        zeros = 0;
    };
    // The last column first, in the sorted order's own room (byte i goes
    // where entry i / 4 was, which has been read by then), then its
    // move-to-front codes.
    qint64 origin = -1;
    quint8 *last = reinterpret_cast<quint8 *>(sorted);
    for (size_t i = 0; i < n; ++i) {
        const qint32 s = sorted[i];
        if (s == self)
            origin = qint64(i);
        last[i] = toSeq[rotated[s == 0 ? n - 1 : size_t(s) - 1]];
    }
    for (size_t i = 0; i < n; ++i) {
        const quint8 c = last[i];
        if (order[0] == c) {
            ++zeros;
            continue;
        }
        flushZeros();
        const int j = positionOf(order, c);
        moveToFront(order, j, c);
        codes[count++] = quint16(j + 1);
        ++freq[j + 1];
    }
    flushZeros();
    codes[count++] = endOfBlock;
    ++freq[endOfBlock];
    if (origin < 0)
        return false;

    // The tables: start from slices of the code range of about equal
    // weight, then let every group of 50 codes pick its cheapest table and
    // fit each table to the groups that picked it.
    const int groups = count < 200 ? 2 : count < 600 ? 3 : count < 1200 ? 4 : count < 2400 ? 5 : 6;
    const size_t selectorCount = (count + kGroupSize - 1) / kGroupSize;
    std::array<std::array<quint8, kMaxAlphabet>, kMaxGroups> lengths;
    {
        int parts = groups;
        size_t remaining = count;
        int from = 0;
        while (parts > 0) {
            const size_t target = remaining / size_t(parts);
            int to = from - 1;
            size_t taken = 0;
            while (taken < target && to < alphaSize - 1)
                taken += freq[++to];
            if (to > from && parts != groups && parts != 1 && (groups - parts) % 2 == 1)
                taken -= freq[to--];
            for (int v = 0; v < alphaSize; ++v)
                lengths[size_t(parts - 1)][size_t(v)] = (v >= from && v <= to) ? 0 : 15;
            --parts;
            from = to + 1;
            remaining -= taken;
        }
    }
    std::vector<quint8> selectors(selectorCount);
    // A group's cost under all tables at once: four 16-bit sums in one
    // word and two in another (a group costs at most 50 * 17 bits).
    auto choose = [&](std::array<std::array<quint32, kMaxAlphabet>, kMaxGroups> *fitted) {
        quint64 packed[2][kMaxAlphabet];
        for (int v = 0; v < alphaSize; ++v) {
            packed[0][v] = packed[1][v] = 0;
            for (int t = 0; t < groups; ++t)
                packed[t / 4][v] |= quint64(lengths[size_t(t)][size_t(v)]) << (16 * (t % 4));
        }
        for (size_t g = 0; g < selectorCount; ++g) {
            const size_t from = g * kGroupSize;
            const size_t to = std::min(count, from + kGroupSize);
            quint64 low = 0;
            quint64 high = 0;
            for (size_t i = from; i < to; ++i) {
                low += packed[0][codes[i]];
                high += packed[1][codes[i]];
            }
            int best = 0;
            quint32 bestCost = quint32(low & 0xffff);
            for (int t = 1; t < groups; ++t) {
                const quint32 cost = quint32(((t < 4 ? low : high) >> (16 * (t % 4))) & 0xffff);
                if (cost < bestCost) {
                    bestCost = cost;
                    best = t;
                }
            }
            selectors[g] = quint8(best);
            if (fitted)
                for (size_t i = from; i < to; ++i)
                    ++(*fitted)[size_t(best)][codes[i]];
        }
    };
    for (int round = 0; round < kIterations; ++round) {
        std::array<std::array<quint32, kMaxAlphabet>, kMaxGroups> fitted{};
        choose(&fitted);
        for (int t = 0; t < groups; ++t)
            makeLengths(lengths[size_t(t)].data(), fitted[size_t(t)].data(), alphaSize);
    }
    // The final tables may suit some groups better than the ones they
    // were fitted with.
    choose(nullptr);

    // The block.
    // Room for the longest block these tables can make: marks and maps,
    // selectors, tables (at most 40 bits a length) and codes.
    constexpr size_t kMostBits = 32 * 24 + (kRoom / kGroupSize + 1) * (kMaxGroups + 1)
                                 + size_t(kMaxGroups) * kMaxAlphabet * 40 + kRoom * kMaxCodeLength;
    quint8 *room = m_bits.take(kMostBits / 8 + 16);
    BitWriter out(room);
    const quint32 blockCrc = Bzip2Encoder::crc(data, size);
    out.put(0x314159, 24);
    out.put(0x265359, 24);
    out.put(blockCrc, 32);
    out.put(0, 1); // not randomised
    out.put(quint32(origin), 24);
    quint32 ranges = 0;
    for (int r = 0; r < 16; ++r)
        for (int b = 0; b < 16; ++b)
            if (used[r * 16 + b])
                ranges |= 1u << (15 - r);
    out.put(ranges, 16);
    for (int r = 0; r < 16; ++r) {
        if (!(ranges & (1u << (15 - r))))
            continue;
        quint32 map = 0;
        for (int b = 0; b < 16; ++b)
            if (used[r * 16 + b])
                map |= 1u << (15 - b);
        out.put(map, 16);
    }
    out.put(quint32(groups), 3);
    out.put(quint32(selectorCount), 15);
    quint8 selectorOrder[kMaxGroups];
    for (int t = 0; t < groups; ++t)
        selectorOrder[t] = quint8(t);
    for (size_t g = 0; g < selectorCount; ++g) {
        int j = 0;
        while (selectorOrder[j] != selectors[g])
            ++j;
        for (int k = j; k > 0; --k)
            selectorOrder[k] = selectorOrder[k - 1];
        selectorOrder[0] = selectors[g];
        out.put((1u << (j + 1)) - 2, j + 1); // j ones, then a zero
    }
    std::array<std::array<quint32, kMaxAlphabet>, kMaxGroups> code;
    for (int t = 0; t < groups; ++t) {
        const quint8 *len = lengths[size_t(t)].data();
        int current = len[0];
        out.put(quint32(current), 5);
        for (int v = 0; v < alphaSize; ++v) {
            for (; current < len[v]; ++current)
                out.put(2, 2);
            for (; current > len[v]; --current)
                out.put(3, 2);
            out.put(0, 1);
        }
        // Canonical codes: shorter first, then by code number.
        quint32 next = 0;
        for (int l = 1; l <= kMaxCodeLength; ++l) {
            for (int v = 0; v < alphaSize; ++v)
                if (len[v] == l)
                    code[size_t(t)][size_t(v)] = next++;
            next <<= 1;
        }
    }
    for (size_t g = 0; g < selectorCount; ++g) {
        const size_t t = selectors[g];
        const size_t to = std::min(count, (g + 1) * kGroupSize);
        size_t i = g * kGroupSize;
        // Two codes at a time where they fit one call.
        for (; i + 1 < to; i += 2) {
            const int a = lengths[t][codes[i]];
            const int b = lengths[t][codes[i + 1]];
            if (a + b <= 32) {
                out.put(code[t][codes[i]] << b | code[t][codes[i + 1]], a + b);
            } else {
                out.put(code[t][codes[i]], a);
                out.put(code[t][codes[i + 1]], b);
            }
        }
        if (i < to)
            out.put(code[t][codes[i]], lengths[t][codes[i]]);
    }
    *bitCount = out.finish();
    bits->assign(room, room + (*bitCount + 7) / 8);
    *crc = blockCrc;
    return true;
}

} // namespace pc
} // namespace vexo
