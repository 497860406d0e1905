#include "uicomm/OptionPopup.h"

#include "uicomm/UiLook.h"

#include <QEvent>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QVariant>
#include <QVBoxLayout>

OptionPopup::OptionPopup(QWidget *parent)
    : OWidget(parent, Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_StyledBackground, true);
    setProperty("role", QStringLiteral("popup"));
    setStyleSheet(UiLook::windowStyleSheet(QStringLiteral("settings")));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(8, 8, 8, 8);
    m_layout->setSpacing(2);
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lbPopupTitle"));
    m_title->hide();
    m_layout->addWidget(m_title);
}

OptionPopup::~OptionPopup() = default;

QPushButton *OptionPopup::addEntry(const QString &objectName, int value, bool ticked)
{
    auto *button = new QPushButton(this);
    button->setObjectName(objectName);
    button->setProperty("role", QStringLiteral("entry"));
    button->setFocusPolicy(Qt::NoFocus);
    button->setMinimumHeight(34);
    button->setIconSize(QSize(16, 16));
    m_layout->addWidget(button);
    m_entries.append({button, value, ticked});
    connect(button, &QPushButton::clicked, this, [this, value, ticked] {
        if (ticked)
            setCurrent(value);
        hide();
        emit chosen(value);
    });
    return button;
}

void OptionPopup::setTitle(const QString &text)
{
    m_title->setText(text);
    m_title->setVisible(!text.isEmpty());
}

void OptionPopup::finishSetup()
{
    retranslate();
    restyle();
    adjustSize();
}

void OptionPopup::setCurrent(int value)
{
    m_current = value;
    restyle();
}

void OptionPopup::restyle()
{
    const QIcon tick(QStringLiteral(":/source/uicomm/icon/tick"));
    QPixmap blank(16, 16);
    blank.fill(Qt::transparent);
    for (const Entry &e : qAsConst(m_entries)) {
        if (!e.ticked)
            continue;
        const bool current = e.value == m_current;
        // An empty icon of the same size keeps the texts aligned.
        e.button->setIcon(current ? tick : QIcon(blank));
        UiLook::setLook(e.button, current ? UiLook::Look::Selected : UiLook::Look::Normal);
    }
}

void OptionPopup::popUpAt(const QPoint &pos)
{
    adjustSize();
    move(pos);
    show();
    raise();
}

void OptionPopup::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        retranslate();
        adjustSize();
    }
    OWidget::changeEvent(event);
}
