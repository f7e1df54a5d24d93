// The real program against qv725-sim, ended by signals at random moments after its start: a
// SIGTERM always writes the settings file, with the controller's parameters in the active
// preset and every other preset as it was; a SIGKILL while it closes leaves a file that loads
// and holds either what it held before or that complete write.
#include <gtest/gtest.h>
#include <qv725/qv725.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "IniFile.h"
#include "PresetGenerations.h"
#include "PresetsFile.h"
#include "SimProcess.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int kSeedGeneration = 7;

enum class FileState { Before, Written, Broken };

const char* StateName(FileState state) {
    return state == FileState::Before    ? "as before"
           : state == FileState::Written ? "written"
                                         : "broken";
}

// One program folder (the program and the library beside it, so its settings file is
// <folder>/kelvane.ini) and one simulated controller, shared by the tests.
class ProgramShutdown : public testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<TempFolder>();
        const fs::path bin = folder_->Path() / "bin";
        fs::create_directory(bin);
        for (const char* file : {KELVANE_PROGRAM, QV725_LIBRARY}) {
            const fs::path to = bin / fs::path(file).filename();
            std::error_code ec;
            fs::create_hard_link(file, to, ec);
            if (ec)
                fs::copy_file(file, to);
        }
        program_ = (bin / fs::path(KELVANE_PROGRAM).filename()).string();
        runtime_ = (folder_->Path() / "runtime").string();
        fs::create_directory(runtime_);
        fs::permissions(runtime_, fs::perms::owner_all);
        sim_ = std::make_unique<qv725sim::SimProcess>();
        std::string error;
        if (!sim_->Start(QV725_SIM_EXE, {"--name", "kill0"}, runtime_, error)) {
            setupError_ = "qv725-sim did not start: " + error;
            return;
        }
        ptyPath_ = fs::read_symlink(sim_->LinkPath()).string();
        // The controller's parameters, read before the program holds the line.
        ::setenv("XDG_RUNTIME_DIR", runtime_.c_str(), 1);
        if (!QV725_OpenDevice()) {
            setupError_ = "the simulator was not found";
            return;
        }
        for (int c = 0; c < kPresetChannels; ++c) {
            int32_t flags = 0;
            TChannelParams& r = controller_[c];
            if (!QV725_GetM(c, &flags, &r.T_min, &r.PWM_min, &r.T_max, &r.PWM_max, &r.T_alarm,
                            &r.V_alarm, &r.PWM))
                setupError_ = "the controller's parameters could not be read";
            r.SetMode(flags);
        }
        QV725_CloseDevice();
    }

    static void TearDownTestSuite() {
        sim_.reset();
        folder_.reset();
    }

    void SetUp() override { ASSERT_EQ(setupError_, ""); }

    static std::string IniPath() {
        return (fs::path(program_).parent_path() / "kelvane.ini").string();
    }

    // The settings file before each run: generation kSeedGeneration, whose active preset holds
    // other parameters than the controller.
    static void Seed() {
        fs::remove(IniPath());
        TIniFile ini(IniPath());
        TParams params;
        FillGeneration(params, kSeedGeneration);
        SavePresets(ini, params);
        ini.UpdateFile();
    }

    static FileState State() {
        try {
            TIniFile ini(IniPath());
            TParams found;
            if (!LoadPresets(ini, found))
                return FileState::Broken;
            if (GenerationOf(found) == kSeedGeneration)
                return FileState::Before;
            TParams expected;
            FillGeneration(expected, kSeedGeneration);
            expected.Active()->Channels = controller_;
            if (found.Count() != expected.Count() || found.ActiveIndex() != expected.ActiveIndex())
                return FileState::Broken;
            for (int i = 0; i < expected.Count(); ++i) {
                if (found.Items(i).Name != expected.Items(i).Name ||
                    found.Items(i).Channels != expected.Items(i).Channels)
                    return FileState::Broken;
            }
            return FileState::Written;
        } catch (const std::exception&) {
            return FileState::Broken;
        }
    }

    // Starts the program and waits until it holds the controller's line: its signal handlers
    // are in place and its start-up reads are under way.
    static bool StartOnline(TChildProcess& child) {
        if (!child.Start(
                program_, {},
                {"QT_QPA_PLATFORM=offscreen", "QT_LOGGING_RULES=qt.core.qobject.connect=false",
                 "XDG_RUNTIME_DIR=" + runtime_,
                 std::string("LSAN_OPTIONS=suppressions=") + KELVANE_LSAN_SUPP}))
            return false;
        const std::string fds = "/proc/" + std::to_string(child.Pid()) + "/fd";
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (std::chrono::steady_clock::now() < until) {
            std::error_code ec;
            for (fs::directory_iterator it(fds, ec), end; !ec && it != end; it.increment(ec)) {
                std::error_code ignored;
                if (fs::read_symlink(it->path(), ignored).string() == ptyPath_)
                    return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

    static std::unique_ptr<TempFolder> folder_;
    static std::unique_ptr<qv725sim::SimProcess> sim_;
    static std::string program_, runtime_, ptyPath_, setupError_;
    static std::array<TChannelParams, kPresetChannels> controller_;
};

std::unique_ptr<TempFolder> ProgramShutdown::folder_;
std::unique_ptr<qv725sim::SimProcess> ProgramShutdown::sim_;
std::string ProgramShutdown::program_, ProgramShutdown::runtime_, ProgramShutdown::ptyPath_,
    ProgramShutdown::setupError_;
std::array<TChannelParams, kPresetChannels> ProgramShutdown::controller_{};

TEST_F(ProgramShutdown, SigtermAlwaysWritesTheSettingsFile) {
    std::mt19937 random(1208);
    std::uniform_int_distribution<int> delayMs(0, 400);
    for (int run = 0; run < 8; ++run) {
        Seed();
        TChildProcess program;
        ASSERT_TRUE(StartOnline(program)) << "run " << run;
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs(random)));
        ASSERT_TRUE(program.Signal(SIGTERM));
        ASSERT_EQ(program.Wait(60000), 0) << "run " << run;
        EXPECT_EQ(State(), FileState::Written) << "run " << run << ": " << StateName(State());
    }
}

TEST_F(ProgramShutdown, SigkillWhileClosingLeavesTheOldFileOrTheNewOne) {
    // How long closing takes here, so that the kills spread over the whole of it.
    Seed();
    TChildProcess timed;
    ASSERT_TRUE(StartOnline(timed));
    const auto termAt = std::chrono::steady_clock::now();
    timed.Signal(SIGTERM);
    ASSERT_EQ(timed.Wait(60000), 0);
    const int closingUs = static_cast<int>(std::chrono::duration_cast<std::chrono::microseconds>(
                                               std::chrono::steady_clock::now() - termAt)
                                               .count());

    std::mt19937 random(812);
    std::uniform_int_distribution<int> delayUs(0, closingUs);
    std::array<int, 3> seen{};
    constexpr int kRuns = 40;
    for (int run = 0; run < kRuns; ++run) {
        Seed();
        TChildProcess program;
        ASSERT_TRUE(StartOnline(program)) << "run " << run;
        program.Signal(SIGTERM);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        program.Signal(SIGKILL);
        program.Wait(60000);
        const FileState state = State();
        ++seen[static_cast<int>(state)];
        EXPECT_NE(state, FileState::Broken) << "run " << run;
    }
    std::printf("closing takes %d us; after %d kills: %d as before, %d written, %d broken\n",
                closingUs, kRuns, seen[0], seen[1], seen[2]);
}

}  // namespace
