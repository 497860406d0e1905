#pragma once

#include <QString>

// Pieces of start-up that tests exercise on their own.
namespace startup {

// "Mmm dd yyyy, hh:mm:ss": the compiler's build date and time.
QString buildStamp();

// "KAVORA_ZarvoCam_1.0.5.4,   Build Time: " + build stamp.
QString versionLine();

// Help text of --help.
QString helpText();

// Creates the working folders under the data root and copies the default
// configuration files from the installation root. 0 on success, -1 when a
// folder cannot be created.
int prepareBeforeRunning();

// Eleven information lines describing the system.
void printSysInfo();

// Warning text and title shown to a second instance, by system locale.
void secondInstanceTexts(QString *text, QString *title);

// Language index for the system locale (0 English ... 5 Spanish).
int languageForLocale();

// True when the platform can show windows to a person (not offscreen/minimal).
bool platformHasScreen();

} // namespace startup

class QApplication;

namespace startup {

// Steps between the command line and the main window: the file logger
// (unless logging to standard error), the system information, the crash-dump
// folder, the process-wide singletons, the version, the default language,
// meta types and the location log.
void startServices(QApplication *app, bool logToStd);

// Folder of the crash dumps under the data root.
QString crashDumpDir();

} // namespace startup
