#include "zarvocam/ImageCrop.h"

#include "ui_ImageCrop.h"

#include "comm/ImageCropRule.h"

#include <QCloseEvent>
#include <QDebug>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

using vexo::pc::ImageCropRule;

namespace {

constexpr qreal Grip = 8;        // corner and inside distance of the handles
constexpr qreal Handle = 8;      // drawn corner handles
const QColor Shade(0, 0, 0, 150);

} // namespace

ImageCrop::ImageCrop(const QString &input, const QString &output, QWidget *parent)
    : OWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , ui(new Ui::ImageCrop)
    , m_output(output)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral("#ImageCrop{background-color:black;}"
                                 "QPushButton{color:white;background-color:rgb(50,50,50);border-radius:4px;}"
                                 "QPushButton#pbOK{background-color:rgb(221,34,34);}"));
    setWindowModality(Qt::ApplicationModal);
    ui->wImage->installEventFilter(this);
    m_picture = ImageCropRule::load(input);
    if (m_picture.isNull())
        qWarning() << "Load image failed:" << input;
    placePicture();
}

ImageCrop::~ImageCrop()
{
    if (m_loop)
        m_loop->exit();
    delete ui;
}

void ImageCrop::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    OWidget::changeEvent(event);
}

void ImageCrop::show()
{
    OWidget::show();
    placePicture();
}

int ImageCrop::exec()
{
    m_result = Cancelled;
    if (m_loop || !isLoaded())
        return m_result;
    moveToParentCentre();
    show();
    QEventLoop loop;
    m_loop = &loop;
    QPointer<ImageCrop> guard(this);
    loop.exec(QEventLoop::DialogExec);
    if (guard.isNull())
        return Cancelled;
    m_loop = nullptr;
    return m_result;
}

void ImageCrop::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_loop)
        m_loop->exit();
}

void ImageCrop::on_pbCancel_clicked()
{
    m_result = Cancelled;
    close();
}

void ImageCrop::on_pbOK_clicked()
{
    const QRect part = ImageCropRule::toPicture(m_crop, m_display, m_picture.size());
    qInfo() << "Crop image:" << part << "to" << m_output;
    if (ImageCropRule::save(m_picture, part, m_output) < 0)
        return;
    m_result = Accepted;
    close();
}

// The picture fitted into the image area, centred; the frame follows it
// (the first time the largest 16:9 frame, centred).
void ImageCrop::placePicture()
{
    if (m_picture.isNull())
        return;
    const QRectF area = ui->wImage->rect();
    QSizeF size = m_picture.size();
    size.scale(area.size(), Qt::KeepAspectRatio);
    QRectF display(QPointF(0, 0), size);
    display.moveCenter(area.center());
    if (m_crop.isNull() || m_display.isEmpty()) {
        m_crop = ImageCropRule::firstCrop(display);
    } else {
        const qreal k = display.width() / m_display.width();
        m_crop = QRectF(display.topLeft() + (m_crop.topLeft() - m_display.topLeft()) * k, m_crop.size() * k);
    }
    m_display = display;
    ui->wImage->update();
}

bool ImageCrop::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->wImage)
        return OWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Resize:
        placePicture();
        break;
    case QEvent::Paint:
        paintImage();
        return true;
    case QEvent::MouseButtonPress: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (e->button() != Qt::LeftButton)
            break;
        hover(e->localPos());
        m_resizing = m_corner != CornerNone;
        m_moving = !m_resizing && ui->wImage->cursor().shape() == Qt::SizeAllCursor;
        m_pressOffset = e->localPos() - m_crop.topLeft();
        return true;
    }
    case QEvent::MouseMove: {
        auto *e = static_cast<QMouseEvent *>(event);
        if (m_resizing)
            resizeFrom(e->localPos());
        else if (m_moving)
            drag(e->localPos());
        else
            hover(e->localPos());
        return true;
    }
    case QEvent::MouseButtonRelease:
        m_moving = false;
        m_resizing = false;
        return true;
    case QEvent::Leave:
        ui->wImage->setCursor(Qt::ArrowCursor);
        break;
    default:
        break;
    }
    return OWidget::eventFilter(watched, event);
}

QPointF ImageCrop::cornerPoint(int corner) const
{
    switch (corner) {
    case TopLeft: return m_crop.topLeft();
    case TopRight: return m_crop.topRight();
    case BottomLeft: return m_crop.bottomLeft();
    default: return m_crop.bottomRight();
    }
}

void ImageCrop::hover(const QPointF &pos)
{
    m_corner = CornerNone;
    for (int c = TopLeft; c <= BottomRight; ++c) {
        const QPointF d = pos - cornerPoint(c);
        if (qAbs(d.x()) <= Grip && qAbs(d.y()) <= Grip) {
            m_corner = c;
            break;
        }
    }
    if (m_corner == TopLeft || m_corner == BottomRight)
        ui->wImage->setCursor(Qt::SizeFDiagCursor);
    else if (m_corner != CornerNone)
        ui->wImage->setCursor(Qt::SizeBDiagCursor);
    else if (m_crop.adjusted(Grip, Grip, -Grip, -Grip).contains(pos))
        ui->wImage->setCursor(Qt::SizeAllCursor);
    else
        ui->wImage->setCursor(Qt::ArrowCursor);
}

void ImageCrop::drag(const QPointF &pos)
{
    QPointF topLeft = pos - m_pressOffset;
    topLeft.setX(qBound(m_display.left(), topLeft.x(), m_display.right() - m_crop.width()));
    topLeft.setY(qBound(m_display.top(), topLeft.y(), m_display.bottom() - m_crop.height()));
    m_crop.moveTopLeft(topLeft);
    ui->wImage->update();
}

// The opposite corner stays; the width follows the mouse between 320 px
// and the picture's edge, the height is width x 9 / 16 unless that leaves
// the picture, then the height is cut and the width follows it.
void ImageCrop::resizeFrom(const QPointF &pos)
{
    const bool left = m_corner == TopLeft || m_corner == BottomLeft;
    const bool top = m_corner == TopLeft || m_corner == TopRight;
    const QPointF fixed = cornerPoint(3 - m_corner);
    const qreal roomX = left ? fixed.x() - m_display.left() : m_display.right() - fixed.x();
    const qreal roomY = top ? fixed.y() - m_display.top() : m_display.bottom() - fixed.y();
    qreal width = left ? fixed.x() - pos.x() : pos.x() - fixed.x();
    width = qMin(qMax<qreal>(width, ImageCropRule::MinCropWidth), roomX);
    qreal height = width * 9 / 16;
    if (height > roomY) {
        height = roomY;
        width = height * 16 / 9;
    }
    const QPointF corner(left ? fixed.x() - width : fixed.x() + width, top ? fixed.y() - height : fixed.y() + height);
    m_crop = QRectF(fixed, corner).normalized();
    ui->wImage->update();
}

void ImageCrop::paintImage()
{
    QPainter p(ui->wImage);
    p.fillRect(ui->wImage->rect(), Qt::black);
    if (m_picture.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(m_display, m_picture);
    QPainterPath outside;
    outside.addRect(m_display);
    QPainterPath inside;
    inside.addRect(m_crop);
    p.fillPath(outside.subtracted(inside), Shade);
    p.setPen(QPen(Qt::white, 2));
    p.drawRect(m_crop);
    for (int c = TopLeft; c <= BottomRight; ++c) {
        const QPointF at = cornerPoint(c);
        p.fillRect(QRectF(at.x() - Handle / 2, at.y() - Handle / 2, Handle, Handle), Qt::white);
    }
}
