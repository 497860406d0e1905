#include "MinidumpWriter.h"

#include <cpuid.h>
#include <elf.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <sys/utsname.h>
#include <time.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>

namespace crashdump {

namespace {

// Published minidump layout, little endian.
enum StreamType : uint32_t {
    kThreadListStream = 3,
    kModuleListStream,
    kMemoryListStream,
    kExceptionStream,
    kSystemInfoStream,
    kMiscInfoStream = 15,
};
constexpr uint32_t kSignature = 0x504d444d; // "MDMP"
constexpr uint32_t kVersion = 0xa793;
constexpr uint16_t kArchAmd64 = 9;
constexpr uint32_t kPlatformLinux = 0x8201;
constexpr uint32_t kCvElfBuildId = 0x4270454c; // "LEpB"
constexpr uint32_t kContextAmd64 = 0x00100000;
constexpr uint32_t kContextAll = kContextAmd64 | 0x1 | 0x2 | 0x4 | 0x8; // control, integer, segments, float

struct Location
{
    uint32_t size;
    uint32_t rva;
};

struct Header
{
    uint32_t signature;
    uint32_t version;
    uint32_t streamCount;
    uint32_t directoryRva;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint64_t flags;
};
static_assert(sizeof(Header) == 32, "header");

struct Directory
{
    uint32_t type;
    Location location;
};
static_assert(sizeof(Directory) == 12, "directory");

struct SystemInfo
{
    uint16_t architecture;
    uint16_t level;
    uint16_t revision;
    uint8_t processors;
    uint8_t productType;
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    uint32_t platform;
    uint32_t csdVersionRva;
    uint16_t suiteMask;
    uint16_t reserved;
    uint32_t vendor[3];
    uint32_t versionInformation;
    uint32_t featureInformation;
    uint32_t amdExtendedFeatures;
};
static_assert(sizeof(SystemInfo) == 56, "system info");

struct ContextAmd64
{
    uint64_t home[6];
    uint32_t flags;
    uint32_t mxcsr;
    uint16_t cs, ds, es, fs, gs, ss;
    uint32_t eflags;
    uint64_t dr[6];
    uint64_t rax, rcx, rdx, rbx, rsp, rbp, rsi, rdi;
    uint64_t r8, r9, r10, r11, r12, r13, r14, r15;
    uint64_t rip;
    uint8_t fltSave[512];
    uint8_t vector[416];
    uint64_t vectorControl;
    uint64_t debug[5];
};
static_assert(sizeof(ContextAmd64) == 0x4d0, "context");
static_assert(offsetof(ContextAmd64, rip) == 0xf8, "context rip");

struct Thread
{
    uint32_t id;
    uint32_t suspendCount;
    uint32_t priorityClass;
    uint32_t priority;
    uint64_t teb;
    uint64_t stackStart;
    Location stack;
    Location context;
};
static_assert(sizeof(Thread) == 48, "thread");

struct ExceptionRecord
{
    uint32_t threadId;
    uint32_t alignment;
    uint32_t code;
    uint32_t flags;
    uint64_t record;
    uint64_t address;
    uint32_t parameterCount;
    uint32_t unused;
    uint64_t information[15];
    Location context;
};
static_assert(sizeof(ExceptionRecord) == 168, "exception");

struct MiscInfo
{
    uint32_t size;
    uint32_t flags; // 1: the process id is valid
    uint32_t processId;
    uint32_t times[3];
};

#pragma pack(push, 4)
struct MemoryRange
{
    uint64_t start;
    Location memory;
};

struct Module
{
    uint64_t base;
    uint32_t size;
    uint32_t checksum;
    uint32_t timeDateStamp;
    uint32_t nameRva;
    uint32_t versionInfo[13];
    Location cvRecord;
    Location miscRecord;
    uint64_t reserved0;
    uint64_t reserved1;
};
#pragma pack(pop)
static_assert(sizeof(Module) == 108, "module");

// Everything below is filled before or during the crash without allocating.
constexpr int kMaxModules = 512;
constexpr int kMaxThreads = 1024;
constexpr int kMaxBuildId = 32;
constexpr uint64_t kStackBytes = 64 * 1024;
constexpr uint64_t kOtherStackBytes = 16 * 1024;
constexpr int kMaxStacks = 64; // threads whose registers and stack are kept

struct ModuleEntry
{
    uint64_t start;
    uint64_t end;
    const char *name; // inside g_maps
    uint32_t nameLength;
    uint8_t buildId[kMaxBuildId];
    uint32_t buildIdLength;
};

char g_maps[1024 * 1024];
ModuleEntry g_modules[kMaxModules];
// The threads; the first g_stackCount of them with registers and stack.
struct ThreadEntry
{
    uint32_t tid;
    uint64_t sp;
    uint64_t pc;
    uint64_t stackStart;
    uint64_t stackEnd;
};
ThreadEntry g_threads[kMaxThreads];
int g_stackCount = 0;
uint8_t g_scratch[8192];
uint16_t g_csd[128];
uint32_t g_csdChars = 0;
uint8_t g_processors = 1;
uint32_t g_kernel[3] = {0, 0, 0};

// Writes everything or fails; retries interrupted and short writes.
bool writeAll(int fd, const void *data, size_t size)
{
    const char *p = static_cast<const char *>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

bool writeZeros(int fd, size_t size)
{
    static const char zeros[4096] = {};
    while (size > 0) {
        const size_t n = size < sizeof(zeros) ? size : sizeof(zeros);
        if (!writeAll(fd, zeros, n))
            return false;
        size -= n;
    }
    return true;
}

// Copies process memory page by page; the kernel reports unreadable pages
// (EFAULT) instead of faulting, and those are written as zeros.
bool writeMemory(int fd, uint64_t address, uint64_t size)
{
    while (size > 0) {
        const uint64_t pageEnd = (address | 4095) + 1;
        const uint64_t chunk = pageEnd - address < size ? pageEnd - address : size;
        ssize_t n;
        do {
            n = ::write(fd, reinterpret_cast<const void *>(address), chunk);
        } while (n < 0 && errno == EINTR);
        if (n < 0 && errno != EFAULT)
            return false;
        const uint64_t done = n > 0 ? uint64_t(n) : 0;
        if (done < chunk && !writeZeros(fd, chunk - done))
            return false;
        address += chunk;
        size -= chunk;
    }
    return true;
}

// Reads a whole small file into buf; returns the length or -1.
ssize_t readFile(const char *path, char *buf, size_t capacity)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    size_t total = 0;
    while (total < capacity) {
        const ssize_t n = ::read(fd, buf + total, capacity - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        total += size_t(n);
    }
    ::close(fd);
    return ssize_t(total);
}

bool readAt(int fd, uint64_t offset, void *buf, size_t size)
{
    return ::lseek(fd, off_t(offset), SEEK_SET) == off_t(offset) && ::read(fd, buf, size) == ssize_t(size);
}

uint64_t parseHex(const char *&p)
{
    uint64_t v = 0;
    for (;; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9')
            v = v * 16 + uint64_t(c - '0');
        else if (c >= 'a' && c <= 'f')
            v = v * 16 + uint64_t(c - 'a' + 10);
        else
            return v;
    }
}

// GNU build id of the ELF file at path, from its note segments.
uint32_t readBuildId(const char *path, uint8_t *out)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    uint32_t length = 0;
    Elf64_Ehdr eh;
    if (readAt(fd, 0, &eh, sizeof(eh)) && std::memcmp(eh.e_ident, ELFMAG, SELFMAG) == 0
        && eh.e_ident[EI_CLASS] == ELFCLASS64 && eh.e_phentsize == sizeof(Elf64_Phdr) && eh.e_phnum < 64) {
        Elf64_Phdr ph[64];
        if (readAt(fd, eh.e_phoff, ph, eh.e_phnum * sizeof(Elf64_Phdr))) {
            for (int i = 0; i < eh.e_phnum && length == 0; ++i) {
                if (ph[i].p_type != PT_NOTE)
                    continue;
                const size_t size = ph[i].p_filesz < sizeof(g_scratch) ? ph[i].p_filesz : sizeof(g_scratch);
                if (!readAt(fd, ph[i].p_offset, g_scratch, size))
                    continue;
                size_t at = 0;
                while (at + sizeof(Elf64_Nhdr) <= size) {
                    Elf64_Nhdr nh;
                    std::memcpy(&nh, g_scratch + at, sizeof(nh));
                    const size_t name = at + sizeof(nh);
                    const size_t desc = name + ((nh.n_namesz + 3) & ~3u);
                    if (desc + nh.n_descsz > size)
                        break;
                    if (nh.n_type == NT_GNU_BUILD_ID && nh.n_namesz == 4
                        && std::memcmp(g_scratch + name, "GNU", 4) == 0) {
                        length = nh.n_descsz < kMaxBuildId ? nh.n_descsz : kMaxBuildId;
                        std::memcpy(out, g_scratch + desc, length);
                        break;
                    }
                    at = desc + ((nh.n_descsz + 3) & ~3u);
                }
            }
        }
    }
    ::close(fd);
    return length;
}

// Mapped files that start with an ELF header at offset 0 become modules;
// later mappings of the same file extend them. Also ends each kept stack at
// the end of the mapping holding its sp (or of the next one, when sp ran into
// a guard gap).
int collectModules()
{
    const ssize_t length = readFile("/proc/self/maps", g_maps, sizeof(g_maps) - 1);
    if (length <= 0)
        return 0;
    g_maps[length] = '\0';
    int count = 0;
    char *line = g_maps;
    while (*line) {
        char *next = line;
        while (*next && *next != '\n')
            ++next;
        if (*next)
            *next++ = '\0';
        const char *p = line;
        const uint64_t start = parseHex(p);
        ++p;
        const uint64_t end = parseHex(p);
        while (*p == ' ')
            ++p;
        p += 5; // permissions
        const uint64_t offset = parseHex(p);
        for (int field = 0; field < 2 && *p; ++field) { // device, inode
            while (*p == ' ')
                ++p;
            while (*p && *p != ' ')
                ++p;
        }
        while (*p == ' ')
            ++p;
        const char *name = p;
        const uint32_t nameLength = uint32_t(std::strlen(name));
        line = next;
        for (int i = 0; i < g_stackCount; ++i) {
            ThreadEntry &t = g_threads[i];
            if (end > t.sp && end < t.stackEnd && start < t.stackEnd)
                t.stackEnd = end;
        }
        if (name[0] != '/' || std::strncmp(name, "/dev/", 5) == 0)
            continue;
        ModuleEntry *last = count > 0 ? &g_modules[count - 1] : nullptr;
        if (last && last->nameLength == nameLength && std::memcmp(last->name, name, nameLength) == 0
            && start >= last->end) {
            last->end = end;
            continue;
        }
        if (offset != 0 || count >= kMaxModules)
            continue;
        char magic[4] = {};
        const int fd = ::open(name, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        const bool elf = ::read(fd, magic, 4) == 4 && std::memcmp(magic, ELFMAG, SELFMAG) == 0;
        ::close(fd);
        if (!elf)
            continue;
        ModuleEntry &m = g_modules[count++];
        m.start = start;
        m.end = end;
        m.name = name;
        m.nameLength = nameLength;
        m.buildIdLength = readBuildId(name, m.buildId);
    }
    return count;
}

int collectThreads()
{
    const int fd = ::open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    int count = 0;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, g_scratch, sizeof(g_scratch));
        if (n <= 0)
            break;
        for (long at = 0; at < n;) {
            const uint8_t *entry = g_scratch + at;
            uint16_t recordLength;
            std::memcpy(&recordLength, entry + 16, 2);
            const char *name = reinterpret_cast<const char *>(entry + 19);
            uint32_t tid = 0;
            for (; *name >= '0' && *name <= '9'; ++name)
                tid = tid * 10 + uint32_t(*name - '0');
            if (tid != 0 && count < kMaxThreads)
                g_threads[count++] = {tid, 0, 0, 0, 0};
            at += recordLength;
        }
    }
    ::close(fd);
    return count;
}

// Stack and instruction pointer of a thread blocked in the kernel, from
// /proc/self/task/<tid>/syscall ("<nr> <args...> <sp> <pc>"); false while
// it runs.
bool readBlockedRegisters(uint32_t tid, uint64_t *sp, uint64_t *pc)
{
    char path[64] = "/proc/self/task/";
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char('0' + tid % 10);
        tid /= 10;
    } while (tid);
    char *out = path + std::strlen(path);
    while (n)
        *out++ = digits[--n];
    std::memcpy(out, "/syscall", 9);
    char text[256];
    const ssize_t length = readFile(path, text, sizeof(text) - 1);
    if (length <= 0 || text[0] == 'r')
        return false;
    text[length] = '\0';
    uint64_t values[2] = {0, 0};
    int found = 0;
    for (const char *p = text; *p;) {
        if (p[0] == '0' && p[1] == 'x') {
            p += 2;
            values[0] = values[1];
            values[1] = parseHex(p);
            ++found;
        } else {
            ++p;
        }
    }
    *sp = values[0];
    *pc = values[1];
    return found >= 2 && *sp != 0;
}

void fillContext(ContextAmd64 &c, const ucontext_t *uc)
{
    std::memset(&c, 0, sizeof(c));
    const greg_t *g = uc->uc_mcontext.gregs;
    c.flags = kContextAll;
    c.rax = uint64_t(g[REG_RAX]);
    c.rcx = uint64_t(g[REG_RCX]);
    c.rdx = uint64_t(g[REG_RDX]);
    c.rbx = uint64_t(g[REG_RBX]);
    c.rsp = uint64_t(g[REG_RSP]);
    c.rbp = uint64_t(g[REG_RBP]);
    c.rsi = uint64_t(g[REG_RSI]);
    c.rdi = uint64_t(g[REG_RDI]);
    c.r8 = uint64_t(g[REG_R8]);
    c.r9 = uint64_t(g[REG_R9]);
    c.r10 = uint64_t(g[REG_R10]);
    c.r11 = uint64_t(g[REG_R11]);
    c.r12 = uint64_t(g[REG_R12]);
    c.r13 = uint64_t(g[REG_R13]);
    c.r14 = uint64_t(g[REG_R14]);
    c.r15 = uint64_t(g[REG_R15]);
    c.rip = uint64_t(g[REG_RIP]);
    c.eflags = uint32_t(g[REG_EFL]);
    const uint64_t segments = uint64_t(g[REG_CSGSFS]);
    c.cs = uint16_t(segments);
    c.gs = uint16_t(segments >> 16);
    c.fs = uint16_t(segments >> 32);
    c.ss = uint16_t(segments >> 48);
    if (uc->uc_mcontext.fpregs) {
        static_assert(sizeof(*uc->uc_mcontext.fpregs) == 512, "fxsave area");
        std::memcpy(c.fltSave, uc->uc_mcontext.fpregs, 512);
        c.mxcsr = uc->uc_mcontext.fpregs->mxcsr;
    }
}

uint32_t align4(uint32_t v)
{
    return (v + 3) & ~3u;
}

} // namespace

void MinidumpWriter::prepare()
{
    g_processors = uint8_t(sysconf(_SC_NPROCESSORS_ONLN) > 255 ? 255 : sysconf(_SC_NPROCESSORS_ONLN));
    struct utsname u;
    if (::uname(&u) == 0) {
        const char *p = u.release;
        for (int i = 0; i < 3; ++i) {
            uint32_t v = 0;
            for (; *p >= '0' && *p <= '9'; ++p)
                v = v * 10 + uint32_t(*p - '0');
            g_kernel[i] = v;
            if (*p == '.')
                ++p;
        }
        // Service-pack text: the full kernel description, as ASCII in UTF-16.
        g_csdChars = 0;
        const char *parts[] = {u.sysname, " ", u.release, " ", u.version, " ", u.machine};
        for (const char *part : parts)
            for (; *part && g_csdChars < sizeof(g_csd) / 2 - 1; ++part)
                g_csd[g_csdChars++] = uint16_t(uint8_t(*part));
    }
}

bool MinidumpWriter::write(int fd, int signal, const siginfo_t *info, const ucontext_t *context, pid_t crashTid)
{
    // The crashing thread first, then those blocked in the kernel (they
    // cannot move while this thread reads their stacks' pages one by one, and
    // if one does, the copy is only stale). Stacks go from just below the
    // stack pointer (red zone) up to the end of their mapping, bounded.
    int threadCount = collectThreads();
    int crashIndex = -1;
    for (int i = 0; i < threadCount; ++i)
        crashIndex = g_threads[i].tid == uint32_t(crashTid) ? i : crashIndex;
    if (crashIndex < 0 && threadCount < kMaxThreads)
        crashIndex = threadCount++;
    if (crashIndex < 0)
        crashIndex = 0;
    const ThreadEntry first = g_threads[0];
    g_threads[0] = {uint32_t(crashTid), uint64_t(context->uc_mcontext.gregs[REG_RSP]),
                    uint64_t(context->uc_mcontext.gregs[REG_RIP]), 0, 0};
    if (crashIndex != 0)
        g_threads[crashIndex] = first;
    g_stackCount = 1;
    for (int i = 1; i < threadCount; ++i) {
        ThreadEntry &t = g_threads[i];
        if (g_stackCount < kMaxStacks && readBlockedRegisters(t.tid, &t.sp, &t.pc))
            std::swap(t, g_threads[g_stackCount++]);
    }
    for (int i = 0; i < g_stackCount; ++i) {
        ThreadEntry &t = g_threads[i];
        t.stackStart = (t.sp - 128) & ~uint64_t(15);
        t.stackEnd = t.stackStart + (i == 0 ? kStackBytes : kOtherStackBytes);
    }
    const int moduleCount = collectModules();

    // Layout: header, directory, system info, its text, process id,
    // exception, contexts, thread list, stacks, memory list (the stacks again,
    // where debuggers look for memory), module list, names and build ids.
    constexpr uint32_t kStreams = 6;
    uint32_t at = sizeof(Header);
    const uint32_t directoryRva = at;
    at += kStreams * sizeof(Directory);
    const uint32_t systemRva = at;
    at += sizeof(SystemInfo);
    const uint32_t csdRva = at;
    at = align4(at + 4 + (g_csdChars + 1) * 2);
    const uint32_t miscRva = at;
    at += sizeof(MiscInfo);
    const uint32_t exceptionRva = at;
    at += sizeof(ExceptionRecord);
    const uint32_t contextRva = at;
    at += uint32_t(g_stackCount) * sizeof(ContextAmd64);
    const uint32_t threadsRva = at;
    const uint32_t threadsSize = 4 + uint32_t(threadCount) * sizeof(Thread);
    at += threadsSize;
    const uint32_t stackRva = at;
    for (int i = 0; i < g_stackCount; ++i)
        at += uint32_t(g_threads[i].stackEnd - g_threads[i].stackStart);
    const uint32_t memoryRva = at;
    const uint32_t memorySize = 4 + uint32_t(g_stackCount) * sizeof(MemoryRange);
    at += memorySize;
    const uint32_t modulesRva = at;
    const uint32_t modulesSize = 4 + uint32_t(moduleCount) * sizeof(Module);
    at += modulesSize;

    Header header = {kSignature, kVersion, kStreams, directoryRva, 0, 0, 0};
    struct timespec now;
    if (::clock_gettime(CLOCK_REALTIME, &now) == 0)
        header.timeDateStamp = uint32_t(now.tv_sec);
    const Directory directory[kStreams] = {
        {kSystemInfoStream, {sizeof(SystemInfo), systemRva}},
        {kMiscInfoStream, {sizeof(MiscInfo), miscRva}},
        {kMemoryListStream, {memorySize, memoryRva}},
        {kExceptionStream, {sizeof(ExceptionRecord), exceptionRva}},
        {kThreadListStream, {threadsSize, threadsRva}},
        {kModuleListStream, {modulesSize, modulesRva}},
    };

    SystemInfo system;
    std::memset(&system, 0, sizeof(system));
    system.architecture = kArchAmd64;
    system.processors = g_processors;
    system.major = g_kernel[0];
    system.minor = g_kernel[1];
    system.build = g_kernel[2];
    system.platform = kPlatformLinux;
    system.csdVersionRva = csdRva;
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(0, &a, &b, &c, &d)) {
        system.vendor[0] = b;
        system.vendor[1] = d;
        system.vendor[2] = c;
    }
    if (__get_cpuid(1, &a, &b, &c, &d)) {
        system.versionInformation = a;
        system.featureInformation = d;
        system.level = uint16_t((a >> 8) & 0xf);
        system.revision = uint16_t((((a >> 4) & 0xf) << 8) | (a & 0xf));
    }

    ExceptionRecord exception;
    std::memset(&exception, 0, sizeof(exception));
    exception.threadId = uint32_t(crashTid);
    exception.code = uint32_t(signal);
    exception.flags = info ? uint32_t(info->si_code) : 0;
    exception.address = info ? reinterpret_cast<uint64_t>(info->si_addr) : 0;
    exception.context = {sizeof(ContextAmd64), contextRva};

    static ContextAmd64 registers;
    fillContext(registers, context);

    bool ok = writeAll(fd, &header, sizeof(header)) && writeAll(fd, directory, sizeof(directory))
        && writeAll(fd, &system, sizeof(system));
    const uint32_t csdBytes = g_csdChars * 2;
    const uint16_t terminator = 0;
    ok = ok && writeAll(fd, &csdBytes, 4) && writeAll(fd, g_csd, csdBytes) && writeAll(fd, &terminator, 2)
        && writeZeros(fd, miscRva - (csdRva + 4 + csdBytes + 2));
    const MiscInfo misc = {sizeof(MiscInfo), 1, uint32_t(::getpid()), {0, 0, 0}};
    ok = ok && writeAll(fd, &misc, sizeof(misc));
    ok = ok && writeAll(fd, &exception, sizeof(exception)) && writeAll(fd, &registers, sizeof(registers));
    // Blocked threads: only their stack and instruction pointers are known.
    for (int i = 1; ok && i < g_stackCount; ++i) {
        std::memset(&registers, 0, sizeof(registers));
        registers.flags = kContextAmd64 | 0x1;
        registers.rsp = g_threads[i].sp;
        registers.rip = g_threads[i].pc;
        ok = writeAll(fd, &registers, sizeof(registers));
    }

    // Threads running elsewhere: their ids only.
    const uint32_t threads = uint32_t(threadCount);
    ok = ok && writeAll(fd, &threads, 4);
    uint32_t nextStack = stackRva;
    for (int i = 0; ok && i < threadCount; ++i) {
        Thread t;
        std::memset(&t, 0, sizeof(t));
        t.id = g_threads[i].tid;
        if (i < g_stackCount) {
            const uint32_t size = uint32_t(g_threads[i].stackEnd - g_threads[i].stackStart);
            t.stackStart = g_threads[i].stackStart;
            t.stack = {size, nextStack};
            t.context = {sizeof(ContextAmd64), contextRva + uint32_t(i) * uint32_t(sizeof(ContextAmd64))};
            nextStack += size;
        }
        ok = writeAll(fd, &t, sizeof(t));
    }
    for (int i = 0; ok && i < g_stackCount; ++i)
        ok = writeMemory(fd, g_threads[i].stackStart, g_threads[i].stackEnd - g_threads[i].stackStart);
    const uint32_t ranges = uint32_t(g_stackCount);
    ok = ok && writeAll(fd, &ranges, 4);
    nextStack = stackRva;
    for (int i = 0; ok && i < g_stackCount; ++i) {
        const uint32_t size = uint32_t(g_threads[i].stackEnd - g_threads[i].stackStart);
        const MemoryRange range = {g_threads[i].stackStart, {size, nextStack}};
        ok = writeAll(fd, &range, sizeof(range));
        nextStack += size;
    }

    const uint32_t modules = uint32_t(moduleCount);
    ok = ok && writeAll(fd, &modules, 4);
    uint32_t extra = at;
    for (int i = 0; ok && i < moduleCount; ++i) {
        const ModuleEntry &e = g_modules[i];
        Module m;
        std::memset(&m, 0, sizeof(m));
        m.base = e.start;
        m.size = uint32_t(e.end - e.start);
        m.nameRva = extra;
        extra = align4(extra + 4 + (e.nameLength + 1) * 2);
        if (e.buildIdLength > 0) {
            m.cvRecord = {4 + e.buildIdLength, extra};
            extra = align4(extra + 4 + e.buildIdLength);
        }
        ok = writeAll(fd, &m, sizeof(m));
    }
    for (int i = 0; ok && i < moduleCount; ++i) {
        const ModuleEntry &e = g_modules[i];
        const uint32_t nameBytes = e.nameLength * 2;
        ok = writeAll(fd, &nameBytes, 4);
        uint16_t wide[128];
        for (uint32_t from = 0; ok && from <= e.nameLength; from += 128) {
            uint32_t n = 0;
            for (; n < 128 && from + n <= e.nameLength; ++n)
                wide[n] = from + n < e.nameLength ? uint16_t(uint8_t(e.name[from + n])) : 0;
            ok = writeAll(fd, wide, n * 2);
        }
        const uint32_t written = 4 + nameBytes + 2;
        ok = ok && writeZeros(fd, align4(written) - written);
        if (ok && e.buildIdLength > 0) {
            ok = writeAll(fd, &kCvElfBuildId, 4) && writeAll(fd, e.buildId, e.buildIdLength)
                && writeZeros(fd, align4(4 + e.buildIdLength) - (4 + e.buildIdLength));
        }
    }
    return ok;
}

} // namespace crashdump
