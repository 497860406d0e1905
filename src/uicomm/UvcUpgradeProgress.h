#pragma once

#include "uicomm/MsgProgressUi.h"

#include <QString>

class QThread;

// The modal window of a USB camera's firmware upgrade. It owns the upgrade
// worker for the camera's serial number: starts it at construction, shows
// its progress (the worker reports from its own thread), ends in the failure
// text when the camera disconnects during the upgrade, and stops a still
// running worker when destroyed.
class UvcUpgradeProgress : public MsgProgressUi
{
    Q_OBJECT
public:
    explicit UvcUpgradeProgress(const QString &sn, QWidget *parent = nullptr);
    ~UvcUpgradeProgress() override;

    // The worker is running (false when it could not be created).
    bool hasWorker() const { return m_worker != nullptr; }

    // The warning shown while the upgrade starts.
    static QString upgradeWarning();

public slots:
    void ondevDisconnDuringUg();

private:
    // The upgrade worker of the camera, not yet started; null when none can
    // be made.
    QThread *createWorker();

    QString m_sn;
    QThread *m_worker = nullptr;
};
