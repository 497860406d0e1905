#include "uicomm/DevSleep.h"
#include "ui_DevSleep.h"

#include "uicomm/DevButton.h"
#include "uicomm/UiLook.h"

#include <QDateTime>
#include <QEvent>
#include <QIcon>
#include <QPushButton>

namespace {

// The row stays centred under the texts: 90 px per button, 60 px wide.
constexpr int kRowY = 440;
constexpr int kRowStep = 90;

int rowX(int count, int i)
{
    return 370 + 45 - 45 * count + kRowStep * i;
}

} // namespace

DevSleep::DevSleep(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::DevSleep)
{
    UiLook::initResources();
    ui->setupUi(this);
    setObjectName(QStringLiteral("DevSleep"));
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("devsleep")));
    ui->lbSleepIcon->setPixmap(QIcon(QStringLiteral(":/source/uicomm/icon/sleep_page")).pixmap(120, 120));
    setGeometry(0, 0, 800, 600);
    hide();
}

DevSleep::~DevSleep()
{
    delete ui;
}

void DevSleep::addDev(const QString &name)
{
    m_names.append(name);
    rebuildRow();
}

void DevSleep::setDevName(int index, const QString &name)
{
    if (index == m_names.size()) {
        addDev(name);
        return;
    }
    if (index < 0 || index > m_names.size())
        return;
    m_names[index] = name;
    if (index < m_buttons.size())
        m_buttons.at(index)->setText(name);
}

void DevSleep::removeDev(int index)
{
    if (index < 0 || index >= m_names.size())
        return;
    m_names.removeAt(index);
    // Sleep times follow their cameras down the row.
    for (int i = index; i < MaxRowButtons; ++i)
        m_sleepTimes[i] = i + 1 < MaxRowButtons ? m_sleepTimes[i + 1] : 0;
    if (m_currentIndex > index)
        --m_currentIndex;
    else if (m_currentIndex == index)
        m_currentIndex = 0;
    rebuildRow();
}

void DevSleep::setCurrentIndex(int index)
{
    m_currentIndex = index;
    restyleRow();
}

void DevSleep::setSleepTime(int index, qint64 msecsSinceEpoch)
{
    if (index >= 0 && index < MaxRowButtons)
        m_sleepTimes[index] = msecsSinceEpoch;
}

qint64 DevSleep::sleepTime(int index) const
{
    return index >= 0 && index < MaxRowButtons ? m_sleepTimes[index] : 0;
}

void DevSleep::on_pbDevResume_clicked()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - sleepTime(m_currentIndex) < ResumeHoldOffMs)
        return;
    hide();
    emit devResumed();
}

void DevSleep::onDevBtnClicked()
{
    const int index = m_buttons.indexOf(qobject_cast<QPushButton *>(sender()));
    if (index < 0 || index == m_currentIndex) {
        restyleRow();
        return;
    }
    m_currentIndex = index;
    restyleRow();
    emit devChanged(index);
}

void DevSleep::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        ui->retranslateUi(this);
    QWidget::changeEvent(event);
}

void DevSleep::rebuildRow()
{
    const int count = qMin(int(m_names.size()), int(MaxRowButtons));
    while (m_buttons.size() > count)
        delete m_buttons.takeLast();
    while (m_buttons.size() < count) {
        auto *button = new QPushButton(this);
        button->setFixedSize(DevButton::ButtonSize, DevButton::ButtonSize);
        button->setFocusPolicy(Qt::NoFocus);
        UiLook::setRole(button, QStringLiteral("dev"));
        connect(button, &QPushButton::clicked, this, &DevSleep::onDevBtnClicked);
        button->show();
        m_buttons.append(button);
    }
    for (int i = 0; i < count; ++i) {
        m_buttons.at(i)->setText(m_names.at(i));
        m_buttons.at(i)->move(rowX(count, i), kRowY);
    }
    restyleRow();
}

void DevSleep::restyleRow()
{
    for (int i = 0; i < m_buttons.size(); ++i) {
        UiLook::setDevLook(m_buttons.at(i),
                           i == m_currentIndex ? UiLook::DevLook::Current : UiLook::DevLook::Other);
    }
}
