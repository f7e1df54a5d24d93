// How the terminal backends list their devices: which entries count, and in which order.
#include <gtest/gtest.h>

#include <fstream>

#include "BackendRigs.h"
#include "Discovery.h"
#include "ScopedLineup.h"
#include "qv725/qv725.h"

namespace {

TEST(TtyListing, NamesSortAsPeopleReadThem) {
    std::vector<std::string> names = {"ttyUSB10", "sim2", "ttyUSB2", "sim10", "sim1", "ttyUSB0"};
    TtyBackend::SortNatural(names);
    EXPECT_EQ(names, (std::vector<std::string>{"sim1", "sim2", "sim10", "ttyUSB0", "ttyUSB2",
                                               "ttyUSB10"}));
}

class TtyListingTest : public ::testing::Test {
protected:
    PtyPeer first;
    PtyPeer second;
    TempFolder folder{TempFolder::OwnerOnly};

    static void Link(const std::string& target, const std::filesystem::path& link) {
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
    }
};

TEST_F(TtyListingTest, SimulatorFolderCountsLiveLinksToDevicesOnly) {
    ScopedRuntimeDir runtime(folder.Path());
    const auto sims = folder.Path() / "qv725";
    FakeSimLink sim10(sims, "sim10", first.SlavePath());
    FakeSimLink sim2(sims, "sim2", second.SlavePath());
    FakeSimLink gone(sims, "gone", "/nonexistent/pts/99");  // its terminal has gone
    FakeSimLink hidden(sims, ".hidden", first.SlavePath());
    FakeSimLink null(sims, "null", "/dev/null");           // a device, but no terminal
    Link(first.SlavePath(), sims / "unlocked");            // no simulator holds its lock file
    std::ofstream(sims / "eeprom.bin") << "not a device";  // other files in the folder

    SimPortsBackend backend;
    ScopedLineup lineup({&backend});
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    EXPECT_EQ(count, 3u) << "null, sim2, sim10";

    // "null" cannot be opened as a terminal and is skipped; sim2 comes before sim10.
    first.Answer(IdentificationFrame("QV-725 first"));
    second.Answer(IdentificationFrame("QV-725 second"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(second.Requests(1).size(), 1u);
    EXPECT_TRUE(first.Requests(0).empty());
}

TEST_F(TtyListingTest, SimulatorFolderMissing) {
    ScopedRuntimeDir runtime(folder.Path() / "absent");
    SimPortsBackend backend;
    uint32_t count = 7;
    EXPECT_EQ(backend.CountDevices(count), 0u);
    EXPECT_EQ(count, 0u);
}

TEST_F(TtyListingTest, SerialPortsAreTheFtdiBridgesTtyUsbPorts) {
    FakeSysfs sysfs;
    sysfs.Plug("1-4", "ttyUSB10", first.SlavePath(), "0403", "A10");
    sysfs.Plug("1-2", "ttyUSB2", second.SlavePath(), "0403", "A2");
    sysfs.Plug("1-3", "ttyUSB3", first.SlavePath(), "10c4", "CP");  // another maker's bridge
    SerialPortBackend backend;
    ScopedLineup lineup({&backend});
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(FtdioDescribe(0).path, sysfs.Dev("ttyUSB2"));
    EXPECT_EQ(FtdioDescribe(0).serial, "A2");
    EXPECT_EQ(FtdioDescribe(1).path, sysfs.Dev("ttyUSB10"));

    first.Answer(IdentificationFrame("QV-725 first"));
    second.Answer(IdentificationFrame("QV-725 second"));
    ASSERT_EQ(QV725_OpenDevice(), 1);
    EXPECT_EQ(second.Requests(1).size(), 1u) << "ttyUSB2 comes first";
    EXPECT_TRUE(first.Requests(0).empty());
}

}  // namespace
