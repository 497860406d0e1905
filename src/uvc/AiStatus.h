#pragma once

#include "comm/ByteOrder.h"

#include <QByteArray>

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

    static constexpr int AnswerSize = 38;

    // Decodes the answer data (the bytes after the result code); false when
    // the answer is too short. Both delivery paths use this one decoding:
    // the third and fourth values know only 0..2, anything above means none.
    static bool decode(const QByteArray &data, AiStatus &out)
    {
        if (data.size() < AnswerSize)
            return false;
        auto small = [](quint8 v) { return v >= 3 ? quint8(0) : v; };
        out.first = quint8(data.at(30));
        out.second = quint8(data.at(31));
        out.third = small(quint8(data.at(32)));
        out.fourth = small(quint8(data.at(37)));
        out.fifth = quint8(data.at(37));
        out.value = leFloat(data, 33);
        return true;
    }
};

} // namespace pc
} // namespace vexo
