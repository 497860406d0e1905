#pragma once

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QString>

namespace vexo {
namespace pc {

// How a chosen picture becomes a camera background: enlarged to at least
// 800 x 450, cut to 16:9, scaled to 1536 wide and saved as JPEG of at most
// 393216 bytes. The crop window and the command line share it; nothing
// here needs a window.
class ImageCropRule final
{
public:
    static constexpr int MinWidth = 800;
    static constexpr int MinHeight = 450;
    static constexpr int MinCropWidth = 320;
    static constexpr int OutputWidth = 1536;
    static constexpr int StartQuality = 90;
    static constexpr int MaxBytes = 393216;

    // The picture of path, enlarged (smooth) to width 800 when narrower and
    // then to height 450 when lower. Null when it is no picture.
    static QImage load(const QString &path);

    // The largest 16:9 rectangle inside area, centred.
    static QRectF firstCrop(const QRectF &area);

    // A crop rectangle shown inside display (the picture's place on the
    // screen) in picture pixels: the width rounded down to a multiple of 16,
    // the height width x 9 / 16.
    static QRect toPicture(const QRectF &crop, const QRectF &display, const QSize &picture);

    // Copies part of picture, scales it to width 1536 and saves it to path
    // as JPEG, at quality 90 and then quality x 95 / 100 while the file is
    // larger than 393216 bytes. The quality used, or -1 when nothing could
    // be saved.
    static int save(const QImage &picture, const QRect &part, const QString &path);

    // The whole rule for a picture file without a window: load, the first
    // crop over the whole picture, save. The quality, or -1.
    static int cropFile(const QString &source, const QString &target);

    ImageCropRule() = delete;
};

} // namespace pc
} // namespace vexo
