#pragma once

#include <QImage>
#include <QPoint>
#include <QStringList>
#include <QTimer>
#include <QWidget>

// Round joystick of the control panel. While the knob is held away from the
// centre it reports a direction vector every 100 ms; its length grows with
// the knob's distance from the centre. Arrow keys (keyEntry) drive it at
// full deflection. Releasing always reports the zero vector once.
//
// Reports: keyNumchanged(index) names the direction (0 "Left" ... 7
// "DownLeft", 8 "Stop"), and each one is followed by ctrlRef(y, z,
// first_press) with y the downward and z the rightward component, each in
// -1..1.
class DirectionHandler : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StopIndex = 8;
    static constexpr int ReportIntervalMs = 100;

    explicit DirectionHandler(QWidget *parent = nullptr);
    ~DirectionHandler() override;

    // Enabled pads follow mouse and keys and show the lit images; disabled
    // pads ignore all input and show the dimmed ones. Disabling does not
    // send a stop by itself.
    void enable(bool enabled);
    bool isPadEnabled() const { return m_enabled; }

    // Edge lengths the pad and knob images are drawn at (-1 = natural size).
    void setBgSize(int size);
    void setKnobSize(int size);

    // Arrow-key entry: Qt::Key_Left, Key_Up, Key_Right or Key_Down moves the
    // knob to that edge at full deflection and reports once; any other key
    // (0 by convention) centres it and reports the stop.
    void keyEntry(int key);

    static QString directionName(int index);

    // Read-outs for tests and the main window.
    bool isPressed() const { return m_pressed; }
    // Whether the 100 ms reports run.
    bool isReporting() const { return m_repeatTimer.isActive(); }
    double deflection() const { return m_deflection; }
    QPoint knobPos() const { return m_knobPos; }
    int travelRadius() const;

signals:
    void keyNumchanged(int num);
    void ctrlRef(double y, double z, bool first_press);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void onRepeatTick();
    void report();
    void loadImages();
    void updateKnob();
    QPoint centre() const;

    QPoint m_pointerPos;
    QPoint m_knobPos;
    double m_deflection = 0.0;
    bool m_pressed = false;
    bool m_firstPress = false;
    bool m_enabled = true;
    QTimer m_repeatTimer;
    QImage m_bgImage;
    QImage m_knobImage;
    int m_bgSize = -1;
    int m_knobSize = -1;
};
