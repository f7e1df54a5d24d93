// A pseudo-terminal that answers Wake frames like a controller.
#include "PtyPeer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "Wake.h"

namespace {

// A pseudo-terminal ignores the baud rate, but unless raw it rewrites CR and swallows the
// XON/XOFF bytes 0x11 and 0x13, which occur in frames.
void MakeRaw(int fd) {
    termios settings{};
    ASSERT_EQ(tcgetattr(fd, &settings), 0);
    cfmakeraw(&settings);
    ASSERT_EQ(tcsetattr(fd, TCSANOW, &settings), 0);
}

}  // namespace

PtyPeer::PtyPeer() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        ADD_FAILURE() << "cannot create a pseudo-terminal";
        return;
    }
    slavePath_ = ptsname(master_);
    slave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    EXPECT_GE(slave_, 0);
    MakeRaw(master_);
    MakeRaw(slave_);
    EXPECT_EQ(pipe2(wake_, O_CLOEXEC), 0);
    thread_ = std::thread([this] { Run(); });
}

PtyPeer::~PtyPeer() {
    StopTrickle();
    Stop();
    if (master_ >= 0)
        close(master_);
    if (slave_ >= 0)
        close(slave_);
    for (int fd : wake_) {
        if (fd >= 0)
            close(fd);
    }
}

void PtyPeer::Stop() {
    if (thread_.joinable()) {
        const char stop = 1;
        EXPECT_EQ(write(wake_[1], &stop, 1), 1);
        thread_.join();
    }
}

void PtyPeer::Answer(Bytes reply) {
    AnswerInPieces({{Ms(0), std::move(reply)}});
}

void PtyPeer::AnswerInPieces(std::vector<Piece> pieces) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_.push_back(std::move(pieces));
}

void PtyPeer::AwaitAnswered() {
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const bool done = changed_.wait_for(lock, std::chrono::seconds(10),
                                            [&] { return answers_.empty() && !answering_; });
        ASSERT_TRUE(done) << "the queued replies were never asked for";
    }
    AwaitReadable();
}

void PtyPeer::Stale(const Bytes& bytes) {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    AwaitReadable();
}

void PtyPeer::AwaitReadable() {
    pollfd p{slave_, POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 5000), 1) << "the bytes never reached the slave end";
}

void PtyPeer::Trickle(uint8_t byte, Ms every) {
    StopTrickle();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        trickling_ = true;
    }
    trickle_ = std::thread([this, byte, every] {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!changed_.wait_for(lock, every, [&] { return !trickling_; })) {
            EXPECT_EQ(write(master_, &byte, 1), 1);
        }
    });
}

void PtyPeer::StopTrickle() {
    if (!trickle_.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        trickling_ = false;
    }
    changed_.notify_all();
    trickle_.join();
}

bool PtyPeer::SleepUntil(std::chrono::steady_clock::time_point until) {
    for (;;) {
        const auto left = std::chrono::duration_cast<Ms>(until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return true;
        }
        pollfd stop{wake_[0], POLLIN, 0};
        if (poll(&stop, 1, static_cast<int>(left.count())) > 0) {
            return false;
        }
    }
}

std::vector<std::string> PtyPeer::Requests(size_t n) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::seconds(5), [&] { return requests_.size() >= n; });
    return requests_;
}

void PtyPeer::Hangup() {
    StopTrickle();
    Stop();
    close(master_);
    master_ = -1;
}

void PtyPeer::Cook() {
    termios settings{};
    ASSERT_EQ(tcgetattr(slave_, &settings), 0);
    settings.c_iflag |= ICRNL | IXON;
    settings.c_oflag |= OPOST | ONLCR;
    settings.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
    settings.c_cflag |= CSTOPB;
    ASSERT_EQ(tcsetattr(slave_, TCSANOW, &settings), 0);
}

termios PtyPeer::SlaveSettings() const {
    termios settings{};
    EXPECT_EQ(tcgetattr(slave_, &settings), 0);
    return settings;
}

bool PtyPeer::ReadByte(uint8_t& b) {
    for (;;) {
        pollfd p[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        if (poll(p, 2, -1) < 0) {
            continue;
        }
        if (p[1].revents != 0) {
            return false;  // told to stop
        }
        if (p[0].revents & POLLIN) {
            if (read(master_, &b, 1) == 1) {
                current_.push_back(b);
                return true;
            }
        } else if (p[0].revents != 0) {
            // The line is gone: nothing more will arrive; wait to be stopped.
            pollfd stop{wake_[0], POLLIN, 0};
            poll(&stop, 1, -1);
            return false;
        }
    }
}

void PtyPeer::Run() {
    for (;;) {
        current_.clear();
        uint8_t address = 0, command = 0, count = 0;
        uint8_t data[256];
        const bool ok = WakeReadFrame([this](uint8_t& b) { return ReadByte(b); }, address, command,
                                      data, sizeof data, count);
        if (!ok) {
            // Either told to stop (the last read failed) or a garbled frame: skip it.
            pollfd p{wake_[0], POLLIN, 0};
            if (poll(&p, 1, 0) == 1) {
                return;
            }
            continue;
        }
        const auto arrived = std::chrono::steady_clock::now();
        std::vector<Piece> reply;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requests_.push_back(ToHex(current_));
            if (!answers_.empty()) {
                reply = std::move(answers_.front());
                answers_.pop_front();
                answering_ = true;
            }
        }
        changed_.notify_all();
        for (const Piece& piece : reply) {
            if (!SleepUntil(arrived + piece.after)) {
                return;
            }
            EXPECT_EQ(write(master_, piece.bytes.data(), piece.bytes.size()),
                      static_cast<ssize_t>(piece.bytes.size()));
        }
        {
            std::lock_guard<std::mutex> lock(mutex_);
            answering_ = false;
        }
        changed_.notify_all();
    }
}
