// The camera command set: fixed 60-byte command blocks on selector 6, the
// preset query on selector 7, framed requests of the camera, gimbal and AI
// modules, and the few commands made of standard controls.
#include "uvc/UvcDevice.h"

#include "comm/ByteOrder.h"
#include "comm/TimeScale.h"
#include "uvc/CommandIds.h"
#include "platform/CameraDevice.h"

#include <QDebug>

#include <cmath>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

using Control = CameraDevice::Control;

} // namespace

// ---- command blocks ----

int UvcDevice::sendBlock(const char *operation, quint8 code, std::initializer_list<quint8> values, int shownValue)
{
    if (!checkCommon())
        return -1;
    unsigned char block[XuBlockSize] = {};
    block[0] = code;
    block[1] = quint8(values.size());
    int i = 2;
    for (quint8 v : values)
        block[i++] = v;
    if (uvc_xu_set(cmd::SelCommand, block, XuBlockSize) != XuBlockSize) {
        qWarning() << operation << code << "failed";
        return -1;
    }
    qInfo() << operation << shownValue << "successfully";
    return 0;
}

// Commands of one value byte, sent as given.
#define ZARVO_ONE_BYTE_COMMAND(NAME, TYPE, CODE)                                                     \
    int UvcDevice::NAME(TYPE value) { return sendBlock(#NAME, CODE, {quint8(value)}, int(value)); }

ZARVO_ONE_BYTE_COMMAND(cameraSetMediaMode, MediaMode, cmd::BlockMediaMode)
ZARVO_ONE_BYTE_COMMAND(cameraSetHdr, bool, cmd::BlockHdr)
ZARVO_ONE_BYTE_COMMAND(cameraSetFaceAE, int, cmd::BlockFaceAe)
ZARVO_ONE_BYTE_COMMAND(cameraSetFov, int, cmd::BlockFov)
ZARVO_ONE_BYTE_COMMAND(cameraSetBgMode, MediaBgMode, cmd::BlockBgMode)
ZARVO_ONE_BYTE_COMMAND(cameraSetButtonMode, int, cmd::BlockButtonMode)
ZARVO_ONE_BYTE_COMMAND(cameraSetNoiseCancellation, int, cmd::BlockNoiseCancellation)
ZARVO_ONE_BYTE_COMMAND(cameraSetBgColor, MediaBgModeColorType, cmd::BlockBgColor)

#undef ZARVO_ONE_BYTE_COMMAND

int UvcDevice::cameraSetMaskLevel(int level)
{
    level = qBound(0, level, 100);
    return sendBlock("cameraSetMaskLevel", cmd::BlockMaskLevel, {quint8(level)}, level);
}

int UvcDevice::cameraSetSuspendTime(int seconds)
{
    return sendBlock("cameraSetSuspendTime", cmd::BlockSuspendTime, {quint8(seconds), quint8(seconds >> 8)}, seconds);
}

int UvcDevice::cameraSetAutoFramingMode(signed char mode, signed char size)
{
    return sendBlock("cameraSetAutoFramingMode", cmd::BlockAutoFraming, {quint8(mode), quint8(size)}, mode);
}

int UvcDevice::cameraSetImageReplace(int op, int index)
{
    return sendBlock("cameraSetImageReplace", cmd::BlockImageReplace, {quint8(op), quint8(index)}, index);
}

int UvcDevice::cameraSetBgEnable(bool enable)
{
    // The camera's flag says "disabled".
    return sendBlock("cameraSetBgEnable", cmd::BlockBgDisable, {quint8(enable ? 0 : 1)}, enable);
}

// ---- frames ----

int UvcDevice::sendFrame(int cmdSet, int cmdId, const QByteArray &payload)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(cmdSet, cmdId, payload, false);
    const ErrorType ret = sendMsgAsync(f, false);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgAsync, ret_val =" << ret;
        return -1;
    }
    return 0;
}

int UvcDevice::cameraSetDevRunStatus(DevStatus status)
{
    QByteArray payload(2, '\0');
    payload[0] = 1;
    payload[1] = char(status);
    return sendFrame(ProtocolMsg::CmdSetCamera, cmd::CamDevStatus, payload);
}

int UvcDevice::cameraRestoreFactorySettings()
{
    return sendFrame(ProtocolMsg::CmdSetCamera, cmd::CamFactoryReset, QByteArray(1, '\1'));
}

int UvcDevice::cameraSetFaceFocus(bool on)
{
    return sendFrame(ProtocolMsg::CmdSetCamera, cmd::CamSetFaceFocus, QByteArray(1, on ? '\1' : '\0'));
}

int UvcDevice::cameraGetFaceFocus(QSharedPointer<QString> method, QObject *receiver, int getMethod)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, cmd::CamGetFaceFocus);
    if (getMethod == GetNonBlocking)
        return sendMsgSyncNonBlock(f, method, receiver);
    QByteArray answer;
    const ErrorType ret = sendMsgSync(f, answer);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgAsync, ret_val =" << ret;
        return 0;
    }
    return answer.isEmpty() ? 0 : int(qint8(answer.at(0)));
}

int UvcDevice::cameraSetZoomRatio(double ratio, short speed, int method)
{
    if (!checkCommon())
        return -1;
    if (method == 1) {
        const qint32 zoom = qint32(std::lround(ratio * 1000.0));
        qInfo() << "zoom_i =" << zoom;
        QByteArray payload(6, '\0');
        setLe16(payload, 0, quint16(speed));
        setLe32(payload, 2, quint32(zoom));
        return sendFrame(ProtocolMsg::CmdSetCamera, cmd::CamZoomRatio, payload);
    }
    if (zoomRange().maximum == 0 && !cameraZoomRangeGet()) {
        qWarning() << "get zoom range failed";
        return -1;
    }
    if (!uvc_IAMCameraControl_Get()) {
        qWarning() << "Get IMACameraControl failed";
        return -1;
    }
    const CameraParamRange r = zoomRange();
    const int value = int(std::lround(r.minimum + (r.maximum - r.minimum) * (ratio - 1.0)));
    const auto h = handle();
    if (!h || !h->controlSet(Control::Zoom, value, r.flags)) {
        qWarning() << "set CameraControl_Zoom failed";
        return -1;
    }
    return 0;
}

int UvcDevice::cameraPrepareLog()
{
    if (!checkInited())
        return -1;
    // Two shell lines for the camera, each in one frame of 60 bytes.
    const char *const commands[] = {"cp /app/private/LogFac* /log/ai/ -rf &", "cp /factory/*.json /log/ai/ &"};
    for (int i = 0; i < 2; ++i) {
        QByteArray payload(ProtocolMsg::MaxPayloadSize, '\0');
        payload[0] = 0x14;
        const QByteArray text(commands[i]);
        payload.replace(1, qMin(text.size(), ProtocolMsg::MaxPayloadSize - 2), text.left(ProtocolMsg::MaxPayloadSize - 2));
        ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, cmd::CamPrepareLog, payload, true);
        const ErrorType ret = devMode_.load() != DevModeUvc ? sendMsgAsyncDirectly(f) : sendMsgAsync(f, true);
        if (ret != NoError)
            qWarning() << "cameraPrepareLog send failed, ret_val =" << ret;
        if (i == 0)
            TimeScale::waitWithEvents(500);
    }
    return 0;
}

// ---- gimbal and AI frames ----

int UvcDevice::gimbalSetSpeedPosition(short s1, short s2, short s3, double p1, double p2, double p3)
{
    QByteArray payload(12, '\0');
    setLe16(payload, 0, quint16(int(p1 * 100)));
    setLe16(payload, 2, quint16(int(p2 * 100)));
    setLe16(payload, 4, quint16(int(p3 * 100)));
    setLe16(payload, 6, quint16(s1));
    setLe16(payload, 8, quint16(s2));
    setLe16(payload, 10, quint16(s3));
    return sendFrame(ProtocolMsg::CmdSetGimbal, cmd::GimbalSpeedPosition, payload);
}

int UvcDevice::gimbalGetAttitudeInfo(short &x, short &y, short &z)
{
    QByteArray a;
    if (!checkCommon() || !request(ProtocolMsg::CmdSetGimbal, cmd::GimbalAttitude, 6, "Attitude info", a))
        return -1;
    x = qint16(le16(a, 0));
    y = qint16(le16(a, 2));
    z = qint16(le16(a, 4));
    qInfo() << "x =" << x / 100.0 << "; y =" << y / 100.0 << "; z =" << z / 100.0;
    return 0;
}

int UvcDevice::aiGetGimbalBootPos(float &a, float &b, float &c, float &d)
{
    QByteArray ans;
    if (!checkCommon() || !request(ProtocolMsg::CmdSetAi, cmd::AiGimbalBootPos, 20, "Gimbal boot position", ans))
        return -1;
    a = leFloat(ans, 4);
    b = leFloat(ans, 8);
    c = leFloat(ans, 12);
    d = leFloat(ans, 16);
    return 0;
}

// ---- presets ----

int UvcDevice::presetPositionGet(unsigned char index, UvcPreSetPosInfo *info)
{
    if (!info)
        return -1;
    if (!checkCommon())
        return -1;
    unsigned char block[XuBlockSize] = {cmd::PresetQuery, 1, index};
    if (uvc_xu_set(cmd::SelPreset, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "query gimbal preset failed";
        return -1;
    }
    std::memset(block, 0, sizeof block);
    if (uvc_xu_get(cmd::SelPreset, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "get gimbal preset failed";
        return -1;
    }
    if (block[0] != cmd::PresetAnswerSync || block[1] != 1) {
        qWarning() << "Preset info invalid" << block[0] << block[1];
        return -1;
    }
    if (block[2] != 0) {
        qInfo() << "Preset not present" << block[2];
        info->data[0] = 255;
        return 0;
    }
    const int nameLen = block[12];
    if (nameLen >= 48) {
        qWarning() << "Preset info name len error" << nameLen;
        return -1;
    }
    std::memcpy(static_cast<void *>(info), block + 3, size_t(nameLen + 10));
    return 0;
}

// ---- commands made of standard controls ----

int UvcDevice::cameraSetAntiFlicker(int value)
{
    if (!checkCommon())
        return -1;
    if (!procAmpHeld_.load() && !uvc_IVideoProcAmp_Get()) {
        qWarning() << "get IVideoProcAmp failed";
        return -1;
    }
    // 1 and 2 are manual choices (50 and 60 Hz), anything else lets the
    // camera decide.
    const int flags = (value == 1 || value == 2) ? CameraDevice::FlagManual : CameraDevice::FlagAuto;
    const auto h = handle();
    if (!h || !h->controlSet(Control::PowerLineFrequency, value, flags)) {
        qWarning() << "put_PowerlineFrequency failed";
        return -1;
    }
    return 0;
}

int UvcDevice::cameraGetFocusRatio(unsigned char *isAuto)
{
    if (!checkCommon())
        return -1;
    if (focusRange().maximum == 0 && !cameraFocusRangeGet()) {
        qWarning() << "get focus range failed";
        return -1;
    }
    if (!amCamCtrlHeld_.load() && !uvc_IAMCameraControl_Get()) {
        qWarning() << "Get IAMCameraControl failed";
        return -1;
    }
    int value = 0, flags = 0;
    const auto h = handle();
    if (!h || !h->controlGet(Control::Focus, value, flags)) {
        qWarning() << "get CameraControl_Focus failed";
        return -1;
    }
    if (isAuto)
        *isAuto = flags == CameraDevice::FlagAuto ? 1 : 0;
    const CameraParamRange r = focusRange();
    if (r.maximum == r.minimum)
        return -1;
    return (value - r.minimum) * 100 / (r.maximum - r.minimum);
}

int UvcDevice::normalizedZoom(int zoom)
{
    if (zoomRange().maximum == 0 && !cameraZoomRangeGet()) {
        qWarning() << "get zoom range failed";
        return 0;
    }
    const CameraParamRange r = zoomRange();
    if (r.maximum == r.minimum)
        return 0;
    const double n = std::floor((zoom - r.minimum) * 100.0 / (r.maximum - r.minimum) + 0.5);
    return qBound(0, int(n), 100);
}

UvcDevice::CameraParamRange UvcDevice::zoomRange() const
{
    std::lock_guard<std::mutex> locker(rangeLock_);
    return zoomRange_;
}

UvcDevice::CameraParamRange UvcDevice::focusRange() const
{
    std::lock_guard<std::mutex> locker(rangeLock_);
    return focusRange_;
}

} // namespace pc
} // namespace vexo
