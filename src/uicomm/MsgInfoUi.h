#pragma once

#include "uicomm/OWidget.h"

#include <QPointer>

class QEventLoop;

namespace Ui {
class MsgInfoUi;
}

// The application's blocking message box, used for every question, warning
// and help text. Create it on the stack with the main window as parent, set
// title, text and buttons, call exec() and compare the result with
// MsgInfoUi::Yes:
//
//     MsgInfoUi box(this);
//     box.setText(tr("..."));
//     box.showButtons(MsgInfoUi::Yes | MsgInfoUi::No);
//     if (box.exec() == MsgInfoUi::Yes) ...
class MsgInfoUi : public OWidget
{
    Q_OBJECT
public:
    // Button codes: also the masks taken by the button operations.
    enum Button {
        Yes = 0x4000,
        No = 0x10000,
    };

    explicit MsgInfoUi(QWidget *parent = nullptr);
    ~MsgInfoUi() override;

    void setTitle(const QString &text);
    void hideTitle();

    // Plain content; the window then takes the size the text needs.
    void setText(const QString &text);
    // Rich content: the text becomes selectable and its links open in the
    // external browser.
    void setRichText(const QString &text);

    void showButtons(int mask);
    void hideButtons(int mask);
    void enableButtons(int mask, bool enabled);
    void setButtonText(int mask, const QString &text);

    // Shows the window centred on its parent and blocks until it is closed:
    // Yes or No for the button pressed, -1 when closed otherwise.
    int exec();

    int result() const { return m_result; }

private slots:
    void on_pbYes_clicked();
    void on_pbNo_clicked();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fitToContent();

    Ui::MsgInfoUi *ui;
    // The loop of a running exec(); it lives on exec()'s stack so that a
    // window deleted while its caller waits does not pull the loop away
    // from under it.
    QPointer<QEventLoop> m_loop;
    int m_result = -1;
};
