// Strict RFC 4180 parsing.
#include "CsvReader.h"

bool ReadCsv(const std::string& text, CsvRows& rows, std::string& error) {
    rows.clear();
    std::vector<std::string> row;
    std::string field;
    size_t i = 0;
    const size_t n = text.size();
    while (i < n) {
        if (text[i] == '"') {
            ++i;
            for (;;) {
                if (i >= n) {
                    error = "quoted field not closed";
                    return false;
                }
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
                if (text[i] == '"') {
                    error = "quote inside an unquoted field at byte " + std::to_string(i);
                    return false;
                }
                field += text[i++];
            }
        }
        if (i < n && text[i] == ',') {
            row.push_back(std::move(field));
            field.clear();
            ++i;
            continue;
        }
        if (i + 1 < n && text[i] == '\r' && text[i + 1] == '\n') {
            row.push_back(std::move(field));
            field.clear();
            rows.push_back(std::move(row));
            row.clear();
            i += 2;
            continue;
        }
        error =
            i >= n ? "last row not ended by CR LF" : "stray character at byte " + std::to_string(i);
        return false;
    }
    return true;
}
