// Runs the real qv725ctl program as a child: its arguments, extra environment, standard output
// and standard error captured, a bounded wait for its end.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct TToolResult {
    int code = -1;  // exit code, 128 + signal, or -1 when it did not end in time
    std::string out;
    std::string err;
};

class TToolProcess {
public:
    TToolProcess() = default;
    // Kills and reaps a child that still runs.
    ~TToolProcess();
    TToolProcess(const TToolProcess&) = delete;
    TToolProcess& operator=(const TToolProcess&) = delete;

    // Starts `program` with `args`; `environment` entries "NAME=value" replace or add variables,
    // "NAME" alone removes one.
    bool Start(const std::string& program, const std::vector<std::string>& args,
               const std::vector<std::string>& environment);
    // Reads output until standard output holds `text` or timeoutMs pass.
    bool WaitForOutput(const std::string& text, int timeoutMs);
    bool Signal(int signal) const;
    // Waits up to timeoutMs for the end and collects everything written.
    TToolResult Finish(int timeoutMs);

private:
    // Reads what is there (waiting up to waitMs for more); false when both pipes are closed.
    bool Pump(int waitMs);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    TToolResult result_;
};
