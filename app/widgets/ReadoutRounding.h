// The read-out text of a value below 999.5 (either sign) worked out with integer arithmetic on
// the value's binary digits: the same text FormatReadout gives, for a few hundred instructions
// instead of the tens of thousands its exact decimal expansion of the value costs. The History
// page's averages are new values every second, so their texts are never remembered ones.
#pragma once

#include <QString>

// Sets `text` to FormatReadout(value) and returns true when |value| < 999.5; returns false,
// leaving `text` alone, for any other value (larger, infinite or not a number). Below 100 the
// value is rounded to tenths, from 100 to units (three significant digits), halves away from
// zero, on the exact binary value; a value rounding to zero has no minus sign.
bool RoundedReadoutText(double value, QString& text);
