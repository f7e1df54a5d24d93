// One running program per settings file: a lock file beside the settings file, and a local
// socket on which the running program hears later starts and shows its window.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QLocalServer;

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // For the settings file `settingsFile` (an absolute path; the file need not exist).
    explicit TSingleInstance(const QString& settingsFile, QObject* parent = nullptr);
    ~TSingleInstance() override;

    // Takes the lock without waiting. True: no other program uses this settings file; this one
    // now listens for later starts (ActivationRequested) until it is destroyed. False: another
    // program holds the file (ActivateRunning asks it to show itself).
    bool Claim();

    // Asks the program that holds the lock to show and activate its window; waits up to
    // `timeoutMs` for it to confirm (it may still be starting and not listen yet). True when it
    // confirmed.
    bool ActivateRunning(int timeoutMs);

    // Where the lock and the socket are (the lock beside the settings file, or in the runtime
    // folder when the settings file's folder takes no new files).
    QString LockPath() const { return lockPath_; }
    QString SocketPath() const { return socketPath_; }

signals:
    // A later start asked this one to show its window.
    void ActivationRequested();

private:
    void Listen();
    void Serve();

    QString lockPath_;
    QString socketPath_;
    std::unique_ptr<QLockFile> lock_;
    QLocalServer* server_ = nullptr;
};
