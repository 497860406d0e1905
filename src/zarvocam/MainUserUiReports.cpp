// MainUserUi: usage events and the usage reports of new cameras. The
// periodic reports run in DevUsageReporter on their own.

#include "zarvocam/MainUserUi.h"

#include "comm/AppTask.h"
#include "comm/DevUsageReporter.h"
#include "uvc/UvcDevice.h"

#include <QDebug>

using vexo::pc::UvcDevice;
using vexo::pc::UvcDevicePtr;

void MainUserUi::fileUsageEvent(int action, const QVariant &value, int source)
{
    if (m_currentSn.isEmpty()) {
        qDebug() << "Usage event without a current device:" << action;
        return;
    }
    vexo::pc::pushDevUsageEvent(m_currentSn, action, source, QString(), value);
}

void MainUserUi::reportNewDev(const QString &sn)
{
    const UvcDevicePtr dev = findDev(sn);
    if (!dev || dev->devMode() != UvcDevice::DevModeUvc)
        return;
    // System type 1: the camera runs its main system, which has device
    // information to report.
    m_reporter->onDeviceReady(sn, dev->getDevReportInfo(), dev->getSysType() == 1);
}
