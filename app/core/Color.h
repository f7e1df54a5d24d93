// Colours as the program stores them: 32-bit values laid out 0x00BBGGRR. Values with the top
// bit set name a system colour by its index in the low byte; clNone and clDefault are special.
#pragma once

#include <cstdint>

using TColor = uint32_t;

constexpr TColor RGBColor(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<TColor>(red) | (static_cast<TColor>(green) << 8) |
           (static_cast<TColor>(blue) << 16);
}
constexpr uint8_t ColorRed(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t ColorGreen(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t ColorBlue(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(TColor c) { return (c & 0x80000000u) != 0; }

inline constexpr TColor clBlack = RGBColor(0, 0, 0);
inline constexpr TColor clMaroon = RGBColor(128, 0, 0);
inline constexpr TColor clGreen = RGBColor(0, 128, 0);
inline constexpr TColor clOlive = RGBColor(128, 128, 0);
inline constexpr TColor clNavy = RGBColor(0, 0, 128);
inline constexpr TColor clPurple = RGBColor(128, 0, 128);
inline constexpr TColor clTeal = RGBColor(0, 128, 128);
inline constexpr TColor clGray = RGBColor(128, 128, 128);
inline constexpr TColor clSilver = RGBColor(192, 192, 192);
inline constexpr TColor clRed = RGBColor(255, 0, 0);
inline constexpr TColor clLime = RGBColor(0, 255, 0);
inline constexpr TColor clYellow = RGBColor(255, 255, 0);
inline constexpr TColor clBlue = RGBColor(0, 0, 255);
inline constexpr TColor clFuchsia = RGBColor(255, 0, 255);
inline constexpr TColor clAqua = RGBColor(0, 255, 255);
inline constexpr TColor clWhite = RGBColor(255, 255, 255);
inline constexpr TColor clMoneyGreen = RGBColor(192, 220, 192);
inline constexpr TColor clSkyBlue = RGBColor(166, 202, 240);
inline constexpr TColor clCream = RGBColor(255, 251, 240);
inline constexpr TColor clMedGray = RGBColor(160, 160, 164);

// System colours the program draws with (index in the low byte).
inline constexpr TColor clScrollBar = 0x80000000u;
inline constexpr TColor clWindow = 0x80000005u;
inline constexpr TColor clBtnFace = 0x8000000Fu;
