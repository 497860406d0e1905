#include "package/FirmwareBuilder.h"

#include "comm/CameraModel.h"
#include "comm/Util.h"
#include "package/PackageFormat.h"

#include <QCryptographicHash>
#include <QStringList>

#include <algorithm>
#include <cstring>
#include <vector>

namespace vexo {
namespace pc {

using namespace pkgfmt;

namespace {

// splitmix64: small, fast and fully determined by its seed.
class Rng
{
public:
    explicit Rng(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }

    // Uniform in [0, n).
    quint32 below(quint32 n) { return n == 0 ? 0 : quint32(next() % n); }
    // Uniform in [lo, hi].
    int range(int lo, int hi) { return lo + int(below(quint32(hi - lo + 1))); }

private:
    quint64 m_state;
};

quint64 mix(quint64 a, quint64 b)
{
    Rng r(a * 0x9E3779B97F4A7C15ull ^ (b + 0x632BE59BD9B4E019ull));
    return r.next();
}

// Load address of a module's image; pointers into the module fall in
// [base, base + size).
quint32 moduleBase(quint64 seed)
{
    return 0x40000000u + (quint32(seed & 0x3F) << 22);
}

// A fixed vocabulary of instruction words: most code reuses a small set
// of encodings with varying register and immediate fields.
quint32 instructionWord(Rng &rng)
{
    static const quint32 templates[] = {
        0xE59F0000, 0xE5900000, 0xE5800000, 0xE1A00000, 0xE2800000, 0xE3500000,
        0xE3A00000, 0xE0800000, 0xE0400000, 0xE1500000, 0x1A000000, 0x0A000000,
        0xEA000000, 0xE3C00000, 0xE2400000, 0xE7900000, 0xE1D000B0, 0xE1C000B0,
        0xE5D00000, 0xE5C00000, 0xE0000090, 0xE12FFF1E,
    };
    const int n = int(sizeof templates / sizeof templates[0]);
    // Skewed choice: the first encodings are by far the most common.
    const int t = int(std::min(rng.below(quint32(n)), rng.below(quint32(n))));
    quint32 w = templates[t];
    w |= (std::min(rng.below(13), rng.below(13)) << 16) | (std::min(rng.below(13), rng.below(13)) << 12);
    w |= rng.below(4) == 0 ? rng.below(4096) : (rng.below(16) << 2);
    return w;
}

// What compiled code of one module looks like: a pool of instruction
// sequences (compiler idioms) that functions are assembled from, with calls
// and literal pointers into the module's own image mixed in. Code made from
// the pool is as repetitive as real code, and code added by a revision
// looks like the rest.
struct CodeModel
{
    quint32 base = 0;
    int size = 0;
    std::vector<std::vector<quint32>> idioms;

    CodeModel(quint64 seed, int moduleSize) : base(moduleBase(seed)), size(moduleSize)
    {
        Rng rng(seed ^ 0x1D10A5ull);
        idioms.resize(384);
        for (std::vector<quint32> &idiom : idioms) {
            const int words = rng.range(2, 10);
            for (int i = 0; i < words; ++i)
                idiom.push_back(instructionWord(rng));
        }
    }

    quint32 pointer(Rng &rng) const
    {
        return size >= 4 ? base + (rng.below(quint32(size)) & ~3u) : base;
    }
};

void appendCode(QByteArray &out, Rng &rng, int bytes, const CodeModel &model)
{
    // Functions: a prologue, idioms, calls and literal loads, an epilogue.
    const int n = int(model.idioms.size());
    int words = bytes / 4;
    while (words > 0) {
        int fn = std::min(words, rng.range(8, 160));
        words -= fn;
        appendLe32(out, 0xE92D4000u | (rng.below(8) << 4));
        --fn;
        while (fn > 1) {
            const quint32 kind = rng.below(100);
            if (kind < 6) {
                appendLe32(out, model.pointer(rng));
                --fn;
            } else if (kind < 14) {
                appendLe32(out, 0xEB000000u | ((rng.below(1u << 16) - (1u << 15)) & 0x00FFFFFFu));
                --fn;
            } else {
                const int pick = int(std::min({rng.below(quint32(n)), rng.below(quint32(n)),
                                               rng.below(quint32(n))}));
                for (const quint32 w : model.idioms[size_t(pick)]) {
                    if (fn <= 1)
                        break;
                    appendLe32(out, w);
                    --fn;
                }
            }
        }
        if (fn > 0)
            appendLe32(out, 0xE8BD8000u | (rng.below(8) << 4));
    }
    out.append(bytes % 4, '\0');
}

void appendStrings(QByteArray &out, Rng &rng, int bytes)
{
    static const char *const words[] = {
        "camera", "sensor", "init", "failed", "ok", "frame", "isp", "venc", "uvc", "gimbal",
        "zoom", "focus", "exposure", "white", "balance", "error", "timeout", "open", "close",
        "buffer", "stream", "mjpeg", "h264", "config", "update", "version", "module", "load",
        "%s", "%d", "0x%08x", "=", ":", "ai", "track", "face", "body", "detect", "model"};
    const int n = int(sizeof words / sizeof words[0]);
    const int end = out.size() + bytes;
    while (out.size() < end) {
        const int count = rng.range(2, 8);
        for (int i = 0; i < count; ++i) {
            if (i)
                out.append(' ');
            out.append(words[rng.below(quint32(n))]);
        }
        if (rng.below(3) == 0)
            out.append('\n');
        out.append('\0');
    }
    out.truncate(end);
}

void appendPointerTable(QByteArray &out, Rng &rng, int bytes, const CodeModel &model)
{
    const quint32 base = model.base;
    const int size = model.size;
    quint32 p = base + (rng.below(quint32(std::max(4, size / 2))) & ~3u);
    for (int i = 0; i + 4 <= bytes; i += 4) {
        appendLe32(out, p);
        p += 4 * rng.range(1, 64);
        if (p >= base + quint32(size))
            p = base;
    }
}

void appendRandom(QByteArray &out, Rng &rng, int bytes)
{
    for (int i = 0; i < bytes; i += 8) {
        const quint64 v = rng.next();
        out.append(reinterpret_cast<const char *>(&v), std::min(8, bytes - i));
    }
}

QByteArray baseContent(quint64 seed, int size)
{
    Rng rng(seed);
    const CodeModel model(seed, size);
    QByteArray out;
    out.reserve(size + 64 * 1024);
    // By volume roughly: code 55 %, incompressible blobs (compressed
    // sections) 20 %, strings 12 %, pointer tables 8 %, padding 5 %.
    while (out.size() < size) {
        const quint32 kind = rng.below(100);
        if (kind < 55) {
            appendCode(out, rng, rng.range(512, 8192) * 4, model);
        } else if (kind < 67) {
            appendStrings(out, rng, rng.range(2048, 32768));
        } else if (kind < 75) {
            appendPointerTable(out, rng, rng.range(512, 8192) * 4, model);
        } else if (kind < 80) {
            out.append(rng.range(2048, 32768), rng.below(2) ? char(0xFF) : char(0));
        } else {
            appendRandom(out, rng, rng.range(2048, 32768));
        }
        // Sections start on 16-byte boundaries.
        while (out.size() % 16)
            out.append('\0');
    }
    out.truncate(size);
    return out;
}

// One round of edits as a rebuild makes them. The result keeps the length
// of the input.
QByteArray revise(const QByteArray &data, quint64 seed, quint64 contentSeed)
{
    const int size = data.size();
    if (size < 64)
        return data;
    Rng rng(seed);
    const CodeModel model(contentSeed, size);
    const quint32 base = model.base;

    const int sites = std::max(1, size / (96 * 1024));
    std::vector<int> positions;
    for (int i = 0; i < sites; ++i)
        positions.push_back(int(rng.below(quint32(size))) & ~3);
    std::sort(positions.begin(), positions.end());

    struct Shift
    {
        int at;    // position in the old content
        int delta; // bytes inserted (positive) or removed (negative) there
    };
    std::vector<Shift> shifts;
    QByteArray out;
    out.reserve(size + sites * 2048);
    int cur = 0;
    for (const int pos : positions) {
        if (pos < cur)
            continue;
        out.append(data.constData() + cur, pos - cur);
        cur = pos;
        const quint32 op = rng.below(100);
        if (op < 45) {
            const int n = rng.range(4, 512) * 4;
            appendCode(out, rng, n, model);
            shifts.push_back({pos, n});
        } else if (op < 65) {
            const int n = std::min(rng.range(4, 512) * 4, size - cur);
            cur += n;
            shifts.push_back({pos, -n});
        } else if (op < 90) {
            const int n = std::min(rng.range(1, 64) * 4, size - cur);
            appendCode(out, rng, n, model);
            cur += n;
        } else {
            const int n = std::min(rng.range(1024, 16384), size - cur);
            appendRandom(out, rng, n);
            cur += n;
        }
    }
    out.append(data.constData() + cur, size - cur);

    // Pointers into code that moved follow it.
    auto shiftAt = [&shifts](quint32 target) {
        qint64 d = 0;
        for (const Shift &s : shifts) {
            if (quint32(s.at) > target)
                break;
            d += s.delta;
        }
        return d;
    };
    if (!shifts.empty()) {
        auto *p = reinterpret_cast<quint8 *>(out.data());
        for (int i = 0; i + 4 <= out.size(); i += 4) {
            const quint32 v = le32(p + i);
            if (v < base || v >= base + quint32(size))
                continue;
            const qint64 moved = qint64(v) + shiftAt(v - base);
            const quint32 nv = quint32(std::max<qint64>(base, moved));
            setLe32(p + i, nv);
        }
    }

    if (out.size() > size)
        out.truncate(size);
    else
        out.append(size - out.size(), char(0xFF));
    return out;
}

void fillRandom(QByteArray &buf, int from, int to, Rng &rng)
{
    for (int i = from; i < to; ++i)
        buf[i] = char(rng.below(256));
}

void putName(QByteArray &header, int offset, const QString &text)
{
    const QByteArray latin = text.toLatin1().left(kNameFieldSize - 1);
    std::memset(header.data() + offset, 0, kNameFieldSize);
    std::memcpy(header.data() + offset, latin.constData(), size_t(latin.size()));
}

QByteArray md5Of(const QList<FirmwareBuilder::Module> &modules)
{
    QCryptographicHash md5(QCryptographicHash::Md5);
    for (const FirmwareBuilder::Module &m : modules)
        md5.addData(m.data);
    return md5.result();
}

// Module headers of either kind, laid out back to back after the package
// header and its module headers. Both kinds keep id, length and offset in
// their first twelve bytes; fill sets what only one kind holds (carried-
// through bytes, checksums of the data).
struct Layout
{
    QByteArray headers;
    quint32 dataOffset = 0;
    quint32 end = 0;
};

template <typename Fill>
Layout layOut(const QList<FirmwareBuilder::Module> &modules, Fill fill)
{
    Layout layout;
    layout.dataOffset = quint32(modules.size() + 1) * kHeaderSize;
    layout.end = layout.dataOffset;
    for (const FirmwareBuilder::Module &m : modules) {
        QByteArray h(kHeaderSize, '\0');
        fill(h, m);
        setLe32(h, kModId, m.id);
        setLe32(h, kModLength, quint32(m.data.size()));
        setLe32(h, kModOffset, layout.end);
        updateHeaderCrc(h);
        layout.headers.append(h);
        layout.end += quint32(m.data.size());
    }
    return layout;
}

QByteArray assemble(const QByteArray &header, const Layout &layout,
                    const QList<FirmwareBuilder::Module> &modules)
{
    QByteArray out = header + layout.headers;
    out.reserve(int(layout.end));
    for (const FirmwareBuilder::Module &m : modules)
        out.append(m.data);
    return out;
}

} // namespace

bool FirmwareBuilder::parseVersion(const QString &text, quint8 out[4])
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        const uint v = parts.at(i).toUInt(&ok);
        if (!ok || v > 255)
            return false;
        out[i] = quint8(v);
    }
    return true;
}

QString FirmwareBuilder::fileName(const Description &desc, const QString &platform)
{
    return desc.product + QLatin1Char('_') + desc.branch + QLatin1Char('_') + platform
           + QLatin1Char('_') + desc.version + QLatin1Char('_') + desc.status
           + QStringLiteral(".bin");
}

QByteArray FirmwareBuilder::firmwareLikeData(quint64 seed, int size, int revision)
{
    QByteArray data = baseContent(seed, std::max(0, size));
    for (int r = 1; r <= revision; ++r)
        data = revise(data, mix(seed, quint64(r)), seed);
    return data;
}

QByteArray FirmwareBuilder::cameraPackage(const QList<Module> &modules, quint32 seed)
{
    Rng rng(mix(seed, 0xCA));
    QByteArray header(kHeaderSize, '\0');
    fillRandom(header, 16, 20, rng);
    fillRandom(header, 36, kCrcOffset, rng);
    const Layout layout = layOut(modules, [&rng](QByteArray &h, const Module &m) {
        fillRandom(h, 12, kCamModMd5, rng);
        fillRandom(h, kCamModMd5 + 16, kCrcOffset, rng);
        h.replace(kCamModMd5, 16, QCryptographicHash::hash(m.data, QCryptographicHash::Md5));
    });
    setLe32(header, 0, kCameraMagic);
    setLe32(header, kCamDataOffset, layout.dataOffset);
    setLe32(header, kCamTotalSize, layout.end);
    setLe32(header, kCamModuleCount, quint32(modules.size()));
    header.replace(kCamMd5, 16, md5Of(modules));
    updateHeaderCrc(header);
    return assemble(header, layout, modules);
}

QByteArray FirmwareBuilder::firmwarePackage(const Description &desc, const QList<Module> &modules)
{
    Rng rng(mix(desc.seed, 0xF1));
    QByteArray header(kHeaderSize, '\0');
    fillRandom(header, 52, 56, rng);
    fillRandom(header, kFwSocVersion + 1, kCrcOffset, rng);
    const Layout layout = layOut(modules, [&rng](QByteArray &h, const Module &m) {
        fillRandom(h, 12, kModCrc, rng);
        fillRandom(h, kModMd5 + 16, kModHeadOffset, rng);
        fillRandom(h, kModHeadLength + 4, kCrcOffset, rng);
        setLe32(h, kModCrc, Util::crc32(m.data.constData(), m.data.size()));
        h.replace(kModMd5, 16, QCryptographicHash::hash(m.data, QCryptographicHash::Md5));
    });
    setLe32(header, 0, kFirmwareMagic);
    setLe32(header, kFwDataOffset, layout.dataOffset);
    setLe32(header, kFwTotalSize, layout.end);
    setLe32(header, kFwModuleCount, quint32(modules.size()));
    putName(header, kFwProduct, desc.product);
    putName(header, kFwBranch, desc.branch);
    quint8 v[4] = {0, 0, 0, 0};
    parseVersion(desc.version, v);
    for (int i = 0; i < 4; ++i)
        header[kFwVersion + i] = char(v[i]);
    header.replace(kFwMd5, 16, md5Of(modules));
    putName(header, kFwPlatform, desc.platform);
    putName(header, kFwStatus, desc.status);
    header[kFwSocVersion] = char(desc.socVersion);
    updateHeaderCrc(header);
    return assemble(header, layout, modules);
}

QByteArray FirmwareBuilder::syntheticPackage(const Description &desc)
{
    if (desc.size < 64 * 1024 || desc.size > 1024ll * 1024 * 1024)
        return {};
    const int total = int(desc.size);
    auto content = [&desc](quint32 id, bool camera, int size) {
        const quint64 seed = mix(desc.seed, quint64(id) + (camera ? 0x100 : 0));
        return firmwareLikeData(seed, size, desc.revision);
    };
    // Sizes are multiples of 16 except the largest module, which takes up
    // the rest so that the package has exactly the requested size.
    auto part = [](int whole, int percent) { return std::max(1024, whole / 100 * percent) & ~15; };

    if (!desc.withCamera) {
        const int data = total - 4 * kHeaderSize;
        const int m5 = part(data, 5);
        const int m6 = part(data, 1);
        const QList<Module> modules{{2, content(2, false, data - m5 - m6)},
                                    {5, content(5, false, m5)},
                                    {6, content(6, false, m6)}};
        return firmwarePackage(desc, modules);
    }

    const int data = total - 4 * kHeaderSize;
    const int dev2 = part(data, 2);
    const int dev5 = part(data, 1);
    const int camTotal = data - dev2 - dev5;
    const int camData = camTotal - 6 * kHeaderSize;
    const quint32 ugfsId = CameraModel::isSsc33x(desc.platform) ? 10u : 7u;
    const int c0 = part(camData, 6);
    const int c2 = part(camData, 18);
    const int c4 = part(camData, 1);
    // An updater file system is a flash image of whole 2 KiB pages.
    const int cu = std::max(2048, part(camData, 10) & ~2047);
    const int c3 = camData - c0 - c2 - c4 - cu;
    const QList<Module> camModules{{0, content(0, true, c0)},
                                   {2, content(2, true, c2)},
                                   {3, content(3, true, c3)},
                                   {4, content(4, true, c4)},
                                   {ugfsId, content(ugfsId, true, cu)}};
    const QList<Module> modules{{1, cameraPackage(camModules, desc.seed)},
                                {2, content(2, false, dev2)},
                                {5, content(5, false, dev5)}};
    return firmwarePackage(desc, modules);
}

} // namespace pc
} // namespace vexo
