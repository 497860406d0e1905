#pragma once

#include <QSlider>

// The slider of every value control. A double click would otherwise count as
// a second press and send the same value again, so it is ignored.
class RSlider : public QSlider
{
    Q_OBJECT
public:
    explicit RSlider(QWidget *parent = nullptr);
    explicit RSlider(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~RSlider() override;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
