#include "uvc/CameraStatus.h"

namespace vexo {
namespace pc {

void registerCameraStatusMetaType()
{
    static const bool done = [] {
        qRegisterMetaType<vexo::pc::CameraStatus>("vexo::pc::CameraStatus");
        qRegisterMetaType<vexo::pc::CameraStatus>("CameraStatus");
        return true;
    }();
    Q_UNUSED(done)
}

} // namespace pc
} // namespace vexo
