#include "comm/CameraModel.h"

namespace vexo {
namespace pc {

namespace {

const char *const ProductNames[DevProductCount] = {"Kavora_vela_3P", "Kavora_vela_2P", "Kavora_nimo_2P",
                                                   "Kavora_quil_1P", "Kavora_zarvo",   "Kavora_nimoair"};
const char *const PlatformNames[DevPlatformCount] = {"Hi3559A",  "Hi3519A", "Hi3516DV300", "Hi3516CV500",
                                                     "SSC336Q", "SSC339G", "SSC359G"};

using S = CameraModel::Series;

const CameraModel Models[] = {
    {CameraModel::Nimo4K, DevProductNimo2P, DevPlatformSSC339G, true, "KAVORA Nimo4K", S::Nimo},
    {CameraModel::Nimo, DevProductNimo2P, DevPlatformHi3516DV300, false, "KAVORA Nimo", S::Nimo},
    {CameraModel::Nimo, DevProductNimo2P, DevPlatformHi3516CV500, false, "KAVORA Nimo", S::Nimo},
    {CameraModel::Nimo, DevProductNimo2P, DevPlatformSSC336Q, false, "KAVORA Nimo", S::Nimo},
    {CameraModel::Zarvo4K, DevProductZarvo, DevPlatformSSC339G, true, "KAVORA Zarvo4K", S::Zarvo},
    {CameraModel::Zarvo, DevProductZarvo, DevPlatformSSC336Q, false, "KAVORA Zarvo", S::Zarvo},
    {CameraModel::Quil, DevProductQuil1P, DevPlatformSSC336Q, false, "KAVORA Unknown", S::Other},
};

const CameraModel UnknownModel = {CameraModel::Unknown, DevProductNimoAir, DevPlatformHi3559A, false,
                                  "KAVORA Unknown", S::Other};

} // namespace

const CameraModel &CameraModel::find(const QString &product, const QString &platform)
{
    for (const CameraModel &m : Models) {
        if (product == QLatin1String(ProductNames[m.product]) && platform == QLatin1String(PlatformNames[m.platform]))
            return m;
    }
    return UnknownModel;
}

const CameraModel &CameraModel::byCode(int code)
{
    for (const CameraModel &m : Models) {
        if (m.code == code)
            return m;
    }
    return UnknownModel;
}

QString CameraModel::productName(int product)
{
    return product >= 0 && product < DevProductCount ? QLatin1String(ProductNames[product]) : QString();
}

QString CameraModel::platformName(int platform)
{
    return platform >= 0 && platform < DevPlatformCount ? QLatin1String(PlatformNames[platform]) : QString();
}

int CameraModel::platformType(const QString &name)
{
    for (int i = 0; i < DevPlatformCount; ++i) {
        if (name == QLatin1String(PlatformNames[i]))
            return i;
    }
    return -1;
}

bool CameraModel::isSsc33x(const QString &platform)
{
    const int t = platformType(platform);
    return t == DevPlatformSSC336Q || t == DevPlatformSSC339G;
}

bool CameraModel::isHi3516(const QString &platform)
{
    const int t = platformType(platform);
    return t == DevPlatformHi3516DV300 || t == DevPlatformHi3516CV500;
}

} // namespace pc
} // namespace vexo
