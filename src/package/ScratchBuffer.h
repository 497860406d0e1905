#pragma once

#include <QtGlobal>

#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <type_traits>

namespace vexo {
namespace pc {

// Working memory of the patch generator: a buffer that keeps its memory
// from one use to the next, so that a worker touches fresh pages once
// instead of for every piece. take() hands out uninitialised room; the
// caller writes before it reads. Buffers from a quarter megabyte up are
// mapped on their own, rounded up to whole huge pages (the part never
// touched costs nothing) and asked for huge pages, which the kernel may
// grant: far fewer page faults
// (each costs a kernel entry and a zeroed page) and TLB misses in the
// random accesses of the search.
template <typename T>
class ScratchBuffer
{
public:
    ScratchBuffer() = default;
    ScratchBuffer(const ScratchBuffer &) = delete;
    ScratchBuffer &operator=(const ScratchBuffer &) = delete;
    ~ScratchBuffer() { release(); }

    T *take(size_t count)
    {
        if (count > m_capacity) {
            release();
            m_data = allocate(count);
            m_capacity = count;
        }
        return m_data;
    }

    // The room handed out last (null before the first take()).
    T *data() const { return m_data; }
    size_t capacity() const { return m_capacity; }

private:
    static constexpr size_t kHugePage = size_t(2) << 20;

    // The address sanitizer guards only the heap's blocks: under it every
    // buffer comes from the heap.
    static bool mapsLarge(size_t count)
    {
#if defined(__SANITIZE_ADDRESS__)
        Q_UNUSED(count);
        return false;
#else
        return count * sizeof(T) >= kHugePage / 8;
#endif
    }

    static size_t mappedLength(size_t count) { return (count * sizeof(T) + kHugePage - 1) & ~(kHugePage - 1); }

    // Throws std::bad_alloc when there is no memory.
    static T *allocate(size_t count)
    {
        static_assert(std::is_trivially_default_constructible<T>::value, "raw room only");
        if (count > std::numeric_limits<size_t>::max() / sizeof(T) - kHugePage)
            throw std::bad_alloc();
        if (!mapsLarge(count))
            return static_cast<T *>(::operator new(count * sizeof(T)));
        // Mapped one huge page longer, then trimmed to a huge-page boundary.
        const size_t length = mappedLength(count);
        void *raw = mmap(nullptr, length + kHugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (raw == MAP_FAILED)
            throw std::bad_alloc();
        const uintptr_t at = (reinterpret_cast<uintptr_t>(raw) + kHugePage - 1) & ~uintptr_t(kHugePage - 1);
        const size_t head = at - reinterpret_cast<uintptr_t>(raw);
        if (head > 0)
            munmap(raw, head);
        if (kHugePage - head > 0)
            munmap(reinterpret_cast<char *>(at) + length, kHugePage - head);
#ifdef MADV_HUGEPAGE
        madvise(reinterpret_cast<void *>(at), length, MADV_HUGEPAGE);
#endif
        return reinterpret_cast<T *>(at);
    }

    void release()
    {
        if (!m_data)
            return;
        if (!mapsLarge(m_capacity))
            ::operator delete(m_data);
        else
            munmap(m_data, mappedLength(m_capacity));
        m_data = nullptr;
        m_capacity = 0;
    }

    T *m_data = nullptr;
    size_t m_capacity = 0;
};

} // namespace pc
} // namespace vexo
