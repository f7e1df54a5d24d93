// One simulated controller (qv725-sim) as a child process of a window test, published under a
// private runtime folder, started and stopped by the test. Header-only: the simulator's path
// comes from the test program's own QV725_SIM_PROGRAM.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <string>
#include <vector>

#include "SimProcess.h"

// Makes `dir` a private runtime folder and points XDG_RUNTIME_DIR at it, so that the library
// finds only the simulators a test starts there. False when the folder is not usable.
inline bool UsePrivateRuntime(const QTemporaryDir& dir) {
    if (!dir.isValid() ||
        !QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner))
        return false;
    return qputenv("XDG_RUNTIME_DIR", dir.path().toLocal8Bit());
}

// One simulated controller process named gui0, published in the given runtime folder.
class TSimulator {
public:
    explicit TSimulator(const QString& runtimeDir) : runtimeDir_(runtimeDir.toStdString()) {}
    ~TSimulator() { Stop(); }

    bool Start(const QStringList& options = {}) {
        std::vector<std::string> args{"--name", "gui0"};
        for (const QString& option : options)
            args.push_back(option.toStdString());
        std::string error;
        if (process_.Start(QV725_SIM_PROGRAM, args, runtimeDir_, error, 10000))
            return true;
        qWarning("qv725-sim: %s", error.c_str());
        return false;
    }

    void Stop() { process_.Stop(10000); }

private:
    std::string runtimeDir_;
    qv725sim::SimProcess process_;
};
