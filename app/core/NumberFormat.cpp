// Number text for read-outs and fields. Rounding works on the exact decimal expansion of the
// binary value (std::to_chars gives it exactly), so 0.15, stored as 0.1499999..., rounds down;
// mostly on its first forty digits, which nearly always decide it.
#include "NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include <system_error>

namespace {

// The exact value as decimal digits d0 d1 d2 ... with value = 0.d0d1d2... * 10^pointPos.
struct ExactDigits {
    std::string digits;  // no leading zeros; empty for zero
    int pointPos = 0;    // number of digits before the decimal point
};

// Splits to_chars' scientific text ("d.ddd...e+XX") into its digits, with the trailing zeros
// dropped, and the position of the decimal point.
ExactDigits FromScientific(std::string_view text) {
    ExactDigits out;
    const size_t e = text.find('e');
    out.digits.reserve(e);
    for (size_t i = 0; i < e; ++i) {
        if (text[i] != '.') {
            out.digits.push_back(text[i]);
        }
    }
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    while (!out.digits.empty() && out.digits.back() == '0') {
        out.digits.pop_back();
    }
    out.pointPos = exponent + 1;
    return out;
}

// Every digit of the exact value. 767 significant digits are enough for any double.
ExactDigits ExpandWhole(double magnitude) {
    char buffer[1100];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, 770);
    return FromScientific(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

// Digits of a decimal fraction the exact value has after the point (0 for an integer).
int FractionDigits(double magnitude) {
    int exponent = 0;
    const double mantissa = std::frexp(magnitude, &exponent);
    // magnitude = bits * 2^power with bits a 53-bit integer; its trailing zero bits count too.
    auto bits = static_cast<uint64_t>(std::ldexp(mantissa, 53));
    int power = exponent - 53;
    while (bits != 0 && (bits & 1) == 0 && power < 0) {
        bits >>= 1;
        ++power;
    }
    // 2^-k has exactly k digits after the point.
    return power < 0 ? -power : 0;
}

constexpr int kShortDigits = 40;

// The exact value's digits, exact at least up to the one that decides rounding to `precision`
// significant digits or `digits` decimals; the digits after it may be left out. Forty
// significant digits are asked for first: when some digit between the deciding one and the
// fortieth is not zero, rounding at the fortieth cannot have reached the deciding one. When
// they are all zero, the value either ends there (then they are its exact digits) or the
// whole expansion is worked out.
ExactDigits Expand(double magnitude, int precision, int digits) {
    if (magnitude == 0.0) {
        return {};
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                      std::chars_format::scientific, kShortDigits - 1);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    int exponent = 0;
    std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(),
                    exponent);
    const int pointPos = exponent + 1;
    const int keep = std::min(precision, pointPos + digits);
    if (keep < 0) {
        return FromScientific(text);  // rounds to zero whatever its digits
    }
    // text is "d.ddd...": significant digit i sits at i + (i > 0).
    bool nonZeroAfter = false;
    for (int i = keep + 1; i < kShortDigits; ++i) {
        if (text[static_cast<size_t>(i + 1)] != '0') {
            nonZeroAfter = true;
            break;
        }
    }
    if (nonZeroAfter ||
        (pointPos <= kShortDigits && FractionDigits(magnitude) <= kShortDigits - pointPos)) {
        return FromScientific(text);
    }
    return ExpandWhole(magnitude);
}

// Keeps the first `keep` digits, rounding half away from zero on the digits dropped. The digit
// string is exact, so "5" followed by anything counts as at least a half.
ExactDigits RoundTo(const ExactDigits& in, int keep) {
    ExactDigits out;
    if (in.digits.empty() || keep < 0) {
        return out;  // zero
    }
    if (static_cast<size_t>(keep) >= in.digits.size()) {
        return in;
    }
    const bool up = in.digits[static_cast<size_t>(keep)] >= '5';
    out.digits = in.digits.substr(0, static_cast<size_t>(keep));
    out.pointPos = in.pointPos;
    if (up) {
        int i = keep - 1;
        while (i >= 0 && out.digits[static_cast<size_t>(i)] == '9') {
            out.digits[static_cast<size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++out.digits[static_cast<size_t>(i)];
        } else {
            out.digits.insert(out.digits.begin(), '1');
            ++out.pointPos;
        }
    }
    while (!out.digits.empty() && out.digits.back() == '0') {
        out.digits.pop_back();
    }
    if (out.digits.empty()) {
        out.pointPos = 0;
    }
    return out;
}

char DigitAt(const ExactDigits& d, int index) {
    return index >= 0 && static_cast<size_t>(index) < d.digits.size()
               ? d.digits[static_cast<size_t>(index)]
               : '0';
}

// Scientific notation: d.ddd (precision digits in all), "E", sign, exponent without leading
// zeros, e.g. "1.00E+3".
std::string Scientific(bool negative, const ExactDigits& rounded, int precision) {
    std::string out = negative ? "-" : "";
    out.push_back(DigitAt(rounded, 0));
    if (precision > 1) {
        out.push_back('.');
        for (int i = 1; i < precision; ++i) {
            out.push_back(DigitAt(rounded, i));
        }
    }
    const int exponent = rounded.pointPos - 1;
    out += exponent < 0 ? "E-" : "E+";
    out += std::to_string(std::abs(exponent));
    return out;
}

}  // namespace

std::string FormatFixed(double value, int precision, int digits) {
    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 18);
    if (std::isnan(value)) {
        return "NAN";
    }
    if (std::isinf(value)) {
        return value < 0 ? "-INF" : "INF";
    }
    const bool negative = std::signbit(value);
    const ExactDigits exact = Expand(std::fabs(value), precision, digits);
    // Round once, at the precision-th significant digit or the digits-th decimal, whichever
    // comes first.
    const int keep = std::min(precision, exact.pointPos + digits);
    const ExactDigits rounded = RoundTo(exact, keep);
    const bool zero = rounded.digits.empty();
    if (!zero && rounded.pointPos > precision) {
        return Scientific(negative, rounded, precision);
    }
    std::string out = negative && !zero ? "-" : "";
    if (rounded.pointPos <= 0) {
        out.push_back('0');
    } else {
        for (int i = 0; i < rounded.pointPos; ++i) {
            out.push_back(DigitAt(rounded, i));
        }
    }
    if (digits > 0) {
        out.push_back('.');
        for (int i = 0; i < digits; ++i) {
            out.push_back(DigitAt(rounded, rounded.pointPos + i));
        }
    }
    return out;
}

bool ParseFloat(std::string_view text, double& value) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    // Check the whole grammar here, so from_chars never sees "inf", "nan" or hex forms.
    std::string clean;
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-') {
            clean.push_back('-');
        }
        ++i;
    }
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    size_t mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        clean.push_back(text[i++]);
        ++mantissaDigits;
    }
    if (i < text.size() && text[i] == '.') {
        clean.push_back(text[i++]);
        while (i < text.size() && isDigit(text[i])) {
            clean.push_back(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        clean.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            clean.push_back(text[i++]);
        }
        size_t exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            clean.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    if (i != text.size()) {
        return false;
    }
    double parsed = 0.0;
    const auto result = std::from_chars(clean.data(), clean.data() + clean.size(), parsed);
    if (result.ec != std::errc() || result.ptr != clean.data() + clean.size()) {
        return false;
    }
    value = parsed;
    return true;
}
