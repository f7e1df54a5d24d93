// The export files: hwmon units, the Prometheus text, and whole-file replacement that a reader
// running alongside never catches half done.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "CliError.h"
#include "ExportFiles.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TReading SampleReading() {
    TReading reading;
    for (int i = 0; i < 6; ++i) {
        TChannelReading& c = reading.channels[i];
        c.temperature = 250 + i;
        c.fan = 1000 + i;
        c.pwm = 40 * i;
        c.params.Auto = i % 2;
    }
    reading.channels[3].temperature = -50;
    reading.channels[4].params.Ta = 1;
    reading.channels[4].params.T_alarm = 200;
    return reading;
}

TEST(ExportFiles, HwmonFilesHoldOneValueEachInHwmonUnits) {
    TempFolder folder;
    TExportFolder(folder.Path().string()).Write(SampleReading(), {});
    EXPECT_EQ(FileText(folder.Path() / "name"), "qv725\n");
    const struct {
        const char* file;
        const char* text;
    } files[] = {
        {"temp1_input", "25000\n"}, {"temp4_input", "-5000\n"}, {"temp6_input", "25500\n"},
        {"fan1_input", "1000\n"},   {"fan6_input", "1005\n"},   {"pwm1", "0\n"},
        {"pwm6", "200\n"},          {"pwm1_enable", "1\n"},     {"pwm2_enable", "2\n"},
    };
    for (const auto& f : files) {
        EXPECT_EQ(FileText(folder.Path() / f.file), f.text) << f.file;
    }
    size_t count = 0;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        EXPECT_NE(entry.path().filename().string()[0], '.');
        ++count;
    }
    EXPECT_EQ(count, 1u + 6u * 4u + 1u);
}

TEST(ExportFiles, PrometheusTextHasHelpTypeAndOneSamplePerChannel) {
    TChannelNames names = {"CPU", "a\\b", "say \"hi\"", "two\nlines", "", ""};
    const std::string text = PrometheusText(SampleReading(), names);
    const struct {
        const char* sample;
    } samples[] = {
        {"# HELP qv725_temperature_celsius Temperature of the channel's sensor.\n"
         "# TYPE qv725_temperature_celsius gauge\n"
         "qv725_temperature_celsius{channel=\"1\",name=\"CPU\"} 25.0\n"},
        {"qv725_temperature_celsius{channel=\"2\",name=\"a\\\\b\"} 25.1\n"},
        {"qv725_temperature_celsius{channel=\"3\",name=\"say \\\"hi\\\"\"} 25.2\n"},
        {"qv725_temperature_celsius{channel=\"4\",name=\"two\\nlines\"} -5.0\n"},
        {"qv725_fan_rpm{channel=\"6\",name=\"\"} 1005\n"},
        {"qv725_pwm_ratio{channel=\"1\",name=\"CPU\"} 0.0000\n"},
        {"qv725_pwm_ratio{channel=\"4\",name=\"two\\nlines\"} 0.4706\n"},
        {"qv725_fan_supply_volts{channel=\"6\",name=\"\"} 9.4\n"},
        {"qv725_auto_control{channel=\"2\",name=\"a\\\\b\"} 1\n"},
        {"qv725_temperature_alarm{channel=\"5\",name=\"\"} 1\n"},
        {"qv725_temperature_alarm{channel=\"6\",name=\"\"} 0\n"},
        {"qv725_fan_alarm{channel=\"1\",name=\"CPU\"} 0\n"},
    };
    for (const auto& s : samples) {
        EXPECT_NE(text.find(s.sample), std::string::npos) << s.sample << "\nin:\n" << text;
    }
    EXPECT_EQ(text.back(), '\n');
}

TEST(ExportFiles, AMissingFolderIsAUsageErrorAndAnUnwritableFileFails) {
    TempFolder folder;
    try {
        TExportFolder((folder.Path() / "absent").string());
        ADD_FAILURE() << "accepted a missing folder";
    } catch (const TCliError& error) {
        EXPECT_EQ(error.Code(), ExitCode::Usage);
    }
    // A folder where a file should be cannot be replaced by it.
    fs::create_directory(folder.Path() / "pwm3");
    fs::create_directory(folder.Path() / "pwm3" / "keep");
    try {
        TExportFolder(folder.Path().string()).Write(SampleReading(), {});
        ADD_FAILURE() << "wrote over a folder";
    } catch (const TCliError& error) {
        EXPECT_EQ(error.Code(), ExitCode::Failed);
        EXPECT_NE(std::string(error.what()).find("pwm3"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(fs::is_directory(folder.Path() / "pwm3" / "keep"));
}

TEST(ExportFiles, AReaderNeverSeesAHalfWrittenFile) {
    TempFolder folder;
    const std::string target = folder.File("qv725.prom");
    // Two large texts, so that a write in place would be caught half done.
    const std::string a(64 * 1024, 'a');
    const std::string b(64 * 1024, 'b');
    ASSERT_TRUE(ReplaceWhole(target, a));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::atomic<int> unreadable{0};
    std::atomic<int> reads{0};
    std::thread reader([&] {
        while (!done) {
            std::ifstream in(target, std::ios::binary);
            if (!in) {
                ++unreadable;  // only Windows: the moment the name passes to the new file
                ++reads;
                continue;
            }
            std::stringstream text;
            text << in.rdbuf();
            const std::string seen = text.str();
            if (seen != a && seen != b) {
                ++torn;
            }
            ++reads;
            in.close();
#ifdef _WIN32
            // Windows cannot replace a file while it is open, and a reader that opens it again
            // the moment it closed it would hold every replacement off; collectors look now
            // and then.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
#endif
        }
    });
    bool replaced = true;
    for (int i = 0; i < 200 && replaced; ++i) {
        replaced = ReplaceWhole(target, i % 2 == 0 ? b : a);
        EXPECT_TRUE(replaced) << "replacement " << i;
    }
    // Let the reader look at least once after the writes.
    while (reads < 1) {
        std::this_thread::yield();
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
#ifndef _WIN32
    EXPECT_EQ(unreadable, 0) << "of " << reads << " reads";
#endif
    if (replaced) {
        EXPECT_EQ(FileText(target), a);
    }
}

}  // namespace
