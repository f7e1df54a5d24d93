// The real qv725-sim program over a real pseudo-terminal: ready line and link, raw bytes both
// ways, one owner per name, stale links, clean stop on signals, a damaged EEPROM, unplugging,
// bad options.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "PtyClient.h"
#include "TempFolder.h"
#include "SimProcess.h"
#include "WakeFrame.h"

namespace qv725sim {
namespace {

namespace fs = std::filesystem;

// Polls a condition on the file system until it holds or the time is up.
template <class Condition>
bool Eventually(Condition condition, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

bool IsLink(const fs::path& path) {
    return fs::is_symlink(fs::symlink_status(path));
}

class ProgramTest : public testing::Test {
protected:
    std::string Folder() const { return (runtime_.Path() / "qv725").string(); }

    void Start(SimProcess& sim, const std::vector<std::string>& args = {}) {
        std::string error;
        ASSERT_TRUE(sim.Start(QV725_SIM_EXE, args, runtime_.Path().string(), error)) << error;
    }

    TempFolder runtime_{TempFolder::OwnerOnly};
};

TEST_F(ProgramTest, PublishesItsPseudoTerminalAndSaysReady) {
    SimProcess sim;
    Start(sim);
    EXPECT_EQ(sim.LinkPath(), Folder() + "/sim0");
    ASSERT_TRUE(IsLink(sim.LinkPath()));
    EXPECT_EQ(fs::read_symlink(sim.LinkPath()).string().rfind("/dev/pts/", 0), 0u);
    struct stat st {};
    ASSERT_EQ(::stat(sim.LinkPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
    ASSERT_EQ(::stat(Folder().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    SimProcess other;
    Start(other, {"--name", "bench"});
    EXPECT_EQ(other.LinkPath(), Folder() + "/bench");
}

TEST_F(ProgramTest, RawBytesPassBothWays) {
    SimProcess sim;
    Start(sim);
    PtyClient client(sim.LinkPath());
    ASSERT_TRUE(client.IsOpen());
    // CR, LF, XON, XOFF and the frame bytes themselves must come back untouched.
    const std::vector<uint8_t> data = {0x0D, 0x0A, 0x11, 0x13, 0xC0, 0xDB, 0x00, 0x7F, 0xFF};
    const Frame echo = client.Exchange(2, data);
    ASSERT_TRUE(echo.ok);
    EXPECT_EQ(echo.command, 2);
    EXPECT_EQ(echo.data, data);
    const Frame info = client.Exchange(3, {});
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(std::string(info.data.begin(), info.data.begin() + 6), "QV-725");
}

TEST_F(ProgramTest, LineIsRawBeforeAnyClientConfiguresIt) {
    SimProcess sim;
    Start(sim);
    PtyClient client(sim.LinkPath(), false);
    ASSERT_TRUE(client.IsOpen());
    termios tio{};
    ASSERT_EQ(tcgetattr(client.Fd(), &tio), 0);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(tio.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF | ISTRIP), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    const std::vector<uint8_t> data = {0x0D, 0x11, 0x13, 0x0A, 0x03, 0x7F};
    const Frame echo = client.Exchange(2, data);
    ASSERT_TRUE(echo.ok);
    EXPECT_EQ(echo.data, data);
}

TEST_F(ProgramTest, ClientsMayComeAndGo) {
    SimProcess sim;
    Start(sim);
    for (int round = 0; round < 3; ++round) {
        PtyClient client(sim.LinkPath());
        ASSERT_TRUE(client.IsOpen());
        const Frame reply = client.Exchange(6, {});
        ASSERT_TRUE(reply.ok) << "round " << round;
        EXPECT_EQ(reply.data.size(), 13u);
        EXPECT_EQ(reply.data[0], 0);
    }
}

TEST_F(ProgramTest, ANameHasOneLiveOwner) {
    SimProcess first;
    Start(first);
    SimProcess second;
    std::string error;
    EXPECT_FALSE(second.Start(QV725_SIM_EXE, {}, runtime_.Path().string(), error, 20000, true));
    EXPECT_EQ(second.ExitCode(), 1);
    EXPECT_NE(second.Stderr().find("already running"), std::string::npos) << second.Stderr();
    EXPECT_EQ(fs::read_symlink(first.LinkPath()), fs::read_symlink(Folder() + "/sim0"));
    PtyClient client(first.LinkPath());
    EXPECT_TRUE(client.Exchange(6, {}).ok) << "the first simulator still answers";
}

TEST_F(ProgramTest, StaleLinkAndLockAreReplacedAndTheFolderMadePrivate) {
    fs::create_directory(Folder());
    fs::permissions(Folder(), fs::perms::owner_all | fs::perms::group_all | fs::perms::others_all);
    fs::create_symlink("/dev/pts/no-such-terminal", Folder() + "/sim0");
    std::ofstream(Folder() + "/sim0.lock").put('x');
    SimProcess sim;
    Start(sim);
    EXPECT_EQ(fs::read_symlink(sim.LinkPath()).string().rfind("/dev/pts/", 0), 0u);
    EXPECT_NE(fs::read_symlink(sim.LinkPath()).string(), "/dev/pts/no-such-terminal");
    EXPECT_EQ(fs::status(Folder()).permissions(), fs::perms::owner_all) << "made private";
    PtyClient client(sim.LinkPath());
    EXPECT_TRUE(client.Exchange(6, {}).ok);
}

TEST_F(ProgramTest, SignalsRemoveTheLinkAndExitCleanly) {
    for (const int sig : {SIGTERM, SIGINT}) {
        SimProcess sim;
        Start(sim);
        const std::string link = sim.LinkPath();
        PtyClient client(link);
        ASSERT_TRUE(client.Exchange(6, {}).ok);
        ASSERT_TRUE(sim.Signal(sig));
        EXPECT_EQ(sim.Wait(10000), 0) << "signal " << sig;
        EXPECT_FALSE(IsLink(link));
        EXPECT_FALSE(fs::exists(Folder() + "/sim0.lock"));
        EXPECT_TRUE(client.WaitHangUp(2000)) << "the line is gone for its client";
    }
}

TEST_F(ProgramTest, DamagedEepromIsReportedAndTheSimulatorStillRuns) {
    const std::string eeprom = runtime_.File("bad.eeprom");
    std::ofstream(eeprom) << "not an eeprom image";
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start(QV725_SIM_EXE, {"--eeprom", eeprom}, runtime_.Path().string(), error,
                          20000, true))
        << error;
    PtyClient client(sim.LinkPath());
    const Frame reply = client.Exchange(9, {0});
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.data.size(), 13u);
    ASSERT_TRUE(sim.Signal(SIGTERM));
    ASSERT_EQ(sim.Wait(10000), 0);
    EXPECT_NE(sim.Stderr().find("damaged"), std::string::npos) << sim.Stderr();
}

TEST_F(ProgramTest, UnpluggingRemovesTheLinkForAWhile) {
    // Plugged in for 2 s first: the client opens the line well within that however long this
    // machine takes to get round to it after the ready line.
    SimProcess sim;
    Start(sim, {"--unplug-every", "2"});
    PtyClient client(sim.LinkPath());
    ASSERT_TRUE(client.IsOpen());
    EXPECT_TRUE(Eventually([&] { return !IsLink(sim.LinkPath()); }, 5000)) << "never unplugged";
    EXPECT_TRUE(client.WaitHangUp(2000)) << "an open client sees the device go";
    EXPECT_TRUE(Eventually([&] { return IsLink(sim.LinkPath()); }, 5000)) << "never came back";
    PtyClient again(sim.LinkPath());
    EXPECT_TRUE(again.Exchange(6, {}).ok);
}

TEST_F(ProgramTest, TricklingPutsAStrayByteOnTheLineBetweenWholeReplies) {
    SimProcess sim;
    Start(sim, {"--trickle-every", "0.05"});
    PtyClient client(sim.LinkPath());
    ASSERT_TRUE(client.IsOpen());
    EXPECT_EQ(client.ReadBytes(3, 5000), std::vector<uint8_t>(3, 0x55));
    for (int i = 0; i < 5; ++i) {
        const Frame reply = client.Exchange(6, {}, 5000);
        ASSERT_TRUE(reply.ok) << "a stray byte landed inside a reply";
        EXPECT_EQ(reply.data.size(), 13u);
    }
}

TEST_F(ProgramTest, LateRepliesComeLateAndInOrder) {
    SimProcess sim;
    Start(sim, {"--late-percent", "100", "--late-by", "0.3"});
    PtyClient client(sim.LinkPath());
    ASSERT_TRUE(client.IsOpen());
    const Frame info = client.Exchange(3, {});
    ASSERT_TRUE(info.ok) << "the identification is never late";
    const auto sent = std::chrono::steady_clock::now();
    for (const uint8_t command : {6, 7, 11}) {
        std::vector<uint8_t> frame(wake::SendBufferSize);
        frame.resize(WakeBuildFrame(0, command, 0, nullptr, frame.data()));
        ASSERT_TRUE(client.Write(frame));
    }
    for (const uint8_t command : {6, 7, 11}) {
        const Frame reply = client.Read(5000);
        ASSERT_TRUE(reply.ok);
        EXPECT_EQ(reply.command, command) << "replies in the order of their requests";
    }
    EXPECT_GE(std::chrono::steady_clock::now() - sent, std::chrono::milliseconds(300));
}

TEST_F(ProgramTest, VerboseLogsEveryFrame) {
    SimProcess sim;
    std::string error;
    ASSERT_TRUE(sim.Start(QV725_SIM_EXE, {"-v"}, runtime_.Path().string(), error, 20000, true))
        << error;
    {
        PtyClient client(sim.LinkPath());
        ASSERT_TRUE(client.Exchange(6, {}).ok);
    }
    ASSERT_TRUE(sim.Signal(SIGTERM));
    ASSERT_EQ(sim.Wait(10000), 0);
    EXPECT_NE(sim.Stderr().find("rx C0 06 00 14"), std::string::npos) << sim.Stderr();
    EXPECT_NE(sim.Stderr().find("tx C0 06 0D 00"), std::string::npos) << sim.Stderr();
}

TEST_F(ProgramTest, BadOptionsGiveUsageAndExitCode2) {
    const std::vector<std::vector<std::string>> cases = {
        {"--bogus"}, {"--busy-percent", "200"}, {"--name", "a/b"}, {"--unplug-every"}};
    for (const auto& args : cases) {
        SimProcess sim;
        std::string error;
        EXPECT_FALSE(sim.Start(QV725_SIM_EXE, args, runtime_.Path().string(), error, 20000, true));
        EXPECT_EQ(sim.ExitCode(), 2) << args[0];
        EXPECT_NE(sim.Stderr().find("Usage: qv725-sim"), std::string::npos) << sim.Stderr();
    }
    EXPECT_FALSE(fs::exists(Folder())) << "nothing was created";
}

TEST_F(ProgramTest, UnusableFolderIsAClearError) {
    // The runtime folder's place is taken by a file.
    std::ofstream(Folder()) << "in the way";
    SimProcess sim;
    std::string error;
    EXPECT_FALSE(sim.Start(QV725_SIM_EXE, {}, runtime_.Path().string(), error, 20000, true));
    EXPECT_EQ(sim.ExitCode(), 1);
    EXPECT_NE(sim.Stderr().find(Folder()), std::string::npos) << sim.Stderr();
}

}  // namespace
}  // namespace qv725sim
