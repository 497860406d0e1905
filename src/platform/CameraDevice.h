#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <functional>

namespace vexo {
namespace pc {

// One opened camera, as the device layer needs it from the operating system:
// 60-byte blocks of the vendor extension unit by selector, and the standard
// camera-terminal and processing-unit controls. Implementations must allow
// calls from several threads at once (the device's worker and its callers
// both use the extension unit without a lock of their own).
//
// A handle that lost its camera (unplugged) fails every call; it never comes
// back to life: the camera must be opened again.
class CameraDevice
{
public:
    // The standard controls, in the units of the USB video class (pan and
    // tilt in arc-seconds, exposure in 100 µs steps, power-line frequency
    // 0 off, 1 50 Hz, 2 60 Hz, 3 auto).
    enum class Control {
        Brightness,
        Contrast,
        Hue,
        Saturation,
        Sharpness,
        WhiteBalance,
        BacklightCompensation,
        Gain,
        PowerLineFrequency,
        Exposure,
        Focus,
        Zoom,
        Pan,
        Tilt,
        PanRelative,
        TiltRelative,
    };

    // Value flags: a control with an automatic companion reports FlagAuto
    // while the automatic mode is on and FlagManual otherwise; FlagNone on a
    // set leaves the automatic mode alone.
    enum Flags { FlagNone = 0, FlagAuto = 1, FlagManual = 2 };

    // Range of a control. flags tells which modes the control offers:
    // FlagManual always, plus FlagAuto when it has an automatic companion.
    struct Range
    {
        int minimum = 0;
        int maximum = 0;
        int step = 0;
        int defaultValue = 0;
        int flags = 0;
    };

    // Parameters and callback of a video capture. Each sample is one
    // compressed picture; the callback runs on a capture thread.
    struct CaptureFormat
    {
        int width = 1280;
        int height = 720;
        int fps = 30;
        quint32 fourcc = 0x47504a4d; // 'MJPG'
    };
    using SampleCallback = std::function<void(const uchar *data, int size, qint64 timestampUs)>;

    virtual ~CameraDevice();

    // Finds the vendor extension unit. Cheap when it is already known.
    virtual bool xuInit() = 0;

    // Reads a block of the extension unit: the number of bytes the camera
    // returned, or -1 (lastError() tells why).
    virtual int xuGet(int selector, uchar *buf, int len) = 0;

    // Writes a block: len on success, -1 on failure.
    virtual int xuSet(int selector, const uchar *buf, int len) = 0;

    virtual bool controlRange(Control c, Range &range) = 0;
    virtual bool controlGet(Control c, int &value, int &flags) = 0;
    virtual bool controlSet(Control c, int value, int flags) = 0;

    // Absolute pan and tilt together (arc-seconds); some cameras accept them
    // only as a pair. The default sets them one after the other.
    virtual bool panTiltSet(int pan, int tilt, int flags);

    // Video capture. Not every backend offers it; the defaults refuse.
    virtual bool startCapture(const CaptureFormat &format, SampleCallback onSample);
    virtual void stopCapture();

    // Error number of the last failed call of this thread (errno values).
    virtual int lastError() const = 0;

    // Text for log lines.
    static QString controlName(Control c);

    // The GUID of the camera family's vendor extension unit.
    static QUuid extensionUnitGuid();

    // Size of every extension-unit transfer.
    static constexpr int XuBlockSize = 60;
};

} // namespace pc
} // namespace vexo
