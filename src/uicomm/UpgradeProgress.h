#pragma once

#include "comm/GlobalParams.h"
#include "uicomm/MsgProgressUi.h"

#include <QTimer>

// The modal window of a network camera's upgrade. The camera reports its
// progress to the local HTTP service, which hands it on through
// GlobalParams::devUpgradeProgress; the owner connects that signal to
// onUpgradeProgressUpdate (queued: the service runs on its own thread) and
// runs exec(). A camera silent for 180000 ms ends in the failure text
// unless it reported success or failure before.
class UpgradeProgress : public MsgProgressUi
{
    Q_OBJECT
public:
    static constexpr int TimeoutMs = 180000;
    // After the camera reports success it still reboots; the window waits
    // this long before it tells the user.
    static constexpr int SuccessSettleMs = 12000;

    explicit UpgradeProgress(QWidget *parent = nullptr);
    ~UpgradeProgress() override;

    // Shows the window and blocks until "OK"; the time-out runs meanwhile.
    int exec();

    bool isDone() const { return m_done; }
    int progress() const { return m_progress; }

public slots:
    void onUpgradeProgressUpdate(vexo::pc::GlobalParams::UgProgressEnum type, QString uuid, QString msg);

private:
    void onTimeout();

    bool m_done = false;
    int m_progress = 0;
    QTimer m_timeout;
};
