#include "zarvocam/MainUserUi.h"

#include <QEvent>

MainUserUi::MainUserUi(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MainUserUi"));
    setWindowTitle(QStringLiteral("KAVORA_ZarvoCam"));
    resize(900, 560);
}

MainUserUi::~MainUserUi() = default;

void MainUserUi::adjustAfterShow()
{
}

bool MainUserUi::eventFilter(QObject *watched, QEvent *event)
{
    return QWidget::eventFilter(watched, event);
}
