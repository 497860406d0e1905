#include "camera/VirtualPictureTransfer.h"

#include "camera/VirtualFileStore.h"
#include "comm/ByteOrder.h"
#include "comm/Util.h"
#include "uvc/CommandIds.h"
#include "uvc/PictureProtocol.h"

#include <cstring>

namespace vexo {
namespace pc {

namespace {

const QString KeyDrop = QStringLiteral("drop");
const QString KeyDamage = QStringLiteral("damage");
const QString KeyUnplug = QStringLiteral("unplug-after-blocks");
const QString KeyStall = QStringLiteral("stall-after-blocks");
const QString KeyFailReads = QStringLiteral("fail-data-reads");
const QString KeyGarbageInfo = QStringLiteral("garbage-info");

QString pathAt(const uchar *block, int offset, int max)
{
    const char *p = reinterpret_cast<const char *>(block + offset);
    return QString::fromUtf8(p, int(qstrnlen(p, uint(max))));
}

} // namespace

VirtualPictureTransfer::VirtualPictureTransfer(VirtualFileStore &store)
    : store_(store)
{
}

void VirtualPictureTransfer::reset()
{
    upload_ = Upload();
    download_ = Download();
}

bool VirtualPictureTransfer::countBlock()
{
    ++blocks_;
    return blocks_ != faults_.integer(KeyUnplug, -1);
}

bool VirtualPictureTransfer::stalled() const
{
    const int after = faults_.integer(KeyStall, -1);
    return after >= 0 && blocks_ > after;
}

VirtualPictureTransfer::Outcome VirtualPictureTransfer::write(int selector, const uchar *block)
{
    if (!countBlock())
        return Outcome::Unplug;
    if (selector == cmd::SelUpload)
        writeUpload(block);
    else
        writeDownload(block);
    return Outcome::Done;
}

VirtualPictureTransfer::Outcome VirtualPictureTransfer::read(int selector, uchar *block)
{
    if (!countBlock())
        return Outcome::Unplug;
    std::memset(block, 0, pic::BlockSize);
    if (selector == cmd::SelUpload) {
        if (!upload_.active || upload_.refused)
            return Outcome::Done;  // state 0: no transfer
        block[0] = upload_.complete ? pic::UpComplete : pic::UpReceiving;
        setLe32(block + pic::StateDone, upload_.done);
        setLe32(block + pic::StateLength, upload_.length);
        return Outcome::Done;
    }
    if (!download_.active)
        return Outcome::Done;
    if (download_.infoPending) {
        readInfo(block);
        return Outcome::Done;
    }
    return readData(block);
}

// ---- host -> camera ----

void VirtualPictureTransfer::writeUpload(const uchar *block)
{
    switch (block[0]) {
    case pic::UpReset:
        upload_ = Upload();
        return;
    case pic::UpRequest: {
        upload_ = Upload();
        upload_.active = true;
        upload_.length = le32(block + 1);
        upload_.path = pathAt(block, pic::UpPathOffset, pic::UpPathMax);
        // Pictures of 512 KiB or more do not fit the camera's picture space.
        upload_.refused = le16(block + 5) != pic::PieceSize || upload_.path.isEmpty()
            || upload_.length >= pic::MaxDownloadSize;
        if (!upload_.refused && upload_.length == 0) {
            upload_.complete = true;
            store_.put(upload_.path, QByteArray());
        }
        return;
    }
    case pic::UpPiece:
        break;
    default:
        return;
    }
    if (!upload_.active || upload_.refused || upload_.complete || stalled())
        return;
    if (faults_.roll(KeyDrop))
        return;
    const quint32 piece = le32(block + pic::PieceNumber);
    const int n = le16(block + pic::PieceLength);
    const quint32 count = quint32(pic::pieceCount(upload_.length));
    if (piece < 1 || piece > count || n > pic::PieceSize)
        return;
    uchar check[pic::BlockSize];
    std::memcpy(check, block, sizeof check);
    setLe16(check + pic::PieceCrc, 0);
    const bool damaged = faults_.roll(KeyDamage);
    if (damaged || Util::crc16(check + 1, pic::PieceHeader - 1 + n) != le16(block + pic::PieceCrc))
        return;  // a piece with a bad checksum is as good as lost
    const quint32 expectedLength = piece < count ? quint32(pic::PieceSize) : upload_.length - (count - 1) * pic::PieceSize;
    if (quint32(n) != expectedLength)
        return;
    ++piecesMoved_;
    upload_.pieces.insert(piece, QByteArray(reinterpret_cast<const char *>(block + pic::PieceHeader), n));
    while (upload_.pieces.contains(upload_.done + 1))
        ++upload_.done;
    if (upload_.done == count) {
        QByteArray file;
        file.reserve(int(upload_.length));
        for (const QByteArray &p : qAsConst(upload_.pieces))
            file.append(p);
        upload_.pieces.clear();
        upload_.complete = true;
        store_.put(upload_.path, file);
        completed_ = upload_.path;
    }
}

QString VirtualPictureTransfer::takeCompletedUpload()
{
    QString path;
    path.swap(completed_);
    return path;
}

// ---- camera -> host ----

void VirtualPictureTransfer::writeDownload(const uchar *block)
{
    switch (block[0]) {
    case pic::DownEnd:
        download_ = Download();
        break;
    case pic::DownRequest:
        startDownload(block);
        break;
    case pic::DownResend:
        if (download_.active && !stalled())
            download_.next = qMax<quint32>(1, le32(block + 1));
        break;
    default:
        break;
    }
}

void VirtualPictureTransfer::startDownload(const uchar *block)
{
    download_ = Download();
    download_.active = true;
    download_.infoPending = true;
    download_.width = le16(block + 1);
    download_.height = le16(block + 3);
    download_.quality = le16(block + 5);
    const QString path = pathAt(block, pic::DownPathOffset, pic::DownPathMax);
    download_.name = path.section(QLatin1Char('/'), -1);
    download_.data = store_.deliver(path, download_.width, download_.height, download_.quality);
    download_.ready = !download_.data.isEmpty();
}

void VirtualPictureTransfer::readInfo(uchar *block)
{
    download_.infoPending = false;
    block[0] = pic::DownInfo;
    block[1] = download_.ready ? pic::DownReady : 0;
    if (!download_.ready)
        return;
    setLe32(block + pic::InfoValueA, quint32(download_.width) << 16 | quint32(download_.height));
    setLe32(block + pic::InfoSize, quint32(download_.data.size()));
    setLe16(block + pic::InfoValueB, quint16(download_.quality));
    setLe32(block + pic::InfoCrc, Util::crc32(download_.data.constData(), download_.data.size()));
    const QByteArray name = download_.name.toUtf8().left(pic::BlockSize - pic::InfoName - 1);
    std::memcpy(block + pic::InfoName, name.constData(), size_t(name.size()));
    if (faults_.has(KeyGarbageInfo)) {
        for (int i = 2; i < pic::BlockSize; ++i)
            block[i] = uchar(faults_.next());
    }
}

VirtualPictureTransfer::Outcome VirtualPictureTransfer::readData(uchar *block)
{
    const int failing = faults_.integer(KeyFailReads, 0);
    if (failing > 0) {
        faults_.set(KeyFailReads, QString::number(failing - 1));
        return Outcome::Failed;
    }
    const quint32 count = quint32(pic::pieceCount(download_.data.size()));
    if (stalled()) {
        fillPiece(block, 0);  // a piece of no transfer: the host asks again
        return Outcome::Done;
    }
    if (download_.next > count)
        return Outcome::Done;  // nothing left: an empty block
    // A lost piece: the host gets the one after it (the last one is never
    // lost, or the host would wait for nothing).
    if (download_.next < count && faults_.roll(KeyDrop))
        ++download_.next;
    fillPiece(block, download_.next);
    if (faults_.roll(KeyDamage))
        block[pic::PieceHeader] ^= 0x5a;
    ++download_.next;
    ++piecesMoved_;
    return Outcome::Done;
}

void VirtualPictureTransfer::fillPiece(uchar *block, quint32 piece)
{
    const int offset = piece > 0 ? int(piece - 1) * pic::PieceSize : 0;
    const int n = piece > 0 ? qMin(pic::PieceSize, download_.data.size() - offset) : 0;
    block[0] = pic::DownData;
    setLe32(block + pic::PieceNumber, piece);
    setLe16(block + pic::PieceLength, quint16(n));
    if (n > 0)
        std::memcpy(block + pic::PieceHeader, download_.data.constData() + offset, size_t(n));
    setLe16(block + pic::PieceCrc, 0);
    setLe16(block + pic::PieceCrc, Util::crc16(block, pic::PieceHeader + n));
}

} // namespace pc
} // namespace vexo
