// A writer of the settings file killed with SIGKILL at random moments, hundreds of times: the
// file on disk always loads and always holds the presets of the last complete write, and the
// temporary files of killed writers are cleared by the next write. The random moments count
// from when the writer says it is running, and span a few of its writes as measured here, so
// the kills land inside and between writes however fast this machine starts and runs them.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "ChildProcess.h"
#include "IniFile.h"
#include "PresetGenerations.h"
#include "PresetsFile.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

// The generation the settings file holds, or -1 when it does not load or holds anything else.
int FileGeneration(const std::string& path, std::string& problem) {
    try {
        TIniFile ini(path);
        TParams params;
        if (!LoadPresets(ini, params)) {
            problem = "no presets in the file";
            return -1;
        }
        const int generation = GenerationOf(params);
        if (generation < 0)
            problem = "the presets are not those of one complete write";
        return generation;
    } catch (const std::exception& error) {
        problem = error.what();
        return -1;
    }
}

// The generation of the last "wrote <n>" line, or -1.
int LastReported(const std::string& output) {
    const size_t at = output.rfind("wrote ");
    return at == std::string::npos ? -1 : std::atoi(output.c_str() + at + 6);
}

// A writer runs and reports; how long it may take to start at all.
constexpr int kStartMs = 60000;

// Writes the settings file with generation 0 of the presets.
void Seed(const std::string& path) {
    TIniFile ini(path);
    TParams params;
    FillGeneration(params, 0);
    SavePresets(ini, params);
    ini.UpdateFile();
}

// How long one round of the writer (read the file, write the next generation) takes on this
// machine, in microseconds: the time from its "running" line to its twentieth write.
int MeasureOneWriteUs(const std::string& path) {
    constexpr int kRounds = 20;
    Seed(path);
    TChildProcess writer;
    if (!writer.Start(SETTINGS_WRITER_EXE, {path}) || !writer.WaitForOutput("running\n", kStartMs))
        return -1;
    const auto start = std::chrono::steady_clock::now();
    if (!writer.WaitForOutput("wrote " + std::to_string(kRounds) + "\n", kStartMs))
        return -1;
    const auto spent = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    return static_cast<int>(spent.count() / kRounds);
}

// The temporary files of the settings file in `folder`; with `writer`, only that process's.
int TempFiles(const fs::path& folder, pid_t writer = 0) {
    const std::string prefix =
        "kelvane.ini.tmp" + (writer > 0 ? std::to_string(writer) + "-" : std::string());
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().filename().string().rfind(prefix, 0) == 0;
    return count;
}

}  // namespace

TEST(KilledWrite, TheFileAlwaysHoldsTheLastCompleteWrite) {
    TempFolder folder;
    const int writeUs = MeasureOneWriteUs(folder.File("measure.ini"));
    ASSERT_GT(writeUs, 0) << "the writer did not start or did not write";
    const std::string path = folder.File("kelvane.ini");
    Seed(path);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> delayUs(0, 3 * writeUs);
    int generation = 0;
    int killedMidWrite = 0;
    int completedWrites = 0;
    constexpr int kKills = 300;
    for (int kill = 0; kill < kKills; ++kill) {
        TChildProcess writer;
        ASSERT_TRUE(writer.Start(SETTINGS_WRITER_EXE, {path}));
        const pid_t pid = writer.Pid();
        ASSERT_TRUE(writer.WaitForOutput("running\n", kStartMs)) << "kill " << kill;
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(random)));
        writer.Signal(SIGKILL);
        const int status = writer.Wait(20000);
        ASSERT_EQ(status, 128 + SIGKILL) << "the writer ended by itself on kill " << kill;

        const int reported = LastReported(writer.Output());
        killedMidWrite += TempFiles(folder.Path(), pid) > 0;
        std::string problem;
        const int found = FileGeneration(path, problem);
        ASSERT_GE(found, 0) << "kill " << kill << ": " << problem;
        // The writer reports a write after its rename, so the file holds the reported write or
        // the one just after it; without a report, the one it found or the one just after.
        const int confirmed = reported >= 0 ? reported : generation;
        ASSERT_TRUE(found == confirmed || found == confirmed + 1)
            << "kill " << kill << ": generation " << found << " after " << confirmed;
        completedWrites += found - generation;
        generation = found;
    }
    std::printf(
        "one write takes %d us; %d kills, %d in the middle of a write, %d complete writes\n",
        writeUs, kKills, killedMidWrite, completedWrites);
    // The kills fell both between and inside writes, or the test proved nothing.
    EXPECT_GT(killedMidWrite, 0);
    EXPECT_GT(completedWrites, 0);

    // The next write clears what the killed writers left behind.
    TIniFile ini(path);
    ini.UpdateFile();
    EXPECT_EQ(TempFiles(folder.Path()), 0);
}
