#include "zarvocam/ImagePreview.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace {

constexpr int WaitWidth = 640;
constexpr int WaitHeight = 360;
constexpr int RetryMs = 1000;
constexpr double LargeShare = 0.8;

} // namespace

ImagePreview::ImagePreview(const QString &path, QWidget *parent)
    : OWidget(parent, Qt::Window)
    , m_path(path)
{
    setMinimumSize(WaitWidth, WaitHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setWindowTitle(QFileInfo(path).fileName());
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &ImagePreview::reload);
    if (!m_image.load(path)) {
        resize(WaitWidth, WaitHeight);
        m_retry.start();
        return;
    }
    reload();
}

ImagePreview::~ImagePreview() = default;

void ImagePreview::reload()
{
    if (m_image.isNull() && (!QFileInfo::exists(m_path) || !m_image.load(m_path)))
        return;
    m_retry.stop();
    QSize size = m_image.size();
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize avail = screen->availableGeometry().size();
        while (size.width() >= avail.width() * LargeShare && size.height() >= avail.height() * LargeShare)
            size /= 2;
    }
    resize(size.expandedTo(minimumSize()));
    update();
}

void ImagePreview::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (m_image.isNull())
        return;
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    QSizeF size = m_image.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    QRectF target(QPointF(0, 0), size);
    target.moveCenter(QRectF(rect()).center());
    p.drawImage(target, m_image);
}

void ImagePreview::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else
        OWidget::keyPressEvent(event);
}
