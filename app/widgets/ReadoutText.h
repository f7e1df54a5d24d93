// The read-out text of a value (FormatReadout: three significant digits, then one decimal),
// remembered. The polling cycle and the History page show the same few values again and again,
// and working out the exact decimal rounding of a double costs far more than looking it up.
#pragma once

#include <QString>

// FormatReadout(value) as a QString; the same text FormatReadout gives, for every value.
QString ReadoutText(double value);
