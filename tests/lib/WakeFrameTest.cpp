// Wake framing: golden frames both ways, stuffing of every field, CRC, noise and error cases.
#include <gtest/gtest.h>
#include <ostream>

#include <algorithm>
#include <cstring>

#include "ScriptedBackend.h"
#include "Wake.h"

namespace {

Bytes Build(uint8_t address, uint8_t command, const Bytes& data) {
    uint8_t out[wake::SendBufferSize];
    const size_t length =
        WakeBuildFrame(address, command, static_cast<uint8_t>(data.size()), data.data(), out);
    return Bytes(out, out + length);
}

// Result of reading one frame from a fixed byte sequence that then runs dry (a timeout).
struct Parsed {
    bool ok = false;
    uint8_t address = 0xEE;
    uint8_t command = 0xEE;
    uint8_t count = 0xEE;
    Bytes data;
    size_t consumed = 0;
};

constexpr size_t Capacity = 200;
constexpr size_t Guard = 64;
constexpr uint8_t GuardByte = 0xA5;

Parsed Parse(const Bytes& input, size_t capacity = Capacity) {
    Parsed p;
    // The data buffer is followed by a guard region that must stay untouched.
    uint8_t buffer[255 + Guard];
    std::memset(buffer, GuardByte, sizeof buffer);
    size_t next = 0;
    auto source = [&](uint8_t& b) {
        if (next >= input.size()) {
            return false;
        }
        b = input[next++];
        return true;
    };
    p.ok = WakeReadFrame(source, p.address, p.command, buffer, capacity, p.count);
    p.consumed = next;
    for (size_t i = capacity; i < sizeof buffer; ++i) {
        EXPECT_EQ(buffer[i], GuardByte) << "byte written past the buffer at " << i;
    }
    if (p.ok) {
        p.data.assign(buffer, buffer + p.count);
    }
    return p;
}

struct GoldenFrame {
    const char* name;
    uint8_t address;  // as given to the sender, and as the receiver returns it
    uint8_t command;
    const char* data;
    const char* wire;
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const GoldenFrame& f, std::ostream* os) { *os << f.name; }

// Frames as they travel: address 0 carries no address byte; 0xC0 and 0xDB are escaped in the
// address, the count, the data and the CRC.
const GoldenFrame goldenFrames[] = {
    {"temperature request", 0, 6, "", "C0 06 00 14"},
    {"identification request", 0, 3, "", "C0 03 00 EB"},
    {"channel 0 parameters request", 0, 9, "00", "C0 09 01 00 67"},
    {"six PWM 0x80", 0, 10, "80 80 80 80 80 80", "C0 0A 06 80 80 80 80 80 80 0F"},
    {"escaped data", 0, 10, "C0 DB 00 00 00 00", "C0 0A 06 DB DC DB DD 00 00 00 00 87"},
    {"channel parameters", 0, 8, "02 06 2C 01 4D 58 02 FF BC 02 F4 01 80",
     "C0 08 0D 02 06 2C 01 4D 58 02 FF BC 02 F4 01 80 84"},
    {"set-parameters reply", 0, 8, "00", "C0 08 01 00 CC"},
    {"temperature reply", 0, 6, "00 FA 00 CE FF 00 00 00 00 00 00 00 00",
     "C0 06 0D 00 FA 00 CE FF 00 00 00 00 00 00 00 00 ED"},
    {"PWM reply", 0, 11, "00 0A 14 1E 28 32 3C", "C0 0B 07 00 0A 14 1E 28 32 3C 15"},
    {"PWM reply with address", 5, 11, "00 0A 14 1E 28 32 3C",
     "C0 85 0B 07 00 0A 14 1E 28 32 3C E3"},
    {"address 0x40 travels as escaped C0", 0x40, 6, "", "C0 DB DC 06 00 B6"},
    {"address 0x5B travels as escaped DB", 0x5B, 6, "", "C0 DB DD 06 00 3D"},
    {"CRC C0 escaped", 0, 6, "70", "C0 06 01 70 DB DC"},
    {"CRC DB escaped", 0, 6, "1A", "C0 06 01 1A DB DD"},
    {"identification reply", 0, 3, "51 56 2D 37 32 35 20 76 31 2E 30",
     "C0 03 0B 51 56 2D 37 32 35 20 76 31 2E 30 C1"},
};

class GoldenFrameTest : public ::testing::TestWithParam<GoldenFrame> {};

TEST_P(GoldenFrameTest, BuildsExactBytes) {
    const GoldenFrame& f = GetParam();
    EXPECT_EQ(ToHex(Build(f.address, f.command, Hex(f.data))), f.wire);
}

TEST_P(GoldenFrameTest, ParsesBack) {
    const GoldenFrame& f = GetParam();
    const Parsed p = Parse(Hex(f.wire));
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.address, f.address);
    EXPECT_EQ(p.command, f.command);
    EXPECT_EQ(ToHex(p.data), f.data);
    EXPECT_EQ(p.consumed, Hex(f.wire).size()) << "the reader stops at the CRC";
}

INSTANTIATE_TEST_SUITE_P(Wake, GoldenFrameTest, ::testing::ValuesIn(goldenFrames),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             }
                             return name;
                         });

TEST(WakeCrc, KnownCheckValues) {
    uint8_t crc = 0;
    for (char c : std::string("123456789"))
        WakeCrc8Update(static_cast<uint8_t>(c), crc);
    EXPECT_EQ(crc, 0xA1);
    crc = wake::CrcInit;
    for (char c : std::string("abc"))
        WakeCrc8Update(static_cast<uint8_t>(c), crc);
    EXPECT_EQ(crc, 0xAF);
}

TEST(WakeBuild, CommandBit7IsNeverSent) {
    EXPECT_EQ(ToHex(Build(0, 0x86, {})), "C0 06 00 14");
}

TEST(WakeBuild, CountsThatAreSpecialBytesAreEscaped) {
    struct Case {
        size_t count;
        const char* head;
        size_t length;
        const char* crc;
    };
    for (const Case& c :
         {Case{192, "C0 01 DB DC 00", 197, "20"}, Case{219, "C0 01 DB DD 00", 224, "52"}}) {
        const Bytes frame = Build(0, 1, Bytes(c.count, 0));
        ASSERT_EQ(frame.size(), c.length) << c.count;
        EXPECT_EQ(ToHex(Bytes(frame.begin(), frame.begin() + 5)), c.head) << c.count;
        EXPECT_EQ(ToHex(Bytes(frame.end() - 1, frame.end())), c.crc) << c.count;
        const Parsed p = Parse(frame, 255);
        ASSERT_TRUE(p.ok) << c.count;
        EXPECT_EQ(p.count, c.count);
    }
}

TEST(WakeBuild, LargestFrameFitsTheSendBuffer) {
    // Escaped address, 255 escaped data bytes, and a CRC that may be escaped as well.
    for (uint8_t last = 0; last < 8; ++last) {
        Bytes data(255, 0xC0);
        data.back() = last;
        const Bytes frame = Build(0x40, 0x7F, data);
        EXPECT_LE(frame.size(), 517u);
    }
}

TEST(WakeRead, EverySingleByteChangeButTheFendFails) {
    const Bytes good = Hex("C0 0B 07 00 0A 14 1E 28 32 3C 15");
    ASSERT_TRUE(Parse(good).ok);
    for (size_t position = 1; position < good.size(); ++position) {
        for (int value = 0; value < 256; ++value) {
            if (value == good[position])
                continue;
            Bytes bad = good;
            bad[position] = static_cast<uint8_t>(value);
            EXPECT_FALSE(Parse(bad).ok) << "byte " << position << " = " << value;
        }
    }
}

TEST(WakeRead, NoiseBeforeTheFrame) {
    const Bytes frame = Hex("C0 06 00 14");
    for (uint8_t noise : {uint8_t{0x00}, uint8_t{0x55}, uint8_t{0xDB}}) {
        // Filled in place: GCC 12 sees a false out-of-bounds copy in an insert at the end.
        Bytes input(511 + frame.size(), noise);
        std::copy(frame.begin(), frame.end(), input.end() - frame.size());
        EXPECT_TRUE(Parse(input).ok) << "511 bytes of " << int(noise);
        input.insert(input.begin(), noise);
        EXPECT_FALSE(Parse(input).ok) << "512 bytes of " << int(noise);
        EXPECT_EQ(Parse(input).consumed, 512u) << "the hunt stops after 512 reads";
    }
}

TEST(WakeRead, FramingErrors) {
    struct Case {
        const char* name;
        const char* input;
    };
    const Case cases[] = {
        {"nothing arrives", ""},
        {"only noise", "01 02 03"},
        {"FEND alone", "C0"},
        {"escape then wrong byte", "C0 0A 06 DB 00 00 00 00 00 00 87"},
        {"escape then FEND", "C0 0A 06 DB C0 00 00 00 00 00 87"},
        {"escape then nothing", "C0 0A 06 DB"},
        {"escape in the count then wrong byte", "C0 01 DB 01"},
        {"command with bit 7 after an address", "C0 85 8B 00 00"},
        {"missing CRC", "C0 06 00"},
        {"missing data", "C0 0B 07 00 0A 14"},
        {"wrong CRC", "C0 06 00 15"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(Parse(Hex(c.input)).ok) << c.name;
    }
}

TEST(WakeRead, RawFendInsideAFrameIsAnAddress) {
    // Not a new frame: right after the FEND it is an address 0x40.
    const Bytes input = Build(0x40, 6, {});
    Bytes raw = Hex("C0 C0 06 00");
    raw.push_back(input.back());
    const Parsed p = Parse(raw);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.address, 0x40);
    EXPECT_EQ(p.command, 6);
}

TEST(WakeRead, OutputsHoldWhatWasReadSoFar) {
    Parsed p = Parse(Hex("C0"));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.count, 0);
    EXPECT_EQ(p.address, 0);
    EXPECT_EQ(p.command, 0xEE) << "the command keeps its old value until a command byte";

    p = Parse(Hex("C0 85 0B 07 00 0A"));
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.address, 5);
    EXPECT_EQ(p.command, 11);
    EXPECT_EQ(p.count, 7);

    p = Parse(Hex("01 02"));
    EXPECT_EQ(p.count, 0xEE) << "nothing is set before a FEND is found";
}

TEST(WakeRead, CountAboveTheBufferIsRefusedWithoutWritingPastIt) {
    for (size_t count : {size_t{200}, size_t{201}, size_t{255}}) {
        const Bytes frame = Build(0, 3, Bytes(count, 'A'));
        const Parsed p = Parse(frame);  // checks the guard region
        EXPECT_EQ(p.ok, count <= Capacity) << count;
        if (count > Capacity) {
            EXPECT_EQ(p.consumed, 3u) << "refused as soon as the count arrives";
        }
    }
}

}  // namespace
