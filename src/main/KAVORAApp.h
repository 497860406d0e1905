#pragma once

#include <QApplication>
#include <QPointer>

class MainUserUi;

// The application object. It only keeps a guarded pointer to the main window.
class KAVORAApp : public QApplication
{
    Q_OBJECT
public:
    KAVORAApp(int &argc, char **argv);
    ~KAVORAApp() override;

    // Loads the fonts, sizes the global thread pool, creates and shows the
    // main window. Called once, just before the event loop.
    void showMainWindow();

    // The main window while it exists.
    QWidget *mainWindow() const;

private:
    QPointer<MainUserUi> m_mainWindow;
};
