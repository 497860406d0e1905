#include "uicomm/UvcUpgradeProgress.h"
#include "uvc/UvcPatchUpgrade.h"

#include "uvc/UvcDevices.h"

#include <QDebug>
#include <QThread>

namespace {
// The worker runs the patch generation on its own stack.
constexpr uint kWorkerStackBytes = 0x8000000;
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
        if (m_worker->isRunning()) {
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
