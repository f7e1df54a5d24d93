// The commands of qv725ctl that change the controller, against the simulated controller: what
// they send is checked on the simulator's state, read back through the library by the test.
#include <filesystem>

#include "CliSimFixture.h"
#include "IniFile.h"
#include "PresetsFile.h"

namespace {

TChannelParams Record(uint8_t boost, uint8_t automatic, uint8_t ta, uint8_t va, int32_t tMin,
                      int32_t pMin, int32_t tMax, int32_t pMax, int32_t tAlarm, int32_t vAlarm,
                      int32_t pwm) {
    TChannelParams p;
    p.Boost = boost;
    p.Auto = automatic;
    p.Ta = ta;
    p.Va = va;
    p.T_min = tMin;
    p.PWM_min = pMin;
    p.T_max = tMax;
    p.PWM_max = pMax;
    p.T_alarm = tAlarm;
    p.V_alarm = vAlarm;
    p.PWM = pwm;
    return p;
}

}  // namespace

TEST_F(CliSimTest, SetSendsTheWholeRecordAndGetReadsItBack) {
    StartSim();
    // Manual drive at 90, so the record's PWM is known.
    SimSetParams(1, Record(0, 0, 0, 0, 300, 77, 600, 255, 700, 500, 90));

    const TToolResult set =
        Tool({"set", "2", "tmin=30", "tmax=45.26", "pmin=20", "pmax=50", "talarm=70.05",
              "valarm=1234.9", "boost=on", "ta=on", "va=on", "--json"});
    ASSERT_EQ(set.code, 0) << set.err;
    // Converted as the Channel page converts its fields; the PWM is the channel's output now.
    const TChannelParams expected = Record(1, 0, 1, 1, 300, 51, 453, 128, 701, 1234, 90);
    EXPECT_EQ(SimParams(1), expected);
    const TJsonValue sent = Json(set);
    EXPECT_DOUBLE_EQ(sent["tmax"].Number(), 45.3);
    EXPECT_DOUBLE_EQ(sent["pmin"].Number(), 20.0);
    EXPECT_EQ(sent["valarm"].Int(), 1234);

    // get gives back what set took, and feeding its values to set changes nothing.
    const TJsonValue got = Json(Tool({"get", "2", "--json"}));
    EXPECT_DOUBLE_EQ(got["tmin"].Number(), 30.0);
    EXPECT_DOUBLE_EQ(got["tmax"].Number(), 45.3);
    EXPECT_DOUBLE_EQ(got["pmax"].Number(), 50.2);
    EXPECT_DOUBLE_EQ(got["talarm"].Number(), 70.1);
    EXPECT_TRUE(got["va"].Bool());
    std::vector<std::string> again = {"set", "2"};
    for (const char* key : {"tmin", "tmax", "pmin", "pmax", "talarm"}) {
        char value[32];
        std::snprintf(value, sizeof value, "%s=%.1f", key, got[key].Number());
        again.push_back(value);
    }
    ASSERT_EQ(Tool(again).code, 0);
    EXPECT_EQ(SimParams(1), expected);
}

TEST_F(CliSimTest, SetChangesOnlyTheKeysGivenAndPrintsTheRecordAsText) {
    StartSim();
    const TChannelParams before = Record(1, 1, 1, 0, 300, 77, 600, 255, 700, 500, 128);
    SimSetParams(3, before);
    const std::string settings = WriteSettings({"", "", "", "Pump", "", ""});

    const TToolResult set = Tool({"set", "4", "tmax=55", "auto=off", "--settings", settings});
    ASSERT_EQ(set.code, 0) << set.err;
    TChannelParams after = SimParams(3);
    EXPECT_EQ(after.T_max, 550);
    EXPECT_EQ(after.Auto, 0);
    // Switching automatic control off keeps the output the curve gave the fan at that moment.
    EXPECT_EQ(after.PWM, SimPwm()[3]);
    after.T_max = before.T_max;
    after.Auto = before.Auto;
    after.PWM = before.PWM;
    EXPECT_EQ(after, before);
    EXPECT_EQ(set.out.rfind("Channel 4 (Pump): sent tmin 30.0 °C, tmax 55.0 °C, ", 0), 0u)
        << set.out;
    EXPECT_NE(set.out.find("auto off"), std::string::npos) << set.out;
}

TEST_F(CliSimTest, PwmDrivesAManualChannelAndLeavesTheOthers) {
    StartSim();
    for (int channel = 0; channel < 6; ++channel) {
        SimSetParams(channel, Record(0, channel == 5 ? 1 : 0, 0, 0, 300, 77, 600, 255, 700, 500,
                                     10 * (channel + 1)));
    }
    const TToolResult json = Tool({"pwm", "3", "50", "--json"});
    ASSERT_EQ(json.code, 0) << json.err;
    const TJsonValue doc = Json(json);
    EXPECT_EQ(doc["channel"].Int(), 3);
    EXPECT_EQ(doc["pwm_raw"].Int(), 128);
    EXPECT_DOUBLE_EQ(doc["pwm"].Number(), 50.2);
    EXPECT_DOUBLE_EQ(doc["volts"].Number(), 6.0);
    const std::array<int32_t, 6> pwm = SimPwm();
    EXPECT_EQ(pwm[0], 10);
    EXPECT_EQ(pwm[1], 20);
    EXPECT_EQ(pwm[2], 128);
    EXPECT_EQ(pwm[3], 40);
    EXPECT_EQ(pwm[4], 50);

    const TToolResult text = Tool({"pwm", "1", "100"});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, "Channel 1: PWM 100.0 % (12.0 V)\n");
    EXPECT_EQ(SimPwm()[0], 255);
}

TEST_F(CliSimTest, PwmIsRefusedUnderAutomaticControlAndNothingIsSent) {
    StartSim({}, true);
    const TToolResult result = Tool({"pwm", "2", "40"});
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("channel 2 is under automatic control"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("qv725ctl set 2 auto=off"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");
    for (const int code : StopAndTakeRequests()) {
        EXPECT_NE(code, kCmdSetPwm);
        EXPECT_NE(code, kCmdSetM);
    }
}

TEST_F(CliSimTest, SaveAndRecallGoThroughTheEeprom) {
    StartSim({}, true);
    const TChannelParams saved = Record(0, 1, 1, 1, 250, 60, 500, 200, 650, 800, 100);
    SimSetParams(2, saved);
    const TToolResult save = Tool({"save", "3", "--json"});
    ASSERT_EQ(save.code, 0) << save.err;
    const TJsonValue savedDoc = Json(save);
    ASSERT_EQ(savedDoc["saved"].Array().size(), 1u);
    EXPECT_EQ(savedDoc["saved"][0].Int(), 3);

    SimSetParams(2, Record(0, 0, 0, 0, 100, 10, 200, 20, 300, 40, 50));
    const TToolResult recall = Tool({"recall", "3", "--json"});
    ASSERT_EQ(recall.code, 0) << recall.err;
    EXPECT_EQ(SimParams(2), saved);
    const TJsonValue doc = Json(recall);
    EXPECT_EQ(doc["recalled"][0].Int(), 3);
    EXPECT_EQ(doc["channels"][0]["channel"].Int(), 3);
    EXPECT_DOUBLE_EQ(doc["channels"][0]["tmin"].Number(), 25.0);
    EXPECT_EQ(doc["channels"][0]["valarm"].Int(), 800);

    EXPECT_EQ(Tool({"save", "all"}).out, "Saved channels 1, 2, 3, 4, 5, 6 to EEPROM.\n");
    const TToolResult recallAll = Tool({"recall", "all"});
    ASSERT_EQ(recallAll.code, 0) << recallAll.err;
    EXPECT_EQ(
        recallAll.out.rfind("Recalled channels 1, 2, 3, 4, 5, 6 from EEPROM.\nChannel 1:\n", 0), 0u)
        << recallAll.out;

    // One request per channel, in channel order.
    std::vector<int> eeprom;
    for (const int code : StopAndTakeRequests()) {
        if (code == kCmdSavePar || code == kCmdCallPar) {
            eeprom.push_back(code);
        }
    }
    EXPECT_EQ(eeprom.size(), 1u + 1u + 6u + 6u);
}

class CliPresetTest : public CliSimTest {
protected:
    // Three presets: "Default" (active), "Quiet" and "Loud", each channel of its own.
    std::string WritePresets() {
        TParams presets;
        presets.Items(0).Channels.fill(Record(1, 1, 1, 0, 300, 77, 600, 255, 700, 500, 128));
        TParamsItem& quiet = presets.AddNew();
        quiet.Name = "Quiet";
        TParamsItem& loud = presets.AddNew();
        loud.Name = "Loud";
        for (int i = 0; i < 6; ++i) {
            quiet.Channels[i] = Record(0, 1, 1, 1, 350 + i, 40, 700, 180, 800, 300 + i, 60);
            loud.Channels[i] = Record(1, 0, 0, 1, 200, 120, 400, 255, 600, 900, 200 + i);
        }
        return WriteSettings({"CPU", "", "", "", "", ""}, &presets);
    }

    int ActiveIndexIn(const std::string& file) {
        TParams presets;
        EXPECT_TRUE(LoadPresets(TIniFile(file), presets));
        return presets.ActiveIndex();
    }
};

TEST_F(CliPresetTest, ListShowsThePresetsInBothForms) {
    const std::string settings = WritePresets();
    const TToolResult json = Tool({"preset", "list", "--json", "--settings", settings});
    ASSERT_EQ(json.code, 0) << json.err;
    const TJsonValue doc = Json(json);
    EXPECT_EQ(doc["settings"].String(), settings);
    ASSERT_EQ(doc["presets"].Array().size(), 3u);
    EXPECT_EQ(doc["presets"][1]["number"].Int(), 2);
    EXPECT_EQ(doc["presets"][1]["name"].String(), "Quiet");
    EXPECT_TRUE(doc["presets"][0]["active"].Bool());
    EXPECT_FALSE(doc["presets"][1]["active"].Bool());
    const TJsonValue& channel6 = doc["presets"][1]["channels"][5];
    EXPECT_EQ(channel6["channel"].Int(), 6);
    EXPECT_DOUBLE_EQ(channel6["tmin"].Number(), 35.5);
    EXPECT_EQ(channel6["valarm"].Int(), 305);
    EXPECT_DOUBLE_EQ(channel6["pmax"].Number(), 70.6);

    const TToolResult text = Tool({"preset", "list", "--settings", settings});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out,
              "Presets in " + settings + ":\n  1  Default  (active)\n  2  Quiet\n  3  Loud\n");
}

TEST_F(CliPresetTest, ApplySendsTheSixRecordsAndRecordsTheActivePreset) {
    StartSim({}, true);
    const std::string settings = WritePresets();
    const TToolResult json = Tool({"preset", "apply", "Loud", "--json", "--settings", settings});
    ASSERT_EQ(json.code, 0) << json.err;
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(SimParams(i), Record(1, 0, 0, 1, 200, 120, 400, 255, 600, 900, 200 + i))
            << "channel " << i + 1;
    }
    EXPECT_EQ(ActiveIndexIn(settings), 2);
    const TJsonValue doc = Json(json);
    EXPECT_EQ(doc["preset"]["number"].Int(), 3);
    EXPECT_EQ(doc["preset"]["name"].String(), "Loud");
    EXPECT_EQ(doc["sent"].Array().size(), 6u);
    EXPECT_TRUE(doc["recorded"].Bool());
    EXPECT_EQ(doc["note"].String(), "");

    // By number, as `preset list` shows it, and as text.
    const TToolResult text = Tool({"preset", "apply", "2", "--settings", settings});
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_EQ(text.out, "Preset 'Quiet' sent to channels 1 to 6.\nIt is the active preset in " +
                            settings + ".\n");
    EXPECT_EQ(SimParams(5), Record(0, 1, 1, 1, 355, 40, 700, 180, 800, 305, 60));
    EXPECT_EQ(ActiveIndexIn(settings), 1);

    // Exactly six parameter requests per preset, channels 1 to 6, and nothing else sent.
    std::vector<int> writes;
    for (const int code : StopAndTakeRequests()) {
        if (code == kCmdSetM || code == kCmdSetPwm || code == kCmdSavePar) {
            writes.push_back(code);
        }
    }
    EXPECT_EQ(writes, std::vector<int>(12, kCmdSetM));
}

TEST_F(CliPresetTest, ApplyLeavesTheFileAloneWhileKelvaneRunsOnIt) {
    StartSim();
    const std::string settings = WritePresets();
    // A process named kelvane whose settings file is this one: the file beside it.
    const std::string fakeProgram = scratch_.File("kelvane");
    std::filesystem::copy_file(SLEEP_PROGRAM, fakeProgram);
    TToolProcess program;
    ASSERT_TRUE(program.Start(fakeProgram, {"600"}, {}));
    const std::string before = [&] {
        TIniFile ini(settings);
        return ini.ToText();
    }();

    const TToolResult result = Tool({"preset", "apply", "Loud", "--settings", settings});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Not recorded: Kelvane (pid "), std::string::npos) << result.out;
    EXPECT_EQ(SimParams(0), Record(1, 0, 0, 1, 200, 120, 400, 255, 600, 900, 200));
    EXPECT_EQ(TIniFile(settings).ToText(), before);
    EXPECT_EQ(ActiveIndexIn(settings), 0);
}
