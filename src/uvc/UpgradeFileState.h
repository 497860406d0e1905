#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace vexo {
namespace pc {

// State block of an upload on selector 1, as the camera answers it:
// state (1 receiving, 2 complete), the highest piece received in order and
// the file length. 60 bytes, little-endian.
struct UpgradeFileUpState
{
    quint8 data[60] = {};

    int state() const { return data[0]; }
    quint32 doneSeq() const { return u32(1); }
    quint32 fileLength() const { return u32(5); }

private:
    quint32 u32(int o) const
    {
        return quint32(data[o]) | quint32(data[o + 1]) << 8 | quint32(data[o + 2]) << 16 | quint32(data[o + 3]) << 24;
    }
};

// State block of a download on selector 4: state (1 ready or sending,
// 2 finished, 7 generating), file length, start, piece length and the
// remote path. 60 bytes, little-endian.
struct UpgradeFileDownloadState
{
    quint8 data[60] = {};

    enum { Sending = 1, Finished = 2, Generating = 7 };

    int state() const { return data[0]; }
    quint32 fileLength() const { return u32(5); }
    quint32 start() const { return u32(9); }
    quint32 pieceLength() const { return u32(13); }
    // The NUL-terminated path from byte 17.
    QByteArray path() const
    {
        int n = 0;
        while (17 + n < 60 && data[17 + n])
            ++n;
        return QByteArray(reinterpret_cast<const char *>(data + 17), n);
    }

private:
    quint32 u32(int o) const
    {
        return quint32(data[o]) | quint32(data[o + 1]) << 8 | quint32(data[o + 2]) << 16 | quint32(data[o + 3]) << 24;
    }
};

static_assert(sizeof(UpgradeFileUpState) == 60, "one extension-unit block");
static_assert(sizeof(UpgradeFileDownloadState) == 60, "one extension-unit block");

} // namespace pc
} // namespace vexo
