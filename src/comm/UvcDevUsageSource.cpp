#include "comm/UvcDevUsageSource.h"

#include "comm/CameraModel.h"
#include "comm/DevUsageSnapshot.h"
#include "uvc/UvcDevice.h"
#include "uvc/UvcDevices.h"

#include <QDebug>

#include <climits>

namespace vexo {
namespace pc {

namespace {

// The control getters leave their outputs alone when the camera does not
// answer; a value that stays at this mark was not read.
constexpr int NotRead = INT_MIN;

qint16 le16(const quint8 *p)
{
    return static_cast<qint16>(quint16(p[0] | (p[1] << 8)));
}

// A preset answer's nine data bytes: byte 0 the slot marker (255: empty),
// bytes 1-2 pan and 3-4 tilt in hundredths of a degree (signed), bytes 5-6
// the normalised zoom 0..100 of the stored position.
DevUsageFacts::Preset presetOf(const UvcPreSetPosInfo &info, bool zoom4x)
{
    DevUsageFacts::Preset p;
    p.used = info.isPresent();
    if (!p.used)
        return p;
    p.pan = le16(info.data + 1) / 100.0;
    p.tilt = le16(info.data + 3) / 100.0;
    p.zoomRatio = DevUsageSnapshot::zoomRatio(quint16(le16(info.data + 5)), zoom4x);
    return p;
}

DevUsageFacts::Control controlOf(bool isAuto, int value)
{
    DevUsageFacts::Control c;
    c.valid = value != NotRead;
    c.autoMode = c.valid && isAuto;
    c.value = c.valid ? value : 0;
    return c;
}

// One standard control, with or without an automatic mode.
DevUsageFacts::Control readControl(UvcDevice *dev, int (UvcDevice::*get)(bool &, int &))
{
    bool isAuto = false;
    int value = NotRead;
    (dev->*get)(isAuto, value);
    return controlOf(isAuto, value);
}

DevUsageFacts::Control readControl(UvcDevice *dev, int (UvcDevice::*get)(int &))
{
    int value = NotRead;
    (dev->*get)(value);
    return controlOf(false, value);
}

} // namespace

UvcDevUsageSource::UvcDevUsageSource(UvcDevices *registry)
    : registry_(registry)
{
}

UvcDevUsageSource::~UvcDevUsageSource()
{
    if (DevUsageSource::instance() == this)
        DevUsageSource::setInstance(nullptr);
}

void UvcDevUsageSource::install()
{
    static UvcDevUsageSource source;
    DevUsageSource::setInstance(&source);
}

UvcDevices *UvcDevUsageSource::registry() const
{
    return registry_ ? registry_ : UvcDevices::instance();
}

int UvcDevUsageSource::familyOf(const QJsonObject &devInfo)
{
    // The usage families are numbered as the model codes of the nimo and
    // zarvo models.
    const CameraModel &m = CameraModel::find(devInfo.value(QStringLiteral("product")).toString(),
                                             devInfo.value(QStringLiteral("platform")).toString());
    return m.series == CameraModel::Series::Other ? int(DevUsageFacts::FamilyUnknown) : int(m.code);
}

DevUsageFacts UvcDevUsageSource::identityOf(UvcDevice *dev)
{
    DevUsageFacts f;
    if (!dev)
        return f;
    f.registered = true;
    f.network = dev->devMode() == UvcDevice::DevModeNet;
    f.sn = dev->getSn();
    f.devInfo = dev->getInfo();
    f.family = familyOf(f.devInfo);
    f.zoom4x = dev->is4KDevice();
    f.version = dev->getVersion();
    f.reportInfo = dev->getDevReportInfo();
    return f;
}

// Device traffic only for initialised USB cameras running their main system
// and not in the hands of the upgrade worker, which owns the selectors then.
bool UvcDevUsageSource::reachable(UvcDevice *dev)
{
    return dev && dev->isInited() && dev->devMode() == UvcDevice::DevModeUvc && dev->getSysType() == 1;
}

bool UvcDevUsageSource::panTiltOf(UvcDevice *dev, int *pan, int *tilt)
{
    if (!reachable(dev))
        return false;
    int p = NotRead;
    int t = NotRead;
    dev->uvcPanTiltAbsoluteControlGet(p, t);
    if (p == NotRead || t == NotRead)
        return false;
    if (pan)
        *pan = p;
    if (tilt)
        *tilt = t;
    return true;
}

void UvcDevUsageSource::readControls(UvcDevice *dev, DevUsageFacts &f)
{
    f.whiteBalance = readControl(dev, &UvcDevice::uvcWhiteBalanceTemperatureControlGet);
    f.brightness = readControl(dev, &UvcDevice::uvcBrightnessControlGet);
    f.contrast = readControl(dev, &UvcDevice::uvcContrastControlGet);
    f.saturation = readControl(dev, &UvcDevice::uvcSaturationControlGet);
    f.sharpness = readControl(dev, &UvcDevice::uvcSharpnessControlGet);
    f.hue = readControl(dev, &UvcDevice::uvcHueControlGet);
}

void UvcDevUsageSource::readNimoFacts(UvcDevice *dev, DevUsageFacts &f)
{
    AiStatus ai;
    if (dev->aiGetAiStatus(&ai, QSharedPointer<QString>(), nullptr, UvcDevice::GetBlocking) == 0) {
        f.trackingMode = ai.third;
        f.trackingModeNext = ai.fourth;
    }
    if (!f.zoom4x)
        return; // the older nimo reports nothing more

    unsigned char isAuto = 0;
    dev->cameraGetFocusRatio(&isAuto);
    f.autoFocus = isAuto != 0;
    f.faceFocus = f.autoFocus
        && dev->cameraGetFaceFocus(QSharedPointer<QString>(), nullptr, UvcDevice::GetBlocking) != 0;

    float pan = 0.0f, tilt = 0.0f, zoom = 0.0f, spare = 0.0f;
    if (dev->aiGetGimbalBootPos(pan, tilt, zoom, spare) == 0) {
        f.bootPan = double(pan);
        f.bootTilt = double(tilt);
        f.bootZoom = double(zoom);
    }

    for (int i = 0; i < 3; ++i) {
        UvcPreSetPosInfo info;
        if (dev->presetPositionGet(static_cast<unsigned char>(i + 1), &info) != 0) {
            if (i == 0) {
                // The camera keeps its presets to itself: use what we remember.
                DevUsageSnapshot::presetsFromRecords(f);
                return;
            }
            f.presets[static_cast<size_t>(i)] = DevUsageFacts::Preset();
            continue;
        }
        f.presets[static_cast<size_t>(i)] = presetOf(info, f.zoom4x);
    }
}

DevUsageFacts UvcDevUsageSource::identity(const QString &sn)
{
    if (sn.isEmpty())
        return DevUsageFacts();
    return identityOf(registry()->findDevBySn(sn).get());
}

bool UvcDevUsageSource::readPanTilt(const QString &sn, int *pan, int *tilt)
{
    if (sn.isEmpty())
        return false;
    return panTiltOf(registry()->findDevBySn(sn).get(), pan, tilt);
}

DevUsageFacts UvcDevUsageSource::snapshot(const QString &sn, bool extended)
{
    if (sn.isEmpty())
        return DevUsageFacts();
    // The reference keeps the camera usable while it is read, even if the
    // registry drops it meanwhile.
    const UvcDevicePtr held = registry()->findDevBySn(sn);
    UvcDevice *dev = held.get();
    DevUsageFacts f = identityOf(dev);
    if (!f.registered || f.network)
        return f;

    // The last block the worker saw stands in when the camera cannot be
    // asked (upgrading, other system) or the read fails.
    CameraStatus status = dev->cachedStatus();
    if (reachable(dev)) {
        CameraStatus fresh;
        if (dev->getCameraStatus(fresh))
            status = fresh;
    }
    f.status = status;
    if (!reachable(dev))
        return f;

    f.panTiltValid = panTiltOf(dev, &f.pan, &f.tilt);
    if (!extended)
        return f;
    readControls(dev, f);
    if (f.family == DevUsageFacts::FamilyNimo || f.family == DevUsageFacts::FamilyNimo4k)
        readNimoFacts(dev, f);
    return f;
}

QStringList UvcDevUsageSource::uvcSerials()
{
    QStringList out;
    const QList<UvcDevicePtr> devs = registry()->devices();
    for (const UvcDevicePtr &d : devs) {
        if (d->devMode() == UvcDevice::DevModeUvc)
            out << d->getSn();
    }
    return out;
}

} // namespace pc
} // namespace vexo
