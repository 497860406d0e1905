#pragma once

#include <QtGlobal>

namespace vexo {
namespace pc {

// The numbers of the camera protocol that both ends must agree on: the
// device layer sends them, the virtual camera answers them.
namespace cmd {

// Extension-unit control selectors: 1 file transfer, 2 one frame out and
// the pending answer in, 3 upload, 4 download, 5 updater command, 6 command
// blocks out and the status block in, 7 preset query and answer.
enum Selector : int {
    SelFileTransfer = 1, SelMessage, SelUpload, SelDownload, SelUpgradeCmd, SelCommand, SelPreset
};

// Frame command ids, by command set (ProtocolMsg::CmdSet).
enum SystemId : int { SysVersion = 16, SysUuid = 96, SysUpgrade = 97, SysSerial = 99, SysInfo = 101 };
// 466 GET_CAMERA_FACEFOCUS, 962 SET_CAMERA_DEVSTATUS.
enum CameraId : int {
    CamPrepareLog = 461, CamGetFaceFocus = 466, CamZoomRatio = 643, CamDevStatus = 962, CamFactoryReset = 964,
    CamSetFaceFocus = 978
};
enum GimbalId : int { GimbalAttitude = 1, GimbalSpeedPosition = 6 };
enum AiId : int { AiGimbalBootPos = 54, AiShortStatus = 146 /* AI_FETCH_SHORT_STATUS */ };

// Codes of the command blocks on SelCommand: [code, value count, values...].
// The relative pan/tilt block carries pan direction and step, then tilt
// direction and step; the suspend time is 16 bits; 1 in BlockBgDisable
// disables the virtual background.
enum BlockCode : quint8 {
    BlockMediaMode = 0, BlockHdr = 1, BlockFaceAe = 3, BlockFov = 4, BlockBgMode = 5, BlockMaskLevel = 6,
    BlockButtonMode = 7, BlockPanTiltRelative = 9, BlockNoiseCancellation = 10, BlockSuspendTime = 11,
    BlockAutoFraming = 13, BlockImageReplace = 14, BlockBgColor = 16, BlockBgDisable = 17
};

// The preset query on SelPreset is [PresetQuery, 1, index]; the answer
// starts with PresetAnswerSync, 1.
constexpr quint8 PresetQuery = 2;
constexpr quint8 PresetAnswerSync = 0xAA;

} // namespace cmd
} // namespace pc
} // namespace vexo
