// Raw pseudo-terminal client for the simulator tests.
#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "WakeFrame.h"

namespace qv725sim {

PtyClient::PtyClient(const std::string& path, bool makeRaw) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0 || !makeRaw) {
        return;
    }
    termios tio{};
    if (tcgetattr(fd_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(fd_, TCSANOW, &tio);
    }
}

PtyClient::~PtyClient() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

bool PtyClient::Write(const std::vector<uint8_t>& bytes) {
    return fd_ >= 0 &&
           ::write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool PtyClient::ReadByte(uint8_t& b, int timeoutMs) {
    for (;;) {
        pollfd pfd{fd_, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0 || (pfd.revents & POLLIN) == 0) {
            return false;
        }
        const ssize_t n = ::read(fd_, &b, 1);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        return n == 1;
    }
}

Frame PtyClient::Read(int timeoutMs) {
    Frame frame;
    uint8_t address = 0;
    uint8_t count = 0;
    uint8_t data[255];
    auto readByte = [&](uint8_t& b) { return ReadByte(b, timeoutMs); };
    frame.ok =
        fd_ >= 0 && WakeReadFrame(readByte, address, frame.command, data, sizeof(data), count);
    frame.data.assign(data, data + count);
    return frame;
}

std::vector<uint8_t> PtyClient::ReadBytes(size_t n, int timeoutMs) {
    std::vector<uint8_t> bytes;
    uint8_t b = 0;
    while (fd_ >= 0 && bytes.size() < n && ReadByte(b, timeoutMs)) {
        bytes.push_back(b);
    }
    return bytes;
}

Frame PtyClient::Exchange(uint8_t command, const std::vector<uint8_t>& data, int timeoutMs) {
    std::vector<uint8_t> out(wake::SendBufferSize);
    out.resize(
        WakeBuildFrame(0, command, static_cast<uint8_t>(data.size()), data.data(), out.data()));
    if (!Write(out)) {
        return {};
    }
    return Read(timeoutMs);
}

bool PtyClient::WaitHangUp(int timeoutMs) {
    pollfd pfd{fd_, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0) {
        return false;
    }
    uint8_t b = 0;
    return (pfd.revents & (POLLHUP | POLLERR)) != 0 || ::read(fd_, &b, 1) <= 0;
}

}  // namespace qv725sim
