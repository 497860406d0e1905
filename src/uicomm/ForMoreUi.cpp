#include "uicomm/ForMoreUi.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVariant>

ForMoreUi::ForMoreUi(QWidget *parent)
    : OptionPopup(parent)
{
    setObjectName(QStringLiteral("ForMoreUi"));
    m_exportLog = addEntry(QStringLiteral("pbExportLog"), EntryExportLog, false);
    m_firmwareUpgrade = addEntry(QStringLiteral("pbFirmwareUpgrade"), EntryFirmwareUpgrade, false);
    m_upgradeManual = addEntry(QStringLiteral("pbUpgradeManual"), EntryUpgradeManual, false);
    m_restoreFactory = addEntry(QStringLiteral("pbRestoreFactory"), EntryRestoreFactory, false);

    // The help of the firmware upgrade sits at the right end of its entry.
    auto *help = new QPushButton(m_firmwareUpgrade);
    help->setObjectName(QStringLiteral("pbFirmwareUpgradeHelp"));
    help->setProperty("role", QStringLiteral("help"));
    help->setFocusPolicy(Qt::NoFocus);
    help->setFixedSize(18, 18);
    auto *row = new QHBoxLayout(m_firmwareUpgrade);
    row->setContentsMargins(0, 0, 10, 0);
    row->addStretch();
    row->addWidget(help);
    connect(help, &QPushButton::clicked, this, [this] {
        hide();
        emit upgradeHelp();
    });

    connect(this, &OptionPopup::chosen, this, &ForMoreUi::onChosen);
    finishSetup();
    setMinimumWidth(240);
}

ForMoreUi::~ForMoreUi() = default;

void ForMoreUi::onChosen(int entry)
{
    switch (entry) {
    case EntryExportLog:
        emit exportLog();
        break;
    case EntryFirmwareUpgrade:
        emit manualUpgrade();
        break;
    case EntryUpgradeManual:
        emit upgradeManual();
        break;
    case EntryRestoreFactory:
        emit restoreFactorySetting();
        break;
    default:
        break;
    }
}

void ForMoreUi::retranslate()
{
    m_exportLog->setText(tr("Export Log"));
    m_firmwareUpgrade->setText(tr("Firmware Upgrade"));
    m_upgradeManual->setText(tr("Upgrade Manual"));
    m_restoreFactory->setText(tr("Restore Factory Settings"));
}
