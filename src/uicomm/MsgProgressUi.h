#pragma once

#include "uicomm/OWidget.h"

#include <QPointer>

class QEventLoop;

namespace Ui {
class MsgProgressUi;
}

// The modal progress window: title, progress bar with percentage, an
// information text and an "OK" button that becomes usable only once the
// operation has reached a final state. The download and upgrade windows
// derive from it.
//
// Progress values: 0..99 progress, 100 success, -1 final text in red,
// -2 warning, -3 failure; anything else is treated as final.
class MsgProgressUi : public OWidget
{
    Q_OBJECT
public:
    // Result codes of exec().
    enum Result {
        Ok = 0x4000,     // 16384: closed after a state that was not a failure
        Failed = 0x10000 // closed after a failure
    };

    explicit MsgProgressUi(QWidget *parent = nullptr);
    ~MsgProgressUi() override;

    void setTitle(const QString &text);
    // Information text in the current colour; the label takes the height
    // the text needs.
    void setInfo(const QString &text);

    // Shows the window centred on its parent and blocks until "OK" closes
    // it; returns Ok or Failed (-1 if the window went away otherwise).
    int exec();

    int result() const { return m_result; }
    bool failed() const { return m_failed; }

public slots:
    virtual void onProgressUpdate(int value, const QString &info);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    // Colours of the information text.
    enum class InfoColor { Progress, Warning, Error, Success };
    void setInfoColor(InfoColor color);
    void setOkEnabled(bool enabled);

    Ui::MsgProgressUi *ui;

private slots:
    void on_pbOk_clicked();

private:
    void fitInfoHeight();

    // The loop of a running exec(); it lives on exec()'s stack so that a
    // window deleted while its caller waits does not pull the loop away
    // from under it.
    QPointer<QEventLoop> m_loop;
    int m_result = -1;
    bool m_failed = false;
    bool m_closingByOk = false;
};
