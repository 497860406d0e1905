#pragma once

#include "camera/SimulatedFaults.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QtGlobal>

namespace vexo {
namespace pc {

class VirtualFileStore;

// The camera's side of the picture transfers: the upload selector takes a
// file in pieces (kept out of order, counted in order, stored when whole),
// the download selector answers an info block and then the pieces in
// order, starting again wherever a resend block points.
//
// Transfer faults (SimulatedFaults): drop, damage, stall-after-blocks,
// unplug-after-blocks, fail-data-reads, garbage-info. Not thread safe: the
// virtual camera calls it under its lock.
class VirtualPictureTransfer final
{
public:
    enum class Outcome {
        Done,    // the block moved
        Failed,  // the transfer fails (I/O error)
        Unplug,  // the camera is gone from this block on
    };

    explicit VirtualPictureTransfer(VirtualFileStore &store);

    void setFaults(const SimulatedFaults &faults) { faults_ = faults; }
    const SimulatedFaults &faults() const { return faults_; }

    // One 60-byte block on the upload or download selector.
    Outcome read(int selector, uchar *block);
    Outcome write(int selector, const uchar *block);

    // Transfers end (the camera lost power).
    void reset();

    // The path of an upload completed since the last call, once.
    QString takeCompletedUpload();

    // Pieces the camera took or gave so far, over all transfers.
    int piecesMoved() const { return piecesMoved_; }

private:
    struct Upload
    {
        bool active = false;
        bool refused = false;
        quint32 length = 0;
        QString path;
        QMap<quint32, QByteArray> pieces;
        quint32 done = 0;  // highest piece received in order
        bool complete = false;
    };
    struct Download
    {
        bool active = false;
        bool infoPending = false;
        bool ready = false;
        QByteArray data;
        QString name;
        quint32 next = 1;
        int width = 0, height = 0, quality = 0;
    };

    // Counts the block; the unplug fault when its number is due.
    bool countBlock();
    bool stalled() const;
    void writeUpload(const uchar *block);
    // The download selector's writes; the request layout of the pictures.
    void writeDownload(const uchar *block);
    void startDownload(const uchar *block);
    void readInfo(uchar *block);
    Outcome readData(uchar *block);
    void fillPiece(uchar *block, quint32 piece);

    VirtualFileStore &store_;
    SimulatedFaults faults_;
    Upload upload_;
    Download download_;
    QString completed_;
    int blocks_ = 0;
    int piecesMoved_ = 0;
};

} // namespace pc
} // namespace vexo
