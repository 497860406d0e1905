#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

namespace vexo {
namespace pc {

// Bookkeeping of the package files in the firmware directory: which local
// package is the newest for the selected camera's product, branch and
// platform, and removal of the others (with their updater packages).
class FirmwareManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(FirmwareManager)

public:
    explicit FirmwareManager(QObject *parent = nullptr);

    // Takes "product", "branch" and "platform" from info; when any of them
    // is missing, all three come from the selected camera's firmware
    // description in the global parameters. firmwareDir overrides the
    // application's firmware directory (created when missing). False when
    // the description is incomplete or the directory cannot be created.
    bool init(const QJsonObject &info, const QString &firmwareDir = QString());

    // The process-wide manager the upgrade worker asks (created on first
    // use; main thread and worker take turns, never at once).
    static FirmwareManager *instance();

    // File name of the newest package with the prefix, empty when none. A
    // package chosen by the user (setChosenPackage) wins while it exists.
    QString findLatestPackage() const;

    // A package file in the firmware directory the next upgrade is to use
    // (a manual upgrade); empty clears the choice.
    void setChosenPackage(const QString &name) { m_chosen = name; }
    QString chosenPackage() const { return m_chosen; }

    // Deletes every package with the prefix except keepName, together with
    // its updater package.
    void deleteOtherPackages(const QString &keepName) const;

    // Directory with a trailing "/" and the name prefix
    // product_branch_platform_.
    QString firmwareDir() const { return m_dir; }
    QString prefix() const { return m_prefix; }

    // The version part of a package name as a number, each dotted component
    // shifted in by 8 bits; false when the name has no a.b.c.d.
    static bool versionFromName(const QString &name, quint32 *value);

private:
    QString m_dir;
    QString m_prefix;
    QString m_chosen;
};

} // namespace pc
} // namespace vexo
