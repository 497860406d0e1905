#include "comm/DevUsageSnapshot.h"

#include "comm/CameraModel.h"
#include "comm/GlobalParams.h"

namespace vexo {
namespace pc {

namespace {

const char *const kActionNames[] = {
    "to_sleep",
    "to_privacy",
    "to_wake",
    "tracking_tapped",
    "zooming",
    "gimbal_control",
    "gimbal_reset",
    "add_preset_position",
    "update_preset_position",
    "rename_preset_position",
    "delete_preset_position",
    "trigger_preset_position",
    "set_view_mode",
    "set_auto_framing_enabled",
    "set_auto_framing_mode",
    "set_auto_framing_size",
    "set_crop_area",
    "reset_crop_area",
    "set_background_mode_enabled",
    "set_background_mode_option",
    "set_background_blur_level",
    "set_background_green_screen_color",
    "set_background_replacement_image_index",
    "action_divider_line",
    "set_auto_sleep",
    "set_gesture_control_target_lock_enabled",
    "set_gesture_control_zooming_enabled",
    "set_gesture_zooming_ratio",
    "gesture_zooming_ratio_set_ui_opened",
    "set_tracking_mode",
    "configure_video_opened",
    "configure_video_reset",
    "set_auto_white_balance_enabled",
    "set_brightness",
    "set_contrast",
    "set_saturation",
    "set_sharpness",
    "set_hue",
    "set_anti_flicker_mode",
    "set_face_ae_enabled",
    "set_init_boot_position",
    "set_noise_cancellation_enabled",
    "set_preset_position_enabled",
    "set_hdr_enabled",
    "set_to_landscape_mode",
    "set_to_portrait_mode",
    "set_auto_focus_enabled",
    "set_manual_focus_value",
    "set_face_focus_enabled",
    "reset_gimbal_init",
    "reset_gimbal_zero",
    "set_button_work_mode",
    "set_button_customized_default_state",
    "set_button_customized_click_once",
    "set_button_customized_click_twice",
};
static_assert(sizeof(kActionNames) / sizeof(kActionNames[0]) == DevUsageSnapshot::LastAction + 1,
              "one name per action");

// The nimo families lay their status block out differently; only these
// reports read it.
enum NimoOffset {
    NimoTracking = 0,
    NimoAntiFlicker = 3,
    NimoZoom = 4,           // 16 bits
    NimoHdr = 6,
    NimoFaceAe = 7,
    NimoNoiseCancellation = 8,
    NimoRunState = 9,
    NimoAutoSleep = 10,     // signed 16 bits, seconds
    NimoScreenMode = 12,
};

quint16 u16At(const CameraStatus &status, int i)
{
    return static_cast<quint16>(status.byte(i) | (status.byte(i + 1) << 8));
}

QString onOff(bool on)
{
    return on ? QStringLiteral("ON") : QStringLiteral("OFF");
}

QString runState(quint8 b)
{
    if (b == 3)
        return QStringLiteral("Sleep");
    if (b == 4)
        return QStringLiteral("PRIVACY");
    return QStringLiteral("NORMAL");
}

QString antiFlicker(int v)
{
    if (v == 0)
        return QStringLiteral("OFF");
    if (v == 1)
        return QStringLiteral("50Hz");
    return QStringLiteral("60Hz");
}

QString autoSleep(int seconds)
{
    return seconds > 0 ? QString::number(seconds) + QLatin1Char('s') : QStringLiteral("OFF");
}

QString autoOrValue(const DevUsageFacts::Control &c)
{
    return c.autoMode ? QStringLiteral("AUTO") : QString::number(c.value);
}

void putIdentity(QJsonObject &o, const DevUsageFacts &f)
{
    o.insert(QStringLiteral("sn"), f.reportInfo.value(QStringLiteral("sn")).toString());
    o.insert(QStringLiteral("platform"), f.reportInfo.value(QStringLiteral("platform")).toString());
    o.insert(QStringLiteral("version"), f.reportInfo.value(QStringLiteral("version")).toString());
}

void putControls(QJsonObject &o, const DevUsageFacts &f)
{
    o.insert(QStringLiteral("white_balance"), f.whiteBalance.autoMode
                                                  ? QStringLiteral("AUTO")
                                                  : QString(QString::number(f.whiteBalance.value) + QLatin1Char('K')));
    o.insert(QStringLiteral("brightness"), QString::number(f.brightness.value));
    o.insert(QStringLiteral("saturation"), QString::number(f.saturation.value));
    o.insert(QStringLiteral("sharpness"), QString::number(f.sharpness.value));
    o.insert(QStringLiteral("contrast"), autoOrValue(f.contrast));
    o.insert(QStringLiteral("hue"), autoOrValue(f.hue));
}

// Families are numbered as the model codes.
bool isNimo(int family)
{
    return CameraModel::byCode(family).series == CameraModel::Series::Nimo;
}

bool isZarvo(int family)
{
    return CameraModel::byCode(family).series == CameraModel::Series::Zarvo;
}

// "sn", "platform" and "version" that open every snapshot; empty when the
// camera gets no snapshot (network camera, not registered, unknown family).
QJsonObject snapshotIdentity(const DevUsageFacts &f)
{
    QJsonObject o;
    if (f.network || !f.registered || !(isZarvo(f.family) || isNimo(f.family)))
        return o;
    putIdentity(o, f);
    return o;
}

} // namespace

int DevUsageSnapshot::reportType(int family, Kind kind)
{
    switch (family) {
    case DevUsageFacts::FamilyNimo:
        return kind;
    case DevUsageFacts::FamilyNimo4k:
        return 4 + kind;
    case DevUsageFacts::FamilyZarvo:
        return 100 + kind;
    case DevUsageFacts::FamilyZarvo4k:
        return 104 + kind;
    default:
        return NoValidType;
    }
}

int DevUsageSnapshot::eventType(int family, int action)
{
    return reportType(family, action <= LastMainAction ? MainEvent : ExtEvent);
}

QString DevUsageSnapshot::actionName(int action)
{
    if (action < 0 || action > LastAction)
        return QString();
    return QLatin1String(kActionNames[action]);
}

QString DevUsageSnapshot::triggerName(int trigger)
{
    switch (trigger) {
    case 0:
        return QStringLiteral("MOUSE");
    case 1:
        return QStringLiteral("KEY");
    case 2:
        return QStringLiteral("REMOTE");
    case 3:
        return QStringLiteral("DEVICE");
    default:
        return QString();
    }
}

double DevUsageSnapshot::zoomRatio(int normalisedZoom, bool zoom4x)
{
    return zoom4x ? 1.0 + 3.0 * normalisedZoom / 100.0 : 1.0 + normalisedZoom / 100.0;
}

QString DevUsageSnapshot::ratioText(double ratio)
{
    return QString::number(ratio, 'g', 6);
}

QJsonObject DevUsageSnapshot::eventBody(const DevUsageFacts &facts, int action, int trigger,
                                        const QString &comment, const QVariant &data, const QVariant &extra1,
                                        const QVariant &extra2, const QVariant &extra3, bool panTiltValid,
                                        int pan, int tilt)
{
    QJsonObject o;
    o.insert(QStringLiteral("sn"), facts.sn);
    o.insert(QStringLiteral("platform"), facts.devInfo.value(QStringLiteral("platform")).toString());
    o.insert(QStringLiteral("version"), facts.version);
    o.insert(QStringLiteral("action"), actionName(action));
    o.insert(QStringLiteral("trigger"), triggerName(trigger));
    QString note = comment;
    const QString text = data.toString();
    const QString position = QStringLiteral("pan=%1,pitch=%2,zoom=%3")
                                 .arg(extra1.toString(), extra2.toString(), extra3.toString());
    if (!panTiltValid)
        pan = tilt = 0;

    QJsonValue value = text;
    switch (action) {
    case 0:
    case 1:
    case 2: {
        const int run = data.toInt();
        value = run == 1 ? QStringLiteral("WAKE") : run == 3 ? QStringLiteral("SLEEP") : QStringLiteral("PRIVACY");
        break;
    }
    case 3:
        value = data.toBool() ? QStringLiteral("LOCK") : QStringLiteral("UNLOCK");
        break;
    case 5:
        value = QStringLiteral("pan=%1,pitch=%2").arg(pan).arg(tilt);
        break;
    case 7:
    case 8:
        note = position;
        break;
    case 13:
    case 18:
    case 25:
    case 26:
    case 39:
    case 41:
    case 42:
    case 43:
    case 46:
    case 48:
        value = onOff(data.toBool());
        break;
    case 14:
        value = data.toInt() != 0 ? QStringLiteral("SINGLE") : QStringLiteral("GROUP");
        break;
    case 15:
        value = data.toInt() != 0 ? QStringLiteral("UPPER BODY") : QStringLiteral("CLOSEUP");
        break;
    case 16:
        value = QStringLiteral("cx=%1,cy=%2").arg(pan).arg(tilt);
        break;
    case 6:
    case 17:
    case 28:
    case 30:
    case 31:
    case 44:
    case 45:
    case 49:
    case 50:
        value = QString();
        break;
    case 24:
        value = autoSleep(data.toInt());
        break;
    case 27:
        value = static_cast<double>(data.toFloat());
        break;
    case 32:
    case 33:
    case 34:
    case 35:
    case 36:
    case 37:
        value = QStringLiteral("Not implemented at Present");
        break;
    case 38:
        value = antiFlicker(data.toInt());
        break;
    case 40:
        if (data.toBool()) {
            value = QStringLiteral("SET");
            note = position;
        } else {
            value = QStringLiteral("RESET");
        }
        break;
    case 51:
        value = data.toInt() != 0 ? QStringLiteral("ROTATION") : QStringLiteral("DEFAULT");
        break;
    default:
        break; // the value as text
    }
    o.insert(QStringLiteral("comment"), note);
    if (action != 23 && action != 29)
        o.insert(QStringLiteral("data"), value);
    return o;
}

QJsonObject DevUsageSnapshot::mainStatus(const DevUsageFacts &f)
{
    QJsonObject o = snapshotIdentity(f);
    if (o.isEmpty())
        return o;
    const CameraStatus &s = f.status;
    if (isZarvo(f.family)) {
        const quint8 media = s.byte(CameraStatus::MediaMode);
        const quint8 bg = s.byte(CameraStatus::BgMode);
        const quint8 color = s.byte(CameraStatus::GreenScreenColor);
        const bool framing = media == 2;
        o.insert(QStringLiteral("state"), runState(s.byte(CameraStatus::RunState)));
        o.insert(QStringLiteral("background_enabled"), media == 1);
        o.insert(QStringLiteral("background_blur"),
                 bg == 18 ? QString::number(s.byte(CameraStatus::BlurLevel)) : QStringLiteral("OFF"));
        o.insert(QStringLiteral("background_green_color"),
                 color == 0 ? QStringLiteral("BLUE") : color == 1 ? QStringLiteral("GREEN") : QStringLiteral("OFF"));
        o.insert(QStringLiteral("background_replacement_image_index"), onOff(bg == 17));
        o.insert(QStringLiteral("auto_framing"), onOff(framing));
        o.insert(QStringLiteral("view"), framing ? QStringLiteral("OFF") : QStringLiteral("1"));
        o.insert(QStringLiteral("zoom_ratio"), ratioText(zoomRatio(s.zoom(), f.zoom4x)));
        o.insert(QStringLiteral("crop_cx"), framing ? QStringLiteral("OFF") : QString::number(f.panTiltValid ? f.pan : 0));
        o.insert(QStringLiteral("crop_cy"), framing ? QStringLiteral("OFF") : QString::number(f.panTiltValid ? f.tilt : 0));
        o.insert(QStringLiteral("auto_framing_size"),
                 s.byte(CameraStatus::FramingSize) != 0 ? QStringLiteral("UPPER BODY") : QStringLiteral("CLOSEUP"));
    } else {
        o.insert(QStringLiteral("state"), runState(s.byte(NimoRunState)));
        o.insert(QStringLiteral("tracking"), s.byte(NimoTracking) != 0 ? QStringLiteral("YES") : QStringLiteral("NO"));
        o.insert(QStringLiteral("pos_z"), ratioText(zoomRatio(u16At(s, NimoZoom), f.zoom4x)));
        o.insert(QStringLiteral("pos_p"), QString::number(f.panTiltValid ? f.pan : 0));
        o.insert(QStringLiteral("pos_t"), QString::number(f.panTiltValid ? f.tilt : 0));
        o.insert(QStringLiteral("auto_framing"), QStringLiteral("OFF"));
    }
    return o;
}

QJsonObject DevUsageSnapshot::extStatus(const DevUsageFacts &f)
{
    QJsonObject o = snapshotIdentity(f);
    if (o.isEmpty())
        return o;
    const CameraStatus &s = f.status;
    if (isZarvo(f.family)) {
        o.insert(QStringLiteral("auto_sleep"), autoSleep(s.autoSleep()));
        o.insert(QStringLiteral("button_work_mode"),
                 s.byte(CameraStatus::ButtonMode) != 0 ? QStringLiteral("ROTATION") : QStringLiteral("DEFAULT"));
        o.insert(QStringLiteral("face_ae"), s.byte(CameraStatus::FaceAe) != 0);
        o.insert(QStringLiteral("anti_flicker"), antiFlicker(s.byte(CameraStatus::AntiFlicker)));
        o.insert(QStringLiteral("noise_cancellation"), s.byte(CameraStatus::NoiseCancellation) != 0);
        o.insert(QStringLiteral("hdr"), s.byte(CameraStatus::Hdr) != 0);
        const bool autoFocus = s.byte(CameraStatus::AutoFocus) != 0;
        o.insert(QStringLiteral("auto_focus"), autoFocus);
        o.insert(QStringLiteral("face_focus"), autoFocus && s.byte(CameraStatus::FaceFocus) != 0);
        putControls(o, f);
        o.insert(QStringLiteral("screen_mode"),
                 s.byte(CameraStatus::ScreenMode) != 0 ? QStringLiteral("PORTRAIT") : QStringLiteral("LANDSCAPE"));
        return o;
    }
    o.insert(QStringLiteral("auto_sleep"), autoSleep(static_cast<qint16>(u16At(s, NimoAutoSleep))));
    const int tm = f.trackingMode;
    o.insert(QStringLiteral("tracking_mode"),
             tm == 0 ? QStringLiteral("NORMAL") : tm == 1 ? QStringLiteral("HEADROOM") : QStringLiteral("MOTION"));
    o.insert(QStringLiteral("face_ae"), s.byte(NimoFaceAe) != 0);
    o.insert(QStringLiteral("anti_flicker"), antiFlicker(s.byte(NimoAntiFlicker)));
    o.insert(QStringLiteral("noise_cancellation"), s.byte(NimoNoiseCancellation) != 0);
    if (!f.zoom4x)
        return o;
    o.insert(QStringLiteral("hdr"), s.byte(NimoHdr) != 0);
    const bool portrait = s.byte(NimoScreenMode) != 0;
    o.insert(QStringLiteral("landscape_or_portrait"), portrait ? QStringLiteral("PORTRAIT") : QStringLiteral("LANDSCAPE"));
    if (portrait)
        o.insert(QStringLiteral("tracking_mode"), f.trackingModeNext != 0 ? QStringLiteral("MOTION") : QStringLiteral("NORMAL"));
    o.insert(QStringLiteral("auto_focus"), f.autoFocus);
    o.insert(QStringLiteral("face_focus"), f.autoFocus && f.faceFocus);
    putControls(o, f);
    o.insert(QStringLiteral("init_pos_p"), QString::number(f.bootPan, 'f', 2));
    o.insert(QStringLiteral("init_pos_t"), QString::number(f.bootTilt, 'f', 2));
    o.insert(QStringLiteral("init_pos_z"), QString::number(f.bootZoom, 'f', 2));
    for (int n = 1; n <= 3; ++n) {
        const DevUsageFacts::Preset &p = f.presets[static_cast<size_t>(n - 1)];
        const QString key = QStringLiteral("preset_%1_").arg(n);
        o.insert(key + QLatin1String("pos_p"), QString::number(p.pan));
        o.insert(key + QLatin1String("pos_t"), QString::number(p.tilt));
        o.insert(key + QLatin1String("pos_z"), ratioText(p.zoomRatio));
        o.insert(key + QLatin1String("used"), p.used);
    }
    return o;
}

void DevUsageSnapshot::presetsFromRecords(DevUsageFacts &facts)
{
    for (int i = 0; i < 3; ++i) {
        const GlobalParams::DevPresetInfo rec = GlobalParams::instance()->getDevPreset(facts.sn, i);
        DevUsageFacts::Preset &p = facts.presets[static_cast<size_t>(i)];
        p.pan = rec.pan / 100.0;
        p.tilt = rec.tilt / 100.0;
        p.zoomRatio = facts.zoom4x ? (rec.zoomRatio - 1.0) * 3.0 + 1.0 : rec.zoomRatio;
        p.used = rec.used != 0;
    }
}

} // namespace pc
} // namespace vexo
