#pragma once

#include <QObject>

#include <cstdint>

class GimbalCamera;

// Turns the direction pad's reports, the reset button and stored preset
// positions into gimbal commands for the current camera.
//
// Identical consecutive vectors are sent once: the pad repeats its vector
// every 100 ms while held, and the camera keeps moving on the last command
// anyway. A zero vector is the stop.
class GimbalControl : public QObject
{
    Q_OBJECT
public:
    // The camera is not owned and must outlive this object.
    explicit GimbalControl(GimbalCamera *camera, QObject *parent = nullptr);
    ~GimbalControl() override;

    // The last vector handed on (starts at 0, 0).
    double lastY() const { return m_lastY; }
    double lastZ() const { return m_lastZ; }

    // The main window's crop-area counter counts status updates after the
    // view stopped; its band tells who moved the view. The counter's last
    // value in a band (30, 60, 90) files the report.
    static constexpr int CropBandWidth = 30;
    static constexpr int CropBandMouse = 1;
    static constexpr int CropBandKey = CropBandMouse + CropBandWidth;
    static constexpr int CropBandRemote = CropBandKey + CropBandWidth;

    // Where the crop-area counter restarts after the view stopped: the first
    // value of the band the counter was in.
    static int cropAreaBandStart(int counter);

    // Largest |travel| / speed over the three axes: the time in which every
    // axis arrives together. 0 when nothing has to move or the speed is not
    // positive.
    static double presetMoveTime(int travel_x, int travel_y, int travel_z, double speed_ref);

public slots:
    // From the direction pad's ctrlRef: y downward, z rightward, each in -1..1.
    void onGimbalCtrlRef(double y, double z, bool first_press);
    // Centres the view.
    void resetView();
    // Moves every axis to the stored position so that all arrive at once,
    // then asks for the stored zoom.
    void onMoveToPrePos(int16_t x, int16_t y, int16_t z, double speed_ref, double zoom);

signals:
    // A stop went to the camera: the main window restarts its crop-area
    // counter with cropAreaBandStart().
    void viewStopped();
    // The view was centred (the main window files its usage event).
    void viewReset();
    // The zoom slider should move to this position (0..100); setting the
    // slider sends the zoom.
    void zoomSliderRequested(int position);

private:
    GimbalCamera *m_camera;
    double m_lastY = 0.0;
    double m_lastZ = 0.0;
};
