#include "uicomm/ScreenMode.h"

#include <QPushButton>
#include <QVariant>

ScreenMode::ScreenMode(QWidget *parent)
    : OptionPopup(parent)
{
    setObjectName(QStringLiteral("ScreenMode"));
    m_landscape = addEntry(QStringLiteral("pbLandscape"), 0);
    m_portrait = addEntry(QStringLiteral("pbPortrait"), 1);
    connect(this, &OptionPopup::chosen, this, &ScreenMode::screenModeChanged);
    finishSetup();
}

ScreenMode::~ScreenMode() = default;

void ScreenMode::retranslate()
{
    setTitle(tr("Screen Mode"));
    m_landscape->setText(tr("Landscape"));
    m_portrait->setText(tr("Portrait"));
}
