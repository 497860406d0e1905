#include "zarvocam/SystemSettingUi.h"

#include "uicomm/UiLook.h"

#include <QCloseEvent>
#include <QDebug>
#include <QEvent>
#include <QIcon>

SystemSettingUi::SystemSettingUi(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    UiLook::initResources();
    setObjectName(QStringLiteral("SystemSettingUi"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(UiLook::styleSheet(QStringLiteral("common"))
                  + QStringLiteral("\n#SystemSettingUi { background-color: rgb(30, 30, 30); }"));
    setWindowTitle(tr("System Setting"));
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    setFixedSize(360, 600);
    m_globalHotkeys = vexo::pc::GlobalParams::instance()->getShortcutRange() == 1;
}

SystemSettingUi::~SystemSettingUi() = default;

void SystemSettingUi::setNoDevice()
{
    m_currentSn.clear();
    m_awake = false;
}

void SystemSettingUi::setCurrentDevice(const vexo::pc::GlobalParams::DevInfo &info,
                                       const vexo::pc::CameraStatus &status)
{
    m_currentSn = info.devSn;
    m_awake = status.runState() == 1;
}

void SystemSettingUi::setDevName(const QString &sn, const QString &name)
{
    Q_UNUSED(sn)
    Q_UNUSED(name)
}

void SystemSettingUi::updateDevStatus(const vexo::pc::CameraStatus &status)
{
    Q_UNUSED(status)
}

void SystemSettingUi::setAutoSleep(int seconds)
{
    Q_UNUSED(seconds)
}

void SystemSettingUi::setDevAwake(bool awake)
{
    m_awake = awake;
}

void SystemSettingUi::hideSecondMenu()
{
}

void SystemSettingUi::on_pbGlobalHotkeys_clicked()
{
    m_globalHotkeys = !m_globalHotkeys;
    emit sendSettingEvent(m_globalHotkeys ? EventGlobalHotkeysOn : EventGlobalHotkeysOff);
}

void SystemSettingUi::closeEvent(QCloseEvent *event)
{
    hideSecondMenu();
    event->accept();
    emit sendSettingEvent(EventClosed);
}

void SystemSettingUi::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        setWindowTitle(tr("System Setting"));
    QWidget::changeEvent(event);
}
