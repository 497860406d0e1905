#include "uicomm/RSlider.h"

#include <QMouseEvent>

RSlider::RSlider(QWidget *parent)
    : QSlider(parent)
{
}

RSlider::RSlider(Qt::Orientation orientation, QWidget *parent)
    : QSlider(orientation, parent)
{
}

RSlider::~RSlider() = default;

void RSlider::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}
