#include "uicomm/AntiFlicker.h"

#include <QPushButton>
#include <QVariant>

AntiFlicker::AntiFlicker(QWidget *parent)
    : OptionPopup(parent)
{
    setObjectName(QStringLiteral("AntiFlicker"));
    m_off = addEntry(QStringLiteral("pbAntiFlickerOff"), 0);
    m_50 = addEntry(QStringLiteral("pbAntiFlicker50"), 1);
    m_60 = addEntry(QStringLiteral("pbAntiFlicker60"), 2);
    connect(this, &OptionPopup::chosen, this, &AntiFlicker::antiFlickerChanged);
    finishSetup();
}

AntiFlicker::~AntiFlicker() = default;

void AntiFlicker::retranslate()
{
    setTitle(tr("Anti-Flicker"));
    m_off->setText(tr("Off"));
    m_50->setText(tr("50Hz"));
    m_60->setText(tr("60Hz"));
}
