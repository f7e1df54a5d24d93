// SIGINT and SIGTERM turned into a Qt signal on the user-interface thread (self-pipe), so a
// terminal's Ctrl+C or a service manager's stop closes the window through its normal path.
#pragma once

#include <QObject>

class QSocketNotifier;

class TShutdownSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers for SIGINT and SIGTERM; one instance per process. The previous
    // handlers come back when the object is destroyed.
    explicit TShutdownSignals(QObject* parent = nullptr);
    ~TShutdownSignals() override;

signals:
    // Emitted on the user-interface thread once per signal received.
    void ShutdownRequested(int signalNumber);

private:
    void ReadPipe();

    QSocketNotifier* notifier_ = nullptr;
};
