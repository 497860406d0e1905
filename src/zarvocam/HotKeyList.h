#pragma once

#include <QWidget>

namespace Ui {
class HotKeyList;
}

// The "Hotkeys List" window the settings panel opens from its global-hotkeys
// row: one row per key binding of the program, its function and its keys.
// The first row names the columns. The function texts follow the language.
class HotKeyList : public QWidget
{
    Q_OBJECT
public:
    static constexpr int RowCount = 25;

    explicit HotKeyList(QWidget *parent = nullptr);
    ~HotKeyList() override;

protected:
    void changeEvent(QEvent *event) override;

private:
    void fillRows();

    Ui::HotKeyList *ui;
};
