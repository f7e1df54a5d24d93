// One simulated controller (qv725-sim) as a child process of a window test, published under a
// private runtime folder, started and stopped by the test.
#pragma once

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Makes `dir` a private runtime folder and points XDG_RUNTIME_DIR at it, so that the library
// finds only the simulators a test starts there. False when the folder is not usable.
inline bool UsePrivateRuntime(const QTemporaryDir& dir) {
    if (!dir.isValid() ||
        !QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    return qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
}

// One simulated controller process, published in the given runtime folder.
class TSimulator {
public:
    explicit TSimulator(const QString& runtimeDir) : runtimeDir_(runtimeDir) {}
    ~TSimulator() { Stop(); }

    bool Start(const QStringList& options = {}) {
        Stop();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir_);
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::SeparateChannels);
        process_.start(QStringLiteral(QV725_SIM_PROGRAM),
                       QStringList{QStringLiteral("--name"), QStringLiteral("gui0")} + options);
        if (!process_.waitForStarted(10000))
            return false;
        QByteArray output;
        while (!output.contains('\n')) {
            if (!process_.waitForReadyRead(10000))
                return false;
            output += process_.readAllStandardOutput();
        }
        return output.startsWith("ready ");
    }

    void Stop() {
        if (process_.state() == QProcess::NotRunning)
            return;
        process_.terminate();
        if (!process_.waitForFinished(10000)) {
            process_.kill();
            process_.waitForFinished(10000);
        }
    }

private:
    QString runtimeDir_;
    QProcess process_;
};
