#include "camera/VirtualFileStore.h"

#include "uvc/PictureProtocol.h"

#include <QBuffer>
#include <QImage>
#include <QList>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>

namespace vexo {
namespace pc {

namespace {

constexpr int StoredQuality = 85;

QByteArray jpeg(const QImage &image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", quality))
        return QByteArray();
    return bytes;
}

// Three scenes in their own colours: a lake under a blue sky, a sunset
// behind mountains, an office wall with windows and shelves.
void paintScene(QPainter &p, int index, int w, int h)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    switch (index) {
    case 0: {
        QLinearGradient sky(0, 0, 0, h * 0.6);
        sky.setColorAt(0, QColor(40, 110, 200));
        sky.setColorAt(1, QColor(200, 230, 250));
        p.fillRect(0, 0, w, int(h * 0.6), sky);
        p.setBrush(QColor(255, 220, 80));
        p.drawEllipse(QPointF(w * 0.78, h * 0.2), h * 0.09, h * 0.09);
        p.setBrush(QColor(60, 140, 70));
        p.drawEllipse(QRectF(-w * 0.2, h * 0.45, w * 0.8, h * 0.3));
        p.setBrush(QColor(40, 110, 55));
        p.drawEllipse(QRectF(w * 0.4, h * 0.48, w * 0.9, h * 0.28));
        QLinearGradient water(0, h * 0.6, 0, h);
        water.setColorAt(0, QColor(30, 90, 150));
        water.setColorAt(1, QColor(10, 40, 80));
        p.fillRect(QRectF(0, h * 0.6, w, h * 0.4), water);
        break;
    }
    case 1: {
        QLinearGradient sky(0, 0, 0, h);
        sky.setColorAt(0, QColor(70, 30, 110));
        sky.setColorAt(0.55, QColor(240, 110, 60));
        sky.setColorAt(1, QColor(255, 200, 90));
        p.fillRect(0, 0, w, h, sky);
        QRadialGradient sun(w * 0.5, h * 0.62, h * 0.22);
        sun.setColorAt(0, QColor(255, 240, 180));
        sun.setColorAt(1, QColor(255, 120, 40, 0));
        p.setBrush(sun);
        p.drawEllipse(QPointF(w * 0.5, h * 0.62), h * 0.22, h * 0.22);
        p.setBrush(QColor(35, 20, 45));
        p.drawPolygon(QPolygonF({QPointF(0, h), QPointF(0, h * 0.7), QPointF(w * 0.18, h * 0.45),
                                 QPointF(w * 0.35, h * 0.68), QPointF(w * 0.55, h * 0.5), QPointF(w * 0.75, h * 0.72),
                                 QPointF(w * 0.9, h * 0.55), QPointF(w, h * 0.65), QPointF(w, h)}));
        break;
    }
    default: {
        p.fillRect(0, 0, w, h, QColor(205, 195, 180));
        p.fillRect(QRectF(0, h * 0.82, w, h * 0.18), QColor(120, 85, 60));
        for (int i = 0; i < 3; ++i) {
            const QRectF window(w * (0.06 + i * 0.16), h * 0.12, w * 0.12, h * 0.45);
            p.fillRect(window, QColor(150, 200, 235));
            p.fillRect(QRectF(window.center().x() - 3, window.top(), 6, window.height()), QColor(240, 240, 240));
        }
        const QColor books[] = {QColor(180, 40, 40), QColor(40, 90, 160), QColor(230, 180, 40), QColor(50, 130, 80)};
        for (int shelf = 0; shelf < 3; ++shelf) {
            const qreal y = h * (0.2 + shelf * 0.2);
            p.fillRect(QRectF(w * 0.58, y + h * 0.14, w * 0.36, h * 0.02), QColor(90, 60, 40));
            for (int b = 0; b < 12; ++b)
                p.fillRect(QRectF(w * 0.59 + b * w * 0.029, y, w * 0.024, h * 0.14), books[(b + shelf) % 4]);
        }
        break;
    }
    }
}

} // namespace

// Made once per process: every virtual camera ships the same three.
QByteArray VirtualFileStore::builtInPicture(int index)
{
    static const QList<QByteArray> pictures = [] {
        QList<QByteArray> made;
        for (int i = 0; i < pic::PictureCount; ++i) {
            QImage image(pic::PictureWidth, pic::PictureHeight, QImage::Format_RGB32);
            image.fill(Qt::black);
            QPainter p(&image);
            paintScene(p, i, image.width(), image.height());
            p.end();
            made.append(jpeg(image, StoredQuality));
        }
        return made;
    }();
    return pictures.value(index);
}

void VirtualFileStore::ensureDefaultsLocked()
{
    if (defaultsMade_)
        return;
    defaultsMade_ = true;
    for (int i = 0; i < pic::PictureCount; ++i) {
        const QString path = pic::remotePicturePath(i);
        if (!files_.contains(path))
            files_.insert(path, builtInPicture(i));
    }
}

bool VirtualFileStore::contains(const QString &path)
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    return files_.contains(path);
}

QByteArray VirtualFileStore::file(const QString &path)
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    return files_.value(path);
}

void VirtualFileStore::put(const QString &path, const QByteArray &data)
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    files_.insert(path, data);
}

bool VirtualFileStore::remove(const QString &path)
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    return files_.remove(path) > 0;
}

QByteArray VirtualFileStore::take(const QString &path)
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    return files_.take(path);
}

QStringList VirtualFileStore::paths()
{
    std::lock_guard<std::mutex> locker(lock_);
    ensureDefaultsLocked();
    return files_.keys();
}

QByteArray VirtualFileStore::deliver(const QString &path, int width, int height, int quality)
{
    const QByteArray stored = file(path);
    if (stored.isEmpty() || quality <= 0 || (width == pic::PictureWidth && height == pic::PictureHeight))
        return stored;
    QImage image;
    if (width <= 0 || height <= 0 || !image.loadFromData(stored))
        return QByteArray();
    return jpeg(image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), qMin(quality, 100));
}

} // namespace pc
} // namespace vexo
