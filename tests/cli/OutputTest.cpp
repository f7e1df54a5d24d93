// The two output forms: JSON documents parsed back member by member, the alarm rules of the
// Common page, and the text table.
#include <gtest/gtest.h>

#include "ChannelJson.h"
#include "ChannelText.h"
#include "JsonReader.h"
#include "JsonWriter.h"
#include "StatusCommand.h"
#include "WatchCommand.h"

namespace {

TChannelReading Channel(int32_t t, int32_t fan, int32_t pwm, uint8_t ta, int32_t tAlarm, uint8_t va,
                        int32_t vAlarm) {
    TChannelReading c;
    c.temperature = t;
    c.fan = fan;
    c.pwm = pwm;
    c.params.Ta = ta;
    c.params.T_alarm = tAlarm;
    c.params.Va = va;
    c.params.V_alarm = vAlarm;
    return c;
}

TEST(Alarms, AsTheCommonPageColoursThem) {
    const struct {
        TChannelReading channel;
        bool temperature;
        bool fan;
    } cases[] = {
        {Channel(300, 1000, 128, 1, 300, 0, 0), false, false},  // at the limit: not yet
        {Channel(301, 1000, 128, 1, 300, 0, 0), true, false},
        {Channel(900, 1000, 128, 0, 300, 0, 0), false, false},  // not enabled
        {Channel(250, 0, 40, 0, 0, 1, 500), false, false},      // a fan at PWM 40 may stand
        {Channel(250, 0, 41, 0, 0, 1, 500), false, true},
        {Channel(250, 500, 200, 0, 0, 1, 500), false, false},  // at the limit: not yet
        {Channel(250, 0, 255, 0, 0, 0, 500), false, false},    // not enabled
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TemperatureAlarm(c.channel), c.temperature);
        EXPECT_EQ(FanAlarm(c.channel), c.fan);
    }
}

TEST(JsonWriter, DocumentsParseBackWithEveryTextIntact) {
    const std::string odd = "quote \" backslash \\ tab \t line\nbell \x07 é ✓";
    for (const bool pretty : {true, false}) {
        TJsonWriter json(pretty);
        json.BeginObject().Key("text").String(odd).Key("empty").BeginArray().EndArray();
        json.Key("nested").BeginArray().BeginObject().Key("n").Int(-7).EndObject();
        json.Tenths(-5).Bool(false).Null().EndArray().Key(odd).Tenths(1037).EndObject();
        const TJsonValue doc = TJsonValue::Parse(json.Text());
        EXPECT_EQ(doc["text"].String(), odd);
        EXPECT_TRUE(doc["empty"].Array().empty());
        EXPECT_EQ(doc["nested"][0]["n"].Int(), -7);
        EXPECT_DOUBLE_EQ(doc["nested"][1].Number(), -0.5);
        EXPECT_FALSE(doc["nested"][2].Bool());
        EXPECT_EQ(doc["nested"][3].GetKind(), TJsonValue::Kind::Null);
        EXPECT_DOUBLE_EQ(doc[odd].Number(), 103.7);
        EXPECT_EQ(json.Text().find('\n') == std::string::npos, !pretty);
    }
}

TEST(JsonWriter, InvalidUtf8IsReplacedSoReadersAcceptIt) {
    TJsonWriter json(false);
    json.BeginObject().Key("name").String("caf\xE9 \xFF").EndObject();
    EXPECT_EQ(TJsonValue::Parse(json.Text())["name"].String(), "caf\xEF\xBF\xBD \xEF\xBF\xBD");
}

TEST(StatusJson, CarriesTheDocumentedMembersInNaturalUnits) {
    TReading reading;
    reading.channels[0] = Channel(-50, 1234, 128, 1, 300, 1, 2000);
    reading.channels[0].params.Auto = 1;
    reading.channels[5] = Channel(1037, 0, 255, 1, 1000, 0, 0);
    const TChannelNames names = {"CPU \"big\"", "", "", "", "", "Pump"};
    const TJsonValue doc =
        TJsonValue::Parse(StatusJson(reading, names, false, 4, "2025-01-02T03:04:05Z").Text());
    EXPECT_EQ(doc.Keys(), (std::vector<std::string>{"schema", "reading", "time", "channels"}));
    EXPECT_EQ(doc["reading"].Int(), 4);
    const TJsonValue& first = doc["channels"][0];
    EXPECT_EQ(first["channel"].Int(), 1);
    EXPECT_EQ(first["name"].String(), "CPU \"big\"");
    EXPECT_DOUBLE_EQ(first["temperature"].Number(), -5.0);
    EXPECT_EQ(first["fan"].Int(), 1234);
    EXPECT_DOUBLE_EQ(first["pwm"].Number(), 50.2);
    EXPECT_EQ(first["pwm_raw"].Int(), 128);
    EXPECT_DOUBLE_EQ(first["volts"].Number(), 6.0);
    EXPECT_TRUE(first["auto"].Bool());
    EXPECT_FALSE(first["alarms"]["temperature"].Bool());
    EXPECT_TRUE(first["alarms"]["fan"].Bool());
    const TJsonValue& last = doc["channels"][5];
    EXPECT_EQ(last["channel"].Int(), 6);
    EXPECT_DOUBLE_EQ(last["temperature"].Number(), 103.7);
    EXPECT_DOUBLE_EQ(last["volts"].Number(), 12.0);
    EXPECT_TRUE(last["alarms"]["temperature"].Bool());
    EXPECT_FALSE(last["auto"].Bool());
    // A single status document has no reading number.
    EXPECT_FALSE(TJsonValue::Parse(StatusJson(reading, names, true).Text()).Has("reading"));
}

TEST(StatusTable, AlignsChannelsWithWideNamesAndShowsAlarms) {
    TReading reading;
    reading.channels[1] = Channel(301, 0, 41, 1, 300, 1, 500);
    const TChannelNames names = {"Ventilátor", "", "", "", "", ""};
    const std::string table = StatusTable(reading, names);
    EXPECT_EQ(table,
              "Ch  Name        Temp °C  Fan rpm   PWM %  Volts  Mode    Alarms\n"
              " 1  Ventilátor      0.0        0     0.0    0.0  manual  -\n"
              " 2                 30.1        0    16.1    1.9  manual  temperature, fan\n"
              " 3                  0.0        0     0.0    0.0  manual  -\n"
              " 4                  0.0        0     0.0    0.0  manual  -\n"
              " 5                  0.0        0     0.0    0.0  manual  -\n"
              " 6                  0.0        0     0.0    0.0  manual  -\n");
}

TEST(ParamsText, OneLineAndOneBlock) {
    TChannelParams p;
    p.Auto = 1;
    p.T_min = 253;
    p.PWM_min = 77;
    p.T_max = 600;
    p.PWM_max = 255;
    p.T_alarm = 700;
    p.V_alarm = 500;
    p.PWM = 128;
    EXPECT_EQ(ParamsLine(p),
              "tmin 25.3 °C, tmax 60.0 °C, pmin 30.2 %, pmax 100.0 %, talarm 70.0 °C, valarm 500 "
              "rpm, boost off, auto on, ta off, va off, pwm 50.2 %");
    EXPECT_EQ(ParamsBlock(2, "GPU", p).substr(0, 40), "Channel 3 (GPU):\n  tmin     25.3 °C\n  t");
}

TEST(UtcTime, IsoSeconds) {
    EXPECT_EQ(UtcTimeText(std::chrono::system_clock::from_time_t(0)), "1970-01-01T00:00:00Z");
    EXPECT_EQ(UtcTimeText(std::chrono::system_clock::from_time_t(1740830405)),
              "2025-03-01T12:00:05Z");
}

}  // namespace
