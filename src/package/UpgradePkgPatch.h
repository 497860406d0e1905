#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace vexo {
namespace pc {

// Binary patches between what a camera has installed and a new firmware
// package.
//
// A single patch is an "ENDSLEY/BSDIFF43" file: the 16-byte magic, the new
// length, then one bzip2 stream (block size 9) of records "add x bytes of
// (old + diff), copy y extra bytes, move the old position by z". The camera's
// patch applier reads exactly this, so any stock bsdiff 4.3 applier rebuilds
// the new data.
//
// A patch list ("bspt") cuts old and new data into pieces of at most 8 MiB
// that never cross a split offset, patches every piece on its own and packs
// the patches behind a header and one 64-byte entry per piece. Pieces are
// independent and are computed on all cores; the list is byte-identical to a
// serial run.
class UpgradePkgPatch final
{
public:
    UpgradePkgPatch() = delete;

    // Longest piece of a patch list: the camera applies one piece at a time
    // and must hold both halves of it in memory.
    static constexpr quint32 kMaxPieceSize = 0x800000;

    // Patch from two files. 0 on success, -1 on failure (logged).
    static int generatePatchFile(const QString &oldPath, const QString &newPath,
                                 const QString &patchPath);

    // Patch from memory. 0 on success, -1 on failure (logged).
    static int generatePatchFile(const quint8 *oldData, qint64 oldSize,
                                 const quint8 *newData, qint64 newSize,
                                 const QString &patchPath);

    // Piece ends of a patch list for the given split offsets: a boundary
    // every 8 MiB before each split offset, then the split offset itself.
    static QList<quint32> pieceBoundaries(const QList<quint32> &splitOffsets);

    // Patch list of newPath against oldPath into outPath. The files must have
    // equal length; the last split offset is that length. With
    // progressSteps > 0, progressStep is called (in the calling thread) each
    // time another 1/progressSteps of the data is done. False on failure
    // (logged); nothing is written to outPath then.
    static bool bspatchListGenerate(const QString &oldPath, const QString &newPath,
                                    const QString &outPath,
                                    const QList<quint32> &splitOffsets, int progressSteps,
                                    const std::function<void()> &progressStep = {});

    // Number of threads a patch list may use; 0 (the default) means one per
    // core. Thread safe; for tests and benchmarks.
    static void setWorkerThreads(int count);
    static int workerThreads();
};

} // namespace pc
} // namespace vexo
