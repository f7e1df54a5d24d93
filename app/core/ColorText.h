// Colours in their text form in the settings file: a name of the colour table or "$" and eight
// upper-case hexadecimal digits.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "Color.h"

struct TColorName {
    TColor value;
    const char* name;
};

// The colour table in its fixed order: the twenty plain RGB colours (clBlack ... clMedGray),
// then the system colour names (top bit set, system colour index in the low byte) and the two
// special values clDefault and clNone, in alphabetical order.
std::span<const TColorName> ColorNames();

// The name of the first table entry whose value equals `color`, else "$" followed by exactly
// eight upper-case hexadecimal digits (red 0, green 128, blue 64 gives "$00408000").
std::string ColorToString(TColor color);

// The value of the table entry named `name` (ASCII case-insensitive); false when none.
bool IdentToColor(std::string_view name, TColor& color);

// A colour name of the table (any case), else an integer after leading blanks: decimal, or
// hexadecimal after "$", "x", "X", "0x" or "0X". Throws EConvertError
// "'%s' is not a valid integer value" (the text in place of %s) for anything else.
TColor StringToColor(std::string_view text);
