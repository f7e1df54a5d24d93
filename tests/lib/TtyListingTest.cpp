// How the terminal backends list their devices: which entries count, and in which order.
#include <gtest/gtest.h>

#include <fstream>

#include "BackendRigs.h"
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
    ScratchFolder folder;

    static void Link(const std::string& target, const std::filesystem::path& link) {
        ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
    }
};

TEST_F(TtyListingTest, SimulatorFolderCountsLinksToDevicesOnly) {
    ScopedRuntimeDir runtime(folder.path());
    const auto sims = folder.Make("qv725");
    Link(first.SlavePath(), sims / "sim10");
    Link(second.SlavePath(), sims / "sim2");
    Link("/nonexistent/pts/99", sims / "gone");  // its simulator has ended
    Link(first.SlavePath(), sims / ".hidden");
    Link("/dev/null", sims / "null");                      // a device, but no terminal
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
    ScopedRuntimeDir runtime(folder.path() / "absent");
    SimPortsBackend backend;
    uint32_t count = 7;
    EXPECT_EQ(backend.CountDevices(count), 0u);
    EXPECT_EQ(count, 0u);
}

TEST_F(TtyListingTest, SerialPortsAreTheDriversTtyUsbEntries) {
    for (const char* entry : {"ttyUSB10", "ttyUSB2", "bind", "module", "new_id", "uevent"}) {
        folder.Make(std::string("driver/") + entry);
    }
    const auto dev = folder.Make("dev");
    Link(first.SlavePath(), dev / "ttyUSB10");
    Link(second.SlavePath(), dev / "ttyUSB2");
    SerialPortBackend backend((folder.path() / "driver").string(), dev.string(),
                              (folder.path() / "devices").string());
    ScopedLineup lineup({&backend});
    uint32_t count = 0;
    ASSERT_TRUE(FtdioCountDevices(count));
    EXPECT_EQ(count, 2u);

    first.Answer(IdentificationFrame("QV-725 first"));
    second.Answer(IdentificationFrame("QV-725 second"));
    ASSERT_EQ(QV725_OpenDevice(), 1) << "no latency_timer attribute is no failure";
    EXPECT_EQ(second.Requests(1).size(), 1u) << "ttyUSB2 comes first";
    EXPECT_TRUE(first.Requests(0).empty());
}

}  // namespace
