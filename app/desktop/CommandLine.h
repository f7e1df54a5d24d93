// The program's command line: --help, --version, --minimized, --port PORT, --settings FILE.
// Without options the program starts as it always has.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

struct TCommandLine {
    // Start hidden in the tray (a normal window when the desktop has no tray).
    bool Minimized = false;
    // The port the device library is to use (a device path or "serial:<USB serial number>");
    // empty: the library searches as usual.
    QString Port;
    // Another settings file, as an absolute path; empty: the usual one.
    QString SettingsFile;
};

// What the start-up does after reading the command line.
struct TCommandLineResult {
    enum class TAction {
        Run,         // start the program with Options
        ExitOutput,  // print Output on standard output and end with code 0 (--help, --version)
        ExitError,   // print Output on standard error and end with code 2 (a bad command line)
    };
    TAction Action = TAction::Run;
    TCommandLine Options;
    QString Output;
    int ExitCode() const { return Action == TAction::ExitError ? 2 : 0; }
};

// Reads `arguments` (the program's name first), before the application exists, so --help,
// --version and a bad command line are answered without a display. Qt's own options (-platform,
// -display, -style, ...) are accepted and left to the application. `settingsFileInUse` names the
// settings file a start without --settings would use; it is asked only for --help. Relative
// --settings paths are made absolute against the current folder.
TCommandLineResult ParseCommandLine(const QStringList& arguments,
                                    const std::function<QString()>& settingsFileInUse);

// "Kelvane 1.0.0.1": the program's name and the version of the About box.
QString VersionText();

// The settings file a start without --settings would use: the start-up's own choice.
QString UsualSettingsFile();
