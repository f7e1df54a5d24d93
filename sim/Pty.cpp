// Pseudo-terminal pair in raw mode on both sides.
#include "Pty.h"

#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qv725sim {

namespace {

bool MakeRaw(int fd) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        return false;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

}  // namespace

bool Pty::Open(std::string& error) {
    Close();
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error = std::string("cannot create a pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[128];
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof(name)) != 0) {
        error = std::string("cannot set up the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        Close();
        return false;
    }
    // The line discipline works on both sides; raw mode on each is what stops it from
    // translating CR or acting on 0x11 and 0x13.
    if (!MakeRaw(master_) || !MakeRaw(slave_)) {
        error =
            std::string("cannot put the pseudo-terminal into raw mode: ") + std::strerror(errno);
        Close();
        return false;
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags < 0 || fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = std::string("cannot configure the pseudo-terminal: ") + std::strerror(errno);
        Close();
        return false;
    }
    return true;
}

void Pty::Close() {
    if (slave_ >= 0) {
        ::close(slave_);
        slave_ = -1;
    }
    if (master_ >= 0) {
        ::close(master_);
        master_ = -1;
    }
    slavePath_.clear();
}

}  // namespace qv725sim
