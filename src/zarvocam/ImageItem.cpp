#include "zarvocam/ImageItem.h"

#include <QAction>
#include <QEvent>
#include <QFile>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int ItemX = 118;
constexpr int ItemStep = 70;
constexpr int ItemY = 22;
constexpr int ItemWidth = 64;
constexpr int ItemHeight = 36;
constexpr int SelectedGrow = 2;
constexpr int CornerRadius = 4;
constexpr int FrameWidth = 3;
constexpr int DimAlpha = 128;
const QColor FrameColor(230, 0, 51);

} // namespace

ImageItem::ImageItem(int index, QWidget *parent)
    : QPushButton(parent)
    , m_index(index)
    , m_baseRect(ItemX + ItemStep * index, ItemY, ItemWidth, ItemHeight)
    , m_deletable(index == 2)
    , m_menu(new QMenu(this))
    , m_actionDelete(new QAction(this))
    , m_actionPreview(new QAction(this))
{
    setObjectName(QString::number(index));
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setGeometry(m_baseRect);
    setIconSize(QSize(16, 16));
    setStyleSheet(QStringLiteral("QPushButton{border:1px dashed rgb(124,124,124);border-radius:4px;"
                                 "background:transparent;}"
                                 "QPushButton:hover{border-color:rgb(200,200,200);}"));
    m_actionDelete->setObjectName(QStringLiteral("ActionDelete"));
    m_actionPreview->setObjectName(QStringLiteral("ActionPreview"));
    m_menu->addAction(m_actionDelete);
    m_menu->addAction(m_actionPreview);
    retranslate();
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &ImageItem::showMenu);
    connect(this, &QPushButton::clicked, this, &ImageItem::onImageBtnClicked);
    connect(m_actionDelete, &QAction::triggered, this, &ImageItem::actionDelete);
    connect(m_actionPreview, &QAction::triggered, this, &ImageItem::actionPreview);
    setState(StateEmpty);
}

ImageItem::~ImageItem() = default;

void ImageItem::retranslate()
{
    m_actionDelete->setText(tr("Delete"));
    m_actionPreview->setText(tr("Preview"));
}

void ImageItem::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QPushButton::changeEvent(event);
}

void ImageItem::setState(int state)
{
    m_state = qBound<int>(StateEmpty, state, StateDisabled);
    if (m_state == StateSelected)
        setGeometry(m_baseRect.adjusted(-SelectedGrow, -SelectedGrow, SelectedGrow, SelectedGrow));
    else
        setGeometry(m_baseRect);
    if (m_state == StateEmpty) {
        clearMask();
        setIcon(QIcon(QStringLiteral(":/source/zarvocam/icon/icon_add@3x")));
    } else {
        setIcon(QIcon());
    }
    update();
}

void ImageItem::setThumbnail(const QString &path)
{
    m_thumbnailPath = path;
    m_thumbnail = path.isEmpty() || !QFile::exists(path) ? QPixmap() : QPixmap(path);
    update();
}

void ImageItem::onImageBtnClicked()
{
    if (m_state == StateDisabled)
        return;
    emit imageAction(holdsPicture() ? ActionSelect : ActionAdd);
}

void ImageItem::showMenu(QPoint point)
{
    if (!m_deletable || m_state == StateDisabled || !hasThumbnail())
        return;
    m_menu->popup(mapToGlobal(point));
}

void ImageItem::actionPreview()
{
    emit imageAction(ActionPreview);
}

void ImageItem::actionDelete()
{
    if (!m_thumbnailPath.isEmpty())
        QFile::remove(m_thumbnailPath);
    if (!m_previewPath.isEmpty())
        QFile::remove(m_previewPath);
    emit imageAction(ActionDelete);
}

void ImageItem::paintEvent(QPaintEvent *event)
{
    if (m_state == StateEmpty) {
        QPushButton::paintEvent(event);
        return;
    }
    const QRect all = rect();
    QPainterPath rounded;
    rounded.addRoundedRect(all, CornerRadius, CornerRadius);
    setMask(QRegion(rounded.toFillPolygon().toPolygon()));

    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRect picture = m_state == StateSelected ? all.adjusted(SelectedGrow, SelectedGrow, -SelectedGrow, -SelectedGrow)
                                                   : all;
    QPainterPath clip;
    clip.addRoundedRect(picture, CornerRadius, CornerRadius);
    p.setClipPath(clip);
    if (m_thumbnail.isNull())
        p.fillRect(picture, QColor(50, 50, 50));
    else
        p.drawPixmap(picture, m_thumbnail);
    p.setClipping(false);
    if (m_state == StateSelected) {
        p.setPen(QPen(FrameColor, FrameWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(all).adjusted(1.5, 1.5, -1.5, -1.5), CornerRadius, CornerRadius);
    } else if (m_state == StateDisabled) {
        p.fillPath(clip, QColor(0, 0, 0, DimAlpha));
    }
}
