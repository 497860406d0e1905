#pragma once

#include <QWidget>

// The application's main window. Closing it ends the process.
class MainUserUi : public QWidget
{
    Q_OBJECT
public:
    explicit MainUserUi(QWidget *parent = nullptr);
    ~MainUserUi() override;

    // Adjustments that need the window's final geometry, called once after show().
    void adjustAfterShow();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
