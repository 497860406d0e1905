#include "uicomm/DownloadProgress.h"

#include "comm/TimeScale.h"

using vexo::pc::PkgDownloader;

namespace {
constexpr qint64 kMiB = 1048576;
}

DownloadProgress::DownloadProgress(QWidget *parent)
    : MsgProgressUi(parent)
{
    setFixedWidth(360);
    setTitle(tr("Downloading Firmware"));
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, &DownloadProgress::onTimeout);
}

DownloadProgress::~DownloadProgress() = default;

void DownloadProgress::reset()
{
    m_fileName.clear();
    m_pkgSize = 0;
    m_received = 0;
    m_receivedAtRate = 0;
    m_rate = 0.0f;
    m_rateClock.invalidate();
    onProgressUpdate(0, QString());
    setOkEnabled(false);
}

int DownloadProgress::exec()
{
    m_timeout.start(vexo::pc::TimeScale::ms(TimeoutMs));
    const int result = MsgProgressUi::exec();
    m_timeout.stop();
    return result;
}

QString DownloadProgress::sizeLine(float rate, qint64 received) const
{
    return m_fileName + QLatin1Char('\n')
           + tr("%1MB/s - %2MB, total %3MB")
                 .arg(QString::number(double(rate), 'f', 2))
                 .arg(received / kMiB)
                 .arg(qint64(m_pkgSize) / kMiB);
}

void DownloadProgress::onDownloadProgressUpdate(PkgDownloader::InfoType type, int value, QString info)
{
    switch (type) {
    case PkgDownloader::INFO_PKG_SIZE:
        m_fileName = info;
        m_pkgSize = value;
        m_received = 0;
        m_receivedAtRate = 0;
        m_rate = 0.0f;
        m_rateClock.start();
        onProgressUpdate(0, m_fileName + QLatin1Char('\n')
                                + tr("0MB/s - 0MB, total %1MB").arg(qint64(m_pkgSize) / kMiB));
        break;
    case PkgDownloader::INFO_PROGRESS: {
        m_received += value;
        if (!m_rateClock.isValid())
            m_rateClock.start();
        const int percent = m_pkgSize > 0 ? int(qint64(m_received) * 100 / m_pkgSize) : 0;
        const qint64 elapsed = m_rateClock.elapsed();
        if (elapsed < RateIntervalMs)
            break; // the count only; the text follows with the next rate
        m_rate = float(double(m_received - m_receivedAtRate) / double(elapsed) * 0.0009765625);
        m_receivedAtRate = m_received;
        m_rateClock.restart();
        onProgressUpdate(qMin(percent, 99), sizeLine(m_rate, m_received));
        break;
    }
    case PkgDownloader::INFO_ERROR:
        onProgressUpdate(-3, tr("Download error!"));
        break;
    case PkgDownloader::INFO_UP_TO_DATE:
    case PkgDownloader::INFO_DONE:
        onProgressUpdate(100, m_fileName + QLatin1Char('\n')
                                  + tr("0MB/s - %1MB, total %2MB")
                                        .arg(qint64(m_pkgSize) / kMiB)
                                        .arg(qint64(m_pkgSize) / kMiB));
        break;
    }
}

void DownloadProgress::onTimeout()
{
    onProgressUpdate(-3, tr("Download timeout, please try again later!"));
}
