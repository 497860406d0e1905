#pragma once

#include "platform/VideoDeviceInfo.h"

#include <QList>
#include <QString>

#include <mutex>

namespace vexo {
namespace pc {

// Which video devices are cameras of the zarvo family. The family's USB
// vendor ids are configuration ("zarvo_devices.ini", group [usb], key
// vendor_ids, hexadecimal, comma separated); the product ids FEF2 and FEF3
// and the friendly-name rule are fixed.
class CameraFamily final
{
public:
    // The process-wide family, loaded on first use from findConfigFile().
    static CameraFamily &instance();

    CameraFamily();

    // Loads the vendor ids from an INI file; false (ids left empty, a
    // warning logged) when the file is missing or names none.
    bool load(const QString &iniPath);
    void setVendorIds(const QList<quint16> &ids);
    QList<quint16> vendorIds() const;

    // A device of the family: its friendly name contains "KAVORA Zarvo"
    // (case-sensitive), or its device path or USB ids read as
    // "USB#VID_<vendor>&PID_FEF2" / "...FEF3", ignoring case.
    bool isFamilyCamera(const VideoDeviceInfo &dev) const;

    // The vendor id the short device names are built from ("0000" if none).
    QString firstVendorIdText() const;

    // Where the configuration is looked for, in order: the file named by
    // ZARVO_DEVICES_CONFIG; <program folder>/../config/zarvo_devices.ini;
    // $ZARVO_STAGE_DIR/config/zarvo_devices.ini. Empty when none exists.
    static QString findConfigFile();

    static QString idText(quint16 vendorId, quint16 productId);

private:
    Q_DISABLE_COPY(CameraFamily)

    mutable std::mutex lock_;
    QList<quint16> vendorIds_;
};

} // namespace pc
} // namespace vexo
