#include "uicomm/UpgradeProgress.h"

#include "comm/TimeScale.h"

#include <QDebug>

using vexo::pc::GlobalParams;

UpgradeProgress::UpgradeProgress(QWidget *parent)
    : MsgProgressUi(parent)
{
    setFixedWidth(360);
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, &UpgradeProgress::onTimeout);
    onUpgradeProgressUpdate(GlobalParams::UgBegin, QString(), tr("Start to upgrade. Please do not disconnect!"));
}

UpgradeProgress::~UpgradeProgress() = default;

int UpgradeProgress::exec()
{
    m_timeout.start(vexo::pc::TimeScale::ms(TimeoutMs));
    const int result = MsgProgressUi::exec();
    m_timeout.stop();
    return result;
}

void UpgradeProgress::onUpgradeProgressUpdate(GlobalParams::UgProgressEnum type, QString uuid, QString msg)
{
    qInfo() << "type =" << int(type) << "uuid =" << uuid << "msg =" << msg;
    const QString text = GlobalParams::instance()->getUgInfoType() != 0
                             ? msg
                             : tr("Warning: Do not disconnect the device during upgrade, otherwise the device will crash!");
    switch (type) {
    case GlobalParams::UgBegin:
        m_progress = 0;
        onProgressUpdate(0, text);
        break;
    case GlobalParams::UgStep:
        m_progress = qMin(m_progress + 10, 90);
        onProgressUpdate(m_progress, text);
        break;
    case GlobalParams::UgBusy:
        onProgressUpdate(-1, text);
        break;
    case GlobalParams::UgSuccess:
        // The camera restarts into the new firmware meanwhile; the time-out
        // must not fire while we wait.
        m_done = true;
        vexo::pc::TimeScale::waitWithEvents(SuccessSettleMs);
        onProgressUpdate(100, tr("Upgrade successfully!"));
        break;
    case GlobalParams::UgFailed:
        m_done = true;
        onProgressUpdate(-3, tr("Upgrade failed, please try again later."));
        break;
    }
}

void UpgradeProgress::onTimeout()
{
    if (m_done)
        return;
    onProgressUpdate(-3, tr("No response from device for a long time, please restart device and try again!"));
}
