#pragma once

#include <QString>

namespace vexo {
namespace pc {

// Hardware platforms of the cameras, numbered from 0 in this order as the
// camera reports them in its device information.
enum DevPlatformType : int {
    DevPlatformHi3559A = 0, DevPlatformHi3519A, DevPlatformHi3516DV300, DevPlatformHi3516CV500,
    DevPlatformSSC336Q, DevPlatformSSC339G, DevPlatformSSC359G, DevPlatformCount
};

// Products, numbered the same way.
enum DevProductType : int {
    DevProductVela3P = 0, DevProductVela2P, DevProductNimo2P, DevProductQuil1P, DevProductZarvo, DevProductNimoAir,
    DevProductCount
};

// One camera model: a product on a platform. Every place that tells models
// apart (identity, usage reports, packages, the virtual camera) reads this
// one table.
struct CameraModel
{
    // Model codes as the device reports them to the application; the usage
    // reports number their families the same way (codes 0..3).
    enum Code : int { Nimo = 0, Nimo4K, Zarvo, Zarvo4K, Quil, Unknown };
    enum class Series { Nimo, Zarvo, Other };

    Code code;
    DevProductType product;
    DevPlatformType platform;
    bool is4K;
    const char *reportName; // model name in the cloud reports
    Series series;

    QString productName() const { return productName(product); }
    QString platformName() const { return platformName(platform); }

    // The model of a product and platform name; the Unknown model (code 5,
    // "KAVORA Unknown") when the pair is none of ours.
    static const CameraModel &find(const QString &product, const QString &platform);
    // The first model with this code (the Unknown model for other codes).
    static const CameraModel &byCode(int code);

    // Names of the device information's product and platform numbers; empty
    // outside the tables.
    static QString productName(int product);
    static QString platformName(int platform);
    // Number of a platform name, -1 when it is none.
    static int platformType(const QString &name);
    // Platforms whose updater file system is the SSC33x one.
    static bool isSsc33x(const QString &platform);
    static bool isHi3516(const QString &platform);
};

} // namespace pc
} // namespace vexo
