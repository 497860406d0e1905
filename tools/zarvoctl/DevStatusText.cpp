#include "DevStatusText.h"

#include <QJsonValue>
#include <QStringList>

namespace zarvoctl {

using vexo::pc::CameraStatus;

namespace {

QJsonValue named(int value, std::initializer_list<std::pair<int, const char *>> names)
{
    for (const auto &n : names) {
        if (n.first == value)
            return QString::fromLatin1(n.second);
    }
    return value;
}

bool on(const CameraStatus &s, int offset)
{
    return s.byte(offset) != 0;
}

} // namespace

QJsonObject statusToJson(const CameraStatus &s)
{
    QJsonObject o;
    o.insert(QStringLiteral("media_mode"),
             named(s.byte(CameraStatus::MediaMode), {{0, "standard"}, {1, "background"}, {2, "framing"}}));
    o.insert(QStringLiteral("hdr"), on(s, CameraStatus::Hdr));
    o.insert(QStringLiteral("run_state"), s.runState());
    o.insert(QStringLiteral("run"), named(s.runState(), {{1, "running"}, {3, "sleeping"}, {4, "privacy"}}));
    o.insert(QStringLiteral("face_ae"), on(s, CameraStatus::FaceAe));
    o.insert(QStringLiteral("fov"), named(s.byte(CameraStatus::Fov), {{0, "86"}, {1, "78"}, {2, "65"}}));
    o.insert(QStringLiteral("background"),
             named(s.byte(CameraStatus::BgMode), {{1, "green"}, {17, "replace"}, {18, "blur"}}));
    o.insert(QStringLiteral("blur"), s.byte(CameraStatus::BlurLevel));
    o.insert(QStringLiteral("anti_flicker"),
             named(s.byte(CameraStatus::AntiFlicker), {{0, "off"}, {1, "50"}, {2, "60"}}));
    o.insert(QStringLiteral("zoom"), s.zoom());
    o.insert(QStringLiteral("button_mode"), named(s.byte(CameraStatus::ButtonMode), {{0, "default"}, {1, "rotation"}}));
    o.insert(QStringLiteral("noise_cancel"), on(s, CameraStatus::NoiseCancellation));
    o.insert(QStringLiteral("screen"), on(s, CameraStatus::ScreenMode) ? QStringLiteral("portrait")
                                                                          : QStringLiteral("landscape"));
    o.insert(QStringLiteral("framing"), named(s.byte(CameraStatus::FramingMode), {{0, "group"}, {1, "single"}}));
    o.insert(QStringLiteral("framing_size"),
             named(s.byte(CameraStatus::FramingSize), {{0, "closeup"}, {1, "upperbody"}}));
    const int sleep = s.autoSleep();
    o.insert(QStringLiteral("auto_sleep"), sleep <= 0 ? QJsonValue(QStringLiteral("off")) : QJsonValue(sleep));
    o.insert(QStringLiteral("image"), s.byte(CameraStatus::ReplaceImage));
    o.insert(QStringLiteral("color"), named(s.byte(CameraStatus::GreenScreenColor), {{0, "blue"}, {1, "green"}}));
    o.insert(QStringLiteral("face_focus"), on(s, CameraStatus::FaceFocus));
    o.insert(QStringLiteral("auto_focus"), on(s, CameraStatus::AutoFocus));
    o.insert(QStringLiteral("manual_focus"), s.byte(CameraStatus::ManualFocus));
    o.insert(QStringLiteral("background_available"), !on(s, CameraStatus::BgUnavailable));
    return o;
}

QString statusToText(const QJsonObject &decoded)
{
    QStringList lines;
    for (auto it = decoded.constBegin(); it != decoded.constEnd(); ++it) {
        const QJsonValue v = it.value();
        QString text;
        if (v.isBool())
            text = v.toBool() ? QStringLiteral("on") : QStringLiteral("off");
        else if (v.isDouble())
            text = QString::number(v.toInt());
        else
            text = v.toString();
        lines << it.key() + QStringLiteral(": ") + text;
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace zarvoctl
