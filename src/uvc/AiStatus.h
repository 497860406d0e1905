#pragma once

#include <QtGlobal>

namespace vexo {
namespace pc {

// The camera's short AI status: five values and a float, as answered to
// AI_FETCH_SHORT_STATUS. The meanings are the camera's.
struct AiStatus
{
    quint8 first = 0;
    quint8 second = 0;
    quint8 third = 0;   // 0, 1 or 2
    quint8 fourth = 0;  // 0, 1 or 2
    quint8 fifth = 0;   // raw
    float value = 0.0f;
};

} // namespace pc
} // namespace vexo
