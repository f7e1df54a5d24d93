// The program's start and end as a desktop program: the command line, one instance per
// settings file, starting hidden in the tray, bringing the window back for a later start, the
// end of the session and a lost display. The program entry calls it at three points; the main
// window is reached only through the hooks handed to Attach.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "desktop/CommandLine.h"

class QWidget;
class TDisplayLossGuard;
class TSingleInstance;
class TTrayIcon;

// What the start needs of the main window.
struct TWindowHooks {
    QWidget* Window = nullptr;
    TTrayIcon* Tray = nullptr;
    // The close query with its EEPROM question; true lets the program end.
    std::function<bool()> CloseQuery;
    // Closes the window without the question (as on SIGTERM).
    std::function<void()> CloseWithoutQuestion;
    // Writes everything the exit would write, showing no box (the display may be gone).
    std::function<void()> SaveQuietly;
};

class TDesktopStart : public QObject {
    Q_OBJECT
public:
    TDesktopStart();
    ~TDesktopStart() override;

    // Before the application object exists: reads the command line; --help, --version and a
    // bad command line are answered here, without a display. The exit code, or -1 to go on.
    int ReadCommandLine(int argc, char** argv);

    // With the application object: names the port for the device library, chooses the
    // settings file and claims it. False: the program ends now with ExitCode() (another program
    // uses the same settings file; it was asked to show its window).
    bool Begin(const std::function<std::string()>& usualSettingsFile);
    int ExitCode() const { return exitCode_; }
    // The settings file of this run.
    std::string SettingsFile() const { return settingsFile_; }
    const TCommandLine& Options() const { return options_; }

    // The window exists: later starts bring it to the front, the session end asks the EEPROM
    // question when allowed, a lost display writes the settings; then the window is shown, or
    // hidden in the tray with --minimized (shown when no tray has come within five seconds).
    void Attach(const TWindowHooks& hooks);
    // The event loop has ended: the settings are written the usual way from here on.
    void End();

private:
    TCommandLine options_;
    std::string settingsFile_;
    int exitCode_ = 0;
    TWindowHooks hooks_;
    std::unique_ptr<TSingleInstance> instance_;
    std::unique_ptr<TDisplayLossGuard> displayGuard_;
};

// Brings `window` to the front: out of the tray (through the icon, so polling resumes) or out
// of the minimised state, raised and activated.
void BringToFront(QWidget* window, TTrayIcon* tray);

// Starts `window` hidden in the tray when the tray is there; else shows it. True when hidden.
bool StartInTray(QWidget* window, TTrayIcon* tray);
