// Number text for every read-out and field: "." as decimal separator whatever the locale,
// rounding done once on the exact binary value, ties away from zero.
#pragma once

#include <string>
#include <string_view>

// Fixed notation: the value is rounded once, at whichever comes first of the precision-th
// significant digit and the digits-th decimal, halves away from zero; at least one digit before
// the point and exactly `digits` digits after it. When the integer part needs more than
// `precision` digits the value is written in scientific notation instead.
// Examples: (35.25, 4, 1) -> "35.3"; (100, 3, 0) -> "100"; (7.5, 3, 0) -> "8";
// (103.7, 3, 1) -> "104.0". A value that rounds to zero is written without a minus sign.
std::string FormatFixed(double value, int precision, int digits);

// The read-out form used for temperatures, voltages and history statistics:
// three significant digits, then one decimal.
inline std::string FormatReadout(double value) {
    return FormatFixed(value, 3, 1);
}

// Parses a decimal number: optional blanks around it, optional sign, digits with "." as the
// decimal separator, optional exponent with "E" or "e". False for anything else (empty text,
// letters, a "," separator, trailing garbage).
bool ParseFloat(std::string_view text, double& value);
