// Program entry: the application, the main window, the event loop. The exit code is 0 in every
// case, also when the start-up fails.
#include "window/MainForm.h"

#include <QSessionManager>
#include <memory>

#include "Application.h"
#include "ShutdownSignals.h"

int main(int argc, char** argv) {
    TApplication application(argc, argv);
    // The program ends when its window has closed through the close query, not when the last
    // visible window goes away (the window may sit hidden in the tray while a box closes).
    QApplication::setQuitOnLastWindowClosed(false);
    TShutdownSignals shutdownSignals;

    std::unique_ptr<TMainForm> form;
    try {
        form = std::make_unique<TMainForm>(TMainForm::DefaultSettingsFile());
    } catch (...) {
        ShowCurrentException();
        return 0;
    }
    TMainForm* window = form.get();
    QObject::connect(&shutdownSignals, &TShutdownSignals::ShutdownRequested, window,
                     [window] { window->CloseWithoutQuestion(); });
    QObject::connect(&application, &QGuiApplication::commitDataRequest, window,
                     [window](QSessionManager&) { window->CloseWithoutQuestion(); });
    QObject::connect(window, &TMainForm::FormClosed, &application, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    window->show();
    QApplication::exec();
    form.reset();  // FormDestroy: presets and colours stored, settings file written
    return 0;
}
