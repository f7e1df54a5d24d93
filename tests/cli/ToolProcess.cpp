// posix_spawn with two pipes, both drained while the child runs so it never blocks on them.
#include "ToolProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

int LeftMs(Clock::time_point until) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - Clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

TToolProcess::~TToolProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    for (const int fd : {outFd_, errFd_}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool TToolProcess::Start(const std::string& program, const std::vector<std::string>& args,
                         const std::vector<std::string>& environment) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        return false;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return false;
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry(*e);
        const std::string name = entry.substr(0, entry.find('='));
        bool replaced = false;
        for (const std::string& extra : environment) {
            replaced = replaced || extra.substr(0, extra.find('=')) == name;
        }
        if (!replaced) {
            env.push_back(entry);
        }
    }
    for (const std::string& extra : environment) {
        if (extra.find('=') != std::string::npos) {
            env.push_back(extra);
        }
    }
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);
    ::close(err[1]);
    if (rc != 0) {
        pid_ = -1;
        ::close(out[0]);
        ::close(err[0]);
        return false;
    }
    outFd_ = out[0];
    errFd_ = err[0];
    return true;
}

bool TToolProcess::Pump(int waitMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (outFd_ < 0 && errFd_ < 0) {
        return false;
    }
    if (::poll(fds, 2, waitMs) <= 0) {
        return true;
    }
    int* const fdOf[2] = {&outFd_, &errFd_};
    std::string* const textOf[2] = {&result_.out, &result_.err};
    for (int i = 0; i < 2; ++i) {
        if (fds[i].revents == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(*fdOf[i], buffer, sizeof buffer);
        if (n > 0) {
            textOf[i]->append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            ::close(*fdOf[i]);
            *fdOf[i] = -1;
        }
    }
    return true;
}

bool TToolProcess::WaitForOutput(const std::string& text, int timeoutMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (result_.out.find(text) == std::string::npos) {
        if (LeftMs(until) == 0 || !Pump(LeftMs(until))) {
            return result_.out.find(text) != std::string::npos;
        }
    }
    return true;
}

bool TToolProcess::Signal(int signal) const {
    return pid_ > 0 && ::kill(pid_, signal) == 0;
}

TToolResult TToolProcess::Finish(int timeoutMs) {
    const Clock::time_point until = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while ((outFd_ >= 0 || errFd_ >= 0) && LeftMs(until) > 0) {
        Pump(LeftMs(until));
    }
    while (pid_ > 0) {
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            result_.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (LeftMs(until) == 0) {
            result_.code = -1;
            break;
        }
        ::poll(nullptr, 0, 5);
    }
    return result_;
}
