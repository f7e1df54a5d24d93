// Reading a reply from a terminal line costs a few system calls per reply, not one per byte:
// bytes already waiting are fetched in one read and served one at a time from the transport's
// own buffer. Purging the receive side discards that buffer too, and timeouts keep their
// meaning. Read system calls are counted from /proc/thread-self/io (this thread only).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ReplyRigs.h"
#include "backends/FtdioBackend.h"
#include "backends/PosixTty.h"

namespace {

// Read system calls made by this thread so far.
long ReadCalls() {
    std::ifstream io("/proc/thread-self/io");
    std::string name;
    long value = 0;
    while (io >> name >> value) {
        if (name == "syscr:") {
            return value;
        }
    }
    return -1;
}

// Read calls made by `body`, less those of counting itself.
template <class Body>
long ReadCallsOf(Body&& body) {
    const long a = ReadCalls();
    const long b = ReadCalls();
    body();
    const long c = ReadCalls();
    return (c - b) - (b - a);
}

// A pseudo-terminal of its own: the test writes the device's bytes to the master end and the
// transport reads them from the slave end.
class ReadEconomy : public ::testing::Test {
protected:
    void SetUp() override {
        if (ReadCalls() < 0) {
            GTEST_SKIP() << "no /proc/thread-self/io to count system calls with";
        }
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(master_, 0);
        ASSERT_EQ(grantpt(master_), 0);
        ASSERT_EQ(unlockpt(master_), 0);
        const std::string slave = ptsname(master_);
        termios raw{};
        ASSERT_EQ(tcgetattr(master_, &raw), 0);
        cfmakeraw(&raw);
        ASSERT_EQ(tcsetattr(master_, TCSANOW, &raw), 0);
        // A second descriptor of the slave end only to see when bytes have arrived there.
        watch_ = open(slave.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        ASSERT_GE(watch_, 0);
        ASSERT_EQ(PosixTty::Open(slave, tty_), ftstatus::Ok);
        tty_->SetTimeouts(0, 200);  // nothing waits: every byte is there before it is read
    }
    void TearDown() override {
        tty_.reset();
        if (watch_ >= 0)
            close(watch_);
        if (master_ >= 0)
            close(master_);
    }
public:
    // The device sends bytes.
    void DeviceSends(const Bytes& bytes) { Send(bytes); }

protected:
    // The device sends bytes.
    void Send(const Bytes& bytes) {
        ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    // The device sends bytes, and they are waiting at the slave end when this returns.
    void SendAndWait(const Bytes& bytes) {
        Send(bytes);
        pollfd p{watch_, POLLIN, 0};
        ASSERT_EQ(poll(&p, 1, 5000), 1) << "the bytes never reached the slave end";
    }
    // Reads one byte; false when the read timed out.
    bool ReadOne(uint8_t& b) {
        uint32_t got = 0;
        EXPECT_EQ(tty_->Read(&b, 1, got), ftstatus::Ok);
        return got == 1;
    }

    int master_ = -1;
    int watch_ = -1;
    std::unique_ptr<PosixTty> tty_;
};

TEST_F(ReadEconomy, WaitingBytesAreFetchedTogetherAndServedOneByOne) {
    Bytes sent(150);
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<uint8_t>(i * 7);
    SendAndWait(sent);
    Bytes received;
    const long calls = ReadCallsOf([&] {
        uint8_t b = 0;
        while (received.size() < sent.size() && ReadOne(b))
            received.push_back(b);
    });
    EXPECT_EQ(ToHex(received), ToHex(sent));
    EXPECT_LE(calls, 4) << "read system calls for " << sent.size() << " waiting bytes";
    uint8_t b = 0;
    EXPECT_FALSE(ReadOne(b)) << "nothing more is there: the read times out";
}

TEST_F(ReadEconomy, TricklingBytesCostOneReadEach) {
    // A device that sends one byte per millisecond, as a slow line does: once the line is
    // empty, each byte is waited for and then read, never asked for before it is there.
    tty_->SetTimeouts(200, 200);
    constexpr int Bytes = 20;
    std::thread device([&] {
        for (int i = 0; i < Bytes; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            Send({static_cast<uint8_t>(i)});
        }
    });
    int received = 0;
    const long calls = ReadCallsOf([&] {
        uint8_t b = 0;
        while (received < Bytes && ReadOne(b) && b == received)
            ++received;
    });
    device.join();
    EXPECT_EQ(received, Bytes);
    EXPECT_LE(calls, Bytes + 2) << "read system calls for " << Bytes << " bytes one by one";
}

TEST_F(ReadEconomy, AReplyTricklingAtLinePaceIsFetchedInAFewReads) {
    // The device hands over one byte per byte time of a 38400-baud line, on a schedule of its
    // own; the reader knows the line's rate and, after the count byte, how much is still due.
    ASSERT_EQ(tty_->SetBaudRate(38400), ftstatus::Ok);
    tty_->SetTimeouts(200, 200);
    const Bytes reply = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");
    uint32_t written = 0;
    ASSERT_EQ(tty_->Write(Hex("C0 06 00 14").data(), 4, written), ftstatus::Ok);
    std::thread device([&] {
        const auto start = std::chrono::steady_clock::now();
        for (size_t i = 0; i < reply.size(); ++i) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(260 * (i + 1)));
            Send({reply[i]});
        }
    });
    Bytes received;
    const long calls = ReadCallsOf([&] {
        uint8_t b = 0;
        while (received.size() < reply.size() && ReadOne(b)) {
            received.push_back(b);
            if (received.size() == 3)
                tty_->ExpectBytes(b + 1u);  // the count byte: data and CRC are due
        }
    });
    device.join();
    EXPECT_EQ(ToHex(received), ToHex(reply));
    // One read per byte would be 17; a few gathered reads leave room for a busy machine.
    EXPECT_LE(calls, 8) << "read system calls for a " << reply.size() << "-byte reply";
}

// Request and reply over a 38400-baud line whose device sends the reply's bytes as `schedule`
// says (microseconds after the request went out, one entry per byte; bytes due together go
// in one write); returns the read system
// calls the reply cost.
long Exchange(ReadEconomy& test, PosixTty& tty, const Bytes& reply,
              const std::vector<int>& schedule) {
    uint32_t written = 0;
    EXPECT_EQ(tty.Write(Hex("C0 06 00 14").data(), 4, written), ftstatus::Ok);
    tty.ExpectBytes(static_cast<uint32_t>(reply.size()));
    const auto start = std::chrono::steady_clock::now();
    std::thread device([&] {
        // Bytes due at the same time go in one write.
        for (size_t i = 0, j = 0; i < reply.size(); i = j) {
            while (j < reply.size() && schedule[j] == schedule[i])
                ++j;
            std::this_thread::sleep_until(start + std::chrono::microseconds(schedule[i]));
            test.DeviceSends(Bytes(reply.begin() + i, reply.begin() + j));
        }
    });
    Bytes received;
    const long calls = ReadCallsOf([&] {
        uint8_t b = 0;
        uint32_t got = 0;
        while (received.size() < reply.size() && tty.Read(&b, 1, got) == ftstatus::Ok && got == 1)
            received.push_back(b);
    });
    device.join();
    EXPECT_EQ(ToHex(received), ToHex(reply));
    return calls;
}

const Bytes kReply = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");

// Byte by byte at the line's pace, after the 4-byte request has crossed the line.
std::vector<int> AtLinePace() {
    std::vector<int> at;
    for (size_t i = 0; i < kReply.size(); ++i)
        at.push_back(static_cast<int>(260 * (4 + i + 1)));
    return at;
}

TEST_F(ReadEconomy, ADeviceAtTheLinesPaceIsReadOnceAReplyOnceKnown) {
    // The first reply shows the device's pace; the next ones are slept through and fetched in
    // one read each, instead of a read for their first byte and another for the rest.
    ASSERT_EQ(tty_->SetBaudRate(38400), ftstatus::Ok);
    tty_->SetTimeouts(200, 200);
    Exchange(*this, *tty_, kReply, AtLinePace());
    long calls = 0;
    constexpr int Replies = 6;
    for (int i = 0; i < Replies; ++i)
        calls += Exchange(*this, *tty_, kReply, AtLinePace());
    // Two reads a reply would be 12; a late byte now and then on a busy machine costs one more.
    EXPECT_LE(calls, Replies + 3) << "read system calls for " << Replies << " paced replies";
}

TEST_F(ReadEconomy, ADeviceSlowerThanTheLineIsWaitedForAgain) {
    // After a paced reply, the device hands its replies over whole, 20 ms after each request:
    // the sleep through the first one finds nothing, and the later ones are waited for as soon
    // as they come, one read each.
    ASSERT_EQ(tty_->SetBaudRate(38400), ftstatus::Ok);
    tty_->SetTimeouts(200, 200);
    Exchange(*this, *tty_, kReply, AtLinePace());
    const std::vector<int> late(kReply.size(), 20000);
    Exchange(*this, *tty_, kReply, late);
    long calls = 0;
    constexpr int Replies = 4;
    for (int i = 0; i < Replies; ++i)
        calls += Exchange(*this, *tty_, kReply, late);
    EXPECT_LE(calls, Replies + 1) << "read system calls for " << Replies << " late replies";
}

TEST_F(ReadEconomy, AReplyThatStopsShortIsWaitedForWithoutSpinning) {
    // The count byte promises 200 more bytes, two come: the read waits out its timeout asleep,
    // costing this thread next to no processor time.
    ASSERT_EQ(tty_->SetBaudRate(38400), ftstatus::Ok);
    tty_->SetTimeouts(200, 200);
    SendAndWait(Hex("C0 06 C8"));
    uint8_t b = 0;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ReadOne(b));
    tty_->ExpectBytes(201);
    Send(Hex("01 02"));
    timespec before{}, after{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &before);
    int received = 0;
    while (ReadOne(b))
        ++received;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &after);
    EXPECT_EQ(received, 2);
    const double cpuMs =
        (after.tv_sec - before.tv_sec) * 1e3 + (after.tv_nsec - before.tv_nsec) / 1e6;
    EXPECT_LT(cpuMs, 50.0) << "processor time spent waiting out a 200 ms read timeout";
}

TEST_F(ReadEconomy, PurgingTheReceiveSideDiscardsBufferedBytes) {
    SendAndWait(Hex("01 02 03 04 05 06"));
    uint8_t b = 0;
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x01);
    EXPECT_EQ(tty_->Purge(2), ftstatus::Ok);  // the transmit side only: input stays
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x02);
    EXPECT_EQ(tty_->Purge(1), ftstatus::Ok);
    EXPECT_FALSE(ReadOne(b)) << "bytes read ahead before the purge were served after it";
    SendAndWait(Hex("07"));
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x07);
}

TEST_F(ReadEconomy, MultiByteReadsTakeBufferedBytesFirst) {
    SendAndWait(Hex("10 11 12 13 14"));
    uint8_t b = 0;
    ASSERT_TRUE(ReadOne(b));
    uint8_t block[8] = {};
    uint32_t got = 0;
    EXPECT_EQ(tty_->Read(block, sizeof block, got), ftstatus::Ok);
    EXPECT_EQ(ToHex(Bytes(block, block + got)), "11 12 13 14") << "timed out with what was there";
}

TEST(ReadEconomyThroughTheLibrary, AReplyInOnePieceCostsAFewReads) {
    PtyRig rig;
    ASSERT_TRUE(rig.Opened());
    const Bytes reply = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");
    // The whole reply comes in one write as soon as the request is there.
    rig.Prepare(reply);
    int32_t t[6] = {};
    uint8_t result = 0;
    const long calls =
        ReadCallsOf([&] { result = QV725_GetT(&t[0], &t[1], &t[2], &t[3], &t[4], &t[5]); });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(t[0], 250);
    EXPECT_EQ(t[1], -50);
    EXPECT_LE(calls, 3) << "read system calls for a " << reply.size() << "-byte reply";
}

}  // namespace
