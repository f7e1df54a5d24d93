// Reading UUCP lock files: the holder's process number, as ten ASCII digits or (older programs)
// as a binary int.
#include "UucpLock.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

int HolderIn(const std::string& file) {
    const int fd = open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        return 0;
    }
    char text[32] = {};
    const ssize_t n = read(fd, text, sizeof text - 1);
    close(fd);
    if (n <= 0) {
        return 0;
    }
    long pid = 0;
    // Text is digits padded with spaces and ended by a newline ("123\n" is four bytes too, so
    // the length alone does not tell the forms apart); anything else of an int's size is binary.
    bool isText = false;
    for (ssize_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            isText = true;
        } else if (c != ' ' && c != '\n') {
            isText = false;
            break;
        }
    }
    if (!isText && n == static_cast<ssize_t>(sizeof(int))) {
        int binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        pid = binary;
    } else {
        pid = std::strtol(text, nullptr, 10);
    }
    if (pid <= 0) {
        return 0;
    }
    // A process that is gone leaves a stale file; one of another user still counts (EPERM).
    if (kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) {
        return 0;
    }
    return static_cast<int>(pid);
}

}  // namespace

int UucpLockHolder(const std::string& root, const std::string& path) {
    const std::string name = path.substr(path.find_last_of('/') + 1);
    if (name.empty()) {
        return 0;
    }
    for (const char* folder : {"/run/lock/LCK..", "/var/lock/LCK.."}) {
        if (const int pid = HolderIn(root + folder + name)) {
            return pid;
        }
    }
    return 0;
}
