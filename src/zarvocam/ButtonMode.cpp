#include "zarvocam/ButtonMode.h"

#include <QPushButton>
#include <QVariant>

ButtonMode::ButtonMode(QWidget *parent)
    : OptionPopup(parent)
{
    setObjectName(QStringLiteral("ButtonMode"));
    m_default = addEntry(QStringLiteral("pbDefault"), 0);
    m_rotation = addEntry(QStringLiteral("pbRotation"), 1);
    connect(this, &OptionPopup::chosen, this, &ButtonMode::buttonModeChanged);
    finishSetup();
}

ButtonMode::~ButtonMode() = default;

void ButtonMode::retranslate()
{
    setTitle(tr("Button Configuration"));
    m_default->setText(tr("Default"));
    m_rotation->setText(tr("Rotation"));
}
