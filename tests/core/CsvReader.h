// A strict reader of RFC 4180 text for the tests: it takes back what the program's CSV files
// should hold and refuses anything else (a bare quote inside a field, a row not ended by CR LF).
#pragma once

#include <string>
#include <vector>

using CsvRows = std::vector<std::vector<std::string>>;

// The rows of `text`; false with `error` set when the text is not well-formed.
bool ReadCsv(const std::string& text, CsvRows& rows, std::string& error);
