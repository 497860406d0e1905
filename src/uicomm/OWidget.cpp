#include "uicomm/OWidget.h"

#include "uicomm/UiLook.h"

#include <QMouseEvent>

OWidget::OWidget(QWidget *parent, Qt::WindowFlags flags)
    : QWidget(parent, flags)
{
    UiLook::initResources();
}

OWidget::~OWidget() = default;

void OWidget::moveToParentCentre()
{
    const QWidget *parent = parentWidget();
    if (!parent)
        return;
    // A child window's parent geometry is in its own parent's coordinates;
    // top-level windows are placed in global coordinates.
    const QRect parentRect(parent->mapToGlobal(QPoint(0, 0)), parent->size());
    QRect frame = frameGeometry();
    frame.moveCenter(parentRect.center());
    move(isWindow() ? frame.topLeft() : parent->mapFromGlobal(frame.topLeft()));
}

void OWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_dragging = true;
    m_pressGlobalPos = event->globalPos();
    m_pressFrameTopLeft = frameGeometry().topLeft();
    event->accept();
}

void OWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    move(m_pressFrameTopLeft + event->globalPos() - m_pressGlobalPos);
    event->accept();
}

void OWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_dragging = false;
    event->accept();
}
