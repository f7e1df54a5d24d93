// Child process control for qv725-sim: fork/exec with pipes, a bounded wait for the ready line,
// and a bounded wait for the exit.
#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

namespace qv725sim {

namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

}  // namespace

SimProcess::~SimProcess() { Stop(); }

void SimProcess::Stop(int timeoutMs) {
    if (pid_ > 0) {
        Signal(SIGTERM);
        if (Wait(timeoutMs) == -1) {
            Signal(SIGKILL);
            Wait(timeoutMs);
        }
    }
    CloseFd(stdoutFd_);
    CloseFd(stderrFd_);
}

bool SimProcess::Start(const std::string& executable, const std::vector<std::string>& args,
                       const std::string& runtimeDir, std::string& error, int readyTimeoutMs,
                       bool captureStderr) {
    Stop();
    exitCode_ = -1;
    link_.clear();
    stderr_.clear();
    int out[2] = {-1, -1};
    int err[2] = {-1, -1};
    if (::pipe2(out, O_CLOEXEC) != 0 || (captureStderr && ::pipe2(err, O_CLOEXEC) != 0)) {
        error = std::string("pipe: ") + std::strerror(errno);
        return false;
    }
    // Everything the child needs is prepared before fork: after it only exec-safe calls run.
    std::vector<std::string> argStore{executable};
    argStore.insert(argStore.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> envStore;
    for (char** e = environ; *e != nullptr; ++e) {
        if (std::strncmp(*e, "XDG_RUNTIME_DIR=", 16) != 0) {
            envStore.emplace_back(*e);
        }
    }
    envStore.push_back("XDG_RUNTIME_DIR=" + runtimeDir);
    std::vector<char*> envp;
    for (std::string& e : envStore) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);

    const pid_t pid = ::fork();
    if (pid < 0) {
        error = std::string("fork: ") + std::strerror(errno);
        return false;
    }
    if (pid == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        if (captureStderr) {
            ::dup2(err[1], STDERR_FILENO);
        }
        ::execve(executable.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    pid_ = pid;
    ::close(out[1]);
    stdoutFd_ = out[0];
    if (captureStderr) {
        ::close(err[1]);
        stderrFd_ = err[0];
    }

    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(readyTimeoutMs);
    std::string line;
    for (;;) {
        pollfd pfd{stdoutFd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, RemainingMs(deadline));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            error = "no ready line from " + executable + " within " +
                    std::to_string(readyTimeoutMs) + " ms";
            return false;
        }
        char c = 0;
        const ssize_t n = ::read(stdoutFd_, &c, 1);
        if (n <= 0) {
            const int code = Wait(2000);
            error = executable + " ended before it was ready (exit " + std::to_string(code) + ")";
            return false;
        }
        if (c == '\n') {
            break;
        }
        line += c;
    }
    const std::string prefix = "ready ";
    if (line.compare(0, prefix.size(), prefix) != 0) {
        error = "unexpected first line from " + executable + ": " + line;
        return false;
    }
    link_ = line.substr(prefix.size());
    return true;
}

bool SimProcess::Signal(int signal) const {
    return pid_ > 0 && ::kill(pid_, signal) == 0;
}

int SimProcess::Wait(int timeoutMs) {
    if (pid_ <= 0) {
        return -1;
    }
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            DrainStderr();
            if (WIFEXITED(status)) {
                exitCode_ = WEXITSTATUS(status);
            } else if (WIFSIGNALED(status)) {
                exitCode_ = 128 + WTERMSIG(status);
            }
            return exitCode_;
        }
        if (done < 0 || RemainingMs(deadline) == 0) {
            return -1;
        }
        // waitpid has no timeout of its own; look again shortly.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

void SimProcess::DrainStderr() {
    if (stderrFd_ < 0) {
        return;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(stderrFd_, buffer, sizeof(buffer));
        if (n <= 0) {
            break;
        }
        stderr_.append(buffer, static_cast<size_t>(n));
    }
    CloseFd(stderrFd_);
}

}  // namespace qv725sim
