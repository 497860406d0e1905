#pragma once

#include <QByteArray>
#include <QMetaType>

#include <cstring>

namespace vexo {
namespace pc {

// The camera's 60-byte status block (extension-unit selector 6) plus two
// zero bytes, passed by value. Byte positions of the zarvo families; the
// nimo families use another layout that only the usage reports read.
struct CameraStatus
{
    static constexpr int BlockSize = 60;
    static constexpr int Size = 62;

    quint8 data[Size] = {};

    enum Offset {
        MediaMode = 0,          // 0 standard, 1 virtual background, 2 auto framing
        Hdr = 1,
        RunState = 2,           // 1 running, 3 sleeping, 4 privacy
        FaceAe = 3,
        Fov = 4,                // 0 = 86°, 1 = 78°, 2 = 65°
        BgMode = 5,             // 1 green screen, 17 replacement, 18 blur
        BlurLevel = 6,
        AntiFlicker = 7,        // 0 off, 1 50 Hz, 2 60 Hz
        Zoom = 8,               // 16 bits, 0..100
        ButtonMode = 10,
        NoiseCancellation = 14,
        ScreenMode = 15,
        FramingMode = 16,       // 0 group, 1 single
        FramingSize = 17,       // 0 close-up, 1 upper body
        AutoSleep = 18,         // signed 16 bits, seconds
        ReplaceImage = 20,
        GreenScreenColor = 22,  // 0 blue, 1 green
        FaceFocus = 23,
        AutoFocus = 24,
        ManualFocus = 25,
        BgUnavailable = 26,
    };

    // Values of the RunState byte.
    enum RunStateValue {
        RunStateRunning = 1,
        RunStateSleeping = 3,
        RunStatePrivacy = 4,
    };

    quint8 byte(int offset) const { return offset >= 0 && offset < Size ? data[offset] : 0; }
    int runState() const { return data[RunState]; }
    int zoom() const { return data[Zoom] | (data[Zoom + 1] << 8); }
    int autoSleep() const { return qint16(quint16(data[AutoSleep] | (data[AutoSleep + 1] << 8))); }

    QByteArray toByteArray() const { return QByteArray(reinterpret_cast<const char *>(data), Size); }

    bool operator==(const CameraStatus &o) const { return std::memcmp(data, o.data, Size) == 0; }
    bool operator!=(const CameraStatus &o) const { return !(*this == o); }
};

static_assert(sizeof(CameraStatus) == 62, "status record: 60-byte block + 2 zero bytes");

// Registers CameraStatus for queued signals (idempotent).
void registerCameraStatusMetaType();

} // namespace pc
} // namespace vexo

Q_DECLARE_METATYPE(vexo::pc::CameraStatus)
