// The background-picture rule without a window: enlarging small pictures,
// the first 16:9 crop, rounding to picture pixels and the quality steps.
#include "comm/ImageCropRule.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

using vexo::pc::ImageCropRule;

class TestImageCropRule : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    QString picture(const QString &name, int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        const QString path = dir.filePath(name);
        return image.save(path) ? path : QString();
    }

private slots:
    void sizes()
    {
        QCOMPARE(ImageCropRule::load(picture(QStringLiteral("vga.png"), 640, 480)).size(), QSize(800, 600));
        QCOMPARE(ImageCropRule::load(picture(QStringLiteral("wide.png"), 1600, 300)).size(), QSize(2400, 450));
        const QImage pano = ImageCropRule::load(picture(QStringLiteral("pano.png"), 4000, 1000));
        QCOMPARE(pano.size(), QSize(4000, 1000));
        // Shown at a quarter of its size: the first crop is the full height.
        const QRectF display(10, 20, 1000, 250);
        const QRectF crop = ImageCropRule::firstCrop(display);
        QCOMPARE(crop.height(), 250.0);
        QCOMPARE(crop.center(), display.center());
        QCOMPARE(ImageCropRule::toPicture(crop, display, pano.size()).size(), QSize(1776, 999));
        // 1000 picture pixels wide: 992 x 558.
        const QRect part = ImageCropRule::toPicture(QRectF(10, 20, 250, 140.625), display, pano.size());
        QCOMPARE(part, QRect(0, 0, 992, 558));
        QFile text(dir.filePath(QStringLiteral("text.jpg")));
        QVERIFY(text.open(QIODevice::WriteOnly) && text.write("no picture") > 0);
        text.close();
        QVERIFY(ImageCropRule::load(text.fileName()).isNull());
    }

    // Noise does not compress: the quality falls 90, 85, 80, 76 ... until
    // the file fits.
    void qualitySteps()
    {
        QImage noise(1200, 675, QImage::Format_RGB32);
        quint32 x = 7;
        for (int y = 0; y < noise.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(noise.scanLine(y));
            for (int i = 0; i < noise.width(); ++i) {
                x = x * 1664525u + 1013904223u;
                line[i] = 0xff000000u | (x >> 8);
            }
        }
        const QString out = dir.filePath(QStringLiteral("noise.jpg"));
        const int quality = ImageCropRule::save(noise, noise.rect(), out);
        QVERIFY(quality > 0 && quality < 90);
        int before = 0;
        int step = 90;
        while (step > quality) {
            before = step;
            step = step * 95 / 100;
        }
        QCOMPARE(step, quality);
        QVERIFY(QFileInfo(out).size() <= ImageCropRule::MaxBytes);
        QCOMPARE(QImage(out).size(), QSize(1536, 864));

        QVERIFY(noise.scaledToWidth(1536).save(out, "JPEG", before));
        QVERIFY(QFileInfo(out).size() > ImageCropRule::MaxBytes);  // the step before did not fit
    }
};

QTEST_GUILESS_MAIN(TestImageCropRule)
#include "tst_imagecroprule.moc"
