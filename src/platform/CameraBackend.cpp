#include "platform/CameraBackend.h"

namespace vexo {
namespace pc {

CameraBackend::~CameraBackend() = default;

bool CameraBackend::isSimulated() const
{
    return false;
}

} // namespace pc
} // namespace vexo
