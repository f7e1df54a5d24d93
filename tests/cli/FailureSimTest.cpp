// How qv725ctl fails: the exit code of each failure, its message on standard error, and bad
// input refused before a single byte reaches the controller.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "CliSimFixture.h"
#include "WholeFile.h"

namespace {

struct BadInput {
    std::vector<std::string> args;
    std::string message;  // part of what standard error must say
};

}  // namespace

TEST_F(CliSimTest, BadInputIsRefusedWithExitCode2AndNothingIsSent) {
    StartSim({}, true);
    // One case of each kind; the unit tests hold the full tables of messages.
    const std::vector<BadInput> cases = {
        {{"set", "0", "tmax=45"}, "channel must be a whole number from 1 to 6, not '0'"},
        {{"set", "7", "tmax=45"}, "channel must be a whole number from 1 to 6, not '7'"},
        {{"set", "1", "tmax=45,5"}, "'45,5' is not a number; write decimals with '.', as in 45.5"},
        {{"set", "1", "tmax=150"}, "tmax must be from 0 to 100 °C, not 150"},
        {{"set", "1", "valarm=10000"}, "valarm must be from 0 to 9999 rpm, not 10000"},
        {{"set", "1", "speed=5"}, "unknown key 'speed' (keys: tmin tmax pmin pmax talarm valarm"},
        // One bad item refuses the whole command, also after good ones.
        {{"set", "2", "tmin=20", "auto=maybe"}, "auto must be on or off, not 'maybe'"},
        {{"pwm", "1", "101"}, "PERCENT must be from 0 to 100 %, not 101"},
        {{"save", "9"}, "channel must be 'all' or a whole number from 1 to 6, not '9'"},
        {{"frobnicate"}, "unknown command 'frobnicate'"},
        {{"status", "--colour"}, "unknown option '--colour'"},
        {{"watch", "--export", "/nonexistent/qv725ctl"}, "'/nonexistent/qv725ctl' is not a folder"},
    };
    for (const BadInput& c : cases) {
        std::string joined;
        for (const std::string& a : c.args) {
            joined += a + " ";
        }
        SCOPED_TRACE(joined);
        const TToolResult result = Tool(c.args);
        EXPECT_EQ(result.code, 2);
        EXPECT_NE(result.err.find("qv725ctl: "), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    // Not one request reached the controller, not even the search for it.
    EXPECT_EQ(StopAndTakeRequests(), std::vector<int>{});
}

TEST_F(CliSimTest, UnknownPresetIsAUsageErrorAndNothingIsSent) {
    StartSim({}, true);
    TParams presets;
    presets.AddNew().Name = "Twin";
    presets.AddNew().Name = "Twin";
    const std::string settings = WriteSettings({}, &presets);
    const TToolResult missing = Tool({"preset", "apply", "Loud", "--settings", settings});
    EXPECT_EQ(missing.code, 2);
    EXPECT_NE(missing.err.find("no preset named 'Loud' in " + settings +
                               " (presets: 'Default', 'Twin', 'Twin')"),
              std::string::npos)
        << missing.err;
    const TToolResult twins = Tool({"preset", "apply", "Twin", "--settings", settings});
    EXPECT_EQ(twins.code, 2);
    EXPECT_NE(twins.err.find("2 presets are named 'Twin' (numbers 2, 3); give the number"),
              std::string::npos)
        << twins.err;
    const TToolResult none =
        Tool({"preset", "apply", "Default", "--settings", scratch_.File("absent.ini")});
    EXPECT_EQ(none.code, 2);
    EXPECT_NE(none.err.find("no presets in "), std::string::npos) << none.err;
    EXPECT_EQ(StopAndTakeRequests(), std::vector<int>{});
}

TEST_F(CliSimTest, APresetTheControllerCannotTakeIsRefusedWhole) {
    StartSim({}, true);
    TParams presets;
    TParamsItem& broken = presets.AddNew();
    broken.Name = "Broken";
    broken.Channels[4].T_max = 70000;  // more than its 16 bits on the wire
    const std::string settings = WriteSettings({}, &presets);
    const TToolResult result = Tool({"preset", "apply", "Broken", "--settings", settings});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("channel 5 holds T_max 70000, outside 0 to 65535; nothing was sent"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(StopAndTakeRequests(), std::vector<int>{});
}

TEST_F(CliSimTest, DamagedPresetsFailWithExitCode1AndTheFileIsKept) {
    const std::string settings = scratch_.File("damaged.ini");
    WriteWholeFile(settings, "[Presets]\r\nList=0201060744\r\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"preset", "list"}, {"preset", "apply", "Default"}}) {
        std::vector<std::string> all = args;
        all.insert(all.end(), {"--settings", settings});
        const TToolResult result = Tool(all);
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(
            result.err.find("the presets in " + settings + " cannot be read: Stream read error"),
            std::string::npos)
            << result.err;
    }
    EXPECT_EQ(ReadWholeFile(settings), "[Presets]\r\nList=0201060744\r\n");
}

TEST_F(CliSimTest, NoControllerEndsWithExitCode3) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"status"},
                                                 {"get", "1"},
                                                 {"set", "1", "tmax=40"},
                                                 {"pwm", "1", "50"},
                                                 {"save", "all"},
                                                 {"recall", "2"},
                                                 {"watch", "--count", "1"},
                                                 {"status", "--json"}}) {
        const TToolResult result = Tool(args);
        EXPECT_EQ(result.code, 3) << args[0];
        EXPECT_NE(result.err.find("qv725ctl: No controller found"), std::string::npos)
            << result.err;
        EXPECT_EQ(result.out, "") << args[0];
    }
    const TToolResult list = Tool({"list", "--json"});
    EXPECT_EQ(list.code, 3);
    EXPECT_TRUE(Json(list)["ports"].Array().empty());
    EXPECT_NE(list.err.find("No controller found: no FTDI device attached."), std::string::npos)
        << list.err;
}

TEST_F(CliSimTest, AControllerThatRefusesEndsWithExitCode1AndTheLibrarysText) {
    StartSim({"--busy-percent", "100"});
    const struct {
        std::vector<std::string> args;
        std::string text;
    } cases[] = {
        {{"status"}, "qv725ctl: Get temperature: device busy.\n"},
        {{"get", "1"}, "qv725ctl: Get channel mode: device busy.\n"},
        {{"save", "2"}, "qv725ctl: Save Params: device busy. (channel 2; none was saved)\n"},
        {{"watch", "--json"}, "qv725ctl: Get temperature: device busy.\n"},
    };
    for (const auto& c : cases) {
        const TToolResult result = Tool(c.args);
        EXPECT_EQ(result.code, 1) << c.args[0];
        EXPECT_EQ(result.err, c.text);
    }
}

TEST_F(CliSimTest, PortOptionKeepsToThatPort) {
    StartSim();
    const TToolResult right = Tool({"status", "--json", "--port", SimPort()});
    EXPECT_EQ(right.code, 0) << right.err;
    // Another port: the simulator is not used in its place.
    const TToolResult wrong = Tool({"status", "--port", scratch_.File("no-such-port")});
    EXPECT_EQ(wrong.code, 3) << wrong.err;
    EXPECT_EQ(wrong.out, "");
    // QV725_PORT in the environment is kept to as well.
    const TToolResult fromEnvironment =
        Tool({"status"}, {"QV725_PORT=" + scratch_.File("no-such-port")});
    EXPECT_EQ(fromEnvironment.code, 3) << fromEnvironment.err;
    EXPECT_EQ(Tool({"status"}, {"QV725_PORT=" + SimPort()}).code, 0);
    const TToolResult listOne = Tool({"list", "--json", "--port", SimPort()});
    EXPECT_EQ(listOne.code, 0) << listOne.err;
    ASSERT_EQ(Json(listOne)["ports"].Array().size(), 1u);
    EXPECT_EQ(Json(listOne)["ports"][0]["state"].String(), "controller");
}

// The port in use by another program: exit code 4 naming the holder, by `status` and `list`.
TEST_F(CliSimTest, PortInUseEndsWithExitCode4NamingTheHolder) {
    StartSim();
    const int fd = ::open(SimPort().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
    const TToolResult result = Tool({"status", "--port", SimPort()});
    const TToolResult listed = Tool({"list", "--json"});
    ::close(fd);
    EXPECT_EQ(result.code, 4);
    EXPECT_NE(result.err.find(": in use by another program. It is held by "), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("(pid " + std::to_string(::getpid()) + ")"), std::string::npos)
        << result.err;
    EXPECT_EQ(listed.code, 4) << listed.err;
    const TJsonValue json = Json(listed);
    const auto& ports = json["ports"].Array();
    ASSERT_EQ(ports.size(), 1u) << listed.out;
    EXPECT_EQ(ports[0]["state"].String(), "in-use");
    const auto& holders = ports[0]["held_by"].Array();
    EXPECT_TRUE(std::any_of(holders.begin(), holders.end(), [](const TJsonValue& h) {
        return h["pid"].Int() == ::getpid();
    })) << listed.out;
}

namespace {

// A pseudo-terminal that stands in for a port of a fake sysfs tree; nobody answers on it.
struct TSilentPort {
    TSilentPort() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        EXPECT_GE(master, 0);
        EXPECT_EQ(::grantpt(master), 0);
        EXPECT_EQ(::unlockpt(master), 0);
        slave = ::ptsname(master);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~TSilentPort() { ::close(master); }
    // Bytes written to the port so far.
    size_t Written() const {
        char buffer[256];
        size_t total = 0;
        ssize_t n = 0;
        while ((n = ::read(master, buffer, sizeof buffer)) > 0) {
            total += static_cast<size_t>(n);
        }
        return total;
    }
    int master = -1;
    std::string slave;
};

}  // namespace

// `list` shows the library's candidates: FTDI bridges only, and a port that a terminal program
// has locked is reported in use by that program without being opened.
TEST_F(CliSimTest, ListShowsTheFtdiPortsAndTheLockHolder) {
    TSilentPort locked;
    TSilentPort other;
    const std::string root = scratch_.File("sysroot");
    namespace fs = std::filesystem;
    const auto plug = [&](const std::string& position, const std::string& tty,
                          const std::string& vendor, const std::string& target) {
        const fs::path device = root + "/sys/devices/usb1/" + position;
        const fs::path port = device / (position + ":1.0") / tty;
        fs::create_directories(port);
        std::ofstream(device / "idVendor") << vendor << "\n";
        std::ofstream(device / "serial") << "SN-" << tty << "\n";
        fs::create_directories(root + "/sys/bus/usb-serial/devices");
        fs::create_directories(root + "/dev");
        fs::create_symlink(port, root + "/sys/bus/usb-serial/devices/" + tty);
        fs::create_symlink(target, root + "/dev/" + tty);
    };
    plug("1-1", "ttyUSB0", "0403", locked.slave);
    plug("1-2", "ttyUSB1", "2341", other.slave);  // another maker's board
    fs::create_directories(root + "/run/lock");
    std::ofstream(root + "/run/lock/LCK..ttyUSB0") << std::to_string(::getpid()) << "\n";

    const TToolResult listed = Tool({"list", "--json"}, {"QV725_TEST_SYSROOT=" + root});
    EXPECT_EQ(listed.code, 4) << listed.err;
    const TJsonValue json = Json(listed);
    const auto& ports = json["ports"].Array();
    ASSERT_EQ(ports.size(), 1u) << listed.out;
    EXPECT_EQ(ports[0]["port"].String(), root + "/dev/ttyUSB0");
    EXPECT_EQ(ports[0]["serial"].String(), "SN-ttyUSB0");
    EXPECT_EQ(ports[0]["state"].String(), "in-use");
    ASSERT_FALSE(ports[0]["held_by"].Array().empty()) << listed.out;
    EXPECT_EQ(ports[0]["held_by"][0]["pid"].Int(), ::getpid());
    EXPECT_EQ(locked.Written(), 0u);
    EXPECT_EQ(other.Written(), 0u);
}
