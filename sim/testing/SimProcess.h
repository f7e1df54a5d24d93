// Starts qv725-sim as a child process with its own runtime folder and waits, with a bound, for
// its "ready" line; for end-to-end tests and benchmarks that need a controller on a real pty.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace qv725sim {

class SimProcess {
public:
    SimProcess() = default;
    // Stops a child that still runs (SIGTERM, then SIGKILL if it does not go).
    ~SimProcess();
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    // Runs executable with args and XDG_RUNTIME_DIR set to runtimeDir, and reads its standard
    // output until the line "ready <link>" arrives, at most readyTimeoutMs. With captureStderr
    // the child's standard error goes into a pipe that Wait() reads; keep it off for chatty
    // children. False with a message in error when the child exits or stays silent.
    bool Start(const std::string& executable, const std::vector<std::string>& args,
               const std::string& runtimeDir, std::string& error, int readyTimeoutMs = 20000,
               bool captureStderr = false);

    // The link path from the ready line.
    const std::string& LinkPath() const { return link_; }
    pid_t Pid() const { return pid_; }
    bool Running() const { return pid_ > 0; }

    bool Signal(int signal) const;
    // Ends a child that still runs: SIGTERM, then SIGKILL if it has not gone within timeoutMs.
    // The object can start a new child afterwards.
    void Stop(int timeoutMs = 5000);
    // Waits up to timeoutMs for the child to end. Returns its exit code, 128 + signal number if
    // a signal ended it, or -1 when it did not end in time (it is left running).
    int Wait(int timeoutMs);
    // The code Wait() returned when the child ended; -1 while it runs or was never started.
    int ExitCode() const { return exitCode_; }
    // What the child wrote to standard error (with captureStderr), read when it ended.
    const std::string& Stderr() const { return stderr_; }

private:
    void DrainStderr();

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    int stderrFd_ = -1;
    int exitCode_ = -1;
    std::string link_;
    std::string stderr_;
};

}  // namespace qv725sim
