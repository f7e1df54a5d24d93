// Comma-separated values as RFC 4180 writes them: fields joined by ",", rows ended by CR LF, a
// field quoted when it holds a comma, a double quote, CR or LF, quotes inside doubled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One field, quoted only when it has to be: `a,b` -> `"a,b"`, `say "hi"` -> `"say ""hi"""`.
std::string CsvField(std::string_view text);
// The fields of one row, each through CsvField, joined by "," and ended with CR LF.
std::string CsvRow(const std::vector<std::string>& fields);
// A number with exactly `decimals` digits after a "." whatever the locale (25.25, 1 -> "25.3",
// halves away from zero on the exact binary value, as every read-out rounds).
std::string CsvNumber(double value, int decimals);
