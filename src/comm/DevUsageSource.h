#pragma once

#include "uvc/CameraStatus.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <array>

namespace vexo {
namespace pc {

// Plain facts about one camera, as the cloud reports need them. The device
// layer fills them; the report builders only read them, so they can be
// tested without a camera.
struct DevUsageFacts
{
    // Product family, from the camera's product and platform.
    enum Family { FamilyUnknown = -1, FamilyNimo = 0, FamilyNimo4k = 1, FamilyZarvo = 2, FamilyZarvo4k = 3 };

    struct Control
    {
        bool valid = false;
        bool autoMode = false;
        int value = 0;
    };

    struct Preset
    {
        double pan = 0.0;  // degrees (hundredths already divided)
        double tilt = 0.0;
        double zoomRatio = 1.0;
        bool used = false;
    };

    bool registered = false;   // the registry knows this serial
    bool network = false;      // reached over the network, not UVC
    int family = FamilyUnknown;
    bool zoom4x = false;       // the camera's zoom 4x flag
    QString sn;
    QJsonObject devInfo;       // device information ("platform", ...)
    QString version;           // firmware version text
    QJsonObject reportInfo;    // report record ("sn", "platform", "version", ...)

    // Snapshot inputs (read only when a snapshot is asked for).
    CameraStatus status;
    bool panTiltValid = false; // absolute pan/tilt could be read
    int pan = 0;
    int tilt = 0;
    Control whiteBalance;      // value: temperature in K
    Control brightness;
    Control contrast;
    Control saturation;
    Control sharpness;
    Control hue;

    // Nimo families only.
    int trackingMode = 0;      // tracking-mode value of the AI status
    int trackingModeNext = 0;  // the AI status value that follows it
    bool autoFocus = false;    // first byte of the focus-ratio answer
    bool faceFocus = false;    // blocking face-focus query (auto focus on)
    double bootPan = 0.0;
    double bootTilt = 0.0;
    double bootZoom = 0.0;
    std::array<Preset, 3> presets;
};

// Where the cloud tasks get camera facts from. The device registry installs
// its implementation at start-up; until then no camera is known and every
// report ends without a request. Implementations are called from pool
// threads and must be thread safe.
class DevUsageSource
{
public:
    virtual ~DevUsageSource();

    // Identity facts (registered, network, family, devInfo, version,
    // reportInfo); cheap, no device traffic.
    virtual DevUsageFacts identity(const QString &sn) = 0;
    // The camera's absolute pan and tilt; false when unreadable.
    virtual bool readPanTilt(const QString &sn, int *pan, int *tilt) = 0;
    // Identity plus every snapshot input; `extended` asks for the inputs of
    // the extended snapshot too (standard controls, presets, ...).
    virtual DevUsageFacts snapshot(const QString &sn, bool extended) = 0;
    // Serials of the registered cameras reached over UVC.
    virtual QStringList uvcSerials() = 0;

    // The installed source (not owned); null when none.
    static DevUsageSource *instance();
    static void setInstance(DevUsageSource *source);
};

} // namespace pc
} // namespace vexo
