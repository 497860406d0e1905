#pragma once

#include "uicomm/OWidget.h"

#include <QImage>
#include <QPointer>
#include <QRectF>

class QEventLoop;

namespace Ui {
class ImageCrop;
}

// The crop window of a new background picture: the picture fitted into the
// image area, a 16:9 frame the user moves by its inside and resizes by its
// corners (at least 320 px wide, always inside the picture), and OK, which
// saves the framed part as the camera's picture (ImageCropRule).
class ImageCrop : public OWidget
{
    Q_OBJECT
public:
    enum Corner { CornerNone = -1, TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };
    enum Result { Accepted = 0x4000, Cancelled = -1 };

    // input: the chosen picture; output: where OK saves the camera's copy.
    ImageCrop(const QString &input, const QString &output, QWidget *parent = nullptr);
    ~ImageCrop() override;

    bool isLoaded() const { return !m_picture.isNull(); }
    QImage picture() const { return m_picture; }
    QRectF displayRect() const { return m_display; }
    QRectF cropRect() const { return m_crop; }
    int dragCorner() const { return m_corner; }
    int result() const { return m_result; }

    // Shows the window modally and returns when it closes: Accepted after
    // OK, anything else otherwise.
    int exec();

public slots:
    void on_pbCancel_clicked();
    void on_pbOK_clicked();
    void show();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void placePicture();
    void paintImage();
    void hover(const QPointF &pos);
    void drag(const QPointF &pos);
    void resizeFrom(const QPointF &pos);
    QPointF cornerPoint(int corner) const;

    Ui::ImageCrop *ui;
    QImage m_picture;
    QString m_output;
    QRectF m_display;
    QRectF m_crop;
    int m_corner = CornerNone;
    bool m_moving = false;
    bool m_resizing = false;
    QPointF m_pressOffset;
    int m_result = Cancelled;
    QPointer<QEventLoop> m_loop;
};
