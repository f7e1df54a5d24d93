// Hostile controller replies, through the scripted transport and through a real
// pseudo-terminal: every single-byte change of a good reply to each read command, counts beyond
// the reply buffer, endless noise, a device that echoes each request, replies of another command,
// short replies, late replies, a stray byte now and then, and replies split across reads. The
// library answers false with its documented texts (or the documented result where the rules
// accept the reply), never writes past the caller's outputs, ends every call within its reply's
// deadline, and works normally on the next good reply.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Device.h"
#include "LastError.h"
#include "ReplyDeadline.h"
#include "ReplyRigs.h"
#include "Wake.h"

namespace {

using Values = std::vector<int32_t>;

constexpr int32_t Unwritten = 0x7FFFFFFF;  // no output of any command can hold this
constexpr int32_t Guard = 0x5A5A5A5A;

// Every text a failed command may leave: a prefix followed by a status text.
const std::set<std::string>& FailureTexts() {
    static const std::set<std::string> texts = [] {
        const char* prefixes[] = {"",
                                  "IO error: ",
                                  "Set address error: ",
                                  "Get address error: ",
                                  "Get temperature: ",
                                  "Get fan RPM: ",
                                  "Set channel mode: ",
                                  "Get channel mode: ",
                                  "Set PWM: ",
                                  "Get PWM: ",
                                  "Save Params: ",
                                  "Call Params: ",
                                  "System error: "};
        const char* statuses[] = {"invalid packet.",        "device busy.",
                                  "device not ready.",      "invalid parameters.",
                                  "device not responding.", "unknown."};
        std::set<std::string> all;
        for (const char* p : prefixes)
            for (const char* s : statuses)
                all.insert(std::string(p) + s);
        return all;
    }();
    return texts;
}

// A read command with a good reply whose data holds bytes that travel as escape pairs.
struct ReadCommand {
    const char* name;
    uint8_t code;
    Bytes replyData;
    Values expected;
    uint8_t (*run)(int32_t* out);  // writes expected.size() outputs
};

Bytes Le16(std::initializer_list<int> values) {
    Bytes bytes{0};  // status
    for (int v : values) {
        bytes.push_back(static_cast<uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return bytes;
}

const ReadCommand kReadCommands[] = {
    {"GetT",
     6,
     Le16({250, -50, 192, 219, 0x7FFF, -32768}),
     {250, -50, 192, 219, 32767, -32768},
     [](int32_t* o) { return QV725_GetT(o, o + 1, o + 2, o + 3, o + 4, o + 5); }},
    {"GetV",
     7,
     Le16({1200, 65535, 0, 0xC0DB, 1, 1000}),
     {1200, 65535, 0, 0xC0DB, 1, 1000},
     [](int32_t* o) { return QV725_GetV(o, o + 1, o + 2, o + 3, o + 4, o + 5); }},
    {"GetPWM",
     11,
     {0, 10, 20, 0xC0, 0xDB, 50, 255},
     {10, 20, 0xC0, 0xDB, 50, 255},
     [](int32_t* o) { return QV725_GetPWM(o, o + 1, o + 2, o + 3, o + 4, o + 5); }},
    {"GetM",
     9,
     Hex("00 0F 2C 01 4D DB C0 FF 52 03 F4 01 C0"),
     {15, 300, 77, 0xC0DB, 255, 850, 500, 0xC0},
     [](int32_t* o) { return QV725_GetM(4, o, o + 1, o + 2, o + 3, o + 4, o + 5, o + 6, o + 7); }},
};

// Runs a command into outputs fenced by guards; checks the guards and that every output was
// written, and returns the outputs.
Values RunFenced(const ReadCommand& c, uint8_t& result) {
    std::vector<int32_t> fence(c.expected.size() + 2, Unwritten);
    fence.front() = Guard;
    fence.back() = Guard;
    result = c.run(fence.data() + 1);
    EXPECT_EQ(fence.front(), Guard) << "written before the outputs";
    EXPECT_EQ(fence.back(), Guard) << "written past the outputs";
    Values out(fence.begin() + 1, fence.end() - 1);
    for (int32_t v : out) {
        EXPECT_NE(v, Unwritten) << "an output was left unwritten";
    }
    return out;
}

// The good reply is read correctly: the library was left in order by whatever came before.
template <class Rig>
void ExpectGoodExchange(Rig& rig, const ReadCommand& c) {
    rig.Prepare(WakeFrame(c.code, c.replyData));
    uint8_t result = 0;
    const Values out = RunFenced(c, result);
    EXPECT_EQ(result, 1) << LastError();
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(LastError(), "");
}

// The values a single byte at `position` is changed to in one rig.
template <class Rig>
std::vector<uint8_t> ChangedValues(uint8_t original) {
    std::vector<uint8_t> values;
    if (Rig::Exhaustive) {
        for (int v = 0; v < 256; ++v)
            values.push_back(static_cast<uint8_t>(v));
    } else {
        values = {static_cast<uint8_t>(original ^ 0x01), static_cast<uint8_t>(original ^ 0x80),
                  wake::FEND, wake::FESC, 0x00};
    }
    std::erase(values, original);
    return values;
}

template <class Rig>
class HostileReply : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(rig.Opened()); }
    Rig rig;
};

struct RigNames {
    template <class Rig>
    static std::string GetName(int) {
        return Rig::Name;
    }
};

using Rigs = ::testing::Types<ScriptedRig, PtyRig>;
TYPED_TEST_SUITE(HostileReply, Rigs, RigNames);

// True when changing byte `position` of the stuffed frame `good` to `value` keeps the frame's
// structure: the byte is the command (staying a command) or a data or CRC byte outside an
// escape pair, and the new value needs no escape. The CRC-8 then sees exactly one changed byte
// and always catches it. Any other change alters the count, turns the command into an address,
// or breaks or makes an escape pair; the reader then checks its CRC at another byte, which
// holds the right value by chance about once in 256 times.
bool KeepsStructure(const Bytes& good, size_t position, uint8_t value) {
    if (position == 0 || position == 2 || value == wake::FEND || value == wake::FESC) {
        return false;
    }
    if (position == 1 && (value & 0x80) != 0) {
        return false;
    }
    for (size_t i = 1; i < good.size(); ++i) {
        if (good[i] == wake::FESC) {
            if (position == i || position == i + 1) {
                return false;
            }
            ++i;
        }
    }
    return true;
}

TYPED_TEST(HostileReply, EverySingleByteChangeIsRefusedOrAcceptedOnlyByChance) {
    size_t structural = 0;
    size_t acceptedByChance = 0;
    for (const ReadCommand& c : kReadCommands) {
        const Bytes good = WakeFrame(c.code, c.replyData);
        ExpectGoodExchange(this->rig, c);
        for (size_t position = 0; position < good.size(); ++position) {
            for (const uint8_t value : ChangedValues<TypeParam>(good[position])) {
                SCOPED_TRACE(std::string(c.name) + " byte " + std::to_string(position) + " = " +
                             std::to_string(value));
                Bytes bad = good;
                bad[position] = value;
                this->rig.Prepare(bad);
                uint8_t result = 1;
                RunFenced(c, result);
                if (KeepsStructure(good, position, value)) {
                    EXPECT_EQ(result, 0) << "the CRC let a single changed byte through";
                } else {
                    ++structural;
                    acceptedByChance += result;
                }
                if (result == 0) {
                    EXPECT_EQ(FailureTexts().count(LastError()), 1u) << LastError();
                }
                if (TypeParam::Exhaustive) {
                    ExpectGoodExchange(this->rig, c);
                }
            }
        }
        ExpectGoodExchange(this->rig, c);
    }
    // A frame whose structure was damaged and whose CRC matches by chance counts as a good reply
    // when it keeps the request's code and a success still brings every field.
    std::printf("%zu of %zu structure-changing single-byte changes passed the CRC by chance\n",
                acceptedByChance, structural);
    EXPECT_LT(acceptedByChance * 100, structural) << "more than one in a hundred";
}

TYPED_TEST(HostileReply, CountBeyondTheReplyBufferIsRefusedWhenItArrives) {
    const ReadCommand& getT = kReadCommands[0];
    for (int count = 201; count <= 255; ++count) {
        SCOPED_TRACE("N = " + std::to_string(count));
        Bytes data(static_cast<size_t>(count), 0x41);
        data[0] = 0;
        const Bytes frame = WakeFrame(getT.code, data);
        this->rig.Prepare(frame);
        uint8_t result = 1;
        const Values out = RunFenced(getT, result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(LastError(), "IO error: device not responding.");
        EXPECT_EQ(out, Values(6, 0)) << "no data byte was stored";
        if constexpr (std::is_same_v<TypeParam, ScriptedRig>) {
            // FEND, command and the count (0xDB travels as an escape pair) were read.
            const size_t read = count == wake::FESC ? 4 : 3;
            EXPECT_EQ(this->rig.Unread(), frame.size() - read) << "refused at the count byte";
        }
    }
    ExpectGoodExchange(this->rig, getT);
}

TYPED_TEST(HostileReply, AFullReplyBufferIsAccepted) {
    // 200 data bytes fill the buffer exactly; the identification text stays terminated.
    this->rig.Prepare(IdentificationFrame(std::string(200, 'Q')));
    const char* text = nullptr;
    EXPECT_EQ(QV725_GetInfo(&text), 1);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::strlen(text), 200u);
}

TYPED_TEST(HostileReply, EndlessNoiseIsRefusedAfterBoundedReads) {
    // Every byte value but FEND, over and over: no frame ever starts.
    const size_t length = TypeParam::Exhaustive ? 100000 : 2000;
    Bytes noise(length);
    for (size_t i = 0; i < length; ++i) {
        noise[i] = static_cast<uint8_t>(i % 255 + 1 == wake::FEND ? 0 : i % 255 + 1);
    }
    for (const ReadCommand& c : kReadCommands) {
        SCOPED_TRACE(c.name);
        this->rig.Prepare(noise);
        uint8_t result = 1;
        RunFenced(c, result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(LastError(), "IO error: device not responding.");
        if constexpr (std::is_same_v<TypeParam, ScriptedRig>) {
            EXPECT_EQ(this->rig.Unread(), length - wake::MaxHuntReads);
        }
        ExpectGoodExchange(this->rig, c);
    }
}

// What the rules make of a device that sends every request straight back. An echoed request
// is a well-formed frame with the request's code; its first data byte is read as the status. A
// request without data comes back without a status byte, and a request whose first byte is 0
// comes back as a success only as long as the command's reply: those are refused. Requests
// whose first byte is not 0 fail with the status that byte happens to name; an echoed SetM or
// SetPWM whose first byte is 0 is as long as a reply needs to be, and cannot be told from one.
struct Echo {
    const char* name;
    uint8_t code;
    Bytes requestData;
    uint8_t (*run)();
    uint8_t result;
    const char* text;
};

const Echo kEchoes[] = {
    {"GetT",
     6,
     {},
     [] { return QV725_GetT(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
     0,
     "IO error: device not responding."},
    {"GetV",
     7,
     {},
     [] { return QV725_GetV(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
     0,
     "IO error: device not responding."},
    {"GetPWM",
     11,
     {},
     [] { return QV725_GetPWM(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr); },
     0,
     "IO error: device not responding."},
    {"GetM channel 0",
     9,
     {0},
     [] {
         return QV725_GetM(0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                           nullptr);
     },
     0,
     "IO error: device not responding."},
    {"GetM channel 3",
     9,
     {3},
     [] { return QV725_GetM(3, 0, 0, 0, 0, 0, 0, 0, 0); },
     0,
     "Get channel mode: device not ready."},
    {"SetM channel 0", 8, Hex("00 06 2C 01 4D 58 02 FF BC 02 F4 01 80"),
     [] { return QV725_SetM(0, 6, 300, 77, 600, 255, 700, 500, 128); }, 1, ""},
    {"SetM channel 2", 8, Hex("02 06 2C 01 4D 58 02 FF BC 02 F4 01 80"),
     [] { return QV725_SetM(2, 6, 300, 77, 600, 255, 700, 500, 128); }, 0,
     "Set channel mode: device busy."},
    {"SetPWM first 128", 10, Hex("80 00 00 00 00 00"),
     [] { return QV725_SetPWM(128, 0, 0, 0, 0, 0); }, 0, "Set PWM: unknown."},
    {"SetPWM first 0", 10, Hex("00 FF FF FF FF FF"),
     [] { return QV725_SetPWM(0, 255, 255, 255, 255, 255); }, 1, ""},
    {"SavePar channel 5",
     12,
     {5},
     [] { return QV725_SavePar(5); },
     0,
     "Save Params: device not responding."},
    {"CallPar channel 1",
     13,
     {1},
     [] { return QV725_CallPar(1); },
     0,
     "Call Params: invalid packet."},
    {"GetInfo",
     3,
     {},
     [] {
         const char* text = nullptr;
         const uint8_t r = QV725_GetInfo(&text);
         return static_cast<uint8_t>(r && text != nullptr && *text == '\0');
     },
     1,
     ""},
};

TYPED_TEST(HostileReply, EchoedRequestsGiveTheResultTheRulesMakeOfThem) {
    for (const Echo& e : kEchoes) {
        SCOPED_TRACE(e.name);
        const Bytes echo = WakeFrame(e.code, e.requestData);
        this->rig.Prepare(echo);
        EXPECT_EQ(e.run(), e.result);
        EXPECT_EQ(LastError(), e.text);
        if constexpr (std::is_same_v<TypeParam, ScriptedRig>) {
            EXPECT_EQ(ToHex(this->rig.LastRequest()), ToHex(echo)) << "not an echo";
        }
    }
    // An echoing device is never taken for a controller: its identification is empty.
    EXPECT_EQ(this->rig.Reopen(WakeFrame(3, {})), 0);
}

TYPED_TEST(HostileReply, ReplyOfAnotherCommandIsRefused) {
    // A well-formed reply with another command's code answers another request, whatever its
    // status says: refused, and none of its data reaches the outputs.
    struct Case {
        const char* name;
        Bytes reply;
    };
    const Case cases[] = {
        {"PWM reply to a temperature request", Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15")},
        {"busy fan speed reply", WakeFrame(7, Hex("02 01 00 02 00 03 00 04 00 05 00 06 00"))},
        {"reply with code 20", WakeFrame(20, {4})},
        {"reply with code 20 and status 0", WakeFrame(20, Bytes(13, 0))},
        {"PWM reply with an address byte", Hex("C0 85 0B 07 00 0A 14 1E 28 32 3C E3")},
    };
    const ReadCommand& getT = kReadCommands[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        this->rig.Prepare(c.reply);
        uint8_t result = 9;
        const Values out = RunFenced(getT, result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(out, Values(6, 0));
        EXPECT_EQ(LastError(), "IO error: device not responding.");
    }
    ExpectGoodExchange(this->rig, getT);
}

TYPED_TEST(HostileReply, ReplyWithTheRequestsCodeAndAnAddressByteIsTaken) {
    const ReadCommand& getPwm = kReadCommands[2];
    this->rig.Prepare(Hex("C0 85 0B 07 00 0A 14 1E 28 32 3C E3"));
    uint8_t result = 0;
    EXPECT_EQ(RunFenced(getPwm, result), (Values{10, 20, 30, 40, 50, 60}));
    EXPECT_EQ(result, 1) << LastError();
}

TYPED_TEST(HostileReply, ShortSuccessIsRefusedShortRefusalIsReported) {
    // Every length a reply to each read command can fall short by, saying "success".
    for (const ReadCommand& c : kReadCommands) {
        for (size_t length = 0; length < c.replyData.size(); ++length) {
            SCOPED_TRACE(std::string(c.name) + " with " + std::to_string(length) + " bytes");
            this->rig.Prepare(
                WakeFrame(c.code, Bytes(c.replyData.begin(), c.replyData.begin() + length)));
            uint8_t result = 9;
            RunFenced(c, result);
            EXPECT_EQ(result, 0);
            EXPECT_EQ(LastError(), "IO error: device not responding.");
        }
        // A refusal carries its status byte alone.
        SCOPED_TRACE(c.name);
        this->rig.Prepare(WakeFrame(c.code, {2}));
        uint8_t result = 9;
        EXPECT_EQ(RunFenced(c, result), Values(c.expected.size(), 0));
        EXPECT_EQ(result, 0);
        EXPECT_NE(LastError().find("device busy."), std::string::npos) << LastError();
        ExpectGoodExchange(this->rig, c);
    }
}

TYPED_TEST(HostileReply, LateReplyAnswersNoLaterRequest) {
    // Each read command's reply comes 300 ms after its request, which has given up by then;
    // the next command is asked once the late reply is on the line.
    for (size_t i = 0; i < std::size(kReadCommands); ++i) {
        const ReadCommand& late = kReadCommands[i];
        const ReadCommand& next = kReadCommands[(i + 1) % std::size(kReadCommands)];
        SCOPED_TRACE(std::string(late.name) + " late, then " + next.name);
        this->rig.PrepareInPieces({{RigMs(300), WakeFrame(late.code, late.replyData)}});
        uint8_t result = 9;
        RunFenced(late, result);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(LastError(), "IO error: device not responding.");
        this->rig.AwaitLateReplies();
        this->rig.Queue(WakeFrame(next.code, next.replyData));
        EXPECT_EQ(RunFenced(next, result), next.expected);
        EXPECT_EQ(result, 1) << LastError();
    }
}

TYPED_TEST(HostileReply, AStrayByteEvery150MsHoldsACallNoLongerThanItsDeadline) {
    const double byteMs = 10.0 * 1000.0 / qv725::BaudRate;
    const double deadlineMs =
        qv725::ReplyTimeoutMs + static_cast<double>(ReplyDeadline::HeaderBytes) * byteMs;
    for (const ReadCommand& c : kReadCommands) {
        SCOPED_TRACE(c.name);
        this->rig.Prepare({});
        this->rig.Trickle(0x55, RigMs(150));
        const auto start = this->rig.Now();
        uint8_t result = 9;
        RunFenced(c, result);
        const double spent = this->rig.MsSince(start);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(LastError(), "IO error: device not responding.");
        EXPECT_LE(spent, deadlineMs + TypeParam::DeadlineSlackMs);
        std::printf("%s: %.1f ms against a deadline of %.1f ms\n", c.name, spent, deadlineMs);
        ExpectGoodExchange(this->rig, c);
    }
}

TYPED_TEST(HostileReply, ReplySplitAcrossReadsIsReadWhole) {
    // The first part of the reply answers the request at once, the rest follows 20 ms later.
    // Every split point of every read command's reply.
    for (const ReadCommand& c : kReadCommands) {
        const Bytes good = WakeFrame(c.code, c.replyData);
        for (size_t split = 1; split < good.size(); ++split) {
            SCOPED_TRACE(std::string(c.name) + " split at " + std::to_string(split));
            this->rig.PrepareSplit(Bytes(good.begin(), good.begin() + split),
                                   Bytes(good.begin() + split, good.end()));
            uint8_t result = 0;
            EXPECT_EQ(RunFenced(c, result), c.expected);
            EXPECT_EQ(result, 1) << LastError();
        }
    }
}

}  // namespace
