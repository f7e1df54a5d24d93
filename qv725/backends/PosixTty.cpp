// Terminal devices at file-descriptor level, with errors mapped to driver-style statuses.
#include "PosixTty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "FtdioBackend.h"

namespace {

using Clock = std::chrono::steady_clock;

uint32_t StatusFromErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return ftstatus::DeviceNotFound;
        case EACCES:
        case EPERM:
        case EBUSY:
        case EWOULDBLOCK:
            return ftstatus::DeviceNotOpened;
        default:
            return ftstatus::IoError;
    }
}

bool SpeedFor(uint32_t baudRate, speed_t& speed) {
    struct Rate {
        uint32_t baud;
        speed_t speed;
    };
    static constexpr Rate rates[] = {
        {300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
        {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
        {57600, B57600},   {115200, B115200}, {230400, B230400},
#ifdef B460800
        {460800, B460800},
#endif
#ifdef B921600
        {921600, B921600},
#endif
    };
    for (const Rate& rate : rates) {
        if (rate.baud == baudRate) {
            speed = rate.speed;
            return true;
        }
    }
    return false;
}

// Milliseconds left until deadline, never negative.
int Remaining(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits until fd is ready for events or the deadline passes. Returns 1 ready, 0 timed out,
// -1 error or hang-up (the other end of the line is gone).
int WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        pollfd p{fd, events, 0};
        const int n = poll(&p, 1, Remaining(deadline));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return -1;
        }
        if (n == 0) {
            return 0;
        }
        if (p.revents & events) {
            return 1;
        }
        return -1;  // POLLERR, POLLHUP or POLLNVAL without the awaited event
    }
}

}  // namespace

uint32_t PosixTty::Open(const std::string& path, std::unique_ptr<PosixTty>& tty, int& error) {
    error = 0;
    const auto fail = [&error](int code) {
        error = code;
        return StatusFromErrno(code);
    };
    // Non-blocking, so that a serial port without carrier does not stall the open, and never
    // as the controlling terminal; every transfer waits with poll() instead.
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return fail(errno);
    }
    std::unique_ptr<PosixTty> device(new PosixTty(fd));
    if (!isatty(fd)) {
        error = ENOTTY;
        return ftstatus::DeviceNotFound;
    }
    // Two programs talking to one device would interleave their bytes: take the line
    // exclusively, both as a lock among cooperating programs and in the terminal driver. A
    // port that is held already is left exactly as it is.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        return fail(errno == EWOULDBLOCK ? EBUSY : errno);
    }
    if (ioctl(fd, TIOCEXCL) != 0) {
        return fail(errno);
    }
    device->exclusive_ = true;
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return fail(errno);
    }
    device->savedSettings_ = settings;
    device->saved_ = true;
    // Pseudo-terminals have no modem lines; only a port that reports them gets them back.
    device->savedModem_ = ioctl(fd, TIOCMGET, &device->savedModemLines_) == 0;
    cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS);
    // With VMIN 1 an empty line reads as EAGAIN on a non-blocking descriptor, so a read of 0
    // bytes means end of file (the line was hung up) and is never mistaken for "no data yet".
    settings.c_cc[VMIN] = 1;
    settings.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &settings) != 0) {
        return fail(errno);
    }
    tty = std::move(device);
    return ftstatus::Ok;
}

PosixTty::~PosixTty() {
    // The port as it was found: its settings (HUPCL among them, so closing does to DTR what
    // it did before), and its DTR and RTS lines should anything have moved them.
    if (saved_) {
        tcsetattr(fd_, TCSANOW, &savedSettings_);
    }
    int lines = 0;
    constexpr int Outputs = TIOCM_DTR | TIOCM_RTS;
    if (savedModem_ && ioctl(fd_, TIOCMGET, &lines) == 0 &&
        (lines & Outputs) != (savedModemLines_ & Outputs)) {
        lines = (lines & ~Outputs) | (savedModemLines_ & Outputs);
        ioctl(fd_, TIOCMSET, &lines);
    }
    // Leave the line open to others again (only if we made it exclusive: a failed open must
    // not lift another program's claim); the lock goes with the descriptor.
    if (exclusive_) {
        ioctl(fd_, TIOCNXCL);
    }
    close(fd_);
}

uint32_t PosixTty::SetBaudRate(uint32_t baudRate) {
    speed_t speed{};
    if (!SpeedFor(baudRate, speed)) {
        return ftstatus::InvalidBaudRate;
    }
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        return StatusFromErrno(errno);
    }
    if (cfsetispeed(&settings, speed) != 0 || cfsetospeed(&settings, speed) != 0) {
        return ftstatus::InvalidBaudRate;
    }
    if (tcsetattr(fd_, TCSANOW, &settings) != 0) {
        return StatusFromErrno(errno);
    }
    byteTime_ = std::chrono::nanoseconds(10'000'000'000LL / baudRate);
    return ftstatus::Ok;
}

uint32_t PosixTty::SetDataCharacteristics(uint8_t wordLength, uint8_t stopBits, uint8_t parity) {
    termios settings{};
    if (tcgetattr(fd_, &settings) != 0) {
        return StatusFromErrno(errno);
    }
    tcflag_t flags = settings.c_cflag & ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD);
    switch (wordLength) {
        case 7:
            flags |= CS7;
            break;
        case 8:
            flags |= CS8;
            break;
        default:
            return ftstatus::InvalidParameter;
    }
    switch (stopBits) {
        case 0:
            break;
        case 2:
            flags |= CSTOPB;
            break;
        default:
            return ftstatus::InvalidParameter;
    }
    switch (parity) {
        case 0:
            break;
        case 1:
            flags |= PARENB | PARODD;
            break;
        case 2:
            flags |= PARENB;
            break;
        default:
            return ftstatus::InvalidParameter;
    }
    settings.c_cflag = flags;
    return tcsetattr(fd_, TCSANOW, &settings) == 0 ? ftstatus::Ok : StatusFromErrno(errno);
}

void PosixTty::SetTimeouts(uint32_t readMs, uint32_t writeMs) {
    readMs_ = readMs;
    writeMs_ = writeMs;
}

uint32_t PosixTty::Purge(uint32_t mask) {
    const bool input = (mask & 1) != 0;
    const bool output = (mask & 2) != 0;
    if (!input && !output) {
        return ftstatus::Ok;
    }
    if (input) {
        next_ = end_ = 0;  // bytes read ahead are input as much as those still in the driver
        due_ = 0;
    }
    const int queue = input && output ? TCIOFLUSH : (input ? TCIFLUSH : TCOFLUSH);
    return tcflush(fd_, queue) == 0 ? ftstatus::Ok : StatusFromErrno(errno);
}

uint32_t PosixTty::Write(const uint8_t* data, uint32_t count, uint32_t& written) {
    written = 0;
    midReply_ = false;
    aheadSlept_ = false;
    due_ = 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(writeMs_);
    while (written < count) {
        const ssize_t n = write(fd_, data + written, count - written);
        if (n > 0) {
            written += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            return StatusFromErrno(errno);
        }
        const int ready = WaitFor(fd_, POLLOUT, deadline);
        if (ready < 0) {
            return ftstatus::IoError;
        }
        if (ready == 0) {
            return ftstatus::Ok;  // write timeout: the caller sees the short count
        }
    }
    // The bytes are with the driver now; they have left the line a byte time each later.
    lineFreeAt_ = Clock::now() + written * byteTime_;
    return ftstatus::Ok;
}

void PosixTty::ExpectBytes(uint32_t count) {
    const uint32_t buffered = end_ - next_;
    due_ = count > buffered ? count - buffered : 0;
}

uint32_t PosixTty::TakeBuffered(uint8_t* data, uint32_t count) {
    const uint32_t n = std::min(count, end_ - next_);
    std::memcpy(data, buffer_ + next_, n);
    next_ += n;
    return n;
}

uint32_t PosixTty::Read(uint8_t* data, uint32_t count, uint32_t& got) {
    got = TakeBuffered(data, count);
    if (got == count) {
        return ftstatus::Ok;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(readMs_);
    while (got < count) {
        // A device known to send its replies at the line's pace: the reply cannot all be in
        // before the request has left the line and the reply's bytes have come over it. Sleep
        // through that, and a byte time more for the device to start, then fetch it at once:
        // one wake-up instead of one for the first byte and one for the rest.
        if (!midReply_ && paced_ && !aheadSlept_ && due_ > 0 && byteTime_.count() > 0) {
            std::this_thread::sleep_until(
                std::min(lineFreeAt_ + (due_ + 1) * byteTime_, deadline));
            aheadSlept_ = true;
            drained_ = false;  // look before waiting: the reply is likely there
        }
        // A reply under way at the line's pace: let the bytes it still needs gather (or, while
        // that is not known, the next few) and fetch them together, within the deadline.
        // One gathering per fetch: when it finds nothing, the line is waited on as usual.
        if (drained_ && midReply_ && !gathered_ && byteTime_.count() > 0 &&
            (due_ > 0 || Clock::now() - lastFetch_ < 2 * byteTime_)) {
            const uint32_t gather =
                due_ > 0 ? std::min<uint32_t>(due_, sizeof buffer_) : uint32_t{kGatherBytes};
            std::this_thread::sleep_until(std::min(lastFetch_ + gather * byteTime_, deadline));
            gathered_ = true;
            drained_ = false;  // look before waiting: the bytes are likely there
        }
        // A read that left the line empty means the next byte is yet to come: wait for it
        // first rather than asking for it in vain.
        if (drained_) {
            const int ready = WaitFor(fd_, POLLIN, deadline);
            if (ready < 0) {
                return ftstatus::IoError;
            }
            if (ready == 0) {
                return ftstatus::Ok;  // read timeout: fewer bytes than asked
            }
        }
        // Whatever the line holds comes in at once, up to the buffer's size.
        const ssize_t n = read(fd_, buffer_, sizeof buffer_);
        if (n > 0) {
            // A reply whose first fetch, made as soon as a byte was there, holds less than is
            // due comes at the line's pace.
            if (!midReply_ && due_ > 0 && !aheadSlept_)
                paced_ = static_cast<uint32_t>(n) < due_;
            next_ = 0;
            end_ = static_cast<uint32_t>(n);
            drained_ = end_ < sizeof buffer_;
            lastFetch_ = Clock::now();
            midReply_ = true;
            gathered_ = false;
            due_ -= std::min(due_, end_);
            got += TakeBuffered(data + got, count - got);
            continue;
        }
        if (n == 0) {
            return ftstatus::IoError;  // end of file: the line was hung up
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK) {
            return StatusFromErrno(errno);
        }
        if (aheadSlept_ && !midReply_) {
            // Nothing after the reply's whole wire time: this device answers later than the
            // line would let it (a bridge that hands replies over in one piece), and waiting
            // for its first byte is the cheaper way again.
            paced_ = false;
        }
        if (drained_) {
            continue;  // woken without a byte to read: wait again until the deadline
        }
        drained_ = true;
    }
    return ftstatus::Ok;
}
