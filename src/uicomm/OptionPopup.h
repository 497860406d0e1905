#pragma once

#include "uicomm/OWidget.h"

#include <QList>

class QLabel;
class QPushButton;
class QVBoxLayout;

// Base of the small pop-up windows that open beside the settings panel as
// its second-level menus: an optional title and a column of entries. In a
// choice menu the current entry carries the tick; choosing an entry emits
// chosen() with its value and closes the pop-up. Texts are set in
// retranslate(), which runs at construction and after every language
// change.
class OptionPopup : public OWidget
{
    Q_OBJECT
public:
    explicit OptionPopup(QWidget *parent = nullptr);
    ~OptionPopup() override;

    // Puts the tick on the entry with this value (none for an unknown one).
    void setCurrent(int value);
    int current() const { return m_current; }

    // Shows the pop-up with its top-left corner at pos (global).
    void popUpAt(const QPoint &pos);

signals:
    void chosen(int value);

protected:
    // Adds an entry; ticked entries show the tick icon when current.
    QPushButton *addEntry(const QString &objectName, int value, bool ticked = true);
    void setTitle(const QString &text);
    virtual void retranslate() = 0;
    // Call at the end of the subclass constructor.
    void finishSetup();
    void changeEvent(QEvent *event) override;

private:
    struct Entry
    {
        QPushButton *button;
        int value;
        bool ticked;
    };
    void restyle();

    QVBoxLayout *m_layout = nullptr;
    QLabel *m_title = nullptr;
    QList<Entry> m_entries;
    int m_current = -1;
};
