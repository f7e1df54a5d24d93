// What /proc tells: which process holds a port, and whether Kelvane runs on a settings file.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "PortHolders.h"
#include "ProgramInstance.h"
#include "TempFolder.h"
#include "ToolProcess.h"

namespace fs = std::filesystem;

namespace {

// A process named `name` (a copy of sleep) that runs until the object goes. posix_spawn returns
// once the child has run its program, so its name and open files show in /proc at once.
class TNamedProcess {
public:
    TNamedProcess(const TempFolder& folder, const std::string& name) {
        const std::string path = folder.File(name);
        fs::copy_file(SLEEP_PROGRAM, path, fs::copy_options::overwrite_existing);
        started_ = process_.Start(path, {"600"}, {});
    }
    bool Started() const { return started_; }

private:
    TToolProcess process_;
    bool started_ = false;
};

// A NUL-separated environment block as /proc/<pid>/environ holds it.
std::string Environ(const std::vector<std::string>& entries) {
    std::string block;
    for (const std::string& entry : entries) {
        block += entry;
        block += '\0';
    }
    return block;
}

TEST(PortHolders, FindsTheProcessesHoldingADeviceThroughItsLink) {
    TempFolder folder;
    // A pseudo-terminal named through a link, as a simulator publishes its port.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    const std::string link = folder.File("sim0");
    fs::create_symlink(terminal, link);
    EXPECT_EQ(DeviceBehind(link), terminal);

    const std::set<std::string> before = OwnOpenTerminals();
    // Not close-on-exec: the child below inherits it.
    const int slave = ::open(terminal.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    EXPECT_EQ(before.count(terminal), 0u);
    EXPECT_EQ(OwnOpenTerminals().count(terminal), 1u);
    // This process never counts as a holder of its own.
    EXPECT_TRUE(ProcessesHolding(link).empty());

    TNamedProcess holder(folder, "holder");
    ASSERT_TRUE(holder.Started());
    ::close(slave);
    const std::vector<TProcessRef> found = ProcessesHolding(link);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "holder");
    EXPECT_GT(found[0].pid, 0);
    EXPECT_TRUE(ProcessesHolding(folder.File("other")).empty());
    ::close(master);

    EXPECT_EQ(DescribeProcesses({{12, "kelvane"}, {34, ""}}),
              "kelvane (pid 12), a process (pid 34)");
}

TEST(ProgramInstance, WorksOutTheFileAProcessUses) {
    TempFolder folder;
    const std::string program = folder.File("kelvane");
    const std::string xdg = folder.File("xdg");
    const std::string env = Environ({"HOME=/h", "XDG_CONFIG_HOME=" + xdg});
    // A file beside the program that may be replaced is the program's.
    EXPECT_EQ(SettingsFileOfProcess(program, env), folder.File("kelvane.ini"));
    // One that may not: the configuration folder's, once it exists; until then the one Kelvane
    // would copy there.
    std::ofstream(folder.File("kelvane.ini")) << "[General]\n";
    fs::permissions(folder.File("kelvane.ini"), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(SettingsFileOfProcess(program, env), folder.File("kelvane.ini"));
    fs::create_directories(xdg + "/kelvane");
    std::ofstream(xdg + "/kelvane/kelvane.ini") << "[General]\n";
    EXPECT_EQ(SettingsFileOfProcess(program, env), xdg + "/kelvane/kelvane.ini");
    // Without $XDG_CONFIG_HOME, $HOME/.config.
    const std::string home = folder.File("home");
    fs::create_directories(home + "/.config/kelvane");
    std::ofstream(home + "/.config/kelvane/kelvane.ini") << "[General]\n";
    EXPECT_EQ(SettingsFileOfProcess(program, Environ({"HOME=" + home})),
              home + "/.config/kelvane/kelvane.ini");
}

TEST(ProgramInstance, FindsAKelvaneOnTheFileAndNoOtherProcess) {
    TempFolder folder;
    const std::string settings = folder.File("kelvane.ini");
    EXPECT_FALSE(RunningProgramOn(settings).has_value());
    {
        TNamedProcess other(folder, "kelvanex");
        ASSERT_TRUE(other.Started());
        EXPECT_FALSE(RunningProgramOn(settings).has_value()) << "another name";
    }
    TNamedProcess program(folder, "kelvane");
    ASSERT_TRUE(program.Started());
    const std::optional<TRunningProgram> running = RunningProgramOn(settings);
    ASSERT_TRUE(running.has_value());
    EXPECT_GT(running->pid, 0);
    EXPECT_EQ(running->doubt, "");
    EXPECT_FALSE(RunningProgramOn(folder.File("other.ini")).has_value()) << "another file";
}

}  // namespace
