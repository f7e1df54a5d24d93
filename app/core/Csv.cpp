// RFC 4180 fields and rows.
#include "Csv.h"

#include "NumberFormat.h"

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
    return out;
}

std::string CsvRow(const std::vector<std::string>& fields) {
    std::string row;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            row += ',';
        row += CsvField(fields[i]);
    }
    row += "\r\n";
    return row;
}

std::string CsvNumber(double value, int decimals) {
    // Precision 17 never stops before the decimals: the digits-th decimal decides alone.
    return FormatFixed(value, 17, decimals);
}
