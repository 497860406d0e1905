#include "zarvocam/HotKeyList.h"

#include "ui_HotKeyList.h"

#include <QEvent>
#include <QHeaderView>
#include <QIcon>
#include <QTableWidgetItem>

HotKeyList::HotKeyList(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , ui(new Ui::HotKeyList)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setWindowIcon(QIcon(QStringLiteral(":/source/uicomm/icon/zarvocam.png")));
    ui->tbHotkeyList->setRowCount(RowCount);
    ui->tbHotkeyList->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    ui->tbHotkeyList->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Fixed);
    ui->tbHotkeyList->setColumnWidth(1, 120);
    fillRows();
    // All rows show at once: the window keeps the size it was drawn at
    // (a window placed beside the settings panel would otherwise shrink to
    // its hint and scroll).
    setFixedSize(size());
}

HotKeyList::~HotKeyList()
{
    delete ui;
}

void HotKeyList::fillRows()
{
    const struct
    {
        QString function;
        const char *keys;
    } rows[RowCount] = {
        {tr("Function"), nullptr}, // heading row
        {tr("Global/Local shortcut switch"), "Ctrl+Shift+Z"},
        {tr("Device 1"), "Alt+1"},
        {tr("Device 2"), "Alt+2"},
        {tr("Device 3"), "Alt+3"},
        {tr("Device 4"), "Alt+4"},
        {tr("Direction reset"), "Alt+R"},
        {tr("Zoom in"), "Alt+I"},
        {tr("Zoom out"), "Alt+O"},
        {tr("Zoom max"), "Alt+J"},
        {tr("Zoom min"), "Alt+K"},
        {tr("View move up"), "Alt+UP"},
        {tr("View move down"), "Alt+DOWN"},
        {tr("View move left"), "Alt+LEFT"},
        {tr("View move right"), "Alt+RIGHT"},
        {tr("Device Sleep/Resume"), "Alt+T"},
        {tr("View 65°"), "Alt+D"},
        {tr("View 78°"), "Alt+F"},
        {tr("View 86°"), "Alt+G"},
        {tr("Virtual background: blur"), "Alt+B"},
        {tr("Virtual background: green screen"), "Alt+V"},
        {tr("Virtual background: replacement"), "Alt+C"},
        {tr("Auto framing: single mode"), "Alt+N"},
        {tr("Auto framing: group mode"), "Alt+M"},
        {tr("Standard mode"), "Alt+Z"},
    };
    QTableWidget *table = ui->tbHotkeyList;
    for (int row = 0; row < RowCount; ++row) {
        const bool heading = !rows[row].keys;
        auto *function = new QTableWidgetItem(rows[row].function);
        auto *keys = new QTableWidgetItem(heading ? tr("Hotkey") : QString::fromLatin1(rows[row].keys));
        function->setFlags(Qt::ItemIsEnabled);
        keys->setFlags(Qt::ItemIsEnabled);
        if (heading) {
            QFont font = table->font();
            font.setBold(true);
            function->setFont(font);
            keys->setFont(font);
            function->setForeground(Qt::white);
            keys->setForeground(Qt::white);
        }
        table->setItem(row, 0, function);
        table->setItem(row, 1, keys);
    }
}

void HotKeyList::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        fillRows();
    }
    QWidget::changeEvent(event);
}
