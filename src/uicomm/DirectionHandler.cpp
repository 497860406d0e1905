#include "uicomm/DirectionHandler.h"

#include "uicomm/UiLook.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

const char *const kDirectionNames[] = {
    "Left", "UpLeft", "Up", "UpRight", "Right", "DownRight", "Down", "DownLeft", "Stop",
};

// Mouse moves repaint at half rate; one toggle shared by every pad.
bool g_repaintToggle = false;

QImage loadScaled(const QString &path, int size)
{
    QImageReader reader(path);
    if (size > 0) {
        // Vector images are rendered directly at the requested size, which
        // keeps their edges sharp; bitmaps are scaled smoothly.
        QSize natural = reader.size();
        if (natural.isValid()) {
            natural.scale(size, size, Qt::KeepAspectRatio);
            reader.setScaledSize(natural);
        }
    }
    QImage image = reader.read();
    // The "@3x" in the names would make the image count as a high-density
    // one drawn at a third of its size; sizes here are plain pixels.
    image.setDevicePixelRatio(1.0);
    if (!image.isNull() && size > 0 && image.width() != size && image.height() != size)
        image = image.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}

} // namespace

DirectionHandler::DirectionHandler(QWidget *parent)
    : QWidget(parent)
{
    UiLook::initResources();
    setObjectName(QStringLiteral("DirectionHandler"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(UiLook::ControlArea));
    setPalette(pal);
    m_repeatTimer.setInterval(ReportIntervalMs);
    connect(&m_repeatTimer, &QTimer::timeout, this, &DirectionHandler::onRepeatTick);
    connect(this, &DirectionHandler::keyNumchanged, this, &DirectionHandler::report);
    loadImages();
    m_pointerPos = centre();
    m_knobPos = centre();
}

DirectionHandler::~DirectionHandler() = default;

QString DirectionHandler::directionName(int index)
{
    if (index < 0 || index > StopIndex)
        return QString();
    return QLatin1String(kDirectionNames[index]);
}

void DirectionHandler::enable(bool enabled)
{
    m_enabled = enabled;
    if (!enabled && m_pressed) {
        // Input is ignored from now on, so a held knob would never see its
        // release: stop reporting and centre it (without sending a stop).
        m_repeatTimer.stop();
        m_pressed = false;
        m_firstPress = false;
        m_pointerPos = centre();
        updateKnob();
    }
    loadImages();
    update();
}

void DirectionHandler::setBgSize(int size)
{
    m_bgSize = size;
    loadImages();
    updateKnob();
    update();
}

void DirectionHandler::setKnobSize(int size)
{
    m_knobSize = size;
    loadImages();
    updateKnob();
    update();
}

void DirectionHandler::loadImages()
{
    const QString dir = QStringLiteral(":/source/uicomm/icon/");
    const QString suffix = m_enabled ? QStringLiteral("@3x.png") : QStringLiteral("_off@3x.png");
    m_bgImage = loadScaled(dir + QStringLiteral("dir_control") + suffix, m_bgSize);
    m_knobImage = loadScaled(dir + QStringLiteral("dir_slider") + suffix, m_knobSize);
}

int DirectionHandler::travelRadius() const
{
    const int radius = int(std::ceil(m_bgImage.width() / 2.0)) - m_knobImage.width() / 2;
    if (radius > 0)
        return radius;
    // Without images the pad still works over the widget's inner circle.
    return qMax(1, qMin(width(), height()) / 2);
}

QPoint DirectionHandler::centre() const
{
    return QPoint(width() / 2, height() / 2);
}

// Knob = pointer, pulled back onto the travel circle when it lies outside.
void DirectionHandler::updateKnob()
{
    const QPoint c = centre();
    if (!m_pressed)
        m_pointerPos = c;
    const double dx = m_pointerPos.x() - c.x();
    const double dy = m_pointerPos.y() - c.y();
    const double d = std::hypot(dx, dy);
    const double r = travelRadius();
    m_deflection = qMin(d / r, 1.0);
    if (d > r) {
        m_knobPos = QPoint(c.x() + int(std::lround(dx * r / d)),
                           c.y() + int(std::lround(dy * r / d)));
    } else {
        m_knobPos = m_pointerPos;
    }
}

void DirectionHandler::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QPoint c = centre();
    if (!m_bgImage.isNull())
        painter.drawImage(c - QPoint(m_bgImage.width() / 2, m_bgImage.height() / 2), m_bgImage);
    if (m_pressed && !m_knobImage.isNull()) {
        painter.drawImage(m_knobPos - QPoint(m_knobImage.width() / 2, m_knobImage.height() / 2),
                          m_knobImage);
    }
}

void DirectionHandler::mousePressEvent(QMouseEvent *event)
{
    if (!m_enabled || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_pointerPos = event->pos();
    m_pressed = true;
    m_firstPress = true;
    updateKnob();
    m_repeatTimer.start(ReportIntervalMs);
    update();
}

void DirectionHandler::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_enabled || !m_pressed) {
        event->ignore();
        return;
    }
    m_pointerPos = event->pos();
    updateKnob();
    g_repaintToggle = !g_repaintToggle;
    if (g_repaintToggle)
        update();
}

void DirectionHandler::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_enabled || !m_pressed || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    m_repeatTimer.stop();
    m_pressed = false;
    updateKnob(); // back to the centre, deflection 0
    emit keyNumchanged(StopIndex);
    update();
}

void DirectionHandler::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateKnob();
}

void DirectionHandler::onRepeatTick()
{
    const QPoint c = centre();
    const double degrees = std::atan2(m_knobPos.y() - c.y(), m_knobPos.x() - c.x()) * 57.296;
    int index = int(std::lround((degrees / 22.5 + 8.0) / 2.0)) % 8;
    if (index < 0)
        index += 8;
    emit keyNumchanged(index);
}

void DirectionHandler::keyEntry(int key)
{
    if (!m_enabled)
        return;
    const int w = width();
    const int h = height();
    int index = StopIndex;
    m_firstPress = true;
    m_pressed = true;
    switch (key) {
    case Qt::Key_Left:
        m_pointerPos = QPoint(0, h / 2);
        index = 0;
        break;
    case Qt::Key_Up:
        m_pointerPos = QPoint(w / 2, 0);
        index = 2;
        break;
    case Qt::Key_Right:
        m_pointerPos = QPoint(w, h / 2);
        index = 4;
        break;
    case Qt::Key_Down:
        m_pointerPos = QPoint(w / 2, h);
        index = 6;
        break;
    default:
        m_pressed = false;
        m_firstPress = false;
        m_repeatTimer.stop();
        break;
    }
    updateKnob();
    m_deflection = m_pressed ? 1.0 : 0.0;
    update();
    emit keyNumchanged(index);
}

void DirectionHandler::report()
{
    const QPoint c = centre();
    const int dx = m_knobPos.x() - c.x();
    const int dy = m_knobPos.y() - c.y();
    const double a = (dx == 0 && dy == 0) ? 0.0 : std::atan2(double(dy), double(dx));
    const bool first = m_firstPress;
    m_firstPress = false;
    emit ctrlRef(std::sin(a) * m_deflection, std::cos(a) * m_deflection, first);
}
