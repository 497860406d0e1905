#pragma once

#include <QByteArray>
#include <QString>

namespace vexo {
namespace pc {

// The camera's patch applier: rebuilds new data from old data and a
// "ENDSLEY/BSDIFF43" patch (bzip2 stream of add/copy/seek records), and
// applies a "bspt" patch list piece by piece in place. Every check a careful
// applier makes is made: magic, lengths, bounds of every record, the list's
// header and entry checksums and each patch's MD5.
class BsPatchApplier final
{
public:
    BsPatchApplier() = delete;

    // The new data, or false with *error set.
    static bool applyPatch(const QByteArray &oldData, const QByteArray &patch, QByteArray *newData, QString *error);

    // Applies every piece of the list to image (old and new data have the
    // same length). false with *error set; image is then left unchanged.
    static bool applyList(QByteArray *image, const QByteArray &list, QString *error);
};

} // namespace pc
} // namespace vexo
