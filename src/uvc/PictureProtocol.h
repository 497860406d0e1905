#pragma once

#include <QString>
#include <QtGlobal>

namespace vexo {
namespace pc {

// The picture transfers of the extension unit, as both ends see them: the
// camera's upload selector (host -> camera, SelUpload) and its download
// selector (camera -> host, SelDownload). Every block is 60 bytes,
// multi-byte values little-endian.
//
// Upload (SelUpload):
//   write reset    [1, 0...]
//   write request  [0, length:4, pieceSize:2 (51), path NUL-terminated from 7]
//   write piece    [4, piece:4 (from 1), crc:2, n:2, data from 9]
//                  crc = CRC-16/USB over bytes 1 .. 8+n with bytes 5..6 zero
//   read state     [state (1 receiving, 2 complete), in-order count:4, length:4]
// Download (SelDownload):
//   write end      [1, 0...]
//   write request  [0, width:2, height:2, quality:2, path NUL-terminated from 7]
//   read info      [1, ready (1), value:4, size:4, value:2, crc32:4, name from 16]
//   read data      [2, piece:4 (from 1), crc:2, n:2, data from 9]
//                  crc = CRC-16/USB over bytes 0 .. 8+n with bytes 5..6 zero
//   write resend   [3, piece:4]
namespace pic {

constexpr int BlockSize = 60;
constexpr int PieceSize = 51;     // data bytes per piece, both directions
constexpr int PieceHeader = 9;    // code, piece number, crc, length

enum UploadCode : quint8 { UpRequest = 0, UpReset = 1, UpPiece = 4 };
enum UploadState : quint8 { UpReceiving = 1, UpComplete = 2 };
enum DownloadCode : quint8 { DownRequest = 0, DownEnd = 1, DownData = 2, DownResend = 3 };
constexpr quint8 DownInfo = 1;
constexpr quint8 DownReady = 1;

// Offsets inside the blocks.
constexpr int UpPathOffset = 7;        // request: remote path
constexpr int UpPathMax = 51;          // with its NUL
constexpr int DownPathOffset = 7;      // request: remote path
constexpr int DownPathMax = 52;        // with its NUL
constexpr int InfoValueA = 2;          // info: camera's value (logged)
constexpr int InfoSize = 6;
constexpr int InfoValueB = 10;         // info: camera's value (logged)
constexpr int InfoCrc = 12;
constexpr int InfoName = 16;
constexpr int PieceNumber = 1;
constexpr int PieceCrc = 5;
constexpr int PieceLength = 7;
constexpr int StateDone = 1;           // upload state: in-order count
constexpr int StateLength = 5;         // upload state: file length

// What a download request asks for: a 64 x 36 thumbnail at quality 90,
// else the picture itself (1536 x 864, quality 0 = as stored).
constexpr int ThumbWidth = 64, ThumbHeight = 36, ThumbQuality = 90;
constexpr int PictureWidth = 1536, PictureHeight = 864, PictureQuality = 0;

// The camera refuses to send files of this size or more.
constexpr quint32 MaxDownloadSize = 0x80000;

// The camera's three background pictures.
constexpr int PictureCount = 3;
inline QString remotePicturePath(int index)
{
    return QStringLiteral("/app/private/mask%1.jpg").arg(index);
}

inline int pieceCount(qint64 length)
{
    return int((length + PieceSize - 1) / PieceSize);
}

} // namespace pic
} // namespace pc
} // namespace vexo
