// The text forms of the numeric field's value. Fixed notation is the program's one number
// format (FormatFixed); the other forms exist for completeness and never use the locale either.
#pragma once

#include <string>

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// ffFixed: FormatFixed(value, precision, digits).
// ffGeneral: the shorter of fixed and scientific notation with `precision` significant digits,
//   trailing zeros dropped ("35.25", "1.5e+20").
// ffExponent: scientific notation with `precision` significant digits ("3.5250e+01").
// ffNumber, ffCurrency: the fixed text with "," between groups of three integer digits
//   ("12,345.0"); no currency symbol, since nothing here depends on the locale.
std::string FormatFloatText(double value, TFloatFormat format, int precision, int digits);

// Parses text typed or pasted into the field: ParseFloat's rules, and a single "," taken as the
// decimal separator when the text has no "." ("45,5" is 45.5), since many keyboards and
// locales write decimals that way. Not for ffNumber and ffCurrency, whose "," groups thousands.
// "1,234.5" and "1,2,3" stay invalid.
bool ParseFloatText(const std::string& text, TFloatFormat format, double& value);
