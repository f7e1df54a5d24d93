// The command exports over a scripted controller: exact request frames, outputs taken from the
// replies, results and last-error texts.
#include <algorithm>
#include <ostream>
#include <thread>

#include "Device.h"
#include "LibraryFixture.h"
#include "Wake.h"

namespace {

using Outputs = std::vector<int32_t>;
using Frames = std::vector<std::string>;

// Runs one export and returns its result and outputs.
struct Call {
    const char* name;
    uint8_t (*run)(Outputs&);
};

uint8_t RunGetT(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetT(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}
uint8_t RunGetV(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetV(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}
uint8_t RunGetPWM(Outputs& o) {
    o.assign(6, -1);
    return QV725_GetPWM(&o[0], &o[1], &o[2], &o[3], &o[4], &o[5]);
}
uint8_t RunGetM0(Outputs& o) {
    o.assign(8, -1);
    return QV725_GetM(0, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7]);
}
uint8_t RunGetM4(Outputs& o) {
    o.assign(8, -1);
    return QV725_GetM(4, &o[0], &o[1], &o[2], &o[3], &o[4], &o[5], &o[6], &o[7]);
}
uint8_t RunSetM(Outputs& o) {
    o.clear();
    return QV725_SetM(2, 6, 300, 77, 600, 255, 700, 500, 128);
}
uint8_t RunSetMWidest(Outputs& o) {
    o.clear();  // every field at the most it can carry on the wire
    return QV725_SetM(5, 255, 65535, 255, 65535, 255, 65535, 65535, 255);
}
uint8_t RunSetMNarrowest(Outputs& o) {
    o.clear();
    return QV725_SetM(0, 0, 0, 0, 0, 0, 0, 0, 0);
}
uint8_t RunSetPWM(Outputs& o) {
    o.clear();
    return QV725_SetPWM(0x80, 0x80, 0x80, 0x80, 0x80, 0x80);
}
uint8_t RunSetPWMEscaped(Outputs& o) {
    o.clear();
    return QV725_SetPWM(0xC0, 0xDB, 0, 0, 0, 0);
}
uint8_t RunSavePar5(Outputs& o) {
    o.clear();
    return QV725_SavePar(5);
}
uint8_t RunCallPar3(Outputs& o) {
    o.clear();
    return QV725_CallPar(3);
}

struct Exchange {
    const char* name;
    uint8_t (*run)(Outputs&);
    const char* request;
    const char* reply;
    uint8_t result;
    Outputs outputs;
    const char* lastError;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const Exchange& e, std::ostream* os) {
    *os << e.name;
}

const Exchange exchanges[] = {
    {"SetM",
     RunSetM,
     "C0 08 0D 02 06 2C 01 4D 58 02 FF BC 02 F4 01 80 84",
     "C0 08 01 00 CC",
     1,
     {},
     ""},
    {"SetM_widest_values",
     RunSetMWidest,
     "C0 08 0D 05 FF FF FF FF FF FF FF FF FF FF FF FF A0",
     "C0 08 01 00 CC",
     1,
     {},
     ""},
    {"SetM_narrowest_values",
     RunSetMNarrowest,
     "C0 08 0D 00 00 00 00 00 00 00 00 00 00 00 00 00 8E",
     "C0 08 01 00 CC",
     1,
     {},
     ""},
    {"GetT",
     RunGetT,
     "C0 06 00 14",
     "C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED",
     1,
     {250, -50, 0, 0, 0, 0},
     ""},
    {"GetV",
     RunGetV,
     "C0 07 00 D0",
     "C0 07 0D 00 B0 04 FF FF 00 00 34 12 01 00 E8 03 60",
     1,
     {1200, 65535, 0, 0x1234, 1, 1000},
     ""},
    {"GetPWM",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B 07 00 0A 14 1E 28 32 3C 15",
     1,
     {10, 20, 30, 40, 50, 60},
     ""},
    {"GetPWM_reply_with_address",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 85 0B 07 00 0A 14 1E 28 32 3C E3",
     1,
     {10, 20, 30, 40, 50, 60},
     ""},
    {"GetM",
     RunGetM0,
     "C0 09 01 00 67",
     "C0 09 0D 00 0F 2C 01 4D 58 02 FF 52 03 F4 01 80 A7",
     1,
     {15, 300, 77, 600, 255, 850, 500, 128},
     ""},
    {"GetM_reads_temperatures_unsigned",
     RunGetM4,
     "C0 09 01 04 06",
     "C0 09 0D 00 00 FF FF 00 FF FF 00 FF FF FF FF 00 7C",
     1,
     {0, 65535, 0, 65535, 0, 65535, 65535, 0},
     ""},
    {"SetPWM", RunSetPWM, "C0 0A 06 80 80 80 80 80 80 0F", "C0 0A 01 00 83", 1, {}, ""},
    {"SetPWM_escaped",
     RunSetPWMEscaped,
     "C0 0A 06 DB DC DB DD 00 00 00 00 87",
     "C0 0A 01 04 E2",
     0,
     {},
     "Set PWM: invalid parameters."},
    {"SavePar",
     RunSavePar5,
     "C0 0C 01 05 6D",
     "C0 0C 01 02 EE",
     0,
     {},
     "Save Params: device busy."},
    {"CallPar", RunCallPar3, "C0 0D 01 03 1B", "C0 0D 01 00 F9", 1, {}, ""},
    {"GetT_busy",
     RunGetT,
     "C0 06 00 14",
     "C0 06 0D 02 00 00 00 00 00 00 00 00 00 00 00 00 96",
     0,
     {0, 0, 0, 0, 0, 0},
     "Get temperature: device busy."},
    {"GetPWM_status_9",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B 07 09 00 00 00 00 00 00 48",
     0,
     {0, 0, 0, 0, 0, 0},
     "Get PWM: unknown."},
    // A reply with another command code answers another request, whatever its status says.
    {"code_20_status_4",
     RunSetPWM,
     "C0 0A 06 80 80 80 80 80 80 0F",
     "C0 14 01 04 5C",
     0,
     {},
     "IO error: device not responding."},
    {"code_20_status_0",
     RunSetPWM,
     "C0 0A 06 80 80 80 80 80 80 0F",
     "C0 14 01 00 3D",
     0,
     {},
     "IO error: device not responding."},
    {"PWM_reply_to_GetT",
     RunGetT,
     "C0 06 00 14",
     "C0 0B 07 00 0A 14 1E 28 32 3C 15",
     0,
     {0, 0, 0, 0, 0, 0},
     "IO error: device not responding."},
    {"silent_controller",
     RunGetT,
     "C0 06 00 14",
     "",
     0,
     {0, 0, 0, 0, 0, 0},
     "IO error: device not responding."},
    {"bad_CRC",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B 07 00 0A 14 1E 28 32 3C 16",
     0,
     {10, 20, 30, 40, 50, 60},
     "IO error: device not responding."},
    {"bad_escape",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B 07 00 DB 14 1E 28 32 3C 15",
     0,
     {0, 0, 0, 0, 0, 0},
     "IO error: device not responding."},
    {"missing_bytes",
     RunGetT,
     "C0 06 00 14",
     "C0 06 0D 00 FA 00 CE",
     0,
     {250, 206, 0, 0, 0, 0},
     "IO error: device not responding."},
    {"oversized_count",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B C9 00 0A 14",
     0,
     {0, 0, 0, 0, 0, 0},
     "IO error: device not responding."},
    // A success must bring every field; a refusal may be its status byte alone.
    {"short_reply_refused",
     RunGetT,
     "C0 06 00 14",
     "C0 06 03 00 FA 00 22",
     0,
     {250, 0, 0, 0, 0, 0},
     "IO error: device not responding."},
    {"short_GetPWM_reply_refused",
     RunGetPWM,
     "C0 0B 00 9D",
     "C0 0B 06 00 0A 14 1E 28 32 F5",
     0,
     {10, 20, 30, 40, 50, 0},
     "IO error: device not responding."},
    {"reply_without_status_refused",
     RunSetPWM,
     "C0 0A 06 80 80 80 80 80 80 0F",
     "C0 0A 00 59",
     0,
     {},
     "IO error: device not responding."},
    {"status_only_refusal",
     RunGetM4,
     "C0 09 01 04 06",
     "C0 09 01 02 DB DD",
     0,
     {0, 0, 0, 0, 0, 0, 0, 0},
     "Get channel mode: device busy."},
    {"longer_reply_accepted", RunSavePar5, "C0 0C 01 05 6D", "C0 0C 02 00 07 00", 1, {}, ""},
};

class ExchangeTest : public LibraryTest, public ::testing::WithParamInterface<Exchange> {};

TEST_P(ExchangeTest, RequestOutputsAndText) {
    const Exchange& e = GetParam();
    if (*e.reply != '\0') {
        backend.Reply(0, Hex(e.reply));
    }
    Outputs outputs;
    EXPECT_EQ(e.run(outputs), e.result);
    EXPECT_EQ(TakeWrites(), Frames{e.request});
    EXPECT_EQ(outputs, e.outputs);
    EXPECT_EQ(LastError(), e.lastError);
}

INSTANTIATE_TEST_SUITE_P(Exports, ExchangeTest, ::testing::ValuesIn(exchanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LibraryTest, IdentificationCarriesNoStatus) {
    backend.Reply(0, Hex("C0 03 0B 51 56 2D 37 32 35 20 76 31 2E 30 C1"));
    const char* text = nullptr;
    EXPECT_EQ(QV725_GetInfo(&text), 1) << "first byte 'Q' is not a status";
    EXPECT_EQ(TakeWrites(), Frames{"C0 03 00 EB"});
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "QV-725 v1.0");
    EXPECT_EQ(LastError(), "");
}

TEST_F(LibraryTest, IdentificationFillingTheWholeBufferStaysTerminated) {
    uint8_t frame[wake::SendBufferSize];
    const Bytes text(200, 'A');
    const size_t n = WakeBuildFrame(0, 3, 200, text.data(), frame);
    backend.Reply(0, Bytes(frame, frame + n));
    const char* info = nullptr;
    ASSERT_EQ(QV725_GetInfo(&info), 1);
    EXPECT_EQ(std::string(info), std::string(200, 'A'));
}

TEST_F(LibraryTest, SilentIdentificationIsAnIoError) {
    const char* text = nullptr;
    EXPECT_EQ(QV725_GetInfo(&text), 0);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(LastError(), "IO error: device not responding.");
}

TEST_F(LibraryTest, FailedSendIsAnIoErrorWithoutAReceive) {
    backend.LimitWrites(2);
    backend.Reply(0, Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    Outputs o;
    EXPECT_EQ(RunGetT(o), 0);
    EXPECT_EQ(o, Outputs(6, 0));
    EXPECT_EQ(LastError(), "IO error: device not responding.");
}

TEST_F(LibraryTest, SuccessClearsTheLastError) {
    Outputs o;
    EXPECT_EQ(RunGetT(o), 0);
    EXPECT_NE(LastError(), "");
    backend.Reply(0, Hex("C0 0A 01 00 83"));
    EXPECT_EQ(RunSetPWM(o), 1);
    EXPECT_EQ(LastError(), "");
}

TEST_F(LibraryTest, AFailureLeavesTheDeviceOpenAndNothingIsRetried) {
    Outputs o;
    EXPECT_EQ(RunGetT(o), 0);
    EXPECT_EQ(TakeWrites().size(), 1u);
    EXPECT_TRUE(backend.device(0).open);
    backend.Reply(0, Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    EXPECT_EQ(RunGetT(o), 1);
}

TEST_F(LibraryTest, NullOutputsAreSkipped) {
    backend.Reply(0, Hex("C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"));
    int32_t t2 = 0;
    EXPECT_EQ(QV725_GetT(nullptr, &t2, nullptr, nullptr, nullptr, nullptr), 1);
    EXPECT_EQ(t2, -50);
    EXPECT_EQ(QV725_GetLastError(nullptr), 1);
    EXPECT_EQ(QV725_GetInfo(nullptr), 0);
}

TEST_F(LibraryTest, CommandsFromSeveralThreadsDoNotInterleave) {
    // Each request gets its own reply only if every exchange runs whole under the lock.
    constexpr int PerThread = 200;
    for (int i = 0; i < 2 * PerThread; ++i) {
        backend.Reply(0, Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15"));
    }
    auto worker = [] {
        int good = 0;
        for (int i = 0; i < PerThread; ++i) {
            Outputs o;
            good += RunGetPWM(o) == 1 && o == Outputs{10, 20, 30, 40, 50, 60};
        }
        return good;
    };
    int a = 0;
    std::thread other([&] { a = worker(); });
    const int b = worker();
    other.join();
    EXPECT_EQ(a + b, 2 * PerThread);
}

// Every prefix and status text, through a reply whose code and status byte are chosen.
struct ComposedText {
    uint8_t code;
    uint8_t status;
    const char* text;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const ComposedText& c, std::ostream* os) {
    *os << "code " << int(c.code) << " status " << int(c.status);
}

const ComposedText composedTexts[] = {
    {0, 1, "invalid packet."},
    {1, 5, "IO error: device not responding."},
    {2, 4, ""},
    {3, 4, ""},
    {4, 1, "Set address error: invalid packet."},
    {5, 2, "Get address error: device busy."},
    {6, 3, "Get temperature: device not ready."},
    {7, 4, "Get fan RPM: invalid parameters."},
    {8, 5, "Set channel mode: device not responding."},
    {9, 6, "Get channel mode: unknown."},
    {10, 7, "Set PWM: unknown."},
    {11, 255, "Get PWM: unknown."},
    {12, 1, "Save Params: invalid packet."},
    {13, 2, "Call Params: device busy."},
    {14, 3, "System error: device not ready."},
    {15, 1, "System error: invalid packet."},
    {127, 2, "System error: device busy."},
    {9, 0, ""},
    {127, 0, ""},
};

// The export that sends each command code.
uint8_t RunCode(uint8_t code) {
    Outputs o;
    switch (code) {
        case 3:
            return QV725_GetInfo(nullptr);
        case 6:
            return RunGetT(o);
        case 7:
            return RunGetV(o);
        case 8:
            return RunSetM(o);
        case 9:
            return RunGetM4(o);
        case 10:
            return RunSetPWM(o);
        case 11:
            return RunGetPWM(o);
        case 12:
            return RunSavePar5(o);
        default:
            return RunCallPar3(o);
    }
}

class ComposedTextTest : public LibraryTest, public ::testing::WithParamInterface<ComposedText> {};

TEST_P(ComposedTextTest, PrefixOfTheCommandAndTextOfItsStatus) {
    const ComposedText& c = GetParam();
    const bool success = *c.text == '\0';
    if (c.code == 3 || (c.code >= 6 && c.code <= 13)) {
        // Through the export that sends this code, answered with the same code: a reply as
        // long as the command's, whose status byte is chosen.
        uint8_t frame[wake::SendBufferSize];
        Bytes data(std::max<size_t>(qv725::ReplyLength(c.code), 1), 0);
        data[0] = c.status;
        const size_t n =
            WakeBuildFrame(0, c.code, static_cast<uint8_t>(data.size()), data.data(), frame);
        backend.Reply(0, Bytes(frame, frame + n));
        EXPECT_EQ(RunCode(c.code), success ? 1 : 0);
    } else {
        // No export sends this code, and a reply carrying it is refused: the texts the library
        // composes for it all the same.
        EXPECT_EQ(qv725::ComposeResult(c.code, c.status), success);
    }
    EXPECT_EQ(LastError(), c.text);
}

INSTANTIATE_TEST_SUITE_P(Exports, ComposedTextTest, ::testing::ValuesIn(composedTexts),
                         [](const auto& info) {
                             return "code" + std::to_string(info.param.code) + "_status" +
                                    std::to_string(info.param.status);
                         });

}  // namespace
