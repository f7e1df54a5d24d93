// The tool against the simulator: runner, state read-back and the simulator's request log.
#include "CliSimFixture.h"

#include <qv725/qv725.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <sstream>

#include "IniFile.h"
#include "LastError.h"
#include "PresetsFile.h"

namespace fs = std::filesystem;

namespace {

constexpr int kToolTimeoutMs = 60000;

// The command byte of a Wake frame given as hexadecimal bytes: the byte after the frame's
// FEND, after an address byte (bit 7 set) when there is one.
int CommandOf(const std::string& hex) {
    std::istringstream in(hex);
    std::vector<int> bytes;
    std::string byte;
    while (in >> byte) {
        bytes.push_back(std::stoi(byte, nullptr, 16));
    }
    for (size_t i = 0; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == 0xC0) {
            const size_t at = (bytes[i + 1] & 0x80) != 0 ? i + 2 : i + 1;
            return at < bytes.size() ? bytes[at] : -1;
        }
    }
    return -1;
}

}  // namespace

CliSimTest::CliSimTest() : runtime_((scratch_.Path() / "run").string()) {
    fs::create_directory(runtime_);
    fs::permissions(runtime_, fs::perms::owner_all);
    fs::create_directory(scratch_.Path() / "home");
    ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
    ::unsetenv("QV725_PORT");
}

CliSimTest::~CliSimTest() {
    QV725_CloseDevice();
}

void CliSimTest::StartSim(const std::vector<std::string>& args, bool logRequests) {
    std::vector<std::string> all = args;
    if (logRequests) {
        all.push_back("--verbose");
    }
    std::string error;
    ASSERT_TRUE(sim_.Start(QV725_SIM_EXE, all, runtime_, error, 20000, logRequests)) << error;
}

void CliSimTest::StartTool(TToolProcess& tool, const std::vector<std::string>& args,
                           const std::vector<std::string>& environment) {
    const std::string home = (scratch_.Path() / "home").string();
    std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime_, "HOME=" + home,
                                    "XDG_CONFIG_HOME=" + home + "/.config", "QV725_PORT"};
    env.insert(env.end(), environment.begin(), environment.end());
    ASSERT_TRUE(tool.Start(QV725CTL_EXE, args, env));
}

TToolResult CliSimTest::Tool(const std::vector<std::string>& args,
                             const std::vector<std::string>& environment) {
    TToolProcess tool;
    StartTool(tool, args, environment);
    TToolResult result = tool.Finish(kToolTimeoutMs);
    EXPECT_NE(result.code, -1) << "qv725ctl did not end";
    return result;
}

TJsonValue CliSimTest::Json(const TToolResult& result) {
    try {
        return TJsonValue::Parse(result.out);
    } catch (const std::exception& error) {
        ADD_FAILURE() << error.what() << " in:\n"
                      << result.out << "\nstandard error:\n"
                      << result.err;
        return {};
    }
}

TChannelParams CliSimTest::SimParams(int channel) {
    TChannelParams p;
    EXPECT_TRUE(QV725_OpenDevice()) << LastError();
    int32_t flags = 0;
    EXPECT_TRUE(QV725_GetM(channel, &flags, &p.T_min, &p.PWM_min, &p.T_max, &p.PWM_max, &p.T_alarm,
                           &p.V_alarm, &p.PWM))
        << LastError();
    p.SetMode(flags);
    QV725_CloseDevice();
    return p;
}

std::array<int32_t, 6> CliSimTest::SimPwm() {
    std::array<int32_t, 6> p{};
    EXPECT_TRUE(QV725_OpenDevice()) << LastError();
    EXPECT_TRUE(QV725_GetPWM(&p[0], &p[1], &p[2], &p[3], &p[4], &p[5])) << LastError();
    QV725_CloseDevice();
    return p;
}

void CliSimTest::SimSetParams(int channel, const TChannelParams& p) {
    ASSERT_TRUE(QV725_OpenDevice()) << LastError();
    EXPECT_TRUE(QV725_SetM(channel, p.Mode(), p.T_min, p.PWM_min, p.T_max, p.PWM_max, p.T_alarm,
                           p.V_alarm, p.PWM))
        << LastError();
    QV725_CloseDevice();
}

std::vector<int> CliSimTest::StopAndTakeRequests() {
    EXPECT_TRUE(sim_.Signal(SIGTERM));
    EXPECT_EQ(sim_.Wait(20000), 0);
    std::vector<int> codes;
    std::istringstream log(sim_.Stderr());
    std::string line;
    while (std::getline(log, line)) {
        const size_t rx = line.find("] rx ");
        if (rx != std::string::npos) {
            const std::string frame = line.substr(rx + 5);
            codes.push_back(frame.rfind("invalid", 0) == 0 ? -1 : CommandOf(frame));
        }
    }
    return codes;
}

std::string CliSimTest::WriteSettings(const std::array<std::string, 6>& names,
                                      const TParams* presets) {
    const std::string file = scratch_.File("kelvane.ini");
    TIniFile ini;
    ini.SetFileName(file);
    for (int i = 0; i < 6; ++i) {
        ini.WriteString("Channels", "Name" + std::to_string(i), names[i]);
    }
    if (presets != nullptr) {
        SavePresets(ini, *presets);
    }
    ini.UpdateFile();
    return file;
}
