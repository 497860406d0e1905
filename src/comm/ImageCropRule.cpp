#include "comm/ImageCropRule.h"

#include <QDebug>
#include <QFileInfo>

namespace vexo {
namespace pc {

QImage ImageCropRule::load(const QString &path)
{
    QImage image(path);
    if (image.isNull())
        return image;
    if (image.width() < MinWidth) {
        image = image.scaledToWidth(MinWidth, Qt::SmoothTransformation);
        qInfo() << "Image scaled to width:" << image.size();
    }
    if (image.height() < MinHeight) {
        image = image.scaledToHeight(MinHeight, Qt::SmoothTransformation);
        qInfo() << "Image scaled to height:" << image.size();
    }
    return image;
}

QRectF ImageCropRule::firstCrop(const QRectF &area)
{
    qreal w = area.width();
    qreal h = w * 9 / 16;
    if (h > area.height()) {
        h = area.height();
        w = h * 16 / 9;
    }
    QRectF crop(0, 0, w, h);
    crop.moveCenter(area.center());
    return crop;
}

QRect ImageCropRule::toPicture(const QRectF &crop, const QRectF &display, const QSize &picture)
{
    if (display.width() <= 0 || display.height() <= 0)
        return QRect();
    const qreal sx = picture.width() / display.width();
    const qreal sy = picture.height() / display.height();
    const int width = int(picture.width() * crop.width() / display.width()) / 16 * 16;
    const int height = width * 9 / 16;
    const int left = int((crop.left() - display.left()) * sx);
    const int top = int((crop.top() - display.top()) * sy);
    return QRect(left, top, width, height);
}

int ImageCropRule::save(const QImage &picture, const QRect &part, const QString &path)
{
    if (picture.isNull() || part.width() <= 0)
        return -1;
    const QImage scaled = picture.copy(part).scaledToWidth(OutputWidth, Qt::FastTransformation);
    int quality = StartQuality;
    for (;;) {
        if (!scaled.save(path, "JPEG", quality)) {
            qWarning() << "Save image failed:" << path;
            return -1;
        }
        if (QFileInfo(path).size() <= MaxBytes || quality <= 1)
            return quality;
        quality = quality * 95 / 100;
    }
}

int ImageCropRule::cropFile(const QString &source, const QString &target)
{
    const QImage image = load(source);
    if (image.isNull())
        return -1;
    const QRectF whole(QPointF(0, 0), QSizeF(image.size()));
    return save(image, toPicture(firstCrop(whole), whole, image.size()), target);
}

} // namespace pc
} // namespace vexo
