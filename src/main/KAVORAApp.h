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

    // Adds the two fonts of the installation root and makes them the
    // application's font.
    static void loadFonts();

private:
    QPointer<MainUserUi> m_mainWindow;
};
