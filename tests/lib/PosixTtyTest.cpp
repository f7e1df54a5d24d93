// A terminal device as the serial backends set it up: raw whatever state it was left in,
// the requested speed, refused settings, and timeouts that end reads.
#include <gtest/gtest.h>

#include "PtyPeer.h"
#include "backends/FtdioBackend.h"
#include "backends/PosixTty.h"

namespace {

TEST(PosixTty, OpenMakesACookedLineRaw) {
    PtyPeer peer;
    peer.Cook();
    std::unique_ptr<PosixTty> tty;
    ASSERT_EQ(PosixTty::Open(peer.SlavePath(), tty), ftstatus::Ok);
    ASSERT_EQ(tty->SetBaudRate(38400), ftstatus::Ok);
    ASSERT_EQ(tty->SetDataCharacteristics(8, 0, 0), ftstatus::Ok);

    const termios s = peer.SlaveSettings();
    EXPECT_EQ(s.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u) << "no line editing or echo";
    EXPECT_EQ(s.c_iflag & (ICRNL | IXON | IXOFF), 0u) << "no CR or XON/XOFF handling";
    EXPECT_EQ(s.c_oflag & OPOST, 0u) << "no output processing";
    EXPECT_EQ(s.c_cflag & CSTOPB, 0u) << "one stop bit";
    EXPECT_EQ(cfgetospeed(&s), static_cast<speed_t>(B38400));
}

TEST(PosixTty, RefusedSettings) {
    PtyPeer peer;
    std::unique_ptr<PosixTty> tty;
    ASSERT_EQ(PosixTty::Open(peer.SlavePath(), tty), ftstatus::Ok);
    EXPECT_EQ(tty->SetBaudRate(12345), ftstatus::InvalidBaudRate);
    EXPECT_EQ(tty->SetDataCharacteristics(5, 0, 0), ftstatus::InvalidParameter);
    EXPECT_EQ(tty->SetDataCharacteristics(8, 1, 0), ftstatus::InvalidParameter);
    EXPECT_EQ(tty->SetDataCharacteristics(8, 0, 9), ftstatus::InvalidParameter);
    EXPECT_EQ(tty->SetDataCharacteristics(8, 2, 2), ftstatus::Ok);
    // A pseudo-terminal always keeps 8 bits without parity; the stop bits it does keep.
    EXPECT_EQ(peer.SlaveSettings().c_cflag & CSTOPB, static_cast<tcflag_t>(CSTOPB));
}

TEST(PosixTty, NothingToReadIsATimeoutNotAnError) {
    PtyPeer peer;
    std::unique_ptr<PosixTty> tty;
    ASSERT_EQ(PosixTty::Open(peer.SlavePath(), tty), ftstatus::Ok);
    tty->SetTimeouts(0, 200);
    uint8_t b = 0;
    uint32_t got = 9;
    EXPECT_EQ(tty->Read(&b, 1, got), ftstatus::Ok);
    EXPECT_EQ(got, 0u);
}

TEST(PosixTty, NotATerminalOrMissing) {
    std::unique_ptr<PosixTty> tty;
    EXPECT_EQ(PosixTty::Open("/dev/null", tty), ftstatus::DeviceNotFound);
    EXPECT_EQ(PosixTty::Open("/nonexistent/tty", tty), ftstatus::DeviceNotFound);
    EXPECT_EQ(tty, nullptr);
}

}  // namespace
