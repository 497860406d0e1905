// zarvoctl camera commands: a chain of commands run in order against one
// camera, with human or JSON output and an optional wire trace.
#include "ToolCommands.h"

#include "DevStatusText.h"

#include "comm/GlobalParams.h"
#include "comm/TimeScale.h"
#include "platform/CameraPlatform.h"
#include "uvc/CameraFamily.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#if __has_include("camera/VirtualCameras.h")
#include "camera/VirtualCameras.h"
#define ZARVOCTL_HAS_SIMULATOR 1
#endif

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>
#include <QThread>

#include <atomic>
#include <climits>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace zarvoctl {

using vexo::pc::CameraPlatform;
using vexo::pc::CameraStatus;
using vexo::pc::DevDescription;
using vexo::pc::UvcDevice;

namespace {

// ---------------------------------------------------------------------------
// Output

struct Context
{
    bool json = false;
    UvcDevice *dev = nullptr;
    std::vector<std::unique_ptr<UvcDevice>> *all = nullptr;
};

void printJson(const QJsonObject &o)
{
    QTextStream(stdout) << QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) << '\n';
}

void printText(const QString &text)
{
    if (!text.isEmpty())
        QTextStream(stdout) << text << '\n';
}

int fail(const QString &command, const QString &message, int code = ExitFailed)
{
    QTextStream(stderr) << "zarvoctl: " << command << ": " << message << '\n';
    return code;
}

// Result of a setter: 0 ok, anything else the camera refused.
int done(Context &c, const QString &command, int result, const QJsonObject &extra = QJsonObject())
{
    if (result != 0)
        return fail(command, QStringLiteral("the camera refused or did not answer"));
    if (c.json) {
        QJsonObject o = extra;
        o.insert(QStringLiteral("command"), command);
        o.insert(QStringLiteral("ok"), true);
        printJson(o);
    }
    return ExitOk;
}

QString hex(const uchar *data, int len)
{
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char *>(data), len).toHex(' '));
}

// ---------------------------------------------------------------------------
// Argument parsing

bool parseOnOff(const QString &s, bool &on)
{
    if (s == QLatin1String("on")) {
        on = true;
        return true;
    }
    if (s == QLatin1String("off")) {
        on = false;
        return true;
    }
    return false;
}

bool parseNumber(const QString &s, int min, int max, int &v)
{
    bool ok = false;
    v = s.toInt(&ok);
    return ok && v >= min && v <= max;
}

bool parseNumber(const QString &s, double min, double max, double &v)
{
    bool ok = false;
    v = s.toDouble(&ok);
    return ok && v >= min && v <= max;
}

int choice(const QString &s, std::initializer_list<std::pair<const char *, int>> choices)
{
    for (const auto &c : choices) {
        if (s == QLatin1String(c.first))
            return c.second;
    }
    return INT_MIN;
}

// ---------------------------------------------------------------------------
// Standard controls by name (the device layer's control table)

using ControlInfo = UvcDevice::ControlInfo;

// Reads one control; false when the camera did not give a value.
bool readControl(UvcDevice &dev, const ControlInfo &c, QJsonObject &o)
{
    const auto value = dev.control(c.id);
    if (!value)
        return false;
    o.insert(QStringLiteral("name"), QLatin1String(c.name));
    o.insert(QStringLiteral("value"), value->value);
    if (c.userAuto)
        o.insert(QStringLiteral("auto"), value->isAuto);
    if (const auto r = dev.range(c.id)) {
        o.insert(QStringLiteral("min"), r->minimum);
        o.insert(QStringLiteral("max"), r->maximum);
        o.insert(QStringLiteral("step"), r->step);
        o.insert(QStringLiteral("default"), r->defaultValue);
    }
    return true;
}

QString controlLine(const QJsonObject &o)
{
    QString line = o.value(QStringLiteral("name")).toString() + QStringLiteral(": ")
        + QString::number(o.value(QStringLiteral("value")).toInt());
    if (o.contains(QStringLiteral("auto")))
        line += o.value(QStringLiteral("auto")).toBool() ? QStringLiteral(" (auto)") : QStringLiteral(" (manual)");
    if (o.contains(QStringLiteral("min")))
        line += QStringLiteral("  range %1..%2 step %3 default %4")
                    .arg(o.value(QStringLiteral("min")).toInt())
                    .arg(o.value(QStringLiteral("max")).toInt())
                    .arg(o.value(QStringLiteral("step")).toInt())
                    .arg(o.value(QStringLiteral("default")).toInt());
    return line;
}

// ---------------------------------------------------------------------------
// Identity

QString systemName(int sysType)
{
    return sysType == 1 ? QStringLiteral("main") : (sysType == 2 ? QStringLiteral("upgrade") : QString::number(sysType));
}

QJsonObject identity(UvcDevice &d)
{
    QJsonObject o;
    o.insert(QStringLiteral("serial"), d.getSn());
    o.insert(QStringLiteral("name"), d.getName());
    o.insert(QStringLiteral("model"), d.getDevReportInfo().value(QStringLiteral("product")));
    o.insert(QStringLiteral("version"), d.getVersion());
    o.insert(QStringLiteral("system"), systemName(d.getSysType()));
    o.insert(QStringLiteral("path"), d.getDevicePath());
    return o;
}

// ---------------------------------------------------------------------------
// The commands. Each prepares from its arguments (a usage error leaves the
// chain before anything ran) and returns the action to run.

using Action = std::function<int(Context &)>;
using Prepare = std::function<Action(const QStringList &args, QString &error)>;

struct CommandDef
{
    const char *name;
    const char *usage;
    const char *help;
    Prepare prepare;
};

// A setter taking one word or number: parse gives the action or an error.
Prepare setter(const char *name, std::function<Action(const QString &arg, QString &error)> parse)
{
    return [name, parse](const QStringList &args, QString &error) -> Action {
        if (args.size() != 1) {
            error = QStringLiteral("expects one value");
            return nullptr;
        }
        Q_UNUSED(name)
        return parse(args.first(), error);
    };
}

Prepare noArgs(std::function<int(Context &)> run)
{
    return [run](const QStringList &args, QString &error) -> Action {
        if (!args.isEmpty()) {
            error = QStringLiteral("takes no arguments");
            return nullptr;
        }
        return run;
    };
}

Action onOff(const QString &command, const QString &arg, QString &error, std::function<int(UvcDevice &, bool)> f)
{
    bool on = false;
    if (!parseOnOff(arg, on)) {
        error = QStringLiteral("expects on or off, not ") + arg;
        return nullptr;
    }
    return [=](Context &c) { return done(c, command, f(*c.dev, on)); };
}

Action pick(const QString &command, const QString &arg, QString &error,
            std::initializer_list<std::pair<const char *, int>> choices, std::function<int(UvcDevice &, int)> f)
{
    const int v = choice(arg, choices);
    if (v == INT_MIN) {
        QStringList names;
        for (const auto &c : choices)
            names << QLatin1String(c.first);
        error = QStringLiteral("expects ") + names.join(QLatin1Char('|')) + QStringLiteral(", not ") + arg;
        return nullptr;
    }
    return [=](Context &c) { return done(c, command, f(*c.dev, v)); };
}

// A command of two numbers in [min, max] (whole numbers for int).
template <typename T>
Prepare twoNumbers(const char *name, T min, T max, const char *expects, int (UvcDevice::*op)(T, T))
{
    return [=](const QStringList &args, QString &e) -> Action {
        T a{}, b{};
        if (args.size() != 2 || !parseNumber(args.at(0), min, max, a) || !parseNumber(args.at(1), min, max, b)) {
            e = QLatin1String(expects);
            return nullptr;
        }
        return [=](Context &c) { return done(c, QLatin1String(name), (c.dev->*op)(a, b)); };
    };
}

// Camera commands of their own source files join the table.
std::vector<CommandDef> withCameraCommands(std::vector<CommandDef> defs)
{
    for (const CameraCommand &extra : {pictureCommand()}) {
        const auto prepare = extra.prepare;
        defs.push_back({extra.name, extra.usage, extra.help, [prepare](const QStringList &args, QString &e) -> Action {
                            const CameraCommand::Action run = prepare(args, e);
                            if (!run)
                                return nullptr;
                            return [run](Context &c) { return run(*c.dev, c.json); };
                        }});
    }
    return defs;
}

bool isCameraCommandOption(const QString &option)
{
    return pictureCommand().options.contains(option);
}

const std::vector<CommandDef> &commands()
{
    static const std::vector<CommandDef> defs = withCameraCommands({
        {"list", "list", "every camera: serial, display name, model, firmware, system, device path",
         noArgs([](Context &c) {
             for (const auto &d : *c.all) {
                 const QJsonObject o = identity(*d);
                 if (c.json) {
                     printJson(o);
                 } else {
                     printText(QStringLiteral("%1  %2  %3  %4  %5  %6")
                                   .arg(o.value(QStringLiteral("serial")).toString(),
                                        o.value(QStringLiteral("name")).toString(),
                                        o.value(QStringLiteral("model")).toString(),
                                        o.value(QStringLiteral("version")).toString(),
                                        o.value(QStringLiteral("system")).toString(),
                                        o.value(QStringLiteral("path")).toString()));
                 }
             }
             return int(ExitOk);
         })},
        {"status", "status", "the status block in words (--json adds the raw bytes)", noArgs([](Context &c) {
             CameraStatus s;
             if (!c.dev->getCameraStatus(s))
                 return fail(QStringLiteral("status"), QStringLiteral("the status block could not be read"));
             QJsonObject o = statusToJson(s);
             if (c.json) {
                 o.insert(QStringLiteral("command"), QStringLiteral("status"));
                 o.insert(QStringLiteral("raw"), QString::fromLatin1(s.toByteArray().left(60).toHex()));
                 printJson(o);
             } else {
                 printText(statusToText(o));
             }
             return int(ExitOk);
         })},
        {"info", "info", "identity and the device information record", noArgs([](Context &c) {
             QJsonObject o = identity(*c.dev);
             o.insert(QStringLiteral("uuid"), QString::fromLatin1(c.dev->getUuid().toHex().toUpper()));
             o.insert(QStringLiteral("socver"), c.dev->getSocVer());
             o.insert(QStringLiteral("model_code"), c.dev->getDevModel());
             o.insert(QStringLiteral("is_4k"), c.dev->is4KDevice());
             o.insert(QStringLiteral("ip"), c.dev->getIpAddr());
             o.insert(QStringLiteral("device_info"), c.dev->getInfo());
             const QString sha = installedImageSha256(c.dev->getSn());
             if (!sha.isEmpty())
                 o.insert(QStringLiteral("installed_sha256"), sha);
             if (c.json) {
                 printJson(o);
             } else {
                 QStringList lines;
                 for (auto it = o.constBegin(); it != o.constEnd(); ++it) {
                     const QJsonValue v = it.value();
                     lines << it.key() + QStringLiteral(": ")
                             + (v.isObject() ? QString::fromUtf8(QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact))
                                             : v.toVariant().toString());
                 }
                 printText(lines.join(QLatin1Char('\n')));
             }
             return int(ExitOk);
         })},
        {"upgrade", "upgrade [--package FILE | --cloud]", "upgrade the firmware (newest local package, FILE or the cloud's)",
         [](const QStringList &args, QString &error) -> Action {
             const CameraAction a = prepareUpgrade(args, error);
             if (!a)
                 return nullptr;
             return [a](Context &c) { return a(*c.dev, c.json); };
         }},
        {"export-log", "export-log [FILE]", "fetch the camera's log archive (into FILE)",
         [](const QStringList &args, QString &error) -> Action {
             const CameraAction a = prepareExportLog(args, error);
             if (!a)
                 return nullptr;
             return [a](Context &c) { return a(*c.dev, c.json); };
         }},
        {"sleep", "sleep", "put the camera to sleep", noArgs([](Context &c) {
             return done(c, QStringLiteral("sleep"), c.dev->cameraSetDevRunStatus(UvcDevice::DevStatusSleep));
         })},
        {"wake", "wake", "wake the camera", noArgs([](Context &c) {
             return done(c, QStringLiteral("wake"), c.dev->cameraSetDevRunStatus(UvcDevice::DevStatusResume));
         })},
        {"factory-reset", "factory-reset", "restore the factory settings", noArgs([](Context &c) {
             return done(c, QStringLiteral("factory-reset"), c.dev->cameraRestoreFactorySettings());
         })},
        {"zoom", "zoom RATIO", "zoom from 1.0 (wide) to 2.0 (the camera's longest)",
         setter("zoom", [](const QString &a, QString &error) -> Action {
             double r = 0;
             if (!parseNumber(a, 1.0, 2.0, r)) {
                 error = QStringLiteral("expects a ratio from 1.0 to 2.0, not ") + a;
                 return nullptr;
             }
             return [r](Context &c) { return done(c, QStringLiteral("zoom"), c.dev->cameraSetZoomRatio(r, 0, 0)); };
         })},
        {"fov", "fov 86|78|65", "field of view in degrees", setter("fov", [](const QString &a, QString &e) {
             return pick(QStringLiteral("fov"), a, e, {{"86", 0}, {"78", 1}, {"65", 2}},
                         [](UvcDevice &d, int v) { return d.cameraSetFov(v); });
         })},
        {"mode", "mode standard|framing|background", "image mode", setter("mode", [](const QString &a, QString &e) {
             return pick(QStringLiteral("mode"), a, e, {{"standard", 0}, {"background", 1}, {"framing", 2}},
                         [](UvcDevice &d, int v) { return d.cameraSetMediaMode(UvcDevice::MediaMode(v)); });
         })},
        {"framing", "framing group|single|closeup|upperbody", "auto framing of a group or of one person",
         setter("framing", [](const QString &a, QString &e) -> Action {
             const int v = choice(a, {{"group", 0}, {"single", 1}, {"closeup", 2}, {"upperbody", 3}});
             if (v == INT_MIN) {
                 e = QStringLiteral("expects group|single|closeup|upperbody, not ") + a;
                 return nullptr;
             }
             return [v](Context &c) {
                 int r;
                 if (v == 0) {
                     r = c.dev->cameraSetAutoFramingMode(0, -1);
                 } else if (v == 1) {
                     // Single keeps the framing size the camera has.
                     CameraStatus s;
                     if (!c.dev->getCameraStatus(s))
                         return fail(QStringLiteral("framing"), QStringLiteral("the status block could not be read"));
                     r = c.dev->cameraSetAutoFramingMode(1, static_cast<signed char>(s.byte(CameraStatus::FramingSize)));
                 } else {
                     r = c.dev->cameraSetAutoFramingMode(1, static_cast<signed char>(v - 2));
                 }
                 return done(c, QStringLiteral("framing"), r);
             };
         })},
        {"background", "background blur|green|replace", "virtual background kind",
         setter("background", [](const QString &a, QString &e) {
             return pick(QStringLiteral("background"), a, e, {{"blur", 18}, {"green", 1}, {"replace", 17}},
                         [](UvcDevice &d, int v) { return d.cameraSetBgMode(UvcDevice::MediaBgMode(v)); });
         })},
        {"blur", "blur 0..100", "blur level", setter("blur", [](const QString &a, QString &e) -> Action {
             int v = 0;
             if (!parseNumber(a, 0, 100, v)) {
                 e = QStringLiteral("expects 0..100, not ") + a;
                 return nullptr;
             }
             return [v](Context &c) { return done(c, QStringLiteral("blur"), c.dev->cameraSetMaskLevel(v)); };
         })},
        {"color", "color green|blue", "green-screen colour", setter("color", [](const QString &a, QString &e) {
             return pick(QStringLiteral("color"), a, e, {{"blue", 0}, {"green", 1}}, [](UvcDevice &d, int v) {
                 return d.cameraSetBgColor(UvcDevice::MediaBgModeColorType(v));
             });
         })},
        {"image", "image 0..2", "use replacement picture N", setter("image", [](const QString &a, QString &e) {
             return pick(QStringLiteral("image"), a, e, {{"0", 0}, {"1", 1}, {"2", 2}},
                         [](UvcDevice &d, int v) { return d.cameraSetImageReplace(0, v); });
         })},
        {"hdr", "hdr on|off", "high dynamic range", setter("hdr", [](const QString &a, QString &e) {
             return onOff(QStringLiteral("hdr"), a, e, [](UvcDevice &d, bool on) { return d.cameraSetHdr(on); });
         })},
        {"face-ae", "face-ae on|off", "exposure metered on faces", setter("face-ae", [](const QString &a, QString &e) {
             return onOff(QStringLiteral("face-ae"), a, e,
                          [](UvcDevice &d, bool on) { return d.cameraSetFaceAE(on ? 1 : 0); });
         })},
        {"face-focus", "face-focus on|off", "focus on faces", setter("face-focus", [](const QString &a, QString &e) {
             return onOff(QStringLiteral("face-focus"), a, e,
                          [](UvcDevice &d, bool on) { return d.cameraSetFaceFocus(on); });
         })},
        {"noise-cancel", "noise-cancel on|off", "microphone noise cancellation",
         setter("noise-cancel", [](const QString &a, QString &e) {
             return onOff(QStringLiteral("noise-cancel"), a, e,
                          [](UvcDevice &d, bool on) { return d.cameraSetNoiseCancellation(on ? 1 : 0); });
         })},
        {"auto-sleep", "auto-sleep off|SECONDS", "sleep after so many idle seconds",
         setter("auto-sleep", [](const QString &a, QString &e) -> Action {
             int v = 0;
             if (a != QLatin1String("off") && !parseNumber(a, 1, 32767, v)) {
                 e = QStringLiteral("expects off or 1..32767 seconds, not ") + a;
                 return nullptr;
             }
             return [v](Context &c) { return done(c, QStringLiteral("auto-sleep"), c.dev->cameraSetSuspendTime(v)); };
         })},
        {"button-mode", "button-mode default|rotation", "what the camera's button does",
         setter("button-mode", [](const QString &a, QString &e) {
             return pick(QStringLiteral("button-mode"), a, e, {{"default", 0}, {"rotation", 1}},
                         [](UvcDevice &d, int v) { return d.cameraSetButtonMode(v); });
         })},
        {"anti-flicker", "anti-flicker auto|50|60", "mains frequency of the lights (auto: the camera's choice)",
         setter("anti-flicker", [](const QString &a, QString &e) {
             return pick(QStringLiteral("anti-flicker"), a, e, {{"auto", 0}, {"50", 1}, {"60", 2}},
                         [](UvcDevice &d, int v) { return d.cameraSetAntiFlicker(v); });
         })},
        {"pan-tilt", "pan-tilt X Y", "move the gimbal by a step, each -1..1",
         twoNumbers<double>("pan-tilt", -1, 1, "expects two numbers from -1 to 1", &UvcDevice::uvcPanTiltRelativeControl)},
        {"pan-tilt-abs", "pan-tilt-abs PAN TILT", "turn the gimbal to PAN and TILT degrees (clamped to its range)",
         twoNumbers<int>("pan-tilt-abs", -360, 360, "expects two whole numbers of degrees",
                         &UvcDevice::uvcPanTiltAbsoluteControl)},
        {"preset", "preset get 1..3", "a stored gimbal preset", [](const QStringList &args, QString &e) -> Action {
             int n = 0;
             if (args.size() != 2 || args.at(0) != QLatin1String("get") || !parseNumber(args.at(1), 1, 3, n)) {
                 e = QStringLiteral("expects get 1..3");
                 return nullptr;
             }
             return [n](Context &c) {
                 vexo::pc::UvcPreSetPosInfo p;
                 if (c.dev->presetPositionGet(static_cast<unsigned char>(n), &p) != 0)
                     return fail(QStringLiteral("preset"), QStringLiteral("the camera refused or did not answer"));
                 QJsonObject o;
                 o.insert(QStringLiteral("command"), QStringLiteral("preset"));
                 o.insert(QStringLiteral("index"), n);
                 o.insert(QStringLiteral("present"), p.isPresent());
                 if (p.isPresent()) {
                     o.insert(QStringLiteral("name"), QString::fromUtf8(p.name, p.nameLen));
                     o.insert(QStringLiteral("data"), hex(p.data, 9));
                 }
                 if (c.json)
                     printJson(o);
                 else
                     printText(p.isPresent() ? QStringLiteral("preset %1: %2 (%3)").arg(n).arg(
                                   o.value(QStringLiteral("name")).toString(), o.value(QStringLiteral("data")).toString())
                                             : QStringLiteral("preset %1: none").arg(n));
                 return int(ExitOk);
             };
         }},
        {"gimbal-attitude", "gimbal-attitude", "gimbal angles in degrees", noArgs([](Context &c) {
             short x = 0, y = 0, z = 0;
             if (c.dev->gimbalGetAttitudeInfo(x, y, z) != 0)
                 return fail(QStringLiteral("gimbal-attitude"), QStringLiteral("the camera refused or did not answer"));
             QJsonObject o{{QStringLiteral("command"), QStringLiteral("gimbal-attitude")},
                           {QStringLiteral("x"), x / 100.0},
                           {QStringLiteral("y"), y / 100.0},
                           {QStringLiteral("z"), z / 100.0}};
             if (c.json)
                 printJson(o);
             else
                 printText(QStringLiteral("x %1  y %2  z %3").arg(x / 100.0).arg(y / 100.0).arg(z / 100.0));
             return int(ExitOk);
         })},
        {"ai-status", "ai-status", "the camera's short AI status", noArgs([](Context &c) {
             vexo::pc::AiStatus ai;
             if (c.dev->aiGetAiStatus(&ai, {}, nullptr, UvcDevice::GetBlocking) != 0)
                 return fail(QStringLiteral("ai-status"), QStringLiteral("the camera refused or did not answer"));
             QJsonObject o{{QStringLiteral("command"), QStringLiteral("ai-status")},
                           {QStringLiteral("values"), QJsonArray{ai.first, ai.second, ai.third, ai.fourth, ai.fifth}},
                           {QStringLiteral("value"), double(ai.value)}};
             if (c.json)
                 printJson(o);
             else
                 printText(QStringLiteral("%1 %2 %3 %4 %5 %6")
                               .arg(ai.first).arg(ai.second).arg(ai.third).arg(ai.fourth).arg(ai.fifth)
                               .arg(double(ai.value)));
             return int(ExitOk);
         })},
        {"controls", "controls", "standard controls with value, automatic flag and range", noArgs([](Context &c) {
             for (const ControlInfo &d : UvcDevice::controlTable()) {
                 QJsonObject o;
                 if (!readControl(*c.dev, d, o))
                     continue;
                 if (c.json)
                     printJson(o);
                 else
                     printText(controlLine(o));
             }
             return int(ExitOk);
         })},
        {"get", "get NAME", "one standard control", [](const QStringList &args, QString &e) -> Action {
             const ControlInfo *d = args.size() == 1 ? UvcDevice::controlInfo(args.first()) : nullptr;
             if (!d) {
                 e = QStringLiteral("expects a control name (see controls)");
                 return nullptr;
             }
             return [d](Context &c) {
                 QJsonObject o;
                 if (!readControl(*c.dev, *d, o))
                     return fail(QStringLiteral("get"), QStringLiteral("the camera refused or did not answer"));
                 if (c.json)
                     printJson(o);
                 else
                     printText(controlLine(o));
                 return int(ExitOk);
             };
         }},
        {"set", "set NAME VALUE|auto", "one standard control; auto where it has one",
         [](const QStringList &args, QString &e) -> Action {
             const ControlInfo *d = args.size() == 2 ? UvcDevice::controlInfo(args.first()) : nullptr;
             if (!d) {
                 e = QStringLiteral("expects a control name (see controls) and a value");
                 return nullptr;
             }
             const bool isAuto = args.at(1) == QLatin1String("auto");
             int v = 0;
             if (isAuto && !d->userAuto) {
                 e = QStringLiteral("%1 has no automatic mode").arg(QLatin1String(d->name));
                 return nullptr;
             }
             if (!isAuto && !parseNumber(args.at(1), INT_MIN + 1, INT_MAX, v)) {
                 e = QStringLiteral("expects a whole number or auto, not ") + args.at(1);
                 return nullptr;
             }
             return [d, isAuto, v](Context &c) {
                 // Out-of-range values are refused here with the range in the
                 // message rather than by the camera.
                 const auto r = isAuto ? std::nullopt : c.dev->range(d->id);
                 if (r && (v < r->minimum || v > r->maximum))
                     return fail(QStringLiteral("set"), QStringLiteral("%1 takes %2..%3")
                                                            .arg(QLatin1String(d->name))
                                                            .arg(r->minimum)
                                                            .arg(r->maximum),
                                 ExitUsage);
                 const int flags = isAuto ? vexo::pc::CameraDevice::FlagAuto : vexo::pc::CameraDevice::FlagManual;
                 return done(c, QStringLiteral("set"), c.dev->setControl(d->id, v, flags));
             };
         }},
    });
    return defs;
}

const CommandDef *findCommand(const QString &name)
{
    for (const CommandDef &c : commands()) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

// ---------------------------------------------------------------------------
// Cameras

std::atomic<bool> logHeld{false};

void messageFilter(QtMsgType type, const QMessageLogContext &, const QString &msg)
{
    static bool verbose = qEnvironmentVariableIsSet("ZARVOCTL_VERBOSE");
    if (verbose || type == QtFatalMsg || (type == QtCriticalMsg && !logHeld.load()))
        QTextStream(stderr) << msg << '\n';
}

// Opens and initialises the recognised cameras: all of them, or until the
// one with the wanted serial is found.
std::vector<std::unique_ptr<UvcDevice>> openCameras(const QString &wantedSerial, bool all)
{
    std::vector<std::unique_ptr<UvcDevice>> devices;
    CameraPlatform &platform = CameraPlatform::instance();
    vexo::pc::UvcDevices lister(nullptr, &platform);
    QList<DevDescription> cameras;
    lister.enumCameras(cameras);
    for (const DevDescription &desc : qAsConst(cameras)) {
        auto dev = std::make_unique<UvcDevice>(desc, &platform, UvcDevice::DevModeUvc);
        if (dev->open() != 0 || !dev->initDev())
            continue;
        const bool match = wantedSerial.isEmpty() || dev->getSn() == wantedSerial;
        if (!all && !match)
            continue;
        devices.push_back(std::move(dev));
        if (!all)
            break;
    }
    return devices;
}

// Queued frames go out on the worker's next cycles; wait for them before the
// next command (or the end of the process) so that nothing is lost.
void drain(UvcDevice &dev)
{
    QElapsedTimer t;
    t.start();
    while (dev.queuedPackets() > 0 && t.elapsed() < vexo::pc::TimeScale::ms(2000))
        QThread::msleep(5);
}

} // namespace

void holdLogLines(bool hold)
{
    logHeld.store(hold);
}

QString deviceHelpText()
{
    QString text = QStringLiteral(
        "Options (anywhere on the line):\n"
        "  --simulate N      use N virtual cameras instead of real ones\n"
        "  --camera SERIAL   the camera to use (default: the first one found)\n"
        "  --json            one JSON object per line for every command's output\n"
        "  --trace           print every extension-unit block written (set) and read (get)\n"
        "                    on standard error, selector first, as hex\n"
        "  --verbose         the device layer's log lines on standard error\n\n"
        "Commands (join several with --; they run in order on the same camera):\n");
    QStringList lines;
    for (const CommandDef &c : commands())
        lines << QStringLiteral("  %1 %2").arg(QLatin1String(c.usage), -38).arg(QLatin1String(c.help));
    return text + lines.join(QLatin1Char('\n')) + QStringLiteral("\n  COMMAND --help                         usage of one command");
}

int runDeviceCommands(const QStringList &argsIn)
{
    // Options may stand anywhere ("sleep -- status --json"); "--" alone
    // separates commands.
    QStringList args;
    int simulate = -1;
    QString serial;
    bool json = false;
    bool trace = false;
    for (int i = 0; i < argsIn.size(); ++i) {
        const QString &opt = argsIn.at(i);
        if (opt == QLatin1String("--json")) {
            json = true;
        } else if (opt == QLatin1String("--trace")) {
            trace = true;
        } else if (opt == QLatin1String("--verbose")) {
            qputenv("ZARVOCTL_VERBOSE", "1");
        } else if (opt == QLatin1String("--simulate")) {
            bool ok = false;
            simulate = argsIn.value(++i).toInt(&ok);
            if (!ok || simulate < 0 || simulate > 16)
                return fail(QStringLiteral("--simulate"), QStringLiteral("expects 0..16 cameras"), ExitUsage);
        } else if (opt == QLatin1String("--camera")) {
            serial = argsIn.value(++i);
            if (serial.isEmpty())
                return fail(QStringLiteral("--camera"), QStringLiteral("expects a serial number"), ExitUsage);
        } else if (opt == QLatin1String("--package") || opt == QLatin1String("--cloud")) {
            // Options of the upgrade command.
            args << opt;
            if (opt == QLatin1String("--package") && i + 1 < argsIn.size())
                args << argsIn.at(++i);
        } else if (opt.startsWith(QLatin1String("--")) && opt != QLatin1String("--")
                   && opt != QLatin1String("--help") && !isCameraCommandOption(opt)) {
            return fail(opt, QStringLiteral("unknown option (see zarvoctl --help)"), ExitUsage);
        } else {
            args << opt;
        }
    }
    if (args.isEmpty())
        return fail(QStringLiteral("usage"), QStringLiteral("no command given (see zarvoctl --help)"), ExitUsage);

    // help COMMAND / COMMAND --help
    if (args.first() == QLatin1String("help") || args.contains(QLatin1String("--help"))) {
        const QString name = args.first() == QLatin1String("help") ? args.value(1) : args.first();
        const CommandDef *c = findCommand(name);
        if (!c) {
            QTextStream(stdout) << deviceHelpText() << '\n';
            return name.isEmpty() ? int(ExitOk) : fail(name, QStringLiteral("unknown command"), ExitUsage);
        }
        QTextStream(stdout) << "Usage: zarvoctl [OPTIONS] " << c->usage << "\n" << c->help << '\n';
        return ExitOk;
    }

    // Prepare the whole chain first: a usage error runs nothing.
    struct Step
    {
        QString name;
        Action action;
    };
    std::vector<Step> steps;
    bool needAll = false;
    while (!args.isEmpty()) {
        const int sep = args.indexOf(QStringLiteral("--"));
        const QStringList part = sep < 0 ? args : args.mid(0, sep);
        args = sep < 0 ? QStringList() : args.mid(sep + 1);
        if (part.isEmpty())
            return fail(QStringLiteral("usage"), QStringLiteral("empty command between --"), ExitUsage);
        const CommandDef *c = findCommand(part.first());
        if (!c)
            return fail(part.first(), QStringLiteral("unknown command (see zarvoctl --help)"), ExitUsage);
        QString error;
        Action a = c->prepare(part.mid(1), error);
        if (!a)
            return fail(part.first(), error + QStringLiteral(" (usage: ") + QLatin1String(c->usage) + QLatin1Char(')'),
                        ExitUsage);
        needAll = needAll || part.first() == QLatin1String("list");
        steps.push_back({part.first(), a});
    }

    qInstallMessageHandler(messageFilter);
    if (simulate >= 0) {
#ifdef ZARVOCTL_HAS_SIMULATOR
        qputenv("ZARVO_REAL_CAMERAS", "0");
        vexo::pc::VirtualCameras::install(simulate);
#else
        return fail(QStringLiteral("--simulate"), QStringLiteral("this build has no virtual cameras"), ExitUsage);
#endif
    }
    if (trace) {
        static std::mutex traceLock;
        CameraPlatform::instance().setTrace([](bool write, int selector, const uchar *data, int len, int result) {
            std::lock_guard<std::mutex> l(traceLock);
            QTextStream err(stderr);
            err << (write ? "set " : "get ") << selector << ": ";
            if (result < 0)
                err << "failed";
            else
                err << hex(data, len);
            err << '\n';
        });
    }

    // Cameras get their addresses from a pool of this run only: the
    // application's settings file is none of this tool's business.
    QTemporaryDir scratch;
    vexo::pc::GlobalParams params(scratch.path() + QStringLiteral("/zarvoctl.ini"));
    UvcDevice::setGlobalParams(&params);
    struct Reset
    {
        ~Reset() { UvcDevice::setGlobalParams(nullptr); }
    } reset;

    std::vector<std::unique_ptr<UvcDevice>> devices = openCameras(serial, needAll);
    if (devices.empty()) {
        return fail(QStringLiteral("camera"), serial.isEmpty() ? QStringLiteral("no camera found")
                                                               : QStringLiteral("no camera with serial ") + serial);
    }
    UvcDevice *dev = devices.front().get();
    if (!serial.isEmpty()) {
        for (const auto &d : devices) {
            if (d->getSn() == serial)
                dev = d.get();
        }
        if (dev->getSn() != serial)
            return fail(QStringLiteral("camera"), QStringLiteral("no camera with serial ") + serial);
    }

    Context ctx;
    ctx.json = json;
    ctx.dev = dev;
    ctx.all = &devices;
    for (const Step &s : steps) {
        const int r = s.action(ctx);
        drain(*dev);
        if (r != ExitOk)
            return r;
    }
    return ExitOk;
}

} // namespace zarvoctl
