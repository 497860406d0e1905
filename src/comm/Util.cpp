#include "comm/Util.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHostAddress>
#include <QIODevice>
#include <QImage>
#include <QImageReader>
#include <QNetworkInterface>
#include <QThread>
#include <QTimer>

#include <zlib.h>

#include <array>
#include <limits>
#include <mutex>

namespace vexo {
namespace pc {

namespace {

// ---- checksum tables ----------------------------------------------------

// CRC-16/USB is computed byte-wise with the split tables of the reflected
// polynomial 0xA001: one table for the high byte, one for the low byte of
// the running value.
struct Crc16Tables
{
    std::array<quint8, 256> hi{};
    std::array<quint8, 256> lo{};
};

constexpr Crc16Tables makeCrc16Tables()
{
    Crc16Tables t;
    for (int i = 0; i < 256; ++i) {
        quint16 c = static_cast<quint16>(i);
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? static_cast<quint16>((c >> 1) ^ 0xA001) : static_cast<quint16>(c >> 1);
        t.hi[i] = static_cast<quint8>(c >> 8);
        t.lo[i] = static_cast<quint8>(c & 0xFF);
    }
    return t;
}

constexpr Crc16Tables kCrc16 = makeCrc16Tables();

// The header checksum of the cameras uses the table of polynomial 0x07 with
// one entry differing from the textbook table: 0x47 maps to 0x0D (0xD2 in
// the textbook). The cameras compute it this way, so we must too.
constexpr std::array<quint8, 256> makeCrc8Table()
{
    std::array<quint8, 256> t{};
    for (int i = 0; i < 256; ++i) {
        quint8 c = static_cast<quint8>(i);
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 0x80) ? static_cast<quint8>((c << 1) ^ 0x07) : static_cast<quint8>(c << 1);
        t[i] = c;
    }
    t[0x47] = 0x0D;
    return t;
}

constexpr std::array<quint8, 256> kCrc8 = makeCrc8Table();

static_assert(kCrc8[0x01] == 0x07, "CRC-8 table");
static_assert(kCrc8[0x47] == 0x0D, "CRC-8 camera table entry");
static_assert(kCrc16.hi[1] == 0xC0 && kCrc16.lo[1] == 0xC1, "CRC-16 tables");

// ---- local addresses ----------------------------------------------------

std::mutex &providerMutex()
{
    static std::mutex m;
    return m;
}

std::function<QStringList()> &providerRef()
{
    static std::function<QStringList()> p;
    return p;
}

QStringList systemLocalIps()
{
    QStringList ips;
    const QList<QHostAddress> all = QNetworkInterface::allAddresses();
    for (const QHostAddress &a : all) {
        if (a.protocol() == QAbstractSocket::IPv4Protocol)
            ips.append(a.toString());
    }
    return ips;
}

// ---- device ranges ------------------------------------------------------

constexpr qint64 kBlockSize = 2048;

// Opens a closed device read-only for the lifetime of the guard.
class DeviceOpener
{
public:
    explicit DeviceOpener(QIODevice *dev)
        : m_dev(dev)
    {
        if (m_dev && !m_dev->isOpen())
            m_opened = m_dev->open(QIODevice::ReadOnly);
    }
    ~DeviceOpener()
    {
        if (m_opened)
            m_dev->close();
    }
    bool readable() const { return m_dev && m_dev->isReadable(); }
    Q_DISABLE_COPY(DeviceOpener)

private:
    QIODevice *m_dev;
    bool m_opened = false;
};

// Reads `length` bytes (all remaining when toEnd) from `offset` in blocks of
// at most 2048 bytes and hands each block to sink. Stops at the first short
// or failed read.
template <typename Sink>
void readRange(QIODevice *dev, qint64 offset, qint64 length, bool toEnd, Sink sink)
{
    DeviceOpener opener(dev);
    if (!opener.readable() || offset < 0)
        return;
    if (!dev->isSequential()) {
        if (offset > dev->size() || !dev->seek(offset))
            return;
    } else if (offset > 0) {
        // Sequential devices cannot seek: skip forward by reading.
        qint64 skip = offset;
        char buf[kBlockSize];
        while (skip > 0) {
            const qint64 n = dev->read(buf, qMin(skip, kBlockSize));
            if (n <= 0)
                return;
            skip -= n;
        }
    }
    char buf[kBlockSize];
    qint64 remaining = toEnd ? std::numeric_limits<qint64>::max() : length;
    while (remaining > 0) {
        const qint64 n = dev->read(buf, qMin(remaining, kBlockSize));
        if (n <= 0)
            break;
        sink(buf, n);
        remaining -= n;
    }
}

// ---- line counting ------------------------------------------------------

bool isCjk(QChar c)
{
    return c.unicode() >= 0x2E80;
}

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Where the next line starts in `para` when it is too wide; returns
// para.size() when the rest of the paragraph stays on the current line.
int nextLineStart(const QString &para, const QFontMetrics &fm, int width, const QString &elided)
{
    const int n = para.size();
    const QChar ellipsis(0x2026);
    int brk = elided.lastIndexOf(ellipsis);
    if (brk < 0)
        brk = 0; // not even the ellipsis fits
    brk = qMin(brk, n);

    // Later blanks whose prefix still fits move the break forward.
    for (int b = para.indexOf(QLatin1Char(' '), brk); b > 0;
         b = para.indexOf(QLatin1Char(' '), b + 1)) {
        if (fm.horizontalAdvance(para.left(b)) > width)
            break;
        brk = b;
    }

    const bool haveBefore = brk > 0;
    const bool haveAfter = brk < n;
    const bool softBefore = haveBefore && (isCjk(para.at(brk - 1)) || isBlank(para.at(brk - 1)));
    const bool softAfter = haveAfter && (isCjk(para.at(brk)) || isBlank(para.at(brk)));

    int cut;
    if (softBefore || softAfter) {
        cut = brk;
        // A hyphen never starts a line.
        if (cut < n && para.at(cut) == QLatin1Char('-'))
            ++cut;
    } else {
        // Inside a Latin word: do not split it.
        int back = -1;
        for (int i = brk - 1; i >= 0; --i) {
            if (isBlank(para.at(i))) {
                back = i + 1;
                break;
            }
        }
        if (back < 0) {
            for (int i = brk - 1; i >= 0; --i) {
                if (isCjk(para.at(i))) {
                    back = i + 1;
                    break;
                }
            }
        }
        if (back > 0) {
            cut = back;
        } else {
            // The word is wider than the line: keep it whole and cut after
            // the next blank or hyphen.
            cut = n;
            for (int i = brk; i < n; ++i) {
                if (isBlank(para.at(i)) || para.at(i) == QLatin1Char('-')) {
                    cut = i + 1;
                    break;
                }
            }
        }
    }
    // Always make progress, even with a width too small for one character.
    if (cut <= 0)
        cut = 1;
    return cut;
}

} // namespace

QStringList Util::getLocalIps()
{
    std::function<QStringList()> provider;
    {
        std::lock_guard<std::mutex> lock(providerMutex());
        provider = providerRef();
    }
    return provider ? provider() : systemLocalIps();
}

void Util::setLocalIpsProvider(std::function<QStringList()> provider)
{
    std::lock_guard<std::mutex> lock(providerMutex());
    providerRef() = std::move(provider);
}

QStringList Util::getLocalIpSegs()
{
    QStringList segs;
    const QStringList ips = getLocalIps();
    for (const QString &ip : ips) {
        const QString seg = ip.left(ip.lastIndexOf(QLatin1Char('.')));
        qDebug().noquote() << "ip =" << seg;
        segs.append(seg);
    }
    return segs;
}

quint32 Util::ipToUint(const QString &ip)
{
    quint32 value = 0;
    const QStringList parts = ip.split(QLatin1Char('.'));
    for (const QString &p : parts)
        value = value * 256u + p.toUInt(); // not a number: 0
    return value;
}

QString Util::uintToIp(quint32 ip)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg((ip >> 24) & 0xFF)
        .arg((ip >> 16) & 0xFF)
        .arg((ip >> 8) & 0xFF)
        .arg(ip & 0xFF);
}

quint16 Util::crc16(const void *data, int count)
{
    const quint8 *p = static_cast<const quint8 *>(data);
    quint8 hi = 0xFF;
    quint8 lo = 0xFF;
    for (int i = 0; i < count; ++i) {
        const quint8 idx = lo ^ p[i];
        lo = hi ^ kCrc16.lo[idx];
        hi = kCrc16.hi[idx];
    }
    return static_cast<quint16>(~((hi << 8) | lo));
}

quint8 Util::crc8(const void *data, int count)
{
    const quint8 *p = static_cast<const quint8 *>(data);
    quint8 crc = 0;
    for (int i = 0; i < count; ++i)
        crc = kCrc8[p[i] ^ crc];
    return crc;
}

quint32 Util::crc32(const void *data, qint64 count)
{
    if (!data || count <= 0)
        return 0;
    const Bytef *p = static_cast<const Bytef *>(data);
    uLong crc = ::crc32(0L, Z_NULL, 0);
    while (count > 0) {
        const uInt n = static_cast<uInt>(qMin<qint64>(count, 1 << 30));
        crc = ::crc32(crc, p, n);
        p += n;
        count -= n;
    }
    return static_cast<quint32>(crc);
}

quint32 Util::fileCrc32(QIODevice *dev, qint64 offset, qint64 length)
{
    uLong crc = ::crc32(0L, Z_NULL, 0);
    readRange(dev, offset, length, length == 0, [&crc](const char *buf, qint64 n) {
        crc = ::crc32(crc, reinterpret_cast<const Bytef *>(buf), static_cast<uInt>(n));
    });
    return static_cast<quint32>(crc);
}

QByteArray Util::fileMd5(QIODevice *dev, qint64 offset)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    readRange(dev, offset, 0, true,
              [&hash](const char *buf, qint64 n) { hash.addData(buf, static_cast<int>(n)); });
    return hash.result();
}

QByteArray Util::fileMd5Range(QIODevice *dev, qint64 offset, qint64 length)
{
    QCryptographicHash hash(QCryptographicHash::Md5);
    addFileRangeToHash(dev, offset, length, hash);
    return hash.result();
}

void Util::addFileRangeToHash(QIODevice *dev, qint64 offset, qint64 length,
                              QCryptographicHash &hash)
{
    if (length <= 0)
        return;
    readRange(dev, offset, length, false,
              [&hash](const char *buf, qint64 n) { hash.addData(buf, static_cast<int>(n)); });
}

bool Util::resizeImage(const QString &src, const QString &dst, int w, int h)
{
    if (!QFileInfo::exists(src)) {
        qCritical().noquote() << "Source image not exist:" << src;
        return false;
    }
    const QString dir = QFileInfo(dst).absolutePath();
    if (!QDir(dir).exists()) {
        qCritical().noquote() << "Directory not exist:" << dir;
        return false;
    }
    QImage image;
    if (QImageReader::imageFormat(src).isEmpty() || !image.load(src)) {
        qCritical() << "Image format invalid";
        return false;
    }
    image.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).save(dst, nullptr, 100);
    return true;
}

void Util::delayWithEvents(int ms, QEventLoop::ProcessEventsFlags flags)
{
    if (ms <= 0)
        return;
    QElapsedTimer timer;
    timer.start();
    if (!QCoreApplication::instance()) {
        QThread::msleep(static_cast<unsigned long>(ms));
        return;
    }
    // A local loop woken by a timer waits without spinning; the elapsed
    // check covers a loop that was left early.
    while (timer.elapsed() < ms) {
        QEventLoop loop;
        QTimer wake;
        wake.setSingleShot(true);
        QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
        wake.start(static_cast<int>(ms - timer.elapsed()));
        loop.exec(flags);
    }
}

int Util::countTextLines(const QString &text, const QFontMetrics &metrics, int width)
{
    int lines = 0;
    QString normalized = text;
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const QStringList paragraphs = normalized.split(QLatin1Char('\n'));
    for (QString para : paragraphs) {
        ++lines;
        for (;;) {
            const QString elided = metrics.elidedText(para, Qt::ElideRight, width);
            if (elided == para)
                break; // fits
            const int cut = nextLineStart(para, metrics, width, elided);
            int next = cut;
            while (next < para.size() && isBlank(para.at(next)))
                ++next;
            if (next >= para.size())
                break; // nothing left for another line
            para = para.mid(next);
            ++lines;
        }
    }
    return lines;
}

} // namespace pc
} // namespace vexo
