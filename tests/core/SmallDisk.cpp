// A tmpfs of a few kilobytes in a child process's own mount namespace.
#include "SmallDisk.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kNotMounted = 77;

bool WriteProcFile(const char* path, const std::string& text) {
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// In the child: a mount namespace of its own (as the superuser, or as root of a new user
// namespace), mounts private, and the tmpfs. "" on success.
std::string MountSmallDisk(const std::string& folder, size_t bytes) {
    if (::geteuid() == 0) {
        if (::unshare(CLONE_NEWNS) != 0)
            return std::string("unshare(CLONE_NEWNS): ") + std::strerror(errno);
    } else {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("unshare(CLONE_NEWUSER | CLONE_NEWNS): ") + std::strerror(errno);
        WriteProcFile("/proc/self/setgroups", "deny");
        if (!WriteProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1\n") ||
            !WriteProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1\n"))
            return "cannot map the user into the new namespace";
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return std::string("making mounts private: ") + std::strerror(errno);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0)
        return std::string("mounting a tmpfs: ") + std::strerror(errno);
    return "";
}

void Report(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0)
            return;
        done += static_cast<size_t>(n);
    }
}

}  // namespace

SmallDiskRun RunOnSmallDisk(const std::string& folder, size_t bytes,
                            const std::function<std::string(const std::string&)>& body) {
    SmallDiskRun run;
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        run.message = "pipe failed";
        return run;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        run.message = "fork failed";
        return run;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        const std::string mountError = MountSmallDisk(folder, bytes);
        if (!mountError.empty()) {
            Report(pipeFds[1], mountError);
            ::_exit(kNotMounted);
        }
        const std::string result = body(folder);
        Report(pipeFds[1], result);
        // _exit: the parent's copies of the test framework's state must not run their exit steps.
        ::_exit(result.empty() ? 0 : 1);
    }
    ::close(pipeFds[1]);
    std::string message;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        message.append(buffer, static_cast<size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.mounted = code != kNotMounted;
    run.message =
        code == 0 || code == kNotMounted
            ? message
            : (message.empty() ? "the child ended with status " + std::to_string(status) : message);
    return run;
}
