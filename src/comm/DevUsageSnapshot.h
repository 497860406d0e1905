#pragma once

#include "comm/DevUsageSource.h"

#include <QJsonObject>
#include <QVariant>

namespace vexo {
namespace pc {

// Builders of the usage reports' bodies: the usage events and the main and
// extended status snapshots. Pure functions of the camera facts.
class DevUsageSnapshot final
{
public:
    // Report types by family: main status, ext status, main event, ext event.
    enum Kind { MainStatus = 0, ExtStatus = 1, MainEvent = 2, ExtEvent = 3 };
    // Usage event actions: positions in the reports' action table (the ones
    // the program files by name; the table holds 0..LastAction).
    enum Action : int {
        ActionToSleep = 0,
        ActionToWake = 2,
        ActionZooming = 4,
        ActionGimbalControl = 5,
        ActionSetViewMode = 12,
        ActionSetAutoFramingEnabled = 13,
        ActionSetAutoFramingMode = 14,
        ActionSetAutoFramingSize = 15,
        ActionSetCropArea = 16,
        ActionResetCropArea = 17,
        ActionSetBgModeEnabled = 18,
        ActionSetBgModeOption = 19,
        ActionSetBgBlurLevel = 20,
        ActionSetBgGreenScreenColor = 21,
        ActionSetAutoSleep = 24,
        ActionConfigureVideoOpened = 30,
        ActionSetAutoWhiteBalanceEnabled = 32,
        ActionSetAntiFlickerMode = 38,
        ActionSetFaceAeEnabled = 39,
        ActionSetNoiseCancellationEnabled = 41,
        ActionSetHdrEnabled = 43,
        ActionSetAutoFocusEnabled = 46,
        ActionSetFaceFocusEnabled = 48,
        ActionSetButtonWorkMode = 51,
    };
    static constexpr int NoValidType = 108;
    static constexpr int LastMainAction = 22;
    static constexpr int LastAction = 54;

    // 0..7 for the nimo families, 100..107 for zarvo, 108 for an unknown family.
    static int reportType(int family, Kind kind);
    // The event kind of an action index (main up to 22, ext after).
    static int eventType(int family, int action);

    // "to_sleep", ...; empty outside 0..54.
    static QString actionName(int action);
    // "MOUSE", "KEY", "REMOTE", "DEVICE"; empty otherwise.
    static QString triggerName(int trigger);

    // The usage event body; `panTilt` is called for the actions that carry
    // the camera's position (gimbal control and crop area).
    static QJsonObject eventBody(const DevUsageFacts &facts, int action, int trigger, const QString &comment,
                                 const QVariant &data, const QVariant &extra1, const QVariant &extra2,
                                 const QVariant &extra3, bool panTiltValid, int pan, int tilt);

    // Snapshots; empty for a network camera or an unknown family.
    static QJsonObject mainStatus(const DevUsageFacts &facts);
    static QJsonObject extStatus(const DevUsageFacts &facts);

    // 1 + z/100, or 1 + 3z/100 with the zoom 4x flag.
    static double zoomRatio(int normalisedZoom, bool zoom4x);
    static QString ratioText(double ratio);

    // Fills facts.presets from the records remembered in the global
    // parameters (used when the camera does not answer its presets).
    static void presetsFromRecords(DevUsageFacts &facts);

    DevUsageSnapshot() = delete;
};

} // namespace pc
} // namespace vexo
