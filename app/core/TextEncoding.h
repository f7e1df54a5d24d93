// Text conversions for the names in the settings file and its preset stream: everything becomes
// UTF-8 in memory.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// True when every byte is 7-bit ASCII.
bool IsAscii(std::string_view text);

// True when `bytes` are valid UTF-8 throughout (an empty text is).
bool IsValidUtf8(std::string_view bytes);

// Valid UTF-8 made from bytes that should be UTF-8: every byte that does not start a valid
// sequence (overlong forms, surrogates, values above U+10FFFF, cut sequences) becomes U+FFFD.
std::string SanitizeUtf8(std::string_view bytes);

// UTF-16 code units (little-endian byte pairs) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf16LeToUtf8(std::span<const uint8_t> bytes);

// Windows-1252 bytes (the code page of 8-bit texts in older stored presets) to UTF-8. The five
// bytes 1252 leaves undefined map to the C1 controls of the same value, as Windows does.
std::string Cp1252ToUtf8(std::string_view bytes);

// A text of the settings file as UTF-8: files of older installs hold 8-bit text in Windows-1252,
// newer ones UTF-8. Valid UTF-8 is taken as it is; anything else is taken as Windows-1252, as
// the 8-bit preset names are.
std::string StoredTextToUtf8(std::string_view bytes);
