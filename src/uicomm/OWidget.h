#pragma once

#include <QPoint>
#include <QWidget>

// Base of the frameless windows: the user moves them by dragging their body
// with the left mouse button. Other buttons are passed on unchanged.
class OWidget : public QWidget
{
    Q_OBJECT
public:
    explicit OWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~OWidget() override;

    // Centres the window on its parent's geometry (no-op without a parent).
    void moveToParentCentre();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool m_dragging = false;
    QPoint m_pressGlobalPos;
    QPoint m_pressFrameTopLeft;
};
