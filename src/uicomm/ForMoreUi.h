#pragma once

#include "uicomm/OptionPopup.h"

// The settings panel's "More" pop-up: maintenance actions. A click emits
// the entry's signal and hides the pop-up; the main window carries the
// actions out.
class ForMoreUi : public OptionPopup
{
    Q_OBJECT
public:
    explicit ForMoreUi(QWidget *parent = nullptr);
    ~ForMoreUi() override;

signals:
    void exportLog();
    void manualUpgrade();
    void upgradeHelp();
    void upgradeManual();
    void restoreFactorySetting();

protected:
    void retranslate() override;

private:
    enum Entry { EntryExportLog, EntryFirmwareUpgrade, EntryUpgradeManual, EntryRestoreFactory };
    void onChosen(int entry);

    QPushButton *m_exportLog;
    QPushButton *m_firmwareUpgrade;
    QPushButton *m_upgradeManual;
    QPushButton *m_restoreFactory;
};
