// The camera command set: fixed 60-byte command blocks on selector 6, the
// preset query on selector 7, framed requests of the camera, gimbal and AI
// modules, and the few commands made of standard controls.
#include "uvc/UvcDevice.h"

#include "comm/TimeScale.h"
#include "platform/CameraDevice.h"

#include <QDebug>

#include <cmath>
#include <cstring>

namespace vexo {
namespace pc {

namespace {

using Control = CameraDevice::Control;

constexpr int SelectorCommand = 6;
constexpr int SelectorPreset = 7;

void putLe16(QByteArray &b, int offset, int v)
{
    b[offset] = char(v & 0xff);
    b[offset + 1] = char((v >> 8) & 0xff);
}

void putLe32(QByteArray &b, int offset, qint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[offset + i] = char((quint32(v) >> (8 * i)) & 0xff);
}

qint16 le16(const QByteArray &b, int offset)
{
    return qint16(quint16(quint8(b.at(offset)) | (quint8(b.at(offset + 1)) << 8)));
}

float leFloat(const QByteArray &b, int offset)
{
    float f;
    std::memcpy(&f, b.constData() + offset, sizeof f);
    return f;
}

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
    if (uvc_xu_set(SelectorCommand, block, XuBlockSize) != XuBlockSize) {
        qWarning() << operation << code << "failed";
        return -1;
    }
    qInfo() << operation << shownValue << "successfully";
    return 0;
}

int UvcDevice::cameraSetMediaMode(MediaMode mode)
{
    return sendBlock("cameraSetMediaMode", 0, {quint8(mode)}, mode);
}

int UvcDevice::cameraSetHdr(bool on)
{
    return sendBlock("cameraSetHdr", 1, {quint8(on ? 1 : 0)}, on);
}

int UvcDevice::cameraSetFaceAE(int value)
{
    return sendBlock("cameraSetFaceAE", 3, {quint8(value)}, value);
}

int UvcDevice::cameraSetFov(int value)
{
    return sendBlock("cameraSetFov", 4, {quint8(value)}, value);
}

int UvcDevice::cameraSetBgMode(MediaBgMode mode)
{
    return sendBlock("cameraSetBgMode", 5, {quint8(mode)}, mode);
}

int UvcDevice::cameraSetMaskLevel(int level)
{
    level = qBound(0, level, 100);
    return sendBlock("cameraSetMaskLevel", 6, {quint8(level)}, level);
}

int UvcDevice::cameraSetButtonMode(int mode)
{
    return sendBlock("cameraSetButtonMode", 7, {quint8(mode)}, mode);
}

int UvcDevice::cameraSetNoiseCancellation(int value)
{
    return sendBlock("cameraSetNoiseCancellation", 10, {quint8(value)}, value);
}

int UvcDevice::cameraSetSuspendTime(int seconds)
{
    return sendBlock("cameraSetSuspendTime", 11, {quint8(seconds & 0xff), quint8((seconds >> 8) & 0xff)}, seconds);
}

int UvcDevice::cameraSetAutoFramingMode(signed char mode, signed char size)
{
    return sendBlock("cameraSetAutoFramingMode", 13, {quint8(mode), quint8(size)}, mode);
}

int UvcDevice::cameraSetImageReplace(int op, int index)
{
    return sendBlock("cameraSetImageReplace", 14, {quint8(op), quint8(index)}, index);
}

int UvcDevice::cameraSetBgColor(MediaBgModeColorType color)
{
    return sendBlock("cameraSetBgColor", 16, {quint8(color)}, color);
}

int UvcDevice::cameraSetBgEnable(bool enable)
{
    // The camera's flag says "disabled".
    return sendBlock("cameraSetBgEnable", 17, {quint8(enable ? 0 : 1)}, enable);
}

// ---- frames ----

int UvcDevice::sendCameraFrame(int cmdId, const QByteArray &payload)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, cmdId, payload, false);
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
    return sendCameraFrame(962, payload);
}

int UvcDevice::cameraRestoreFactorySettings()
{
    return sendCameraFrame(964, QByteArray(1, '\1'));
}

int UvcDevice::cameraSetFaceFocus(bool on)
{
    return sendCameraFrame(978, QByteArray(1, on ? '\1' : '\0'));
}

int UvcDevice::cameraGetFaceFocus(QSharedPointer<QString> method, QObject *receiver, int getMethod)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 466);
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
        putLe16(payload, 0, speed);
        putLe32(payload, 2, zoom);
        ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 643, payload, false);
        const ErrorType ret = sendMsgAsync(f, false);
        if (ret != NoError) {
            qWarning() << "Error occurred in sendMsgAsync, ret_val =" << ret;
            return -1;
        }
        return 0;
    }
    if (zoomRange().max == 0 && !cameraZoomRangeGet()) {
        qWarning() << "get zoom range failed";
        return -1;
    }
    if (!uvc_IAMCameraControl_Get()) {
        qWarning() << "Get IMACameraControl failed";
        return -1;
    }
    const CameraParamRange r = zoomRange();
    const int value = int(std::lround(r.min + (r.max - r.min) * (ratio - 1.0)));
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
        ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetCamera, 461, payload, true);
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
    if (!checkCommon())
        return -1;
    QByteArray payload(12, '\0');
    putLe16(payload, 0, int(p1 * 100));
    putLe16(payload, 2, int(p2 * 100));
    putLe16(payload, 4, int(p3 * 100));
    putLe16(payload, 6, s1);
    putLe16(payload, 8, s2);
    putLe16(payload, 10, s3);
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetGimbal, 6, payload, false);
    const ErrorType ret = sendMsgAsync(f, false);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgAsync, ret_val =" << ret;
        return -1;
    }
    return 0;
}

int UvcDevice::gimbalGetAttitudeInfo(short &x, short &y, short &z)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetGimbal, 1);
    QByteArray a;
    const ErrorType ret = sendMsgSync(f, a);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgSync, ret_val =" << ret;
        return -1;
    }
    if (a.size() < 6) {
        qWarning() << "Attitude info length error, received length is" << a.size();
        return -1;
    }
    x = le16(a, 0);
    y = le16(a, 2);
    z = le16(a, 4);
    qInfo() << "x =" << x / 100.0 << "; y =" << y / 100.0 << "; z =" << z / 100.0;
    return 0;
}

int UvcDevice::aiGetGimbalBootPos(float &a, float &b, float &c, float &d)
{
    if (!checkCommon())
        return -1;
    ProtocolMsg::FrmPacket f = ProtocolMsg::makeRequest(ProtocolMsg::CmdSetAi, 54);
    QByteArray ans;
    const ErrorType ret = sendMsgSync(f, ans);
    if (ret != NoError) {
        qWarning() << "Error occurred in sendMsgSync, ret_val =" << ret;
        return -1;
    }
    if (ans.size() < 20) {
        qWarning() << "Gimbal boot position length error, received length is" << ans.size();
        return -1;
    }
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
    unsigned char block[XuBlockSize] = {2, 1, index};
    if (uvc_xu_set(SelectorPreset, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "query gimbal preset failed";
        return -1;
    }
    std::memset(block, 0, sizeof block);
    if (uvc_xu_get(SelectorPreset, block, XuBlockSize) != XuBlockSize) {
        qWarning() << "get gimbal preset failed";
        return -1;
    }
    if (block[0] != 0xAA || block[1] != 1) {
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
    // camera decide. The power-line control has no automatic companion on
    // the platform, so only the value is passed on.
    const auto h = handle();
    if (!h || !h->controlSet(Control::PowerLineFrequency, value, CameraDevice::FlagNone)) {
        qWarning() << "put_PowerlineFrequency failed";
        return -1;
    }
    return 0;
}

int UvcDevice::cameraGetFocusRatio(unsigned char *isAuto)
{
    if (!checkCommon())
        return -1;
    if (focusRange().max == 0 && !cameraFocusRangeGet()) {
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
    if (r.max == r.min)
        return -1;
    return (value - r.min) * 100 / (r.max - r.min);
}

int UvcDevice::normalizedZoom(int zoom)
{
    if (zoomRange().max == 0 && !cameraZoomRangeGet()) {
        qWarning() << "get zoom range failed";
        return 0;
    }
    const CameraParamRange r = zoomRange();
    if (r.max == r.min)
        return 0;
    const double n = std::floor((zoom - r.min) * 100.0 / (r.max - r.min) + 0.5);
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
