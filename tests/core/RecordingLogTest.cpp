// The recording log: its header and rows read back as CSV; a killed writer leaves only whole
// rows; a removed folder and a full disk stop it with a message and leave the file ending with
// its last whole row.
#include <gtest/gtest.h>

#include <filesystem>

#include "CsvReader.h"
#include "LocalTime.h"
#include "RecordingLog.h"
#include "TempFolder.h"
#include "WholeFile.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "SmallDisk.h"
#endif

namespace {

TRecordedCycle Cycle(int i) {
    TRecordedCycle cycle;
    cycle.TimeMs = 1796751063000 + i * 1000;
    for (size_t c = 0; c < 6; ++c) {
        cycle.Temperature[c] = 250 + static_cast<int32_t>(c) + i;
        cycle.FanSpeed[c] = 1000 + i;
        cycle.Pwm[c] = 128;
    }
    cycle.Temperature[5] = -20;  // shown, and recorded, as 0.0
    return cycle;
}

const std::array<std::string, 6> kNames = {"CPU", "Case, front", "", "GPU \"hot\"", "Zürich", ""};

CsvRows ReadRows(const std::string& file) {
    CsvRows rows;
    std::string error;
    EXPECT_TRUE(ReadCsv(ReadWholeFile(file), rows, error)) << error;
    return rows;
}

}  // namespace

TEST(RecordingLog, HeaderThenOneRowPerCycle) {
    TempFolder folder;
    const std::string file = folder.File("rec.csv");
    WriteWholeFile(file, "old contents\r\n");
    TRecordingLog log;
    ASSERT_TRUE(log.Start(file, kNames)) << log.Error();
    ASSERT_TRUE(log.Append(Cycle(0)));
    TRecordedCycle offline = Cycle(1);
    offline.Online = false;
    ASSERT_TRUE(log.Append(offline));

    const CsvRows rows = ReadRows(file);
    ASSERT_EQ(rows.size(), 3u);
    ASSERT_EQ(rows[0].size(), 19u);
    EXPECT_EQ(rows[0][0], "Time");
    EXPECT_EQ((std::vector<std::string>(rows[0].begin() + 1, rows[0].begin() + 7)),
              (std::vector<std::string>{"CPU °C", "CPU rpm", "CPU PWM %", "Case, front °C",
                                        "Case, front rpm", "Case, front PWM %"}));
    EXPECT_EQ(rows[0][7], "Channel 3 °C");
    EXPECT_EQ(rows[0][10], "GPU \"hot\" °C");
    EXPECT_EQ(rows[0][13], "Zürich °C");
    EXPECT_EQ(rows[1][0], LocalIsoTimeText(1796751063000));
    EXPECT_EQ((std::vector<std::string>(rows[1].begin() + 1, rows[1].begin() + 4)),
              (std::vector<std::string>{"25.0", "1000", "50.2"}));
    EXPECT_EQ(rows[1][16], "0.0");
    // Off-line: the time and empty fields, not the last readings again.
    ASSERT_EQ(rows[2].size(), 19u);
    EXPECT_EQ(rows[2][1], "");
    EXPECT_EQ(rows[2][18], "");
}

TEST(RecordingLog, RemovedFolderStopsTheLogWithAMessage) {
    TempFolder folder;
    const std::filesystem::path sub = folder.Path() / "logs";
    std::filesystem::create_directory(sub);
    const std::string file = (sub / "rec.csv").string();
    TRecordingLog log;
    ASSERT_TRUE(log.Start(file, kNames));
    ASSERT_TRUE(log.Append(Cycle(0)));
    std::filesystem::remove_all(sub);
    EXPECT_FALSE(log.Append(Cycle(1)));
    EXPECT_FALSE(log.Active());
    EXPECT_EQ(log.Error().rfind("Cannot write " + file + ": ", 0), 0u) << log.Error();
    EXPECT_FALSE(log.Append(Cycle(2)));  // stays stopped
    EXPECT_FALSE(std::filesystem::exists(sub));

    // A file deleted from a folder that is still there comes back, header first.
    TRecordingLog again;
    const std::string other = folder.File("other.csv");
    ASSERT_TRUE(again.Start(other, kNames));
    std::filesystem::remove(other);
    ASSERT_TRUE(again.Append(Cycle(3)));
    const CsvRows rows = ReadRows(other);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], "Time");
}

#ifndef _WIN32
TEST(RecordingLog, KilledWriterLeavesOnlyWholeRows) {
    TempFolder folder;
    const std::string file = folder.File("rec.csv");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        TRecordingLog log;
        if (!log.Start(file, kNames))
            _exit(2);
        for (int i = 0;; ++i) {
            if (!log.Append(Cycle(i)))
                _exit(3);
        }
    }
    // Let it write a good many rows, then kill it in the middle of whatever it does.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::exists(file) ? std::filesystem::file_size(file) < 200000 : true) {
        if (std::chrono::steady_clock::now() > deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer ended by itself with status " << status;

    const CsvRows rows = ReadRows(file);
    ASSERT_GT(rows.size(), 100u);
    for (size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 19u) << "row " << i;
        ASSERT_EQ(rows[i][2], std::to_string(1000 + i - 1)) << "row " << i;
    }
}

TEST(RecordingLog, FullDiskStopsTheLogAndKeepsWholeRows) {
    TempFolder folder;
    const SmallDiskRun run =
        RunOnSmallDisk(folder.Path().string(), 16 * 1024, [](const std::string& disk) {
            const std::string file = disk + "/rec.csv";
            TRecordingLog log;
            if (!log.Start(file, kNames))
                return "the header could not be written: " + log.Error();
            int written = 0;
            while (log.Append(Cycle(written))) {
                if (++written > 100000)
                    return std::string("the disk never filled up");
            }
            if (log.Active())
                return std::string("the log is still active after a failed row");
            if (log.Error().find("No space left on device") == std::string::npos)
                return "unexpected message: " + log.Error();
            CsvRows rows;
            std::string error;
            if (!ReadCsv(ReadWholeFile(file), rows, error))
                return "the file is not whole: " + error;
            if (rows.size() != static_cast<size_t>(written) + 1)
                return "rows " + std::to_string(rows.size()) + " after " + std::to_string(written) +
                       " appended";
            return std::string();
        });
    if (!run.mounted)
        GTEST_SKIP() << "this system lets no test mount a small disk: " << run.message;
    EXPECT_EQ(run.message, "");
}
#endif
