#include "uicomm/GimbalControl.h"

#include "uicomm/GimbalCamera.h"

#include <QDebug>
#include <QtMath>

#include <cmath>

GimbalControl::GimbalControl(GimbalCamera *camera, QObject *parent)
    : QObject(parent)
    , m_camera(camera)
{
}

GimbalControl::~GimbalControl() = default;

int GimbalControl::cropAreaBandStart(int counter)
{
    if (counter < CropBandKey)
        return CropBandMouse;
    if (counter < CropBandRemote)
        return CropBandKey;
    return CropBandRemote;
}

double GimbalControl::presetMoveTime(int travel_x, int travel_y, int travel_z, double speed_ref)
{
    if (!(speed_ref > 0.0) || !std::isfinite(speed_ref))
        return 0.0;
    const int longest = qMax(qAbs(travel_x), qMax(qAbs(travel_y), qAbs(travel_z)));
    return longest / speed_ref;
}

void GimbalControl::onGimbalCtrlRef(double y, double z, bool first_press)
{
    Q_UNUSED(first_press)
    if (qFuzzyCompare(y, m_lastY) && qFuzzyCompare(z, m_lastZ))
        return;
    m_lastY = y;
    m_lastZ = z;
    if (!m_camera || !m_camera->isPresent())
        return;
    if (y == 0.0 && z == 0.0) {
        m_camera->uvcPanTiltRelativeControl(0.0, 0.0);
        emit viewStopped();
        return;
    }
    // Pan follows the rightward, tilt the upward component.
    m_camera->uvcPanTiltRelativeControl(z, -y);
}

void GimbalControl::resetView()
{
    if (!m_camera || !m_camera->isPresent())
        return;
    m_camera->uvcPanTiltAbsoluteControl(0, 0);
    emit viewReset();
}

void GimbalControl::onMoveToPrePos(int16_t x, int16_t y, int16_t z, double speed_ref, double zoom)
{
    if (!m_camera || !m_camera->isPresent())
        return;
    if (!(speed_ref > 0.0) || !std::isfinite(speed_ref)) {
        qWarning() << "Invalid preset speed =" << speed_ref;
        return;
    }
    int16_t cur_x = 0;
    int16_t cur_y = 0;
    int16_t cur_z = 0;
    if (m_camera->gimbalGetAttitudeInfo(cur_x, cur_y, cur_z) != 0) {
        qWarning() << "gimbalGetAttitudeInfo failed";
        return;
    }
    const int travel_x = int(x) - cur_x;
    const int travel_y = int(y) - cur_y;
    const int travel_z = int(z) - cur_z;
    const double t = presetMoveTime(travel_x, travel_y, travel_z, speed_ref);
    // Already in place: no gimbal command (its speeds would divide by zero),
    // but the stored zoom still applies.
    if (t > 0.0)
        m_camera->gimbalSetSpeedPosition(x, y, z, travel_x / t, travel_y / t, travel_z / t);
    emit zoomSliderRequested(qBound(0, int(std::lround((zoom - 1.0) * 100.0)), 100));
}
