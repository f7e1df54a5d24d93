// The reading commands of qv725ctl against the simulated controller, in both output forms:
// status, get, list and watch (with its export files and Ctrl+C).
#include <signal.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "CliSimFixture.h"

namespace fs = std::filesystem;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        lines.push_back(line);
    }
    return lines;
}

std::string FileText(const fs::path& file) {
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::array<std::string, 6> kNames = {"CPU", "", "Case \"front\"", "GPU", "Disk", "PSU"};

// A status channel object carries exactly the documented members, in natural units.
void ExpectStatusChannel(const TJsonValue& c, int number, const std::string& name) {
    EXPECT_EQ(c.Keys(), (std::vector<std::string>{"channel", "name", "temperature", "fan", "pwm",
                                                  "pwm_raw", "volts", "auto", "alarms"}));
    EXPECT_EQ(c["channel"].Int(), number);
    EXPECT_EQ(c["name"].String(), name);
    // A fresh simulator sits near its 24 °C ambient, under automatic control from 30 % up.
    EXPECT_GT(c["temperature"].Number(), 15.0);
    EXPECT_LT(c["temperature"].Number(), 80.0);
    EXPECT_GE(c["fan"].Int(), 0);
    const long long raw = c["pwm_raw"].Int();
    EXPECT_NEAR(c["pwm"].Number(), raw * 100.0 / 255, 0.05);
    EXPECT_NEAR(c["volts"].Number(), raw * 12.0 / 255, 0.05);
    EXPECT_TRUE(c["auto"].Bool());
    EXPECT_FALSE(c["alarms"]["temperature"].Bool());
    EXPECT_FALSE(c["alarms"]["fan"].Bool());
}

}  // namespace

TEST_F(CliSimTest, StatusShowsTheSixChannelsInBothForms) {
    StartSim();
    const std::string settings = WriteSettings(kNames);

    const TToolResult json = Tool({"status", "--json", "--settings", settings});
    ASSERT_EQ(json.code, 0) << json.err;
    const TJsonValue doc = Json(json);
    EXPECT_EQ(doc["schema"].Int(), 1);
    ASSERT_EQ(doc["channels"].Array().size(), 6u);
    for (int i = 0; i < 6; ++i) {
        ExpectStatusChannel(doc["channels"][i], i + 1, kNames[i]);
    }

    const TToolResult text = Tool({"--settings", settings, "status"});
    ASSERT_EQ(text.code, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 7u) << text.out;
    EXPECT_NE(lines[0].find("Temp °C"), std::string::npos);
    const std::regex row(R"( ?(\d)  (.*?) +(-?\d+\.\d) +(\d+) +(\d+\.\d) +(\d+\.\d)  auto +-)");
    for (int i = 0; i < 6; ++i) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(lines[i + 1], m, row)) << lines[i + 1];
        EXPECT_EQ(std::stoi(m[1]), i + 1);
        EXPECT_EQ(m[2].str(), kNames[i]);
    }
}

TEST_F(CliSimTest, GetShowsTheParametersInTheUnitsSetTakes) {
    StartSim();
    TChannelParams p;
    p.Boost = 1;
    p.Ta = 1;
    p.T_min = 253;
    p.PWM_min = 77;
    p.T_max = 453;
    p.PWM_max = 128;
    p.T_alarm = 850;
    p.V_alarm = 1234;
    p.PWM = 255;
    SimSetParams(4, p);

    const TJsonValue doc = Json(Tool({"get", "5", "--json"}));
    EXPECT_EQ(doc.Keys(),
              (std::vector<std::string>{"schema", "channel", "name", "tmin", "tmax", "pmin", "pmax",
                                        "talarm", "valarm", "boost", "auto", "ta", "va", "pwm"}));
    EXPECT_EQ(doc["channel"].Int(), 5);
    EXPECT_DOUBLE_EQ(doc["tmin"].Number(), 25.3);
    EXPECT_DOUBLE_EQ(doc["tmax"].Number(), 45.3);
    EXPECT_DOUBLE_EQ(doc["pmin"].Number(), 30.2);
    EXPECT_DOUBLE_EQ(doc["pmax"].Number(), 50.2);
    EXPECT_DOUBLE_EQ(doc["talarm"].Number(), 85.0);
    EXPECT_EQ(doc["valarm"].Int(), 1234);
    EXPECT_TRUE(doc["boost"].Bool());
    EXPECT_FALSE(doc["auto"].Bool());
    EXPECT_TRUE(doc["ta"].Bool());
    EXPECT_FALSE(doc["va"].Bool());
    EXPECT_DOUBLE_EQ(doc["pwm"].Number(), 100.0);

    const TToolResult text = Tool({"get", "5"});
    ASSERT_EQ(text.code, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 12u) << text.out;
    EXPECT_EQ(lines[0], "Channel 5:");
    const std::vector<std::string> expected = {"tmin 25.3 °C", "tmax 45.3 °C",   "pmin 30.2 %",
                                               "pmax 50.2 %",  "talarm 85.0 °C", "valarm 1234 rpm",
                                               "boost on",     "auto off",       "ta on",
                                               "va off",       "pwm 100.0 %"};
    for (size_t i = 0; i < expected.size(); ++i) {
        // Columns are aligned; compare the words.
        std::istringstream words(lines[i + 1]);
        std::string word;
        std::string joined;
        while (words >> word) {
            joined += (joined.empty() ? "" : " ") + word;
        }
        EXPECT_EQ(joined, expected[i]);
    }
}

TEST_F(CliSimTest, ListNamesTheSimulatorAsTheController) {
    StartSim();
    const TToolResult json = Tool({"list", "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const TJsonValue doc = Json(json);
    ASSERT_EQ(doc["ports"].Array().size(), 1u) << json.out;
    const TJsonValue& port = doc["ports"][0];
    EXPECT_EQ(port["port"].String(), SimPort());
    EXPECT_EQ(port["state"].String(), "controller");
    EXPECT_EQ(port["identification"].String(), "QV-725 sim 1.0");
    EXPECT_EQ(port["reason"].String(), "");
    EXPECT_TRUE(port["held_by"].Array().empty());

    const TToolResult text = Tool({"list"});
    ASSERT_EQ(text.code, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 2u) << text.out;
    EXPECT_EQ(lines[0].rfind("PORT", 0), 0u);
    EXPECT_EQ(lines[1].rfind(SimPort(), 0), 0u);
    EXPECT_NE(lines[1].find("controller"), std::string::npos);
    EXPECT_NE(lines[1].find("QV-725 sim 1.0"), std::string::npos);
}

TEST_F(CliSimTest, ListNeverTakesASilentPortForTheController) {
    StartSim({"--name", "sim0"});
    qv725sim::SimProcess silent;
    std::string error;
    ASSERT_TRUE(silent.Start(QV725_SIM_EXE, {"--name", "sim1", "--silent"}, runtime_, error))
        << error;
    const TToolResult json = Tool({"list", "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const TJsonValue doc = Json(json);
    ASSERT_EQ(doc["ports"].Array().size(), 2u) << json.out;
    EXPECT_EQ(doc["ports"][0]["port"].String(), SimPort());
    EXPECT_EQ(doc["ports"][0]["state"].String(), "controller");
    const TJsonValue& other = doc["ports"][1];
    EXPECT_EQ(other["port"].String(), silent.LinkPath());
    // "not-a-controller" from a library that probes one port at a time; "unknown" from one
    // that cannot, which opens the other simulator instead. Never "controller".
    EXPECT_TRUE(other["state"].String() == "not-a-controller" ||
                other["state"].String() == "unknown")
        << other["state"].String();
    EXPECT_NE(other["reason"].String(), "");
    EXPECT_EQ(other["identification"].String(), "");
}

TEST_F(CliSimTest, WatchPrintsOneJsonLinePerReadingAndKeepsTheExportFiles) {
    StartSim();
    const fs::path exportDir = scratch_.Path() / "hwmon";
    fs::create_directory(exportDir);
    const std::string settings = WriteSettings(kNames);
    const TToolResult json = Tool({"watch", "--json", "--count", "3", "--interval", "0.05",
                                   "--export", exportDir.string(), "--settings", settings});
    ASSERT_EQ(json.code, 0) << json.err;
    const std::vector<std::string> lines = Lines(json.out);
    ASSERT_EQ(lines.size(), 3u) << json.out;
    TJsonValue last;
    for (size_t i = 0; i < lines.size(); ++i) {
        last = TJsonValue::Parse(lines[i]);
        EXPECT_EQ(last["reading"].Int(), static_cast<long long>(i + 1));
        EXPECT_TRUE(std::regex_match(last["time"].String(),
                                     std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ)")));
        ASSERT_EQ(last["channels"].Array().size(), 6u);
    }

    // The files hold the last reading, in the units hwmon uses.
    EXPECT_EQ(FileText(exportDir / "name"), "qv725\n");
    for (int i = 0; i < 6; ++i) {
        const TJsonValue& c = last["channels"][i];
        const std::string n = std::to_string(i + 1);
        EXPECT_EQ(std::stoll(FileText(exportDir / ("temp" + n + "_input"))),
                  std::llround(c["temperature"].Number() * 1000));
        EXPECT_EQ(std::stoll(FileText(exportDir / ("fan" + n + "_input"))), c["fan"].Int());
        EXPECT_EQ(std::stoll(FileText(exportDir / ("pwm" + n))), c["pwm_raw"].Int());
        EXPECT_EQ(FileText(exportDir / ("pwm" + n + "_enable")), "2\n");
    }
    // Prometheus text: every sample line is name{labels} value, one per channel and metric.
    const std::string prom = FileText(exportDir / "qv725.prom");
    const std::regex sample(
        R"re(qv725_[a-z_]+\{channel="[1-6]",name="(\\.|[^"\\])*"\} -?\d+(\.\d+)?)re");
    int samples = 0;
    for (const std::string& line : Lines(prom)) {
        if (line.rfind("#", 0) == 0) {
            EXPECT_TRUE(line.rfind("# HELP qv725_", 0) == 0 || line.rfind("# TYPE qv725_", 0) == 0)
                << line;
            continue;
        }
        EXPECT_TRUE(std::regex_match(line, sample)) << line;
        ++samples;
    }
    EXPECT_EQ(samples, 7 * 6);
    char temperature[32];
    std::snprintf(temperature, sizeof temperature, "%.1f",
                  last["channels"][2]["temperature"].Number());
    EXPECT_NE(prom.find("qv725_temperature_celsius{channel=\"3\",name=\"Case \\\"front\\\"\"} " +
                        std::string(temperature) + "\n"),
              std::string::npos)
        << prom;
    // Nothing but the files themselves is left in the folder.
    for (const auto& entry : fs::directory_iterator(exportDir)) {
        EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
}

TEST_F(CliSimTest, WatchPrintsOneBlockPerReadingAsText) {
    StartSim();
    const TToolResult text = Tool({"watch", "--count", "2", "--interval", "0.05"});
    ASSERT_EQ(text.code, 0) << text.err;
    const std::vector<std::string> lines = Lines(text.out);
    ASSERT_EQ(lines.size(), 2u * 9u) << text.out;
    EXPECT_EQ(lines[0].rfind("Reading 1 at ", 0), 0u);
    EXPECT_EQ(lines[9].rfind("Reading 2 at ", 0), 0u);
    EXPECT_EQ(lines[8], "");
}

TEST_F(CliSimTest, WatchEndsCleanlyOnCtrlC) {
    StartSim();
    TToolProcess watch;
    StartTool(watch, {"watch", "--json", "--interval", "0.05"});
    ASSERT_TRUE(watch.WaitForOutput("\n", 30000));
    ASSERT_TRUE(watch.Signal(SIGINT));
    const TToolResult result = watch.Finish(30000);
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // Only whole readings were printed.
    ASSERT_FALSE(result.out.empty());
    EXPECT_EQ(result.out.back(), '\n');
    for (const std::string& line : Lines(result.out)) {
        EXPECT_NO_THROW(TJsonValue::Parse(line)) << line;
    }
}
