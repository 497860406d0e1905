#pragma once

#include "download/PkgDownloader.h"
#include "uicomm/MsgProgressUi.h"

#include <QElapsedTimer>
#include <QTimer>

// The modal window of a package download: file name, rate, received and
// total size under the progress bar. It follows the downloader's notifyInfo
// and gives up after 720000 ms.
class DownloadProgress : public MsgProgressUi
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 720000;
    // The rate is recomputed at most this often.
    static constexpr qint64 RateIntervalMs = 101;

    explicit DownloadProgress(QWidget *parent = nullptr);
    ~DownloadProgress() override;

    // Back to the state of a new download (bar at 0, OK disabled).
    void reset();
    // Shows the window and blocks until "OK"; the time-out runs meanwhile.
    int exec();

    float rate() const { return m_rate; }
    qint64 bytesReceived() const { return m_received; }

public slots:
    void onDownloadProgressUpdate(vexo::pc::PkgDownloader::InfoType type, int value, QString info);
    void onTimeout();

private:
    QString sizeLine(float rate, qint64 received) const;

    QString m_fileName;
    qint32 m_pkgSize = 0;
    qint32 m_received = 0;
    qint32 m_receivedAtRate = 0;
    float m_rate = 0.0f;
    QElapsedTimer m_rateClock;
    QTimer m_timeout;
};
