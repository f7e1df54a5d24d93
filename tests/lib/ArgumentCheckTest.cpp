// Arguments that do not fit their fields on the wire: every command refuses them with its own
// prefix and "invalid parameters." before a single byte reaches the device, and whether or not
// a controller is open.
#include <algorithm>
#include <ostream>

#include "LibraryFixture.h"

namespace {

constexpr int32_t Unwritten = 0x7FFFFFFF;

struct BadCall {
    const char* name;
    // Runs the export; any outputs go into out (eight of them, preset to Unwritten).
    uint8_t (*run)(int32_t* out);
    const char* text;
};

void PrintTo(const BadCall& c, std::ostream* os) {
    *os << c.name;
}

uint8_t GetM(int32_t channel, int32_t* o) {
    return QV725_GetM(channel, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7]);
}

// A valid parameter set with one field replaced: field 0 is the channel, 1 the flags, then
// T_min, PWM_min, T_max, PWM_max, T_alarm, V_alarm and PWM.
uint8_t SetMWith(int field, int32_t value) {
    int32_t a[] = {2, 6, 300, 77, 600, 255, 700, 500, 128};
    a[field] = value;
    return QV725_SetM(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8]);
}

// Six valid PWM values with the one at `index` replaced.
uint8_t SetPwmWith(int index, int32_t value) {
    int32_t p[] = {10, 20, 30, 40, 50, 60};
    p[index] = value;
    return QV725_SetPWM(p[0], p[1], p[2], p[3], p[4], p[5]);
}

constexpr char kGetM[] = "Get channel mode: invalid parameters.";
constexpr char kSetM[] = "Set channel mode: invalid parameters.";
constexpr char kSetPwm[] = "Set PWM: invalid parameters.";

const BadCall badCalls[] = {
    {"GetM_channel_256", [](int32_t* o) { return GetM(256, o); }, kGetM},
    {"GetM_channel_6", [](int32_t* o) { return GetM(6, o); }, kGetM},
    {"GetM_channel_minus_1", [](int32_t* o) { return GetM(-1, o); }, kGetM},
    {"SetM_channel_256", [](int32_t*) { return SetMWith(0, 256); }, kSetM},
    {"SetM_channel_6", [](int32_t*) { return SetMWith(0, 6); }, kSetM},
    {"SetM_flags_256", [](int32_t*) { return SetMWith(1, 256); }, kSetM},
    {"SetM_flags_minus_1", [](int32_t*) { return SetMWith(1, -1); }, kSetM},
    {"SetM_T_min_minus_50", [](int32_t*) { return SetMWith(2, -50); }, kSetM},
    {"SetM_PWM_min_256", [](int32_t*) { return SetMWith(3, 256); }, kSetM},
    {"SetM_T_max_70000", [](int32_t*) { return SetMWith(4, 70000); }, kSetM},
    {"SetM_PWM_max_minus_1", [](int32_t*) { return SetMWith(5, -1); }, kSetM},
    {"SetM_T_alarm_65536", [](int32_t*) { return SetMWith(6, 65536); }, kSetM},
    {"SetM_V_alarm_65536", [](int32_t*) { return SetMWith(7, 65536); }, kSetM},
    {"SetM_PWM_511", [](int32_t*) { return SetMWith(8, 511); }, kSetM},
    {"SetPWM_first_256", [](int32_t*) { return SetPwmWith(0, 256); }, kSetPwm},
    {"SetPWM_fourth_511", [](int32_t*) { return SetPwmWith(3, 511); }, kSetPwm},
    {"SetPWM_last_minus_1", [](int32_t*) { return SetPwmWith(5, -1); }, kSetPwm},
    {"SetPWM_min_int", [](int32_t*) { return SetPwmWith(2, INT32_MIN); }, kSetPwm},
    {"SavePar_6", [](int32_t*) { return QV725_SavePar(6); }, "Save Params: invalid parameters."},
    {"SavePar_minus_1", [](int32_t*) { return QV725_SavePar(-1); },
     "Save Params: invalid parameters."},
    {"CallPar_256", [](int32_t*) { return QV725_CallPar(256); },
     "Call Params: invalid parameters."},
};

class ArgumentCheckTest : public LibraryTest, public ::testing::WithParamInterface<BadCall> {};

TEST_P(ArgumentCheckTest, RefusedBeforeAnythingIsSent) {
    const BadCall& c = GetParam();
    int32_t out[8];
    std::fill(std::begin(out), std::end(out), Unwritten);
    backend.Reply(0, Hex("C0 08 01 00 CC"));  // would be taken for a success if asked
    EXPECT_EQ(c.run(out), 0);
    EXPECT_EQ(LastError(), c.text);
    EXPECT_TRUE(TakeWrites().empty()) << "a byte reached the device";
    EXPECT_TRUE(backend.calls().empty()) << backend.calls().front();
    if (out[0] != Unwritten) {
        EXPECT_TRUE(std::all_of(std::begin(out), std::end(out), [](int32_t v) { return v == 0; }))
            << "the outputs of a refused read are zeros";
    }
}

TEST_P(ArgumentCheckTest, RefusedWithNoControllerOpen) {
    const BadCall& c = GetParam();
    QV725_CloseDevice();
    backend.ClearCalls();
    int32_t out[8];
    EXPECT_EQ(c.run(out), 0);
    EXPECT_EQ(LastError(), c.text);
    EXPECT_TRUE(backend.calls().empty());
}

INSTANTIATE_TEST_SUITE_P(Exports, ArgumentCheckTest, ::testing::ValuesIn(badCalls),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryTest, ARefusalLeavesTheNextCommandAlone) {
    EXPECT_EQ(QV725_SetPWM(256, 0, 0, 0, 0, 0), 0);
    backend.Reply(0, Hex("C0 0A 01 00 83"));
    EXPECT_EQ(QV725_SetPWM(255, 0, 0, 0, 0, 0), 1);
    EXPECT_EQ(TakeWrites(), std::vector<std::string>{"C0 0A 06 FF 00 00 00 00 00 60"});
    EXPECT_EQ(LastError(), "");
}

}  // namespace
