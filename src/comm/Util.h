#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QString>
#include <QStringList>

#include <functional>

class QCryptographicHash;
class QFontMetrics;
class QIODevice;

namespace vexo {
namespace pc {

// Stateless helpers shared across the program: local addresses, IPv4
// conversions, checksums and digests over byte ranges of files, image
// scaling, an event-keeping wait and the line counting used to size dialogs.
// Everything here may be called from any thread; the device-based helpers
// must not be used concurrently on the same device object.
class Util final
{
public:
    Util() = delete;

    // Every IPv4 address of this PC as dotted text, in the system's order
    // (loopback included when the system lists it). Empty when there is none.
    static QStringList getLocalIps();

    // Replaces the system's address list (tests simulate network set-ups
    // with it); nullptr restores the system's list. Thread safe.
    static void setLocalIpsProvider(std::function<QStringList()> provider);

    // For each local IPv4 address its first three octets ("192.168.5");
    // duplicates are kept.
    static QStringList getLocalIpSegs();

    // "192.168.1.10" -> 0xC0A8010A. Parts that are not numbers count 0.
    static quint32 ipToUint(const QString &ip);
    // 0xC0A8010A -> "192.168.1.10".
    static QString uintToIp(quint32 ip);

    // Frame checksum of the device protocol: CRC-16/USB (check 0xB4C8).
    static quint16 crc16(const void *data, int count);
    // Header checksum of the device protocol: CRC-8, polynomial 0x07, with
    // the camera's table (entry 0x47 is 0x0D).
    static quint8 crc8(const void *data, int count);
    // CRC-32 (IEEE, reflected 0xEDB88320); 0 for no data.
    static quint32 crc32(const void *data, qint64 count);

    // Checksums and digests over byte ranges of a device. A device that is
    // not open is opened read-only for the call and closed again. Read
    // errors are not reported: short reads simply contribute fewer bytes.
    // fileCrc32: length 0 means up to the end of the device.
    static quint32 fileCrc32(QIODevice *dev, qint64 offset, qint64 length);
    // MD5 from offset to the end of the device.
    static QByteArray fileMd5(QIODevice *dev, qint64 offset);
    // MD5 of length bytes from offset.
    static QByteArray fileMd5Range(QIODevice *dev, qint64 offset, qint64 length);
    // Feeds length bytes from offset into a running hash.
    static void addFileRangeToHash(QIODevice *dev, qint64 offset, qint64 length,
                                   QCryptographicHash &hash);

    // Scales src to exactly w x h (aspect ratio ignored, smooth) and saves it
    // as dst with quality 100; the format follows dst's suffix. False when the
    // source is missing, the destination folder is missing or the source is
    // not an image.
    static bool resizeImage(const QString &src, const QString &dst, int w, int h);

    // Returns after ms milliseconds, processing the calling thread's events
    // with the given flags meanwhile.
    static void delayWithEvents(int ms,
                                QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);

    // Number of display lines the text needs when wrapped at width pixels
    // with the given font: each paragraph is at least one line; long ones
    // break at blanks, around CJK characters and after hyphens.
    static int countTextLines(const QString &text, const QFontMetrics &metrics, int width);
};

} // namespace pc
} // namespace vexo
