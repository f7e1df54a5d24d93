// Fuzzes the hex decoder of "Presets"/"List": it decodes the longest run of good digit pairs,
// and its output encodes back to that run in upper case.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "HexText.h"

namespace {
bool IsHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char Upper(char c) {
    return c >= 'a' && c <= 'f' ? static_cast<char>(c - 'a' + 'A') : c;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<uint8_t> bytes = HexToBytes(text);
    size_t good = 0;
    while (good + 1 < text.size() && IsHexDigit(text[good]) && IsHexDigit(text[good + 1])) {
        good += 2;
    }
    if (bytes.size() * 2 != good) {
        std::abort();
    }
    const std::string hex = BytesToHex(bytes);
    for (size_t i = 0; i < good; ++i) {
        if (hex[i] != Upper(text[i])) {
            std::abort();
        }
    }
    if (HexToBytes(hex) != bytes) {
        std::abort();
    }
    return 0;
}
