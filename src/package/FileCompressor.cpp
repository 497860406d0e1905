#include "package/FileCompressor.h"

#include <QDebug>
#include <QFile>

#include <lzma.h>

#include <limits>

namespace vexo {
namespace pc {

int FileCompressor::encodeLzma2(const QByteArray &data, QByteArray *stream, quint8 *propByte)
{
    lzma_options_lzma options;
    if (lzma_lzma_preset(&options, kPreset))
        return LZMA_OPTIONS_ERROR;
    lzma_filter filters[2];
    filters[0].id = LZMA_FILTER_LZMA2;
    filters[0].options = &options;
    filters[1].id = LZMA_VLI_UNKNOWN;
    filters[1].options = nullptr;

    // The one-byte LZMA2 property encodes the dictionary size the decoder
    // has to provide.
    quint8 prop = 0;
    lzma_ret ret = lzma_properties_encode(&filters[0], &prop);
    if (ret != LZMA_OK)
        return int(ret);

    // LZMA2 falls back to stored chunks for data it cannot shrink: at most
    // 3 bytes of chunk header per 64 KiB plus the end marker, so the .xz
    // bound is more than enough for the raw stream.
    const size_t bound = lzma_stream_buffer_bound(size_t(data.size()));
    if (bound == 0 || bound > size_t(std::numeric_limits<int>::max()))
        return int(LZMA_BUF_ERROR);
    QByteArray out(int(bound), Qt::Uninitialized);
    size_t outPos = 0;
    ret = lzma_raw_buffer_encode(filters, nullptr,
                                 reinterpret_cast<const uint8_t *>(data.constData()),
                                 size_t(data.size()), reinterpret_cast<uint8_t *>(out.data()),
                                 &outPos, out.size());
    if (ret != LZMA_OK)
        return int(ret);
    out.truncate(int(outPos));
    *stream = out;
    *propByte = prop;
    return 0;
}

bool FileCompressor::fileCompress(const QString &srcPath, const QString &dstPath,
                                  bool *writeFailed)
{
    if (writeFailed)
        *writeFailed = false;

    QFile src(srcPath);
    if (!src.open(QIODevice::ReadOnly | QIODevice::ExistingOnly)) {
        qCritical().noquote() << "open file failed:" << srcPath << src.errorString();
        return false;
    }
    const QByteArray data = src.readAll();
    src.close();
    qInfo().noquote() << "start to encode, file size =" << data.size();

    QByteArray stream;
    quint8 prop = 0;
    const int err = encodeLzma2(data, &stream, &prop);
    if (err != 0) {
        qCritical().noquote() << "lzma ecode2 failed, error code =" << err;
        return false;
    }

    QFile dst(dstPath);
    if (!dst.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qCritical().noquote() << "open file failed:" << dstPath << dst.errorString();
        return false;
    }
    const quint32 size = quint32(data.size());
    char header[kHeaderSize] = {'l', 'z', 'm', 'a', char(prop),
                                char(size & 0xFF), char((size >> 8) & 0xFF),
                                char((size >> 16) & 0xFF), char((size >> 24) & 0xFF)};
    if (dst.write(header, kHeaderSize) != kHeaderSize
        || dst.write(stream) != stream.size() || !dst.flush()) {
        qCritical().noquote() << "Write file failed:" << dst.errorString();
        if (writeFailed)
            *writeFailed = true;
        return false;
    }
    dst.close();
    qInfo().noquote() << "compress successfully" << srcPath << data.size() << "-->"
            << (stream.size() + kHeaderSize);
    return true;
}

} // namespace pc
} // namespace vexo
