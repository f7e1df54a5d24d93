// Hexadecimal text of byte blocks: upper case out, either case in, the stopping rules.
#include <gtest/gtest.h>

#include "HexText.h"

namespace {

using Bytes = std::vector<uint8_t>;

TEST(HexText, BytesToHexIsUpperCase) {
    EXPECT_EQ(BytesToHex(Bytes{0x02, 0x01, 0x06, 0xAB, 0xcd, 0x00, 0xFF}), "020106ABCD00FF");
    EXPECT_EQ(BytesToHex(Bytes{}), "");
}

struct DecodeCase {
    const char* text;
    Bytes bytes;
};

TEST(HexText, HexToBytes) {
    const DecodeCase cases[] = {
        {"", {}},
        {"0201", {0x02, 0x01}},
        {"abCDef", {0xAB, 0xCD, 0xEF}},
        {"0A1", {0x0A}},     // a last single digit is ignored
        {"0A1G", {0x0A}},    // stops at the first pair that is not two digits
        {"0AG123", {0x0A}},  // later good pairs do not count
        {"GG", {}},
        {"0a 1b", {0x0A}},  // a blank is not a digit
        {"0A:B", {0x0A}},   // characters between '9' and 'A' are not digits
        {"0A`a", {0x0A}},   // nor is the one before 'a'
        {"7f80", {0x7F, 0x80}},
    };
    for (const DecodeCase& c : cases) {
        EXPECT_EQ(HexToBytes(c.text), c.bytes) << '"' << c.text << '"';
    }
}

TEST(HexText, EveryByteRoundTrips) {
    Bytes all(256);
    for (int i = 0; i < 256; ++i) {
        all[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    }
    EXPECT_EQ(HexToBytes(BytesToHex(all)), all);
}

}  // namespace
