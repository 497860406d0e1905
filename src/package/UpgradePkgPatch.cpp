#include "package/UpgradePkgPatch.h"

#include "comm/Util.h"
#include "package/Bzip2Blocks.h"
#include "package/ScratchBuffer.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <bzlib.h>
#include <divsufsort.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>
#include <functional>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vexo {
namespace pc {

namespace {

constexpr char kPatchMagic[16] = {'E', 'N', 'D', 'S', 'L', 'E', 'Y', '/',
                                  'B', 'S', 'D', 'I', 'F', 'F', '4', '3'};
constexpr int kListHeaderSize = 64;
constexpr int kListEntrySize = 64;

std::atomic<int> g_workerThreads{0};

// Numbers in the patch stream: magnitude little-endian in the low 63 bits,
// sign in the top bit of the last byte.
void encodeOffset(qint64 value, quint8 *out)
{
    quint64 magnitude = value < 0 ? quint64(0) - quint64(value) : quint64(value);
    for (int i = 0; i < 8; ++i) {
        out[i] = quint8(magnitude & 0xFF);
        magnitude >>= 8;
    }
    if (value < 0)
        out[7] |= 0x80;
}

void putLe32(QByteArray &buf, int offset, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        buf[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// Index of the first differing byte within two unequal 8-byte words.
inline qint64 firstDifference(quint64 x, quint64 y)
{
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
    return __builtin_ctzll(x ^ y) >> 3;
#else
    return __builtin_clzll(x ^ y) >> 3;
#endif
}

// Length of the common prefix of a and b, 16 or 64 bytes per step where the
// processor has SSE2. Reads stop at the first difference, so the address
// sanitizer checks only the bytes compared.
qint64 commonPrefix(const quint8 *a, qint64 aSize, const quint8 *b, qint64 bSize)
{
    const qint64 n = std::min(aSize, bSize);
    qint64 i = 0;
#if defined(__SSE2__)
    const auto same16 = [a, b](qint64 at) {
        return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + at)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + at)));
    };
    for (; i + 16 <= n; i += 16) {
        const unsigned equal = unsigned(_mm_movemask_epi8(same16(i)));
        if (equal != 0xFFFFu)
            return i + __builtin_ctz(~equal);
        // Runs that agree this far tend to be long: 64 bytes per step.
        while (i + 80 <= n
               && unsigned(_mm_movemask_epi8(
                      _mm_and_si128(_mm_and_si128(same16(i + 16), same16(i + 32)),
                                    _mm_and_si128(same16(i + 48), same16(i + 64)))))
                      == 0xFFFFu)
            i += 64;
    }
#endif
    for (; i + 8 <= n; i += 8) {
        quint64 x;
        quint64 y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y)
            return i + firstDifference(x, y);
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
}

struct Workspace;

// Small jobs that any worker of a patch list may run: the compression of
// one bzip2 block of some piece. A worker that has no piece left to start
// takes them, so the last pieces do not keep the other cores idle. Each job
// runs with the workspace of the thread that runs it.
class JobQueue
{
public:
    using Job = std::function<void(Workspace &)>;

    // Queues the jobs and runs them (and others) until all of them are done.
    void runAll(std::vector<Job> &jobs, Workspace &space)
    {
        int pending = int(jobs.size());
        std::unique_lock<std::mutex> lock(m_mutex);
        for (Job &job : jobs)
            m_queue.push_back({&job, &pending});
        m_changed.notify_all();
        while (pending > 0) {
            if (!m_queue.empty())
                runOne(space, lock);
            else
                m_changed.wait(lock);
        }
    }

    // Runs one queued job, if there is one; lock is held on entry and exit.
    bool runOne(Workspace &space, std::unique_lock<std::mutex> &lock)
    {
        if (m_queue.empty())
            return false;
        const Entry entry = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        (*entry.job)(space);
        lock.lock();
        --*entry.pending;
        m_changed.notify_all();
        return true;
    }

    std::mutex &mutex() { return m_mutex; }
    std::condition_variable &changed() { return m_changed; }

private:
    struct Entry
    {
        Job *job;
        int *pending; // the submitter's count of unfinished jobs
    };

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Entry> m_queue;
};

// Runs jobs, with the other workers' help where there are any.
void runJobs(std::vector<JobQueue::Job> &jobs, Workspace &space);

// What one worker reuses from piece to piece: the suffix array and its
// ranks, the second parse's table, the patch stream and the compressor's
// tables.
struct Workspace
{
    ScratchBuffer<saidx_t> suffixes;
    ScratchBuffer<saidx_t> ranks;
    ScratchBuffer<quint8> choices;
    ScratchBuffer<quint8> stream;
    Bzip2Blocks compressor;
    JobQueue *jobs = nullptr; // shared with the other workers, if any
};

void runJobs(std::vector<JobQueue::Job> &jobs, Workspace &space)
{
    if (space.jobs) {
        space.jobs->runAll(jobs, space);
        return;
    }
    for (JobQueue::Job &job : jobs)
        job(space);
}

// Finds, for a position of the new data, the longest prefix of the rest of
// the new data that occurs anywhere in the old data. The old data's suffixes
// are sorted once; every question is a binary search among them.
class MatchFinder
{
public:
    explicit MatchFinder(Workspace &space) : m_space(space) {}

    bool init(const quint8 *old, qint64 oldSize)
    {
        m_old = old;
        m_oldSize = oldSize;
        if (oldSize == 0)
            return true;
        try {
            m_suffixes = m_space.suffixes.take(size_t(oldSize));
        } catch (const std::bad_alloc &) {
            return false;
        }
        if (divsufsort(old, m_suffixes, saidx_t(oldSize)) != 0)
            return false;
        // Where the suffixes beginning with each pair of bytes start in the
        // sorted order, so that a search begins among the suffixes that
        // share the target's first two bytes instead of among all of them.
        // The one-byte last suffix sorts first among those beginning with
        // its byte; bucketRange() accounts for it.
        m_bucket.assign(65537, 0);
        for (qint64 i = 0; i + 1 < oldSize; ++i)
            ++m_bucket[(size_t(old[i]) << 8 | old[i + 1]) + 1];
        for (size_t b = 0; b < 65536; ++b)
            m_bucket[b + 1] += m_bucket[b];
        m_lastKey = size_t(old[oldSize - 1]) << 8;
        return true;
    }

    // near, when not negative, is an old position known to share at least
    // two bytes with the target (the continuation of the match found a few
    // bytes earlier): the search gallops out from its rank instead of
    // halving the whole range. The answer is the same either way.
    qint64 longestMatch(const quint8 *target, qint64 targetSize, qint64 *pos, qint64 near = -1)
    {
        // Where each suffix sorts, so that a search that follows an earlier
        // one starts from the rank of the suffix that continues its match.
        // Worth its cost only where the new data keeps the search busy.
        if (near >= 0 && !m_ranks && ++m_guided > m_oldSize / 32 && !rankSuffixes())
            near = -1;
        if (m_oldSize == 0 || targetSize == 0) {
            *pos = 0;
            return 0;
        }
        qint64 lo = 0;
        qint64 hi = m_oldSize - 1;
        bool bucketed = false;
        if (targetSize >= 2) {
            const size_t key = size_t(target[0]) << 8 | target[1];
            const qint64 shift = key >= m_lastKey ? 1 : 0;
            const qint64 first = qint64(m_bucket[key]) + shift;
            const qint64 end = qint64(m_bucket[key + 1]) + shift;
            // Suffixes outside the bucket share at most one byte with the
            // target, those inside at least two: the best match lies inside.
            if (end - first >= 2) {
                lo = first;
                hi = end - 1;
                bucketed = true;
            }
        }
        if (bucketed && near >= 0 && near < m_oldSize && m_ranks) {
            // The first suffix of the bucket that does not sort before the
            // target; the best match is next to it.
            const qint64 first = lo;
            const qint64 end = hi + 1;
            const qint64 r = m_ranks[near];
            qint64 before;   // sorts before the target (or first - 1)
            qint64 notBefore; // does not (or end)
            if (r >= first && r < end) {
                if (rankSortsBefore(r, target, targetSize)) {
                    before = r;
                    notBefore = end;
                    for (qint64 step = 1; before + step < end; step *= 2) {
                        if (!rankSortsBefore(before + step, target, targetSize)) {
                            notBefore = before + step;
                            break;
                        }
                        before += step;
                    }
                } else {
                    notBefore = r;
                    before = first - 1;
                    for (qint64 step = 1; notBefore - step >= first; step *= 2) {
                        if (rankSortsBefore(notBefore - step, target, targetSize)) {
                            before = notBefore - step;
                            break;
                        }
                        notBefore -= step;
                    }
                }
                while (notBefore - before > 1) {
                    const qint64 mid = before + (notBefore - before) / 2;
                    if (rankSortsBefore(mid, target, targetSize))
                        before = mid;
                    else
                        notBefore = mid;
                }
                lo = std::min(std::max(notBefore - 1, first), end - 2);
                hi = lo + 1;
            }
        }
        // Invariant: suffixes below index lo sort before the target, those
        // above hi after it; the best match is next to the insertion point.
        while (hi - lo > 1) {
            const qint64 mid = lo + (hi - lo) / 2;
            if (rankSortsBefore(mid, target, targetSize))
                lo = mid;
            else
                hi = mid;
        }
        const qint64 loStart = m_suffixes[lo];
        const qint64 hiStart = m_suffixes[hi];
        const qint64 loLen = commonPrefix(m_old + loStart, m_oldSize - loStart, target, targetSize);
        const qint64 hiLen = commonPrefix(m_old + hiStart, m_oldSize - hiStart, target, targetSize);
        if (loLen > hiLen) {
            *pos = loStart;
            return loLen;
        }
        *pos = hiStart;
        return hiLen;
    }

private:
    // Whether suffix s sorts before the target; a suffix that is a proper
    // prefix of the target sorts before it. The C library's comparison is
    // the fastest there is, but a sanitizer checks both whole ranges before
    // it compares, which would make every step cost the full length of the
    // candidates. In chunks that grow from 256 bytes it checks no more than
    // about twice the bytes that agree, and it is a single call when they
    // differ early, as they mostly do.
    bool rankSuffixes()
    {
        saidx_t *ranks = nullptr;
        try {
            ranks = m_space.ranks.take(size_t(m_oldSize));
        } catch (const std::bad_alloc &) {
            m_guided = std::numeric_limits<qint64>::min();
            return false;
        }
        for (qint64 r = 0; r < m_oldSize; ++r)
            ranks[m_suffixes[r]] = saidx_t(r);
        m_ranks = ranks;
        return true;
    }

    // Whether the suffix of the given rank sorts before the target.
    bool rankSortsBefore(qint64 rank, const quint8 *target, qint64 targetSize) const
    {
        const qint64 start = m_suffixes[rank];
        return sortsBefore(m_old + start, m_oldSize - start, target, targetSize);
    }

    static bool sortsBefore(const quint8 *s, qint64 sSize, const quint8 *target, qint64 targetSize)
    {
        const qint64 n = std::min(sSize, targetSize);
        int c = 0;
        for (qint64 i = 0, chunk = 256; c == 0 && i < n; i += chunk, chunk *= 2)
            c = std::memcmp(s + i, target + i, size_t(std::min(chunk, n - i)));
        return c < 0 || (c == 0 && sSize < targetSize);
    }

    const quint8 *m_old = nullptr;
    qint64 m_oldSize = 0;
    Workspace &m_space;
    saidx_t *m_suffixes = nullptr;
    saidx_t *m_ranks = nullptr;
    qint64 m_guided = 0; // searches that could have been led, before m_ranks
    std::vector<quint32> m_bucket;
    size_t m_lastKey = 0;
};

// The uncompressed patch stream of one patch, kept whole.
//
// bzip2 compresses block by block, each block with its own sorting and its
// own code tables. A block may hold up to 900 kB of run-shortened input,
// but a patch of compiled code mixes kinds of data that compress better
// apart: long, nearly all-zero difference runs, dense differences where
// code moved, new code among the extra bytes. Smaller blocks let the
// tables follow the data; the block plan cuts the stream where about
// kBlockUnit bytes of run-shortened input have gone by, and the packer
// then joins neighbouring blocks, two, four or eight, where one block is
// smaller.
// Whatever the plan, the result is one ordinary bzip2 stream that any
// bsdiff 4.3 applier reads.
class DiffStream
{
public:
    // Room for exactly `capacity` bytes; the writer knows the size.
    DiffStream(ScratchBuffer<quint8> &buffer, size_t capacity) : m_bytes(buffer.take(capacity)), m_capacity(capacity) {}

    void put(const quint8 *data, qint64 size)
    {
        Q_ASSERT(m_size + size_t(size) <= m_capacity);
        std::memcpy(m_bytes + m_size, data, size_t(size));
        m_size += size_t(size);
    }

    // Appends new[i] - old[i] for count bytes.
    void putDifference(const quint8 *newData, const quint8 *oldData, qint64 count)
    {
        Q_ASSERT(m_size + size_t(count) <= m_capacity);
        quint8 *dst = m_bytes + m_size;
        for (qint64 i = 0; i < count; ++i)
            dst[i] = quint8(newData[i] - oldData[i]);
        m_size += size_t(count);
    }

    void putExtra(const quint8 *data, qint64 size) { put(data, size); }

    const quint8 *data() const { return m_bytes; }
    size_t size() const { return m_size; }

    // Block starts: one each time about kBlockUnit bytes of bzip2's
    // run-shortened input have gone by (runs of four or more equal bytes
    // shrink to five).
    std::vector<size_t> blockPlan() const
    {
        std::vector<size_t> cuts;
        size_t shortened = 0;
        size_t next = kBlockUnit;
        const size_t size = m_size;
        for (size_t i = 0; i < size;) {
            const size_t j = Bzip2Blocks::runEnd(m_bytes, size, i);
            shortened += Bzip2Blocks::shortenedRun(j - i);
            i = j;
            if (shortened >= next && i < size) {
                cuts.push_back(i);
                next = shortened + kBlockUnit;
            }
        }
        return cuts;
    }

private:
    // Blocks of about this much run-shortened input, alone or in groups of
    // up to eight, compress patches of compiled code best (bzip2's own limit is
    // 900 kB).
    static constexpr size_t kBlockUnit = 50000;

    quint8 *m_bytes;
    size_t m_capacity;
    size_t m_size = 0;
};

// One stretch of the new data and where the patch takes it from: the old
// data at (position + shift) plus differences, or extra bytes.
struct Stretch
{
    qint64 start;
    qint64 length;
    qint64 shift;
    bool extra;
};

// A new match replaces the current shift when it makes this many more
// bytes equal than the shift does over the same bytes.
constexpr qint64 kSwitchGain = 12;
// Matches at least this long that lose to the current shift are kept as
// hints for the second parse.
constexpr qint64 kHintLength = 16;
// Below this match length the search moves on kDeadStep bytes at a time.
constexpr qint64 kDeadLength = 4;
constexpr qint64 kDeadStep = 3;

// The first parse: walk the new data, find for each stretch the old
// stretch it resembles best (an exact match found through the suffix array,
// extended forwards and backwards while more than half of the bytes agree),
// and describe the new data as "old bytes plus small differences" followed
// by bytes that have no counterpart. Differences of recompiled code are
// mostly zero, which bzip2 then compresses very well. The matches that lost
// become hints (stretches of their own).
bool findStretches(const quint8 *oldData, qint64 oldSize, const quint8 *newData, qint64 newSize,
                   Workspace &space, std::vector<Stretch> *out, std::vector<Stretch> *hints)
{
    MatchFinder finder(space);
    if (!finder.init(oldData, oldSize))
        return false;

    qint64 scan = 0;
    qint64 len = 0;
    qint64 pos = 0;
    qint64 lastScan = 0;
    qint64 lastPos = 0;
    qint64 lastOffset = 0;
    qint64 queried = 0;
    qint64 queriedPos = 0;
    qint64 queriedLen = 0;

    while (scan < newSize) {
        // Score of the previous alignment (old = new + lastOffset) over the
        // stretch that the current exact match covers. A new match is only
        // worth a record when it beats that alignment by more than a few
        // bytes; otherwise the previous alignment simply continues.
        qint64 oldScore = 0;
        qint64 scored = scan += len;
        for (; scan < newSize; ++scan) {
            // The match found a few bytes back, if it reaches this far,
            // continues here: its old position leads the search.
            const qint64 behind = scan - queried;
            const qint64 near = behind > 0 && queriedLen - behind >= 2 ? queriedPos + behind : -1;
            len = finder.longestMatch(newData + scan, newSize - scan, &pos, near);
            queried = scan;
            queriedPos = pos;
            queriedLen = len;
            // A long match that does not win here may still serve the
            // second parse; the ones that continue the last are not kept.
            if (len >= kHintLength
                && (hints->empty() || hints->back().shift != pos - scan
                    || hints->back().start + hints->back().length < scan))
                hints->push_back({scan, len, pos - scan, false});
            for (; scored < scan + len; ++scored) {
                const qint64 o = scored + lastOffset;
                if (o >= 0 && o < oldSize && oldData[o] == newData[scored])
                    ++oldScore;
            }
            if ((len == oldScore && len != 0) || len > oldScore + kSwitchGain)
                break;
            // Where nothing much matches, every third byte is enough: a match
            // that starts in between is still found a byte or two shorter,
            // and its backward extension wins those bytes back.
            const qint64 step = len < kDeadLength ? std::min(kDeadStep, newSize - scan) : 1;
            for (qint64 k = 0; k < step; ++k) {
                const qint64 at = scan + k;
                const qint64 o = at + lastOffset;
                if (at < scored && o >= 0 && o < oldSize && oldData[o] == newData[at])
                    --oldScore;
            }
            scan += step - 1;
            scored = std::max(scored, scan + 1);
        }

        if (len == oldScore && scan != newSize)
            continue;

        // Extend the previous match forwards from (lastScan, lastPos) as far
        // as the agreeing bytes stay in the majority.
        qint64 lenF = 0;
        {
            qint64 same = 0;
            qint64 best = 0;
            for (qint64 i = 0; lastScan + i < scan && lastPos + i < oldSize;) {
                if (oldData[lastPos + i] == newData[lastScan + i])
                    ++same;
                ++i;
                if (same * 2 - i > best * 2 - lenF) {
                    best = same;
                    lenF = i;
                }
            }
        }

        // Extend the new match backwards from (scan, pos) the same way.
        qint64 lenB = 0;
        if (scan < newSize) {
            qint64 same = 0;
            qint64 best = 0;
            for (qint64 i = 1; scan >= lastScan + i && pos >= i; ++i) {
                if (oldData[pos - i] == newData[scan - i])
                    ++same;
                if (same * 2 - i > best * 2 - lenB) {
                    best = same;
                    lenB = i;
                }
            }
        }

        // Both extensions may claim the same new bytes: split the overlap
        // where the forward one stops doing better than the backward one.
        if (lastScan + lenF > scan - lenB) {
            const qint64 overlap = (lastScan + lenF) - (scan - lenB);
            qint64 score = 0;
            qint64 bestScore = 0;
            qint64 keep = 0;
            for (qint64 i = 0; i < overlap; ++i) {
                if (newData[lastScan + lenF - overlap + i] == oldData[lastPos + lenF - overlap + i])
                    ++score;
                if (newData[scan - lenB + i] == oldData[pos - lenB + i])
                    --score;
                if (score > bestScore) {
                    bestScore = score;
                    keep = i + 1;
                }
            }
            lenF += keep - overlap;
            lenB -= keep;
        }

        const qint64 extra = (scan - lenB) - (lastScan + lenF);
        if (lenF > 0)
            out->push_back({lastScan, lenF, lastPos - lastScan, false});
        if (extra > 0)
            out->push_back({lastScan + lenF, extra, 0, true});

        lastScan = scan - lenB;
        lastPos = pos - lenB;
        lastOffset = pos - scan;
    }
    return true;
}

// Groups of up to 2^kJoinLevels blocks are tried as one block.
constexpr int kJoinLevels = 3;

// Compresses the stream cut into blocks at cuts and joins the blocks into
// one stream in out. A kind of data that runs on compresses better in one
// block, a change of kind better in two: each pair of neighbouring blocks
// is tried also as one block; where both pairs of a group of four went
// whole, the four as one block; where both fours of a group of eight went
// whole, the eight. The smaller way is kept at each step. BZ_OK or the
// bzip2 error.
int packStream(const quint8 *bytes, size_t size, const std::vector<size_t> &cuts, Workspace &space,
               std::vector<char> *out)
{
    std::vector<size_t> bounds{0};
    bounds.insert(bounds.end(), cuts.begin(), cuts.end());
    bounds.push_back(size);
    const size_t count = bounds.size() - 1;

    // A candidate: the blocks first..last (exclusive) as one block.
    struct Candidate
    {
        size_t first;
        size_t last;
        Bzip2Blocks::Block block;
        int result = BZ_OK;
    };
    std::vector<std::unique_ptr<Candidate>> candidates;
    auto compressFrom = [&](size_t from) {
        std::vector<JobQueue::Job> jobs;
        for (size_t k = from; k < candidates.size(); ++k) {
            Candidate *c = candidates[k].get();
            jobs.push_back([bytes, &bounds, c](Workspace &runner) {
                try {
                    c->result = runner.compressor.compress(bytes + bounds[c->first], bounds[c->last] - bounds[c->first],
                                                           &c->block);
                } catch (const std::bad_alloc &) {
                    c->result = BZ_MEM_ERROR;
                }
            });
        }
        runJobs(jobs, space);
        for (size_t k = from; k < candidates.size(); ++k)
            if (candidates[k]->result != BZ_OK)
                return candidates[k]->result;
        return int(BZ_OK);
    };
    auto add = [&](size_t first, size_t last) {
        candidates.push_back(std::unique_ptr<Candidate>(new Candidate{first, last, {}, BZ_OK}));
        return candidates.back().get();
    };

    // The best way found for each group of the current level: its blocks
    // and their bits, and whether the group went whole.
    struct Way
    {
        quint64 bits;
        std::vector<const Bzip2Blocks::Block *> blocks;
        bool whole;
    };
    std::vector<Way> ways;
    for (size_t i = 0; i < count; ++i)
        add(i, i + 1);
    int rc = compressFrom(0);
    if (rc != BZ_OK)
        return rc;
    for (const std::unique_ptr<Candidate> &c : candidates)
        ways.push_back({c->block.bitCount, {&c->block}, true});

    for (int level = 1; level <= kJoinLevels && ways.size() > 1; ++level) {
        const size_t span = size_t(1) << level;
        const size_t firstNew = candidates.size();
        std::vector<Candidate *> tried((ways.size() + 1) / 2, nullptr);
        for (size_t g = 0; 2 * g + 1 < ways.size(); ++g)
            if (level == 1 || (ways[2 * g].whole && ways[2 * g + 1].whole))
                tried[g] = add(g * span, std::min(count, (g + 1) * span));
        rc = compressFrom(firstNew);
        if (rc != BZ_OK)
            return rc;
        std::vector<Way> next;
        for (size_t g = 0; g < tried.size(); ++g) {
            if (2 * g + 1 == ways.size()) { // a lone last group stays as it is
                next.push_back({ways[2 * g].bits, ways[2 * g].blocks, false});
                continue;
            }
            const Way &a = ways[2 * g];
            const Way &b = ways[2 * g + 1];
            if (tried[g] && tried[g]->block.bitCount <= a.bits + b.bits) {
                next.push_back({tried[g]->block.bitCount, {&tried[g]->block}, true});
                continue;
            }
            Way apart{a.bits + b.bits, a.blocks, false};
            apart.blocks.insert(apart.blocks.end(), b.blocks.begin(), b.blocks.end());
            next.push_back(std::move(apart));
        }
        ways.swap(next);
    }

    std::vector<const Bzip2Blocks::Block *> chosen;
    for (const Way &w : ways)
        chosen.insert(chosen.end(), w.blocks.begin(), w.blocks.end());
    out->clear();
    Bzip2Blocks::join(chosen, out);
    return BZ_OK;
}

// Costs of a parse, in sixteenths of a compressed byte: a difference byte
// by its value, an extra byte, and a record (its 24-byte head, mixed into
// the stream, interrupts the runs around it).
//
// They are measured on the first parse of the same data: its differences
// and its extra bytes, up to a sample of each (a smaller one of the extra
// bytes), are compressed on their own.
// A nonzero difference costs what the differences cost per nonzero byte,
// less for the values that recur (a moved address changes the same bytes
// by the same amount all over the code) and more for rare ones.
struct ParseCosts
{
    int difference[256];
    int extra;
    int record;
};

constexpr int kCostScale = 16;
constexpr int kRecordCost = 24 * kCostScale;
constexpr size_t kCostSample = 1u << 20;
// New code compresses at much the same rate throughout; a smaller sample of
// the extra bytes measures it as well.
constexpr size_t kExtraSample = 1u << 17;

ParseCosts measureCosts(const quint8 *oldData, const quint8 *newData, const std::vector<Stretch> &stretches,
                        Workspace &space)
{
    std::vector<qint64> counts(256, 0);
    qint64 nonzero = 0;
    std::vector<quint8> differences;
    std::vector<quint8> extras;
    differences.reserve(kCostSample);
    extras.reserve(kExtraSample);
    qint64 sampledNonzero = 0;
    for (const Stretch &s : stretches) {
        const quint8 *n = newData + s.start;
        if (s.extra) {
            const size_t take = size_t(std::min<qint64>(s.length, qint64(kExtraSample - std::min(kExtraSample, extras.size()))));
            extras.insert(extras.end(), n, n + take);
            continue;
        }
        const quint8 *o = oldData + s.start + s.shift;
        for (qint64 i = 0; i < s.length; ++i) {
            const quint8 d = quint8(n[i] - o[i]);
            if (differences.size() < kCostSample) {
                differences.push_back(d);
                sampledNonzero += d != 0;
            }
            if (d != 0) {
                ++counts[d];
                ++nonzero;
            }
        }
    }

    ParseCosts costs;
    costs.record = kRecordCost;
    // Without enough of a kind to measure: the usual figures of compiled code.
    double perNonzero = 0.75;
    double perExtra = 0.65;
    // The two samples are compressed as jobs, on two cores where free.
    size_t packed[2] = {0, 0};
    int results[2] = {BZ_PARAM_ERROR, BZ_PARAM_ERROR};
    std::vector<JobQueue::Job> jobs;
    const std::vector<quint8> *samples[2] = {&differences, &extras};
    for (int k = 0; k < 2; ++k) {
        if ((k == 0 ? size_t(sampledNonzero) : extras.size()) < 1024)
            continue;
        const std::vector<quint8> *sample = samples[k];
        size_t *size = &packed[k];
        int *result = &results[k];
        jobs.push_back([sample, size, result](Workspace &runner) {
            try {
                *result = runner.compressor.streamSize(sample->data(), sample->size(), size);
            } catch (const std::bad_alloc &) {
                *result = BZ_MEM_ERROR;
            }
        });
    }
    runJobs(jobs, space);
    if (results[0] == BZ_OK)
        perNonzero = double(packed[0]) / double(sampledNonzero);
    if (results[1] == BZ_OK)
        perExtra = double(packed[1]) / double(extras.size());
    costs.extra = std::max(1, int(std::lround(kCostScale * perExtra)));

    double entropy = 0;
    for (int v = 1; v < 256; ++v) {
        if (counts[size_t(v)] == 0)
            continue;
        const double p = double(counts[size_t(v)]) / double(nonzero);
        entropy -= p * std::log2(p);
    }
    costs.difference[0] = 0;
    for (int v = 1; v < 256; ++v) {
        const double bits = -std::log2((double(counts[size_t(v)]) + 0.5) / (double(nonzero) + 128.0));
        costs.difference[v] = std::max(1, int(std::lround(kCostScale * perNonzero + 3.0 * (bits - entropy))));
    }
    return costs;
}

// The second parse: the cheapest way, under the measured costs, to produce
// the new data from the shifts the first parse found. Every byte is taken
// with one of the shifts of its own stretch and the stretches around it, or
// as an extra byte; taking a byte with another shift than the byte before
// (or after extra bytes) starts a record. A shortest path over the bytes
// and these few choices drops matches that cost more records than they
// save, moves the borders between stretches to where they cost least, and
// keeps a shift through a few differing bytes instead of breaking it.
class StretchRefiner
{
public:
    static constexpr int kChoices = 6;       // shifts per byte; slot kChoices is "extra"
    static constexpr int kNeighbours = 2;    // stretches on each side that lend their shifts
    static constexpr int kHintsPerStretch = 2; // the longest hints inside a stretch lend theirs too
    static constexpr qint64 kLongRun = 64;      // exact runs taken in one step

    StretchRefiner(const quint8 *oldData, qint64 oldSize, const quint8 *newData, qint64 newSize,
                   const ParseCosts &costs, ScratchBuffer<quint8> &table)
        : m_old(oldData), m_oldSize(oldSize), m_new(newData), m_newSize(newSize), m_costs(costs), m_table(table)
    {
    }

    bool refine(const std::vector<Stretch> &first, const std::vector<Stretch> &hints, std::vector<Stretch> *out)
    {
        out->clear();
        if (first.empty())
            return true;
        try {
            // Every slot that the walk back reads is written first.
            m_from = m_table.take(size_t(m_newSize) * (kChoices + 1));
            m_shifts.assign(first.size(), {});
        } catch (const std::bad_alloc &) {
            return false;
        }
        forward(first, hints);
        backward(first, out);
        return true;
    }

private:
    using Shifts = std::array<qint64, kChoices>;
    static constexpr int kInfinite = std::numeric_limits<int>::max() / 4;
    // Marks a predecessor slot that lies in the previous stretch's table.
    static constexpr quint8 kPrevious = 100;

    void forward(const std::vector<Stretch> &first, const std::vector<Stretch> &hints)
    {
        size_t hint = 0;
        std::vector<Stretch> inside;
        int cost[kChoices + 1];
        std::fill(cost, cost + kChoices + 1, 0);
        int count = 0;
        Shifts shifts{};
        for (size_t k = 0; k < first.size(); ++k) {
            Shifts next{};
            int nextCount = 0;
            auto offer = [&](const Stretch &s) {
                if (s.extra || nextCount == kChoices)
                    return;
                for (int j = 0; j < nextCount; ++j)
                    if (next[size_t(j)] == s.shift)
                        return;
                next[size_t(nextCount++)] = s.shift;
            };
            offer(first[k]);
            const qint64 end = first[k].start + first[k].length;
            inside.clear();
            for (; hint < hints.size() && hints[hint].start < end; ++hint)
                if (hints[hint].start >= first[k].start)
                    inside.push_back(hints[hint]);
            std::sort(inside.begin(), inside.end(), [](const Stretch &a, const Stretch &b) {
                return a.length > b.length || (a.length == b.length && a.start < b.start);
            });
            int lent = 0;
            for (const Stretch &h : inside) {
                if (lent == kHintsPerStretch)
                    break;
                const int before = nextCount;
                offer(h);
                lent += nextCount > before ? 1 : 0;
            }
            for (size_t d = 1; d <= size_t(kNeighbours); ++d) {
                if (k >= d)
                    offer(first[k - d]);
                if (k + d < first.size())
                    offer(first[k + d]);
            }

            // Carry the costs of shifts that stay; the cheapest state so far
            // is where a new record may start.
            int bestSlot = cheapest(cost, count);
            int best = cost[bestSlot];
            int carried[kChoices];
            int carriedFrom[kChoices];
            for (int j = 0; j < nextCount; ++j) {
                carried[j] = k == 0 ? 0 : kInfinite;
                carriedFrom[j] = -1;
                for (int q = 0; q < count; ++q)
                    if (shifts[size_t(q)] == next[size_t(j)]) {
                        carried[j] = cost[q];
                        carriedFrom[j] = q;
                    }
            }
            for (int j = 0; j < nextCount; ++j)
                cost[j] = carried[j];
            shifts = next;
            count = nextCount;
            m_shifts[k] = shifts;

            qint64 nextCheck = first[k].start + 1;
            const bool own = !first[k].extra && count > 0;
            for (qint64 i = first[k].start; i < end; ++i) {
                quint8 *from = &m_from[size_t(i) * (kChoices + 1)];
                const bool entering = i == first[k].start;
                // Inside a long run that the stretch's own shift matches
                // exactly, no other choice can be cheaper by enough to
                // matter: the run is taken with that shift in one step.
                if (own && i >= nextCheck) {
                    const qint64 o = i + shifts[0];
                    qint64 run = 0;
                    if (o >= 0 && o < m_oldSize && m_new[i] == m_old[o])
                        run = commonPrefix(m_old + o, std::min(m_oldSize - o, end - i), m_new + i, end - i);
                    nextCheck = i + std::max<qint64>(run, 1);
                    if (run >= kLongRun) {
                        takeRun(cost, count, from, run);
                        i += run - 1;
                        continue;
                    }
                }
                quint8 bestFrom;
                if (entering) {
                    bestFrom = quint8(kPrevious + bestSlot);
                } else {
                    bestSlot = cheapest(cost, count);
                    best = cost[bestSlot];
                    bestFrom = quint8(bestSlot);
                }
                const int restart = best + m_costs.record;
                for (int j = 0; j < count; ++j) {
                    const qint64 o = i + shifts[size_t(j)];
                    if (o < 0 || o >= m_oldSize) {
                        cost[j] = kInfinite;
                        from[j] = bestFrom;
                        continue;
                    }
                    const int stay = cost[j];
                    const bool keep = stay <= restart && (!entering || carriedFrom[j] >= 0);
                    from[j] = keep ? quint8(entering ? kPrevious + carriedFrom[j] : j) : bestFrom;
                    cost[j] = std::min(keep ? stay : restart, kInfinite) + m_costs.difference[quint8(m_new[i] - m_old[o])];
                }
                // Extra bytes follow the differences of the same record.
                from[kChoices] = bestFrom;
                cost[kChoices] = std::min(best, kInfinite) + m_costs.extra;
            }
        }
        m_lastCount = count;
        std::copy(cost, cost + kChoices + 1, m_lastCost);
    }

    // The slot of the cheapest state: the extra state unless a shift is
    // cheaper, the first such shift on ties.
    static int cheapest(const int *cost, int count)
    {
        int slot = kChoices;
        for (int j = 0; j < count; ++j)
            if (cost[j] < cost[slot])
                slot = j;
        return slot;
    }

    // A run of `length` bytes taken with slot 0 from `from` on: slot 0 stays
    // or restarts from the cheapest state before the run; nothing else is
    // open inside the run.
    void takeRun(int *cost, int count, quint8 *from, qint64 length)
    {
        const int bestSlot = cheapest(cost, count);
        const int best = cost[bestSlot];
        const bool keep = cost[0] <= best + m_costs.record;
        std::fill(from, from + kChoices + 1, quint8(bestSlot));
        from[0] = keep ? 0 : quint8(bestSlot);
        cost[0] = keep ? cost[0] : best + m_costs.record;
        for (int j = 1; j <= kChoices; ++j)
            cost[j] = kInfinite;
        std::memset(from + kChoices + 1, 0, size_t(length - 1) * (kChoices + 1));
    }

    void backward(const std::vector<Stretch> &first, std::vector<Stretch> *out)
    {
        int slot = kChoices;
        for (int j = 0; j < m_lastCount; ++j)
            if (m_lastCost[j] < m_lastCost[slot])
                slot = j;
        // Walk back from the end, joining bytes of the same choice.
        std::vector<Stretch> reversed;
        for (size_t k = first.size(); k-- > 0;) {
            const qint64 begin = first[k].start;
            for (qint64 i = begin + first[k].length - 1; i >= begin; --i) {
                const bool extra = slot == kChoices;
                const qint64 shift = extra ? 0 : m_shifts[k][size_t(slot)];
                if (!reversed.empty() && reversed.back().extra == extra && reversed.back().shift == shift
                    && reversed.back().start == i + 1) {
                    reversed.back().start = i;
                    ++reversed.back().length;
                } else {
                    reversed.push_back({i, 1, shift, extra});
                }
                const quint8 from = m_from[size_t(i) * (kChoices + 1) + size_t(slot)];
                slot = from >= kPrevious ? from - kPrevious : from;
            }
        }
        out->assign(reversed.rbegin(), reversed.rend());
    }

    const quint8 *m_old;
    qint64 m_oldSize;
    const quint8 *m_new;
    qint64 m_newSize;
    const ParseCosts &m_costs;
    ScratchBuffer<quint8> &m_table;
    quint8 *m_from = nullptr;     // per byte and slot: the slot of the byte before
    std::vector<Shifts> m_shifts; // per stretch: the shifts of its slots
    int m_lastCount = 0;
    int m_lastCost[kChoices + 1] = {};
};

// Writes the records of a parse: each takes one stretch from the old data
// (possibly empty), then one of extra bytes (possibly empty), then moves
// the old position to where the next record's stretch begins.
void writeRecords(const quint8 *oldData, const quint8 *newData, const std::vector<Stretch> &stretches,
                  DiffStream &out)
{
    // An applier starts at old position 0: a first stretch from elsewhere
    // needs an empty record that moves there.
    qint64 oldPos = 0;
    quint8 control[24];
    if (!stretches.empty() && !stretches.front().extra && stretches.front().start + stretches.front().shift != 0) {
        encodeOffset(0, control);
        encodeOffset(0, control + 8);
        encodeOffset(stretches.front().start + stretches.front().shift, control + 16);
        out.put(control, sizeof control);
    }
    for (size_t k = 0; k < stretches.size();) {
        const qint64 start = stretches[k].start;
        qint64 add = 0;
        qint64 extra = 0;
        if (!stretches[k].extra) {
            add = stretches[k].length;
            oldPos = start + stretches[k].shift;
            ++k;
        }
        if (k < stretches.size() && stretches[k].extra) {
            extra = stretches[k].length;
            ++k;
        }
        const qint64 nextPos = k < stretches.size() ? stretches[k].start + stretches[k].shift : oldPos + add;
        encodeOffset(add, control);
        encodeOffset(extra, control + 8);
        encodeOffset(nextPos - (oldPos + add), control + 16);
        out.put(control, sizeof control);
        out.putDifference(newData + start, oldData + oldPos, add);
        out.putExtra(newData + start + add, extra);
        oldPos = nextPos;
    }
}

// Whether the new data is the old data with no more than one byte in 1024
// changed in place. Then the old data in place serves as the first parse
// as well as any search could make it, and no search is needed; the second
// parse still decides which changed bytes go better as extra bytes.
bool changedInPlace(const quint8 *oldData, qint64 oldSize, const quint8 *newData, qint64 newSize)
{
    if (newSize == 0 || oldSize < newSize)
        return false;
    const qint64 allowed = newSize / 1024;
    qint64 changed = 0;
    qint64 i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= newSize; i += 16) {
        const unsigned equal = unsigned(_mm_movemask_epi8(
            _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(oldData + i)),
                           _mm_loadu_si128(reinterpret_cast<const __m128i *>(newData + i)))));
        if (equal != 0xFFFFu && (changed += __builtin_popcount(~equal & 0xFFFFu)) > allowed)
            return false;
    }
#endif
    for (; i < newSize; ++i)
        if (oldData[i] != newData[i] && ++changed > allowed)
            return false;
    return true;
}

// The stretches of one patch: the first parse, its costs, the refined parse.
bool findParse(const quint8 *oldData, qint64 oldSize, const quint8 *newData, qint64 newSize, Workspace &space,
               std::vector<Stretch> *parse)
{
    parse->clear();
    std::vector<Stretch> first;
    std::vector<Stretch> hints;
    if (changedInPlace(oldData, oldSize, newData, newSize))
        first.push_back({0, newSize, 0, false});
    else if (!findStretches(oldData, oldSize, newData, newSize, space, &first, &hints))
        return false;
    const ParseCosts costs = measureCosts(oldData, newData, first, space);
    StretchRefiner refiner(oldData, oldSize, newData, newSize, costs, space.choices);
    return refiner.refine(first, hints, parse);
}

// Writes one patch: header, then the records compressed. 0 or -1 (logged).
int writePatch(const quint8 *oldData, qint64 oldSize, const quint8 *newData, qint64 newSize,
               const QString &patchPath, Workspace &space)
{
    FILE *file = std::fopen(QFile::encodeName(patchPath).constData(), "wb");
    if (!file) {
        qCritical().noquote() << "Open patch file failed:" << patchPath << "Error =" << errno;
        return -1;
    }

    quint8 header[24];
    std::memcpy(header, kPatchMagic, 16);
    encodeOffset(newSize < 0 ? 0 : newSize, header + 16);
    if (std::fwrite(header, 1, sizeof header, file) != sizeof header) {
        qCritical().noquote() << "Write patch file header failed";
        std::fclose(file);
        return -1;
    }

    // The suffix sorter indexes with 32-bit numbers.
    const bool sizesOk = oldSize >= 0 && newSize >= 0
                         && oldSize < qint64(std::numeric_limits<saidx_t>::max())
                         && newSize < qint64(std::numeric_limits<int>::max())
                         && (oldSize == 0 || oldData) && (newSize == 0 || newData);
    bool ok = sizesOk;
    std::vector<size_t> cuts;
    const quint8 *streamData = nullptr;
    size_t streamSize = 0;
    if (ok) {
        try {
            std::vector<Stretch> parse;
            ok = findParse(oldData, oldSize, newData, newSize, space, &parse);
            if (ok) {
                // Each record takes at least one stretch; one more may move
                // the old position first.
                DiffStream stream(space.stream, size_t(newSize) + 24 * (parse.size() + 1));
                writeRecords(oldData, newData, parse, stream);
                cuts = stream.blockPlan();
                streamData = stream.data();
                streamSize = stream.size();
            }
        } catch (const std::bad_alloc &) {
            ok = false;
        }
    }
    if (!ok) {
        qCritical().noquote() << "bsdiff failed";
        std::fclose(file);
        return -1;
    }

    std::vector<char> packed;
    int bzErr = BZ_MEM_ERROR;
    try {
        bzErr = packStream(streamData, streamSize, cuts, space, &packed);
    } catch (const std::bad_alloc &) {
    }
    if (bzErr != BZ_OK) {
        qCritical().noquote() << "BZ2_bzWriteClose failed, bz2err =" << bzErr;
        std::fclose(file);
        return -1;
    }
    // The stream is compressed whole before it is written, so a full disk
    // shows here (or at the flush) and not in the compressor: it is a
    // failure to write the difference.
    const bool written = std::fwrite(packed.data(), 1, packed.size(), file) == packed.size()
                         && std::fflush(file) == 0;
    if (std::fclose(file) != 0 || !written) {
        qCritical().noquote() << "bsdiff failed";
        return -1;
    }
    return 0;
}

// A whole input file, in working memory that may use huge pages: reading
// tens of megabytes into fresh small pages costs more than the reading.
struct FileBytes
{
    ScratchBuffer<quint8> buffer;
    qint64 size = 0;

    const quint8 *data() const { return size > 0 ? buffer.data() : nullptr; }
};

bool readWholeFile(const QString &path, FileBytes *out)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered))
        return false;
    const qint64 size = f.size();
    quint8 *to = nullptr;
    try {
        to = size > 0 ? out->buffer.take(size_t(size)) : nullptr;
    } catch (const std::bad_alloc &) {
        return false;
    }
    qint64 got = 0;
    while (got < size) {
        const qint64 n = f.read(reinterpret_cast<char *>(to) + got, size - got);
        if (n <= 0)
            return false;
        got += n;
    }
    // A file that grew meanwhile is not read whole.
    char more;
    if (f.read(&more, 1) != 0 || f.error() != QFileDevice::NoError)
        return false;
    out->size = size;
    return true;
}

// One piece of a patch list and what became of it.
struct PieceJob
{
    qint64 start = 0;
    qint64 length = 0;
    QString tmpPath;
    bool done = false;
    int result = -1;
};

} // namespace

int UpgradePkgPatch::generatePatchFile(const QString &oldPath, const QString &newPath,
                                       const QString &patchPath)
{
    QElapsedTimer timer;
    timer.start();
    if (!QFileInfo::exists(oldPath)) {
        qCritical().noquote() << "Old file does not exist:" << oldPath;
        return -1;
    }
    if (!QFileInfo::exists(newPath)) {
        qCritical().noquote() << "New file does not exist:" << newPath;
        return -1;
    }
    FileBytes oldData;
    if (!readWholeFile(oldPath, &oldData)) {
        qCritical().noquote() << "Open file failed:" << QFileInfo(oldPath).fileName();
        return -1;
    }
    FileBytes newData;
    if (!readWholeFile(newPath, &newData)) {
        qCritical().noquote() << "Open file failed:" << QFileInfo(newPath).fileName();
        return -1;
    }
    const int rc = generatePatchFile(oldData.data(), oldData.size, newData.data(), newData.size, patchPath);
    if (rc != 0)
        return rc;
    qInfo().noquote() << QFileInfo(oldPath).fileName() << "Time for bsdiff:" << timer.elapsed();
    return 0;
}

int UpgradePkgPatch::generatePatchFile(const quint8 *oldData, qint64 oldSize,
                                       const quint8 *newData, qint64 newSize,
                                       const QString &patchPath)
{
    Workspace space;
    return writePatch(oldData, oldSize, newData, newSize, patchPath, space);
}

QList<quint32> UpgradePkgPatch::pieceBoundaries(const QList<quint32> &splitOffsets)
{
    QList<quint32> bounds;
    quint64 pos = 0;
    for (const quint32 split : splitOffsets) {
        while (pos + kMaxPieceSize < split) {
            pos += kMaxPieceSize;
            bounds.append(quint32(pos));
        }
        bounds.append(split);
        pos = split;
    }
    return bounds;
}

void UpgradePkgPatch::setWorkerThreads(int count)
{
    g_workerThreads.store(std::max(0, count));
}

int UpgradePkgPatch::workerThreads()
{
    const int configured = g_workerThreads.load();
    if (configured > 0)
        return configured;
    return std::max(1u, std::thread::hardware_concurrency());
}

bool UpgradePkgPatch::bspatchListGenerate(const QString &oldPath, const QString &newPath,
                                          const QString &outPath,
                                          const QList<quint32> &splitOffsets, int progressSteps,
                                          const std::function<void()> &progressStep)
{
    const QList<quint32> bounds = pieceBoundaries(splitOffsets);

    FileBytes oldData;
    if (!readWholeFile(oldPath, &oldData)) {
        qCritical().noquote() << "open " << oldPath << "failed";
        return false;
    }
    FileBytes newData;
    if (!readWholeFile(newPath, &newData)) {
        qCritical().noquote() << "open " << newPath << "failed";
        return false;
    }
    if (oldData.size != newData.size) {
        qCritical().noquote() << "length not match" << oldData.size << "vs" << newData.size;
        return false;
    }

    // Every piece must lie inside the data and the pieces must cover it
    // exactly; offsets come from a patch head that may be damaged.
    bool boundsOk = !bounds.isEmpty() && qint64(bounds.last()) == newData.size;
    for (int i = 0; boundsOk && i < bounds.size(); ++i)
        boundsOk = bounds.at(i) > (i == 0 ? 0u : bounds.at(i - 1));
    if (!boundsOk) {
        qCritical().noquote() << "split offsets invalid for length" << newData.size;
        return false;
    }

    const int pieceCount = bounds.size();
    const qint64 headerSize = qint64(pieceCount + 1) * kListEntrySize;
    if (headerSize > std::numeric_limits<int>::max() / 2) {
        qCritical().noquote() << "split offsets invalid for length" << newData.size;
        return false;
    }

    std::vector<PieceJob> jobs(static_cast<size_t>(pieceCount));
    for (int i = 0; i < pieceCount; ++i) {
        PieceJob &job = jobs[size_t(i)];
        job.start = i == 0 ? 0 : bounds.at(i - 1);
        job.length = qint64(bounds.at(i)) - job.start;
        job.tmpPath = outPath + QStringLiteral(".tmp") + QString::number(i);
    }

    // Pieces are computed by a few threads in any order; they are taken
    // into the list strictly in piece order below, so the list does not
    // depend on the scheduling.
    // A worker runs queued block jobs first, then starts the next piece;
    // with no piece left it waits for jobs until every piece is done. All
    // of it is guarded by the queue's mutex.
    JobQueue queue;
    int nextPiece = 0;
    int inProgress = 0;
    bool cancelled = false;
    const quint8 *oldBytes = oldData.data();
    const quint8 *newBytes = newData.data();
    auto work = [&]() {
        Workspace space;
        space.jobs = &queue;
        std::unique_lock<std::mutex> lock(queue.mutex());
        for (;;) {
            if (queue.runOne(space, lock))
                continue;
            if (cancelled)
                return;
            if (nextPiece < pieceCount) {
                PieceJob &job = jobs[size_t(nextPiece++)];
                ++inProgress;
                lock.unlock();
                qInfo().noquote() << "bsdiff start" << int(&job - jobs.data()) << job.start << job.length;
                const int rc = writePatch(oldBytes + job.start, job.length, newBytes + job.start, job.length,
                                          job.tmpPath, space);
                lock.lock();
                --inProgress;
                job.result = rc;
                job.done = true;
                queue.changed().notify_all();
                continue;
            }
            if (inProgress == 0)
                return;
            queue.changed().wait(lock);
        }
    };

    // More threads than pieces still help: they compress the blocks.
    const int threadCount = workerThreads();
    std::vector<std::thread> threads;
    // With a single thread the calling thread does all the work before the
    // assembly; otherwise it only assembles while the workers diff.
    if (threadCount > 1) {
        try {
            for (int t = 0; t < threadCount; ++t)
                threads.emplace_back(work);
        } catch (const std::system_error &) {
            // No thread to be had: whatever is not taken is done here.
            qWarning().noquote() << "bsdiff threads unavailable, continuing with"
                                 << threads.size() + 1;
        }
    }
    if (threads.empty())
        work();

    auto stopWorkers = [&]() {
        {
            std::lock_guard<std::mutex> lock(queue.mutex());
            cancelled = true;
            queue.changed().notify_all();
        }
        for (std::thread &t : threads)
            t.join();
        threads.clear();
    };

    QByteArray list(int(headerSize), '\0');
    std::memcpy(list.data(), "bspt", 4);
    putLe32(list, 4, quint32(headerSize));
    putLe32(list, 12, quint32(pieceCount));
    qint64 total = headerSize;

    const qint64 step = progressSteps > 0 ? newData.size / progressSteps : 0;
    qint64 threshold = step;

    bool failed = false;
    for (int i = 0; i < pieceCount && !failed; ++i) {
        PieceJob &job = jobs[size_t(i)];
        {
            std::unique_lock<std::mutex> lock(queue.mutex());
            queue.changed().wait(lock, [&]() { return job.done; });
        }
        if (job.result != 0) {
            qCritical().noquote() << "bsdiff failed" << i << oldPath << newPath;
            failed = true;
            break;
        }
        QFile tmp(job.tmpPath);
        if (!tmp.open(QIODevice::ReadOnly)) {
            qCritical().noquote() << "open failed" << job.tmpPath << tmp.errorString();
            failed = true;
            break;
        }
        const qint64 patchSize = tmp.size();
        if (total + patchSize > qint64(std::numeric_limits<int>::max())
            || total + patchSize > qint64(std::numeric_limits<quint32>::max())) {
            qCritical().noquote() << "read failed " << job.tmpPath << "patch list too large";
            failed = true;
            break;
        }
        list.resize(int(total + patchSize));
        const qint64 got = tmp.read(list.data() + total, patchSize);
        if (got != patchSize) {
            qCritical().noquote() << "read failed " << job.tmpPath << tmp.errorString();
            failed = true;
            break;
        }
        tmp.close();

        const int entry = kListEntrySize * (i + 1);
        putLe32(list, entry + 0, quint32(i));
        putLe32(list, entry + 4, quint32(total));
        putLe32(list, entry + 8, quint32(patchSize));
        putLe32(list, entry + 12, quint32(job.start));
        putLe32(list, entry + 16, quint32(job.length));
        const QByteArray md5 = QCryptographicHash::hash(
            QByteArray::fromRawData(list.constData() + total, int(patchSize)),
            QCryptographicHash::Md5);
        std::memcpy(list.data() + entry + 20, md5.constData(), 16);
        putLe32(list, entry + 60, Util::crc32(list.constData() + entry, 60));

        total += patchSize;
        qInfo().noquote() << "bsdiff successfully" << i << quint32(total - patchSize) << patchSize
                << "total size" << total;
        QFile::remove(job.tmpPath);

        if (progressSteps > 0 && qint64(bounds.at(i)) >= threshold) {
            if (progressStep)
                progressStep();
            threshold += step;
        }
    }

    stopWorkers();
    if (failed) {
        // Pieces finished by other threads after the failing one.
        for (const PieceJob &job : jobs)
            if (job.done && job.result == 0)
                QFile::remove(job.tmpPath);
        return false;
    }

    putLe32(list, 8, quint32(total));
    std::memset(list.data() + 16, 0, 16);
    putLe32(list, 60, Util::crc32(list.constData(), 60));

    QFile out(outPath);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical().noquote() << "open file failed" << outPath << out.errorString();
        return false;
    }
    if (out.write(list.constData(), total) != total) {
        qCritical("fwrite %s %d failed", qUtf8Printable(outPath), int(total));
        return false;
    }
    out.flush();
    out.close();
    qInfo().noquote() << "generate patch list successfully" << outPath;
    return true;
}

} // namespace pc
} // namespace vexo
