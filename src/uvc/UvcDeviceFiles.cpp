// UvcDevice: the camera's own file transfers (its background pictures) on
// the upload and download selectors, and the picture requests its worker
// serves one per cycle.

#include "uvc/UvcDevice.h"

#include "comm/ByteOrder.h"
#include "comm/TimeScale.h"
#include "comm/Util.h"
#include "uvc/CommandIds.h"
#include "uvc/PictureProtocol.h"

#include <QDateTime>
#include <QDebug>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>

#include <cstring>

namespace vexo {
namespace pc {

namespace {

constexpr int TransferLimitMs = 90000;     // pieces of one transfer
constexpr int UploadCheckLimitMs = 100000; // the camera's final check
constexpr int UploadCheckStepMs = 100;
constexpr int UploadStartMs = 10;
constexpr int UploadStateEveryPieces = 1000;
constexpr int UploadStateSleepMs = 20;
constexpr int ResendQuietMs = 10;
constexpr int ThumbnailWaitMs = 50;
constexpr int MaxTransferErrors = 6;
constexpr int ThumbnailRetries = 3;
constexpr int ProgressStep = 10;

qint64 now()
{
    return QDateTime::currentMSecsSinceEpoch();
}

// Writes the remote path NUL-terminated at offset; false when it does not
// fit in max bytes with its NUL.
bool putPath(unsigned char *block, int offset, int max, const QString &path)
{
    const QByteArray bytes = path.toUtf8();
    if (bytes.isEmpty() || bytes.size() + 1 > max)
        return false;
    std::memcpy(block + offset, bytes.constData(), size_t(bytes.size()));
    return true;
}

int bitIndex(unsigned bit)
{
    int i = 0;
    while (bit > 1) {
        bit >>= 1;
        ++i;
    }
    return i;
}

} // namespace

bool UvcDevice::picBlock(bool write, int selector, unsigned char *block)
{
    return write ? uvc_xu_set(selector, block, pic::BlockSize) == pic::BlockSize
                 : uvc_xu_get(selector, block, pic::BlockSize) == pic::BlockSize;
}

// ---------------------------------------------------------------------------
// Camera -> host

int UvcDevice::fileDownloadByUvc(const QString &localPath, const QString &remotePath, bool thumbnail)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 startTick = now();
    qInfo() << "start tick: " << startTick << remotePath << thumbnail;
    fileTransState_.store(FileTransRunning);
    transDone_.store(0);
    transTotal_.store(0);
    qint64 localCrc = -1;
    {
        QFile local(localPath);
        if (local.exists())
            localCrc = qint64(Util::fileCrc32(&local, 0, 0));
    }

    unsigned char endBlock[pic::BlockSize] = {pic::DownEnd};
    auto end = [&] {
        unsigned char b[pic::BlockSize];
        std::memcpy(b, endBlock, sizeof b);
        return picBlock(true, cmd::SelDownload, b);
    };
    unsigned char request[pic::BlockSize] = {pic::DownRequest};
    setLe16(request + 1, quint16(thumbnail ? pic::ThumbWidth : pic::PictureWidth));
    setLe16(request + 3, quint16(thumbnail ? pic::ThumbHeight : pic::PictureHeight));
    setLe16(request + 5, quint16(thumbnail ? pic::ThumbQuality : pic::PictureQuality));
    if (!putPath(request, pic::DownPathOffset, pic::DownPathMax, remotePath)) {
        qWarning() << "Invalid remote path:" << remotePath;
        return DownloadFailed;
    }
    if (!end() || !picBlock(true, cmd::SelDownload, request)) {
        qWarning() << "VEXO_UVC_XU_CTRL_FILE_DOWNLOAD failed" << remotePath;
        return DownloadFailed;
    }
    if (thumbnail)
        TimeScale::sleep(ThumbnailWaitMs);

    unsigned char block[pic::BlockSize] = {};
    if (!picBlock(false, cmd::SelDownload, block)) {
        qWarning() << "VEXO_UVC_XU_CTRL_FILE_DOWNLOAD failed" << remotePath;
        return DownloadFailed;
    }
    if (block[0] != pic::DownInfo) {
        qWarning() << "Get image info failed";
        return DownloadFailed;
    }
    if (block[1] != pic::DownReady) {
        qWarning() << "Image state error or image does not exist";
        end();
        return DownloadMissing;
    }
    const quint32 valueA = le32(block + pic::InfoValueA);
    const quint32 size = le32(block + pic::InfoSize);
    const quint16 valueB = le16(block + pic::InfoValueB);
    const quint32 crc = le32(block + pic::InfoCrc);
    const QByteArray name(reinterpret_cast<const char *>(block + pic::InfoName),
                          int(qstrnlen(reinterpret_cast<const char *>(block + pic::InfoName),
                                       uint(pic::BlockSize - pic::InfoName))));
    if (localCrc >= 0 && quint32(localCrc) == crc) {
        qInfo() << "Image on device is same with local";
        fileTransState_.store(FileTransDone);
        end();
        return DownloadSame;
    }
    QFile::remove(localPath);
    if (size >= pic::MaxDownloadSize) {
        qWarning() << "File size is too large:" << size;
        end();
        return DownloadFailed;
    }
    qInfo() << "Start to download file:" << valueA << size << valueB << crc << name;
    transTotal_.store(size);

    QByteArray data;
    data.reserve(int(size));
    quint32 expected = 1;
    int errors = 0;
    for (;;) {
        if (!running_.load()) {
            qWarning() << "Transfer stopped: device closed";
            return DownloadFailed;
        }
        if (clock.elapsed() > TimeScale::ms(TransferLimitMs)) {
            qWarning() << "Timeout for upload file";
            end();
            return DownloadFailed;
        }
        if (quint32(data.size()) >= size) {
            qInfo() << "receive finished";
            if (!end())
                qWarning() << "VEXO_UVC_XU_CTRL_FILE_DOWNLOAD failed" << remotePath;
            // A file whose checksum is not the announced one is no picture
            // of the camera's: nothing is written.
            const quint32 got = Util::crc32(data.constData(), data.size());
            if (got != crc) {
                qWarning() << "File crc error:" << got << crc;
                return DownloadFailed;
            }
            QSaveFile out(localPath);
            if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size() || !out.commit()) {
                qWarning() << "write file failed" << localPath << out.errorString();
                return DownloadFailed;
            }
            const qint64 endTick = now();
            qInfo() << "download" << localPath << "end tick: " << endTick << " duration: " << endTick - startTick;
            fileTransState_.store(FileTransDone);
            return DownloadOk;
        }
        if (!picBlock(false, cmd::SelDownload, block)) {
            if (++errors > MaxTransferErrors) {
                qWarning() << "Too many data transmission errors";
                end();
                return DownloadFailed;
            }
            continue;
        }
        if (block[0] != pic::DownData) {
            qWarning() << "Data type error:" << block[0];
            end();
            return DownloadFailed;
        }
        const quint16 sent = le16(block + pic::PieceCrc);
        const int n = le16(block + pic::PieceLength);
        if (n > pic::PieceSize) {
            qWarning() << "Data length error:" << n;
            end();
            return DownloadFailed;
        }
        setLe16(block + pic::PieceCrc, 0);
        const quint16 computed = Util::crc16(block, pic::PieceHeader + n);
        if (sent != computed) {
            qWarning() << "crc error:" << sent << computed;
            end();
            return DownloadFailed;
        }
        const quint32 piece = le32(block + pic::PieceNumber);
        if (piece != expected) {
            qInfo() << "Seq error, require to resend seq" << piece << expected;
            unsigned char resend[pic::BlockSize] = {pic::DownResend};
            setLe32(resend + 1, expected);
            if (!picBlock(true, cmd::SelDownload, resend) && ++errors > MaxTransferErrors) {
                qWarning() << "Too many data transmission errors";
                end();
                return DownloadFailed;
            }
            continue;
        }
        data.append(reinterpret_cast<const char *>(block + pic::PieceHeader), qMin<int>(n, int(size) - data.size()));
        transDone_.store(data.size());
        ++expected;
    }
}

// ---------------------------------------------------------------------------
// Host -> camera

bool UvcDevice::sendUploadPiece(const QByteArray &data, int piece)
{
    const int offset = (piece - 1) * pic::PieceSize;
    const int n = qMin(pic::PieceSize, data.size() - offset);
    unsigned char block[pic::BlockSize] = {pic::UpPiece};
    setLe32(block + pic::PieceNumber, quint32(piece));
    setLe16(block + pic::PieceLength, quint16(n));
    std::memcpy(block + pic::PieceHeader, data.constData() + offset, size_t(n));
    setLe16(block + pic::PieceCrc, Util::crc16(block + 1, pic::PieceHeader - 1 + n));
    return picBlock(true, cmd::SelUpload, block);
}

bool UvcDevice::fileUploadByUvc(const QString &localPath, const QString &remotePath)
{
    QElapsedTimer clock;
    clock.start();
    const qint64 startTick = now();
    qInfo() << "start tick: " << startTick << remotePath;
    fileTransState_.store(FileTransRunning);
    transDone_.store(0);
    transTotal_.store(0);
    auto failed = [this] {
        emit fileUploadProgress(-3);
        return false;
    };
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning() << "open file failed" << localPath << file.errorString();
        return failed();
    }
    const QByteArray data = file.readAll();
    file.close();
    transTotal_.store(data.size());

    unsigned char reset[pic::BlockSize] = {pic::UpReset};
    unsigned char request[pic::BlockSize] = {pic::UpRequest};
    setLe32(request + 1, quint32(data.size()));
    setLe16(request + 5, quint16(pic::PieceSize));
    if (!putPath(request, pic::UpPathOffset, pic::UpPathMax, remotePath)) {
        qWarning() << "Invalid remote path:" << remotePath;
        return failed();
    }
    const int pieces = pic::pieceCount(data.size());
    if (!picBlock(true, cmd::SelUpload, reset) || !picBlock(true, cmd::SelUpload, request)) {
        qWarning() << "VEXO_UVC_XU_CTRL_FILE_UPLOAD failed" << remotePath;
        return failed();
    }
    qInfo() << "send file len =" << data.size() << "pack_cnt =" << pieces;
    TimeScale::sleep(UploadStartMs);

    int errors = 0;
    auto tooManyErrors = [&errors] {
        if (errors <= MaxTransferErrors)
            return false;
        qWarning() << "Too many data transmission errors";
        return true;
    };
    // The camera's state block: false when it cannot be read or does not
    // belong to this transfer.
    unsigned char state[pic::BlockSize] = {};
    auto readState = [&](bool &readable) {
        readable = picBlock(false, cmd::SelUpload, state);
        if (!readable) {
            ++errors;
            return true;
        }
        if (state[0] != pic::UpReceiving && state[0] != pic::UpComplete) {
            qWarning() << "invalid transfer state:" << state[0];
            return false;
        }
        if (le32(state + pic::StateLength) != quint32(data.size())) {
            qWarning() << "invalid file_len " << le32(state + pic::StateLength);
            return false;
        }
        return true;
    };

    quint32 lastDone = 0;
    bool complete = false;
    int reported = 0;
    // A device closed meanwhile ends the transfer (its worker must stop).
    auto stopped = [this] {
        if (running_.load())
            return false;
        qWarning() << "Transfer stopped: device closed";
        return true;
    };
    for (int piece = 1; piece <= pieces; ++piece) {
        if (stopped())
            return failed();
        if (clock.elapsed() > TimeScale::ms(TransferLimitMs)) {
            qWarning() << "Timeout for upload file";
            return failed();
        }
        if (piece % UploadStateEveryPieces == 0 && !complete) {
            bool readable = false;
            if (!readState(readable))
                return failed();
            if (readable) {
                complete = state[0] == pic::UpComplete;
                const quint32 done = le32(state + pic::StateDone);
                if (done == lastDone)
                    qInfo() << "done_seq not increase " << done;
                lastDone = done;
            }
            TimeScale::sleep(UploadStateSleepMs);
        }
        if (!sendUploadPiece(data, piece))
            ++errors;
        if (tooManyErrors())
            return failed();
        const qint64 sentBytes = qMin<qint64>(qint64(piece) * pic::PieceSize, data.size());
        transDone_.store(sentBytes);
        const int percent = data.isEmpty() ? 100 : int(sentBytes * 100 / data.size());
        if (percent - reported > ProgressStep) {
            reported += ProgressStep;
            if (reported < 100)
                emit fileUploadProgress(reported);
        }
    }

    qInfo() << "send finished";
    QElapsedTimer sinceResend;
    sinceResend.start();
    for (;;) {
        if (stopped())
            return failed();
        if (clock.elapsed() > TimeScale::ms(UploadCheckLimitMs)) {
            qWarning() << "Timeout for upload file";
            return failed();
        }
        TimeScale::sleep(UploadCheckStepMs);
        bool readable = false;
        if (!readState(readable))
            return failed();
        if (!readable) {
            if (tooManyErrors())
                return failed();
            continue;
        }
        if (state[0] == pic::UpComplete) {
            qInfo() << "transfer check finished";
            if (!picBlock(true, cmd::SelUpload, reset))
                qWarning() << "VEXO_UVC_XU_CTRL_FILE_UPLOAD failed" << remotePath;
            const qint64 endTick = now();
            qInfo() << "upload" << localPath << "end tick: " << endTick << " duration: " << endTick - startTick;
            fileTransState_.store(FileTransDone);
            transDone_.store(data.size());
            emit fileUploadProgress(100);
            return true;
        }
        // The camera waits for the first piece it is missing.
        const quint32 done = le32(state + pic::StateDone);
        if (done < quint32(pieces) && sinceResend.elapsed() > TimeScale::ms(ResendQuietMs)) {
            qInfo() << "need resend seq " << done + 1;
            if (!sendUploadPiece(data, int(done) + 1)) {
                ++errors;
                if (tooManyErrors())
                    return failed();
            }
            sinceResend.restart();
        }
    }
}

// ---------------------------------------------------------------------------
// Requests served by the worker

void UvcDevice::setImagePaths(int index, const QString &thumbnailPath, const QString &picturePath)
{
    if (index < 0 || index >= pic::PictureCount)
        return;
    std::lock_guard<std::mutex> locker(imgPathLock_);
    imgThumbPaths_[index] = thumbnailPath;
    imgPicturePaths_[index] = picturePath;
}

QString UvcDevice::imageThumbnailPath(int index) const
{
    std::lock_guard<std::mutex> locker(imgPathLock_);
    return index >= 0 && index < pic::PictureCount ? imgThumbPaths_[index] : QString();
}

QString UvcDevice::imagePicturePath(int index) const
{
    std::lock_guard<std::mutex> locker(imgPathLock_);
    return index >= 0 && index < pic::PictureCount ? imgPicturePaths_[index] : QString();
}

bool UvcDevice::requestImageDownload(unsigned bit)
{
    switch (bit) {
    case ImageThumb0:
    case ImageThumb1:
    case ImageThumb2:
    case ImagePicture0:
    case ImagePicture1:
    case ImagePicture2:
        break;
    default:
        qWarning() << "Invalid image download request:" << bit;
        return false;
    }
    const int index = bitIndex(bit) % pic::PictureCount;
    const QString path = bit < ImagePicture0 ? imageThumbnailPath(index) : imagePicturePath(index);
    if (path.isEmpty()) {
        qWarning() << "Image path not set:" << bit;
        return false;
    }
    imgRequests_.fetch_or(bit);
    return true;
}

bool UvcDevice::requestImageUpload(unsigned bit)
{
    if (bit != ImageUpload0 && bit != ImageUpload1 && bit != ImageUpload2) {
        qWarning() << "Invalid image upload request:" << bit;
        return false;
    }
    if (imagePicturePath(bitIndex(bit) % pic::PictureCount).isEmpty()) {
        qWarning() << "Image path not set:" << bit;
        return false;
    }
    imgRequests_.fetch_or(bit);
    return true;
}

void UvcDevice::serveImageTransfer()
{
    const unsigned pending = imgRequests_.load();
    if (!pending)
        return;
    const unsigned bit = pending & (~pending + 1);
    const int index = bitIndex(bit) % pic::PictureCount;
    const QString remote = pic::remotePicturePath(index);
    auto drop = [this, bit] { imgRequests_.fetch_and(~bit); };

    if (bit <= ImageThumb2) {
        const int r = fileDownloadByUvc(imageThumbnailPath(index), remote, true);
        if (r < DownloadMissing) {
            if (imgRetry_.fetch_add(1) + 1 >= ThumbnailRetries) {
                drop();
                imgRetry_.store(0);
            }
        } else {
            drop();
            imgRetry_.store(0);
        }
        if (index < 2 ? r > 0 : r >= 0)
            imgPresent_.fetch_or(bit);
        emit fileDownloadDone(bit, r);
    } else if (bit <= ImagePicture2) {
        const int r = fileDownloadByUvc(imagePicturePath(index), remote, false);
        drop();
        emit fileDownloadDone(bit, r);
    } else if (bit <= ImageUpload2) {
        fileUploadByUvc(imagePicturePath(index), remote);
        drop();
    } else {
        drop();
    }
}

} // namespace pc
} // namespace vexo
