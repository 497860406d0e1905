#pragma once

#include <QByteArray>
#include <QString>

namespace vexo {
namespace pc {

// The small compressed container that the camera's updater unpacks:
//   "lzma", the LZMA2 dictionary property byte, the uncompressed size
//   (little-endian 32-bit), then the raw LZMA2 stream (chunk format, no
//   further header) encoded at level 5.
// The upgrade worker compresses the patch head with it before upload.
class FileCompressor final
{
public:
    FileCompressor() = delete;

    static constexpr int kHeaderSize = 9;
    static constexpr int kPreset = 5;

    // Compresses srcPath into dstPath. False on failure (logged); a partly
    // written destination stays on disk. writeFailed, when given, tells a
    // failed write apart from the other failures (the worker records it as
    // its transfer state).
    static bool fileCompress(const QString &srcPath, const QString &dstPath,
                             bool *writeFailed = nullptr);

    // The raw LZMA2 stream of data at level 5 and its dictionary property
    // byte. The liblzma error code on failure (0 on success).
    static int encodeLzma2(const QByteArray &data, QByteArray *stream, quint8 *propByte);
};

} // namespace pc
} // namespace vexo
