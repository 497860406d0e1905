#pragma once

#include "uicomm/OWidget.h"

#include <QImage>
#include <QTimer>

// A background picture at full size. The file may still be on its way from
// the camera: until it can be loaded the window waits at 640 x 360 and
// tries again once a second.
class ImagePreview : public OWidget
{
    Q_OBJECT
public:
    explicit ImagePreview(const QString &path, QWidget *parent = nullptr);
    ~ImagePreview() override;

    bool isLoaded() const { return !m_image.isNull(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void reload();

private:
    QString m_path;
    QImage m_image;
    QTimer m_retry;
};
