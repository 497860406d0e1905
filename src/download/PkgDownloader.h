#pragma once

#include <QElapsedTimer>
#include <QJsonObject>
#include <QMutex>
#include <QString>
#include <QThread>

#include <atomic>

namespace vexo {
namespace pc {

// Finds the latest package of a product at the cloud service, downloads it
// into a folder, checks its size and MD5 and, for camera firmware, verifies
// it and prepares the updater package from it. One code path serves camera
// firmware ("pkg_type" 1, ".bin") and this application's own installer
// ("pkg_type" 0, the platform's installer extension).
//
// The owner fills the request object and the download folder while the
// thread is not running and starts it; run() works synchronously, each HTTP
// exchange inside a local event loop of this thread, and reports through the
// queued signal notifyInfo. Progress is throttled to one signal per 50 ms and
// carries increments.
class PkgDownloader : public QThread
{
    Q_OBJECT
public:
    enum InfoType {
        INFO_PKG_SIZE = 0,   // value: package size; info: file name
        INFO_PROGRESS = 1,   // value: bytes since the previous report
        INFO_ERROR = 2,      // info: error text
        INFO_UP_TO_DATE = 3, // the local file already has the right digest
        INFO_DONE = 4,       // downloaded (and prepared)
    };
    Q_ENUM(InfoType)

    // Registers InfoType for queued connections (also as "PkgDownloader::InfoType").
    static void registerMetaType();

    // Extension of this platform's application installer (".deb").
    static QString installerExtension();

    explicit PkgDownloader(QObject *parent = nullptr);
    ~PkgDownloader() override;

    // Query parameters: "product", "branch", "platform", "status",
    // "version", "seqid" and "pkg_type" (1 firmware, 0 application).
    void setRequest(const QJsonObject &request);
    QJsonObject request() const;
    // The download folder; a missing "/" at the end is added.
    void setDownloadDir(const QString &dir);
    QString downloadDir() const;
    // Where the query goes; empty (the default) means the configured
    // firmware query URL.
    void setQueryUrl(const QString &url);
    // The package of the last successful query.
    QJsonObject package() const;

    // One query exchange; fills the package object on success.
    bool queryLatestFwInfo();
    // Downloads the queried package into the download folder and checks it.
    bool downloadFirmware();
    // product_branch_platform_version_status + ".bin" (firmware) or the
    // installer extension (application), from the package object.
    QString pkgFileName() const;
    // Download folder + file name.
    QString pkgFilePath() const;

    // Ends a running sequence as soon as possible and waits for the thread;
    // the partly written file stays (the next run replaces it).
    void cancel();

signals:
    void notifyInfo(vexo::pc::PkgDownloader::InfoType type, int value, QString info);

protected:
    void run() override;

private:
    bool checkExisting(bool *upToDate);
    void reportProgress(bool final);

    mutable QMutex m_lock;
    QJsonObject m_request;
    QJsonObject m_package;
    QString m_downloadDir;
    QString m_queryUrl;

    // Worker-thread state of one download.
    QElapsedTimer m_progressClock;
    qint32 m_unreported = 0;
    std::atomic<bool> m_cancel{false};
};

} // namespace pc
} // namespace vexo
