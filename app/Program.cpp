// Program entry: the application, the main window, the event loop. The exit code is 0 in every
// case, also when the start-up fails; a bad command line ends with 2.
#include "window/MainForm.h"

#include <memory>

#include "Application.h"
#include "ShutdownSignals.h"
#include "desktop/DesktopStart.h"  // desktop hook
#include "desktop/QuietDialogs.h"  // desktop hook

int main(int argc, char** argv) {
    // desktop hook: the command line is read before the application: --help, --version and a
    // bad option need no display
    TDesktopStart desktop;
    if (const int code = desktop.ReadCommandLine(argc, argv); code >= 0)
        return code;
    TApplication application(argc, argv);
    // The program ends when its window has closed through the close query, not when the last
    // visible window goes away (the window may sit hidden in the tray while a box closes).
    QApplication::setQuitOnLastWindowClosed(false);
    TShutdownSignals shutdownSignals;

    // desktop hook: port, settings file, one instance per settings file
    if (!desktop.Begin([] { return TMainForm::DefaultSettingsFile(); }))
        return desktop.ExitCode();

    std::unique_ptr<TMainForm> form;
    try {
        form = std::make_unique<TMainForm>(desktop.SettingsFile());  // desktop hook
    } catch (...) {
        ShowCurrentException();
        return 0;
    }
    TMainForm* window = form.get();
    QObject::connect(&shutdownSignals, &TShutdownSignals::ShutdownRequested, window,
                     [window] { window->CloseWithoutQuestion(); });
    QObject::connect(window, &TMainForm::FormClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    // desktop hook: later starts, session end, lost display, --minimized; shows the window
    static TQuietDialogs quietDialogs;
    desktop.Attach({window, window->Frame().TrayIcon,
                    [window] {
                        bool mayEnd = false;
                        Guarded([&] { mayEnd = window->FormCloseQuery(); });
                        return mayEnd;
                    },
                    [window] { window->CloseWithoutQuestion(); },
                    [window] {
                        SetDialogs(&quietDialogs);
                        window->WriteSettingsNow();
                        window->FormClose();
                    }});
    QApplication::exec();
    desktop.End();  // desktop hook
    form.reset();  // FormDestroy: presets and colours stored, settings file written
    return 0;
}
