// Text forms of a floating-point value for the numeric field, independent of the locale.
#include "FloatText.h"

#include <algorithm>
#include <charconv>

#include "core/NumberFormat.h"

namespace {

std::string ToChars(double value, std::chars_format format, int precision) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format, precision);
    return std::string(buffer, result.ptr);
}

// Inserts "," between groups of three digits of the integer part of a fixed-notation text.
std::string GroupThousands(const std::string& text) {
    if (text.find_first_of("eEIN") != std::string::npos) {
        return text;  // scientific fallback, INF or NAN: nothing to group
    }
    const size_t start = (!text.empty() && text[0] == '-') ? 1 : 0;
    const size_t point = std::min(text.find('.'), text.size());
    std::string out = text.substr(0, start);
    for (size_t i = start; i < point; ++i) {
        out.push_back(text[i]);
        const size_t remaining = point - i - 1;
        if (remaining > 0 && remaining % 3 == 0) {
            out.push_back(',');
        }
    }
    out += text.substr(point);
    return out;
}

}  // namespace

bool ParseFloatText(const std::string& text, TFloatFormat format, double& value) {
    const bool commaGroups = format == TFloatFormat::ffNumber || format == TFloatFormat::ffCurrency;
    const size_t comma = text.find(',');
    if (commaGroups || comma == std::string::npos ||
        text.find(',', comma + 1) != std::string::npos || text.find('.') != std::string::npos) {
        return ParseFloat(text, value);
    }
    std::string pointed = text;
    pointed[comma] = '.';
    return ParseFloat(pointed, value);
}

std::string FormatFloatText(double value, TFloatFormat format, int precision, int digits) {
    const int significant = std::clamp(precision, 1, 18);
    switch (format) {
        case TFloatFormat::ffGeneral:
            return ToChars(value, std::chars_format::general, significant);
        case TFloatFormat::ffExponent:
            return ToChars(value, std::chars_format::scientific, significant - 1);
        case TFloatFormat::ffNumber:
        case TFloatFormat::ffCurrency:
            return GroupThousands(FormatFixed(value, precision, digits));
        case TFloatFormat::ffFixed:
            break;
    }
    return FormatFixed(value, precision, digits);
}
