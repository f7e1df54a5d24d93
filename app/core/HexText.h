// Byte blocks as hexadecimal text, the form of "Presets"/"List" in the settings file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Two upper-case digits per byte, first byte first, no separators.
std::string BytesToHex(std::span<const uint8_t> bytes);

// Each pair of hexadecimal digits (either case) gives one byte; a last single digit is ignored;
// decoding stops at the first pair that is not two hexadecimal digits, so only the bytes before
// it are returned.
std::vector<uint8_t> HexToBytes(std::string_view text);
