// The application object: the one top-level handler that shows the message of any error that
// leaves an event handler, so no exception ever crosses Qt's event loop.
#pragma once

#include <QApplication>

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    // Delivers the event; an exception that leaves the receiver ends that user action and its
    // message is shown in the error box. The event then counts as not handled.
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the message of the exception in flight (call inside a catch block) in the error box.
void ShowCurrentException();

// Runs a handler of a user action or timer event; an error it raises ends it and is shown in
// the error box. Handlers are entered through this so that an error never unwinds through Qt's
// own frames (which are not written for it); notify above stays as the last resort.
template <typename Handler>
void Guarded(Handler&& handler) {
    try {
        handler();
    } catch (...) {
        ShowCurrentException();
    }
}
