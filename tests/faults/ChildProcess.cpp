// posix_spawn with a pipe for standard output.
#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

extern char** environ;

TChildProcess::~TChildProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (outFd_ >= 0)
        ::close(outFd_);
}

bool TChildProcess::Start(const std::string& program, const std::vector<std::string>& args,
                          const std::vector<std::string>& environment) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = std::strchr(*e, '=');
        const std::string name(*e, eq != nullptr ? static_cast<size_t>(eq - *e) : std::strlen(*e));
        bool replaced = false;
        for (const std::string& extra : environment)
            replaced = replaced || extra.compare(0, name.size() + 1, name + "=") == 0;
        if (!replaced)
            env.emplace_back(*e);
    }
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> argStrings{program};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : argStrings)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    const int rc = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        pid_ = -1;
        ::close(fds[0]);
        return false;
    }
    outFd_ = fds[0];
    ::fcntl(outFd_, F_SETFL, O_NONBLOCK);
    return true;
}

bool TChildProcess::Signal(int signal) const {
    return pid_ > 0 && ::kill(pid_, signal) == 0;
}

void TChildProcess::Drain(bool untilEnd) {
    if (outFd_ < 0)
        return;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(outFd_, buffer, sizeof(buffer));
        if (n > 0) {
            output_.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN && untilEnd) {
            // The writing end may still be held by a grandchild for a moment.
            pollfd fd{outFd_, POLLIN, 0};
            if (::poll(&fd, 1, 1000) > 0)
                continue;
        }
        if (n == 0 || untilEnd) {
            ::close(outFd_);
            outFd_ = -1;
        }
        return;
    }
}

bool TChildProcess::WaitForOutput(const std::string& text, int timeoutMs) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Drain(false);
        if (output_.find(text) != std::string::npos)
            return true;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                              until - std::chrono::steady_clock::now())
                              .count();
        if (outFd_ < 0 || left <= 0)
            return false;
        pollfd fd{outFd_, POLLIN, 0};
        ::poll(&fd, 1, static_cast<int>(left));
    }
}

int TChildProcess::Wait(int timeoutMs) {
    if (pid_ <= 0)
        return -1;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Drain(false);
        int status = 0;
        const pid_t done = ::waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            pid_ = -1;
            Drain(true);
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        if (std::chrono::steady_clock::now() >= until)
            return -1;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}
