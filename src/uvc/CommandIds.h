#pragma once

#include <QtGlobal>

namespace vexo {
namespace pc {

// The numbers of the camera protocol that both ends must agree on: the
// device layer sends them, the virtual camera answers them.
namespace cmd {

// Extension-unit control selectors.
enum Selector : int {
    SelFileTransfer = 1,
    SelMessage = 2,      // one frame out, the pending answer in
    SelUpload = 3,
    SelDownload = 4,
    SelUpgradeCmd = 5,
    SelCommand = 6,      // command blocks out, the status block in
    SelPreset = 7,       // preset query out, preset answer in
};

// Frame command ids, by command set (ProtocolMsg::CmdSet).
enum SystemId : int {
    SysVersion = 16,
    SysUuid = 96,
    SysUpgrade = 97,
    SysSerial = 99,
    SysInfo = 101,
};
enum CameraId : int {
    CamPrepareLog = 461,
    CamGetFaceFocus = 466,        // GET_CAMERA_FACEFOCUS
    CamZoomRatio = 643,
    CamDevStatus = 962,           // SET_CAMERA_DEVSTATUS
    CamFactoryReset = 964,
    CamSetFaceFocus = 978,
};
enum GimbalId : int {
    GimbalAttitude = 1,
    GimbalSpeedPosition = 6,
};
enum AiId : int {
    AiGimbalBootPos = 54,
    AiShortStatus = 146,          // AI_FETCH_SHORT_STATUS
};

// Codes of the command blocks on SelCommand: [code, value count, values...].
enum BlockCode : quint8 {
    BlockMediaMode = 0,
    BlockHdr = 1,
    BlockFaceAe = 3,
    BlockFov = 4,
    BlockBgMode = 5,
    BlockMaskLevel = 6,
    BlockButtonMode = 7,
    BlockPanTiltRelative = 9,     // pan direction, pan step, tilt direction, tilt step
    BlockNoiseCancellation = 10,
    BlockSuspendTime = 11,        // 16 bits
    BlockAutoFraming = 13,
    BlockImageReplace = 14,
    BlockBgColor = 16,
    BlockBgDisable = 17,          // 1 disables the virtual background
};

// The preset query on SelPreset is [PresetQuery, 1, index]; the answer
// starts with PresetAnswerSync, 1.
constexpr quint8 PresetQuery = 2;
constexpr quint8 PresetAnswerSync = 0xAA;

} // namespace cmd
} // namespace pc
} // namespace vexo
