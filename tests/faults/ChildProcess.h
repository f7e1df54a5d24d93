// A child process for the kill tests: started with extra environment variables and its
// standard output in a pipe, signalled, and waited for with a bound.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class TChildProcess {
public:
    TChildProcess() = default;
    // Kills a child that still runs and reaps it.
    ~TChildProcess();
    TChildProcess(const TChildProcess&) = delete;
    TChildProcess& operator=(const TChildProcess&) = delete;

    // Runs `program` with `args`; `environment` entries ("NAME=value") are added to this
    // process's environment. Standard output goes into a pipe, standard error is inherited.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment = {});

    pid_t Pid() const { return pid_; }
    bool Signal(int signal) const;
    // Waits up to timeoutMs until the child's standard output holds `text`, reading it as it
    // comes. False when the time is up or the child closed its output without writing it.
    bool WaitForOutput(const std::string& text, int timeoutMs);
    // Waits up to timeoutMs for the child to end and reads what it wrote. Returns its exit code,
    // 128 + the signal's number when a signal ended it, or -1 when it still runs.
    int Wait(int timeoutMs);
    // Everything the child wrote to standard output up to its end.
    const std::string& Output() const { return output_; }

private:
    void Drain(bool untilEnd);

    pid_t pid_ = -1;
    int outFd_ = -1;
    std::string output_;
};
