// The controller's answers, byte for byte: every command, its length and channel checks, the
// status bytes, and the frames that the library's own tests expect from a real controller.
#include <gtest/gtest.h>
#include <unistd.h>
#include <ostream>

#include <filesystem>
#include <string>

#include "Bytes.h"
#include "Responder.h"
#include "WakeFrame.h"

namespace qv725sim {
namespace {

// Decoded reply: the command code and the data bytes.
struct Decoded {
    bool ok = false;
    uint8_t address = 0;
    uint8_t command = 0;
    std::vector<uint8_t> data;
};

Decoded Decode(const std::vector<uint8_t>& frame) {
    Decoded d;
    size_t next = 0;
    uint8_t buffer[255];
    uint8_t count = 0;
    d.ok = WakeReadFrame(
        [&](uint8_t& b) {
            if (next >= frame.size()) {
                return false;
            }
            b = frame[next++];
            return true;
        },
        d.address, d.command, buffer, sizeof(buffer), count);
    d.ok = d.ok && next == frame.size();  // nothing left over
    d.data.assign(buffer, buffer + count);
    return d;
}

std::vector<uint8_t> Request(uint8_t command, const std::vector<uint8_t>& data,
                             uint8_t address = 0) {
    std::vector<uint8_t> frame(wake::SendBufferSize);
    frame.resize(WakeBuildFrame(address, command, static_cast<uint8_t>(data.size()), data.data(),
                                frame.data()));
    return frame;
}

std::filesystem::path ScratchEeprom() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    return std::filesystem::path(testing::TempDir()) /
           ("qv725sim-" + std::to_string(::getpid()) + "-" + name + ".eeprom");
}

class ProtocolTest : public testing::Test {
protected:
    ProtocolTest()
        : model_(QuietOptions()),
          eepromPath_(ScratchEeprom()),
          eeprom_(eepromPath_.string()),
          protocol_(model_, eeprom_),
          responder_(protocol_, faults_) {
        std::filesystem::remove(eepromPath_);
    }
    ~ProtocolTest() override { std::filesystem::remove(eepromPath_); }

    static ModelOptions QuietOptions() {
        ModelOptions options;
        options.noise = false;
        return options;
    }

    std::vector<uint8_t> Exchange(const std::vector<uint8_t>& request) {
        const auto reply = responder_.RespondToBytes(request);
        EXPECT_TRUE(reply.has_value()) << "request not accepted";
        return reply.value_or(std::vector<uint8_t>{});
    }

    Decoded Ask(uint8_t command, const std::vector<uint8_t>& data = {}) {
        return Decode(Exchange(Request(command, data)));
    }

    ControllerModel model_;
    std::filesystem::path eepromPath_;
    Eeprom eeprom_;
    FaultPolicy faults_;
    Protocol protocol_;
    Responder responder_;
};

TEST_F(ProtocolTest, SetMFrameIsAcceptedWithTheOkReply) {
    EXPECT_EQ(Exchange(Bytes("C0 08 0D 02 06 2C 01 4D 58 02 FF BC 02 F4 01 80 84")),
              Bytes("C0 08 01 00 CC"));
    const ChannelParams p = model_.Params(2);
    EXPECT_EQ(p.Flags, 6);
    EXPECT_EQ(p.T_min, 300);
    EXPECT_EQ(p.PWM_min, 77);
    EXPECT_EQ(p.T_max, 600);
    EXPECT_EQ(p.PWM_max, 255);
    EXPECT_EQ(p.T_alarm, 700);
    EXPECT_EQ(p.V_alarm, 500);
    EXPECT_EQ(p.PWM, 128);
}

TEST_F(ProtocolTest, TemperaturesAreSignedLittleEndian) {
    const double temps[] = {25.0, -5.0, 0.0, 0.0, 0.0, 0.0};
    for (int i = 0; i < ChannelCount; ++i) {
        model_.SetTemperature(i, temps[i]);
    }
    EXPECT_EQ(Exchange(Bytes("C0 06 00 14")),
              Bytes("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
}

TEST_F(ProtocolTest, PwmReadingsInChannelOrder) {
    for (int i = 0; i < ChannelCount; ++i) {
        ChannelParams p = FactoryChannelParams();
        p.Flags = 0;
        model_.SetParams(i, p);
    }
    ASSERT_EQ(Ask(CmdSetPWM, {10, 20, 30, 40, 50, 60}).data, Bytes("00"));
    EXPECT_EQ(Exchange(Request(CmdGetPWM, {})), Bytes("C0 0B 07 00 0A 14 1E 28 32 3C 15"));
}

TEST_F(ProtocolTest, StuffedPwmValuesArriveUnstuffed) {
    for (int i = 0; i < ChannelCount; ++i) {
        model_.SetParams(i, ChannelParams{});  // manual mode
    }
    const Decoded set = Decode(Exchange(Bytes("C0 0A 06 DB DC DB DD 00 00 00 00 87")));
    EXPECT_EQ(set.data, Bytes("00"));
    EXPECT_EQ(Ask(CmdGetPWM).data, Bytes("00 C0 DB 00 00 00 00"));
}

TEST_F(ProtocolTest, FanSpeedsAreUnsignedLittleEndian) {
    for (int i = 0; i < ChannelCount; ++i) {
        ChannelParams p;
        p.PWM = 255;
        model_.SetParams(i, p);
    }
    model_.Advance(30);
    const Decoded reply = Ask(CmdGetV);
    ASSERT_EQ(reply.data.size(), 13u);
    EXPECT_EQ(reply.data[0], 0);
    for (int i = 0; i < ChannelCount; ++i) {
        EXPECT_EQ(reply.data[1 + 2 * i] | (reply.data[2 + 2 * i] << 8), model_.FanSpeed(i));
        EXPECT_NEAR(model_.FanSpeed(i), model_.MaxRpm(i), 1.0);
    }
}

TEST_F(ProtocolTest, GetMReturnsWhatSetMStored) {
    const std::vector<std::string> sets = {
        "06 2C 01 4D 58 02 FF BC 02 F4 01 80",  // the everyday set
        "00 00 00 00 00 00 00 00 00 00 00 00",  // a never-edited preset: all zeros
        "0F FF FF FF FF FF FF FF FF FF FF FF",  // every field at its top
        "03 CE FF 00 C0 DB 10 52 03 DB C0 C0",  // negative T_min, bytes that need stuffing
    };
    for (uint8_t channel = 0; channel < ChannelCount; ++channel) {
        const std::vector<uint8_t> params = Bytes(sets[channel % sets.size()]);
        std::vector<uint8_t> request{channel};
        request.insert(request.end(), params.begin(), params.end());
        ASSERT_EQ(Ask(CmdSetM, request).data, Bytes("00"));
        const Decoded reply = Ask(CmdGetM, {channel});
        EXPECT_EQ(reply.command, CmdGetM);
        std::vector<uint8_t> expected{0};
        expected.insert(expected.end(), params.begin(), params.end());
        EXPECT_EQ(reply.data, expected) << "channel " << int(channel);
    }
}

TEST_F(ProtocolTest, AlarmTemperature850RoundTrips) {
    ChannelParams p = FactoryChannelParams();
    p.T_alarm = 850;
    const ChannelParamsWire wire = EncodeChannelParams(p);
    std::vector<uint8_t> request{4};
    request.insert(request.end(), wire.begin(), wire.end());
    ASSERT_EQ(Ask(CmdSetM, request).data, Bytes("00"));
    const Decoded reply = Ask(CmdGetM, {4});
    ASSERT_EQ(reply.data.size(), 13u);
    EXPECT_EQ(reply.data[8], 0x52);  // 850 = 0x0352, low byte first
    EXPECT_EQ(reply.data[9], 0x03);
}

TEST_F(ProtocolTest, IdentificationIsTextWithATerminatingZero) {
    const Decoded reply = Decode(Exchange(Bytes("C0 03 00 EB")));
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.command, CmdInfo);
    ASSERT_FALSE(reply.data.empty());
    EXPECT_EQ(reply.data.back(), 0);
    const std::string text(reply.data.begin(), reply.data.end() - 1);
    EXPECT_EQ(text.substr(0, 6), "QV-725");
    EXPECT_EQ(text, Identification);
}

TEST_F(ProtocolTest, EchoRepeatsTheData) {
    const std::vector<std::vector<uint8_t>> cases = {
        {}, Bytes("11 13 0D 0A"), Bytes("C0 DB DC DD"), std::vector<uint8_t>(255, 0xC0)};
    for (const auto& data : cases) {
        const Decoded reply = Ask(CmdEcho, data);
        EXPECT_TRUE(reply.ok);
        EXPECT_EQ(reply.command, CmdEcho);
        EXPECT_EQ(reply.data, data);
    }
}

TEST_F(ProtocolTest, AddressIsKeptAndFiltersAddressedRequests) {
    EXPECT_EQ(Ask(CmdGetAddress).data, Bytes("00 00"));
    // With no address of its own the controller answers whatever address a request carries.
    EXPECT_TRUE(Decode(Exchange(Request(CmdGetAddress, {}, 9))).ok);
    EXPECT_EQ(Ask(CmdSetAddress, {5}).data, Bytes("00"));
    EXPECT_EQ(Ask(CmdGetAddress).data, Bytes("00 05"));

    const auto mine = Decode(Exchange(Request(CmdGetT, {}, 5)));
    EXPECT_TRUE(mine.ok);
    EXPECT_EQ(mine.address, 0) << "replies carry no address byte";
    EXPECT_TRUE(Exchange(Request(CmdGetT, {}, 6)).empty()) << "another device's request";
    EXPECT_TRUE(Ask(CmdGetT).ok) << "requests without an address are always answered";
}

struct StatusCase {
    const char* what;
    uint8_t command;
    std::vector<uint8_t> data;
    uint8_t status;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const StatusCase& c, std::ostream* os) { *os << c.what; }

class StatusTest : public ProtocolTest, public testing::WithParamInterface<StatusCase> {};

TEST_P(StatusTest, ReplyCarriesTheCommandAndOnlyTheStatus) {
    const StatusCase& c = GetParam();
    const auto before = model_.Params(0);
    const Decoded reply = Ask(c.command, c.data);
    ASSERT_TRUE(reply.ok);
    EXPECT_EQ(reply.command, c.command);
    EXPECT_EQ(reply.data, std::vector<uint8_t>{c.status});
    EXPECT_EQ(model_.Params(0), before) << "a refused request changes nothing";
}

std::vector<uint8_t> SetMData(uint8_t channel, size_t paramBytes) {
    std::vector<uint8_t> data{channel};
    data.resize(1 + paramBytes, 0x00);
    return data;
}

INSTANTIATE_TEST_SUITE_P(
    Refused, StatusTest,
    testing::Values(
        StatusCase{"code0", 0, {}, 1}, StatusCase{"code1", 1, {}, 1},
        StatusCase{"code14", 14, {}, 1}, StatusCase{"code20", 20, {0, 1}, 1},
        StatusCase{"code127", 127, {}, 1}, StatusCase{"infoWithData", CmdInfo, {0}, 4},
        StatusCase{"setAddressEmpty", CmdSetAddress, {}, 4},
        StatusCase{"setAddress128", CmdSetAddress, {128}, 4},
        StatusCase{"getAddressWithData", CmdGetAddress, {1}, 4},
        StatusCase{"getTWithData", CmdGetT, {0}, 4}, StatusCase{"getVWithData", CmdGetV, {0, 0}, 4},
        StatusCase{"getPwmWithData", CmdGetPWM, {0}, 4},
        StatusCase{"setMShort", CmdSetM, SetMData(0, 11), 4},
        StatusCase{"setMLong", CmdSetM, SetMData(0, 13), 4},
        StatusCase{"setMChannel6", CmdSetM, SetMData(6, 12), 4},
        StatusCase{"setMChannel255", CmdSetM, SetMData(255, 12), 4},
        StatusCase{"getMEmpty", CmdGetM, {}, 4}, StatusCase{"getMLong", CmdGetM, {0, 0}, 4},
        StatusCase{"getMChannel6", CmdGetM, {6}, 4},
        StatusCase{"setPwmShort", CmdSetPWM, {1, 2, 3, 4, 5}, 4},
        StatusCase{"setPwmLong", CmdSetPWM, {1, 2, 3, 4, 5, 6, 7}, 4},
        StatusCase{"saveEmpty", CmdSavePar, {}, 4}, StatusCase{"saveChannel6", CmdSavePar, {6}, 4},
        StatusCase{"callLong", CmdCallPar, {0, 0}, 4},
        StatusCase{"callChannel6", CmdCallPar, {6}, 4}),
    [](const testing::TestParamInfo<StatusCase>& info) { return std::string(info.param.what); });

TEST_F(ProtocolTest, PwmCommandKeepsAutomaticChannelsOnTheirCurve) {
    ChannelParams manual = FactoryChannelParams();
    manual.Flags = 0;
    model_.SetParams(1, manual);
    model_.SetTemperature(0, 45.0);  // channel 0 stays automatic: 166 on the factory curve
    ASSERT_EQ(Ask(CmdSetPWM, {10, 20, 30, 40, 50, 60}).data, Bytes("00"));
    const Decoded pwm = Ask(CmdGetPWM);
    ASSERT_EQ(pwm.data.size(), 7u);
    EXPECT_EQ(pwm.data[1], 166);
    EXPECT_EQ(pwm.data[2], 20);
    EXPECT_EQ(Ask(CmdGetM, {0}).data[12], FactoryChannelParams().PWM);
    EXPECT_EQ(Ask(CmdGetM, {1}).data[12], 20);
}

TEST_F(ProtocolTest, SaveAndRecallGoThroughTheEeprom) {
    std::vector<uint8_t> set = Bytes("03 02 50 00 64 20 03 C8 E8 03 90 01 40");
    ASSERT_EQ(Ask(CmdSetM, set).data, Bytes("00"));
    ASSERT_EQ(Ask(CmdSavePar, {3}).data, Bytes("00"));
    set[1] = 0x00;  // change the channel again without saving
    ASSERT_EQ(Ask(CmdSetM, set).data, Bytes("00"));
    ASSERT_EQ(Ask(CmdCallPar, {3}).data, Bytes("00"));
    EXPECT_EQ(Ask(CmdGetM, {3}).data, Bytes("00 02 50 00 64 20 03 C8 E8 03 90 01 40"));
    // A channel that was never saved recalls the factory set.
    ASSERT_EQ(Ask(CmdCallPar, {0}).data, Bytes("00"));
    EXPECT_EQ(model_.Params(0), FactoryChannelParams());
}

TEST(ProtocolFailureTest, SaveThatCannotWriteIsNotReportedAsDone) {
    ModelOptions quiet;
    quiet.noise = false;
    ControllerModel model(quiet);
    Eeprom eeprom(
        (std::filesystem::path(testing::TempDir()) / "no-such-dir" / "x.eeprom").string());
    Protocol protocol(model, eeprom);
    EXPECT_EQ(protocol.Answer(CmdSavePar, Bytes("01").data(), 1).data, Bytes("03"));
}

TEST_F(ProtocolTest, EveryReplyIsAValidFrameOfTheRequestsCode) {
    for (int code = 0; code < 128; ++code) {
        const Decoded reply = Ask(static_cast<uint8_t>(code));
        EXPECT_TRUE(reply.ok) << code;
        EXPECT_EQ(reply.command, code);
        EXPECT_FALSE(reply.data.empty() && code != CmdEcho) << code;
    }
}

TEST_F(ProtocolTest, DamagedRequestsAreIgnored) {
    EXPECT_FALSE(responder_.RespondToBytes(Bytes("C0 06 00 15")).has_value());     // CRC
    EXPECT_FALSE(responder_.RespondToBytes(Bytes("C0 06 01")).has_value());        // cut short
    EXPECT_FALSE(responder_.RespondToBytes(Bytes("C0 DB 00 00 14")).has_value());  // escape
    // Noise before a frame is skipped.
    EXPECT_EQ(responder_.RespondToBytes(Bytes("00 11 13 C0 06 00 14")).value_or(Bytes("")).at(1),
              CmdGetT);
}

}  // namespace
}  // namespace qv725sim
