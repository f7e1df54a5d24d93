// Reading a reply from a terminal line costs a few system calls per reply, not one per byte:
// bytes already waiting are fetched in one read and served one at a time from the transport's
// own buffer. Purging the receive side discards that buffer too, and timeouts keep their
// meaning. Read system calls are counted from /proc/thread-self/io (this thread only).
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>

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

class ReadEconomy : public ::testing::Test {
protected:
    void SetUp() override {
        if (ReadCalls() < 0) {
            GTEST_SKIP() << "no /proc/thread-self/io to count system calls with";
        }
        ASSERT_EQ(PosixTty::Open(peer_.SlavePath(), tty_), ftstatus::Ok);
        tty_->SetTimeouts(0, 200);  // nothing waits: every byte is there before it is read
    }
    // Reads one byte; false when the read timed out.
    bool ReadOne(uint8_t& b) {
        uint32_t got = 0;
        EXPECT_EQ(tty_->Read(&b, 1, got), ftstatus::Ok);
        return got == 1;
    }

    PtyPeer peer_;
    std::unique_ptr<PosixTty> tty_;
};

TEST_F(ReadEconomy, WaitingBytesAreFetchedTogetherAndServedOneByOne) {
    Bytes sent(150);
    for (size_t i = 0; i < sent.size(); ++i)
        sent[i] = static_cast<uint8_t>(i * 7);
    peer_.Stale(sent);
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

TEST_F(ReadEconomy, PurgingTheReceiveSideDiscardsBufferedBytes) {
    peer_.Stale(Hex("01 02 03 04 05 06"));
    uint8_t b = 0;
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x01);
    EXPECT_EQ(tty_->Purge(2), ftstatus::Ok);  // the transmit side only: input stays
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x02);
    EXPECT_EQ(tty_->Purge(1), ftstatus::Ok);
    EXPECT_FALSE(ReadOne(b)) << "bytes read ahead before the purge were served after it";
    peer_.Stale(Hex("07"));
    ASSERT_TRUE(ReadOne(b));
    EXPECT_EQ(b, 0x07);
}

TEST_F(ReadEconomy, MultiByteReadsTakeBufferedBytesFirst) {
    peer_.Stale(Hex("10 11 12 13 14"));
    uint8_t b = 0;
    ASSERT_TRUE(ReadOne(b));
    uint8_t block[8] = {};
    uint32_t got = 0;
    EXPECT_EQ(tty_->Read(block, sizeof block, got), ftstatus::Ok);
    EXPECT_EQ(ToHex(Bytes(block, block + got)), "11 12 13 14") << "timed out with what was there";
}

TEST(ReadEconomyThroughTheLibrary, AWaitingReplyCostsAFewReads) {
    PtyRig rig;
    ASSERT_TRUE(rig.Opened());
    const Bytes reply = Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED");
    // The whole reply waits on the line before the request goes out.
    rig.PrepareSplit(reply, {});
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
