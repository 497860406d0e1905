#include "uicomm/UvcUpgradeProgress.h"
#include "uvc/UvcPatchUpgrade.h"

#include "uvc/UvcDevices.h"

#include <QDebug>
#include <QThread>

namespace {
// The worker runs the patch generation on its own stack.
constexpr uint kWorkerStackBytes = 0x8000000;
// How long a closed window waits for its worker to end.
constexpr unsigned long kWorkerEndMs = 120000;
} // namespace

UvcUpgradeProgress::UvcUpgradeProgress(const QString &sn, QWidget *parent)
    : MsgProgressUi(parent)
    , m_sn(sn)
{
    m_worker = createWorker();
    if (!m_worker) {
        qCritical() << "new UvcPatchUpgrade failed";
        // The caller still runs the window: it must be closable.
        onProgressUpdate(-3, tr("Upgrade failed, please try again later."));
        return;
    }
    setFixedWidth(360);
    onProgressUpdate(0, upgradeWarning());
    connect(m_worker, SIGNAL(progressUpdate(int, QString)), this, SLOT(onProgressUpdate(int, QString)),
            Qt::QueuedConnection);
    connect(vexo::pc::UvcDevices::instance(), &vexo::pc::UvcDevices::devDisconnDuringUg, this,
            &UvcUpgradeProgress::ondevDisconnDuringUg);
    m_worker->setStackSize(kWorkerStackBytes);
    m_worker->start(QThread::HighPriority);
}

UvcUpgradeProgress::~UvcUpgradeProgress()
{
    if (m_worker) {
        // The worker ends on its own after its last report (a camera it
        // loses ends it too); cutting it off mid-transfer could leave the
        // camera half written, so it is given time, and stopped by force
        // only when it hangs.
        if (m_worker->isRunning() && !m_worker->wait(kWorkerEndMs)) {
            qWarning() << "Upgrade worker did not end, stopping it";
            m_worker->terminate();
            m_worker->wait();
        }
        delete m_worker;
    }
}

QString UvcUpgradeProgress::upgradeWarning()
{
    return tr("Warning:\n1 Do not disconnect the device during upgrade, otherwise the device will crash!\n"
              "2 Please close all applications that may use the device during the upgrade, such as Zoom, "
              "Microsoft Teams, Skype, OBS Studio, etc.\n");
}

void UvcUpgradeProgress::ondevDisconnDuringUg()
{
    qCritical() << "Error: ondevDisconnDuringUg";
    onProgressUpdate(-3, tr("Upgrade failed, please try again later."));
}

QThread *UvcUpgradeProgress::createWorker()
{
    return new vexo::pc::UvcPatchUpgrade(m_sn, vexo::pc::UvcPatchUpgrade::UvcTaskUpgrade);
}
