#pragma once

#include <QtGlobal>

namespace vexo {
namespace pc {

// A gimbal preset as the camera answers it on selector 7: nine bytes of
// preset data (data[0] == 255: no preset stored), the name length and the
// name (below 48 bytes, not terminated).
struct UvcPreSetPosInfo
{
    quint8 data[9] = {};
    quint8 nameLen = 0;
    char name[48] = {};

    bool isPresent() const { return data[0] != 255; }
};

static_assert(sizeof(UvcPreSetPosInfo) == 58, "preset record: 9 + 1 + 48 bytes");

} // namespace pc
} // namespace vexo
