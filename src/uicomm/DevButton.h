#pragma once

#include "comm/GlobalParams.h"

#include <QPoint>
#include <QPushButton>

class QAction;
class QMenu;
class QFontMetrics;

// One round button per connected camera in the main window's device row
// (plus the unoccupied "None" placeholder). Its text is the camera's name,
// which the user changes through the context menu ("Rename").
//
// The button does not select itself: a click restyles it at once and asks
// the main window (devBtnSelected), which then sets the selected flag and
// the looks of the whole row.
class DevButton : public QPushButton
{
    Q_OBJECT
public:
    enum Look {
        LookUnoccupied = 0, // "None": grey text on dark grey
        LookCurrent = 1,    // the current camera: white on red
        LookOther = 2,      // another camera: white on near-black, grey border
    };

    static constexpr int ButtonSize = 60;
    static constexpr int RowStep = 81;
    // A camera name must fit into the round button: it is shortened while it
    // is wider than this and longer than MaxNameBytes.
    static constexpr int MaxNameWidth = 40;
    static constexpr int MaxNameBytes = 4;

    explicit DevButton(int index, QWidget *parent = nullptr);
    ~DevButton() override;

    // Position in the row; moves the button to x = origin + 81 * index.
    void setIndex(int index);
    int index() const { return m_index; }
    // Top-left of the first button of the row (18, 56 by default).
    void setRowOrigin(const QPoint &origin);

    void setDevInfo(const vexo::pc::GlobalParams::DevInfo &info);
    const vexo::pc::GlobalParams::DevInfo &devInfo() const { return m_devInfo; }
    QString devSn() const { return m_devInfo.devSn; }

    void setSelected(bool selected) { m_selected = selected; }
    bool isSelected() const { return m_selected; }
    void setOccupied(bool occupied) { m_occupied = occupied; }
    bool isOccupied() const { return m_occupied; }

    void setLook(Look look);
    Look look() const { return m_look; }

    // Where renamed cameras are recorded; the process-wide parameters unless
    // set (tests use private ones).
    void setGlobalParams(vexo::pc::GlobalParams *params) { m_params = params; }

    // Applies a name entered by the user: ignored when empty; otherwise the
    // button shows it, the camera record keeps it and devBtnNameChanged is
    // emitted.
    void applyRename(const QString &name);

    // The name shortened from the end, one character at a time, while it is
    // wider than MaxNameWidth in the given font and longer than MaxNameBytes
    // in the local 8-bit encoding.
    static QString limitName(const QString &name, const QFontMetrics &metrics);

signals:
    void devBtnSelected(DevButton *dev_btn);
    void devBtnNameChanged(DevButton *dev_btn);

public slots:
    void showMenu(QPoint point);
    void actionRename();
    void onDevBtnClicked();

protected:
    void changeEvent(QEvent *event) override;

private:
    int m_index = 0;
    QPoint m_rowOrigin{18, 56};
    vexo::pc::GlobalParams::DevInfo m_devInfo;
    bool m_selected = false;
    bool m_occupied = false;
    Look m_look = LookUnoccupied;
    QMenu *m_menu = nullptr;
    QAction *m_renameAction = nullptr;
    vexo::pc::GlobalParams *m_params = nullptr;
};
