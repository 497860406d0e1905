#include "uicomm/DevButton.h"

#include "uicomm/UiLook.h"

#include <QAction>
#include <QEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>

DevButton::DevButton(int index, QWidget *parent)
    : QPushButton(parent)
{
    UiLook::initResources();
    setFixedSize(ButtonSize, ButtonSize);
    setFocusPolicy(Qt::NoFocus);
    UiLook::setRole(this, QStringLiteral("dev"));
    setLook(LookUnoccupied);
    setIndex(index);

    m_menu = new QMenu(this);
    QFont menuFont = m_menu->font();
    menuFont.setPixelSize(15);
    m_menu->setFont(menuFont);
    m_renameAction = m_menu->addAction(tr("Rename"));
    m_renameAction->setObjectName(QStringLiteral("ActionRename"));
    connect(m_renameAction, &QAction::triggered, this, &DevButton::actionRename);

    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &DevButton::showMenu);
    connect(this, &QPushButton::clicked, this, &DevButton::onDevBtnClicked);
}

DevButton::~DevButton() = default;

void DevButton::setIndex(int index)
{
    m_index = index;
    move(m_rowOrigin.x() + RowStep * index, m_rowOrigin.y());
}

void DevButton::setRowOrigin(const QPoint &origin)
{
    m_rowOrigin = origin;
    setIndex(m_index);
}

void DevButton::setDevInfo(const vexo::pc::GlobalParams::DevInfo &info)
{
    m_devInfo = info;
}

void DevButton::setLook(Look look)
{
    m_look = look;
    switch (look) {
    case LookUnoccupied:
        UiLook::setDevLook(this, UiLook::DevLook::Unoccupied);
        break;
    case LookCurrent:
        UiLook::setDevLook(this, UiLook::DevLook::Current);
        break;
    case LookOther:
        UiLook::setDevLook(this, UiLook::DevLook::Other);
        break;
    }
}

void DevButton::showMenu(QPoint point)
{
    // The placeholder stands for no camera: nothing to rename.
    if (!m_occupied)
        return;
    m_menu->popup(mapToGlobal(point));
}

QString DevButton::limitName(const QString &name, const QFontMetrics &metrics)
{
    QString text = name;
    while (!text.isEmpty() && metrics.horizontalAdvance(text) > MaxNameWidth
           && text.toLocal8Bit().size() > MaxNameBytes) {
        text.chop(1);
        // Never leave half of a surrogate pair behind.
        if (!text.isEmpty() && text.at(text.size() - 1).isHighSurrogate())
            text.chop(1);
    }
    return text;
}

void DevButton::actionRename()
{
    QInputDialog dialog(this, Qt::Dialog | Qt::WindowCloseButtonHint);
    dialog.setObjectName(QStringLiteral("RenameDialog"));
    dialog.setStyleSheet(QStringLiteral("color: rgb(200, 200, 200);background-color: rgb(20, 20, 20);"));
    dialog.setWindowTitle(tr("Rename"));
    dialog.setLabelText(tr("Please input name"));
    dialog.setOkButtonText(tr("OK"));
    dialog.setCancelButtonText(tr("Cancel"));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(text());
    // The dialog sizes itself from its layout: widen the field instead.
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMinimumWidth(260);
    // The platform style would decorate OK and Cancel with its stock icons.
    const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
    for (QPushButton *button : buttons)
        button->setIcon(QIcon());
    connect(&dialog, &QInputDialog::textValueChanged, &dialog, [&dialog](const QString &typed) {
        const QString limited = limitName(typed, dialog.fontMetrics());
        if (limited != typed)
            dialog.setTextValue(limited);
    });
    if (dialog.exec() != QDialog::Accepted)
        return;
    applyRename(dialog.textValue());
}

void DevButton::applyRename(const QString &name)
{
    if (name.isEmpty())
        return;
    setText(name);
    m_devInfo.devName = name;
    if (!m_devInfo.devSn.isEmpty()) {
        vexo::pc::GlobalParams *params = m_params ? m_params : vexo::pc::GlobalParams::instance();
        params->setDevName(name, m_devInfo.devSn);
    }
    emit devBtnNameChanged(this);
}

void DevButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        m_renameAction->setText(tr("Rename"));
    QPushButton::changeEvent(event);
}

void DevButton::onDevBtnClicked()
{
    setLook(m_occupied ? LookCurrent : LookUnoccupied);
    if (m_selected)
        return;
    emit devBtnSelected(this);
}
