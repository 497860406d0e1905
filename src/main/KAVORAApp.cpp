#include "main/KAVORAApp.h"

#include "zarvocam/MainUserUi.h"

#include <QThreadPool>

KAVORAApp::KAVORAApp(int &argc, char **argv)
    : QApplication(argc, argv, QT_VERSION)
{
}

KAVORAApp::~KAVORAApp()
{
    m_mainWindow.clear();
}

void KAVORAApp::showMainWindow()
{
    QThreadPool::globalInstance()->setExpiryTimeout(300000);
    QThreadPool::globalInstance()->setMaxThreadCount(3);

    m_mainWindow = new MainUserUi();
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    connect(m_mainWindow.data(), &QObject::destroyed, this, &QCoreApplication::quit);
    installEventFilter(m_mainWindow.data());
    m_mainWindow->show();
    m_mainWindow->adjustAfterShow();
}

QWidget *KAVORAApp::mainWindow() const
{
    return m_mainWindow.data();
}
