// Number text: rounding on the exact binary value, scientific fallback, locale-free parsing.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "NumberFormat.h"
#include "TempFolder.h"

namespace {

struct FormatCase {
    double value;
    int precision;
    int digits;
    const char* text;
};

TEST(FormatFixed, Table) {
    const FormatCase cases[] = {
        // The fields of the Channel page.
        {35.25, 4, 1, "35.3"},
        {100, 3, 0, "100"},
        {7.5, 3, 0, "8"},
        {45.26, 4, 1, "45.3"},
        {0.0, 4, 1, "0.0"},
        {-0.01, 4, 1, "0.0"},
        {-0.1, 3, 0, "0"},
        {99.6, 3, 0, "100"},
        {9999, 4, 0, "9999"},
        // Read-outs: three significant digits, then one decimal.
        {25.3, 3, 1, "25.3"},
        {103.7, 3, 1, "104.0"},
        {100.5, 3, 1, "101.0"},
        {25.75, 3, 1, "25.8"},
        {12.0, 3, 1, "12.0"},
        {0.0, 3, 1, "0.0"},
        {-5.0, 3, 1, "-5.0"},
        {-0.04, 3, 1, "0.0"},
        {0.05, 3, 1, "0.1"},  // 0.05 is stored as 0.05000000000000000277
        {0.15, 3, 1, "0.1"},  // 0.15 is stored as 0.1499999999999999944
        {0.25, 3, 1, "0.3"},  // exact tie: away from zero
        {-0.25, 3, 1, "-0.3"},
        {2.675, 3, 2, "2.67"},  // stored as 2.67499999...
        {99.95, 3, 1, "100.0"},
        {999.4, 3, 1, "999.0"},
        {1e-300, 3, 1, "0.0"},
        {static_cast<double>(25.3f), 3, 1, "25.3"},  // the history holds floats
        // Integer part longer than the precision: scientific notation.
        {1000.0, 3, 1, "1.00E+3"},
        {999.5, 3, 1, "1.00E+3"},  // rounding carries into a fourth integer digit
        {-12345.0, 3, 1, "-1.23E+4"},
        {123456.0, 4, 0, "1.235E+5"},
        {1e300, 3, 1, "1.00E+300"},
        {5e10, 1, 0, "5E+10"},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(FormatFixed(c.value, c.precision, c.digits), c.text)
            << c.value << " precision " << c.precision << " digits " << c.digits;
    }
}

TEST(FormatFixed, ReadoutIsThreeDigitsOneDecimal) {
    EXPECT_EQ(FormatReadout(25.3), "25.3");
    EXPECT_EQ(FormatReadout(103.7), "104.0");
}

// The value rounded from every one of its exact digits, written independently of the program's
// own code: digits in fixed notation only (the cases below never need scientific).
std::string RoundedFromEveryDigit(double value, int precision, int digits) {
    char buffer[1100];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                   std::chars_format::scientific, 770).ptr;
    std::string mantissa;
    const char* e = std::find(buffer, end, 'e');
    for (const char* c = buffer; c < e; ++c)
        if (*c != '.')
            mantissa.push_back(*c);
    const int pointPos = std::atoi(e + 1) + 1;  // the first digit stands for 10^(pointPos - 1)
    const auto exact = [&](int power) {
        const int i = pointPos - 1 - power;
        return i >= 0 && static_cast<size_t>(i) < mantissa.size() ? mantissa[static_cast<size_t>(i)] - '0' : 0;
    };
    // Kept: the powers from 10^(pointPos - 1) down to 10^last; the next one decides.
    const int last = std::max(pointPos - precision, -digits);
    const int top = std::max(pointPos, 1) + 1;  // room for a carry
    std::vector<int> kept;  // kept[k] is the digit of 10^(top - 1 - k)
    for (int power = top - 1; power >= -digits; --power)
        kept.push_back(power >= last ? exact(power) : 0);
    if (exact(last - 1) >= 5) {
        for (int k = top - 1 - last; k >= 0; --k) {
            if (++kept[static_cast<size_t>(k)] < 10)
                break;
            kept[static_cast<size_t>(k)] = 0;
        }
    }
    std::string text;
    for (int power = top - 1; power >= -digits; --power) {
        const int d = kept[static_cast<size_t>(top - 1 - power)];
        if (power == -1)
            text.push_back('.');
        if (power >= 0 && text.empty() && d == 0 && power > 0)
            continue;  // leading zero
        text.push_back(static_cast<char>('0' + d));
    }
    const bool zero = text.find_first_not_of("0.") == std::string::npos;
    return (value < 0 && !zero ? "-" : "") + text;
}

TEST(FormatFixed, SameAsRoundingFromEveryDigit) {
    // Values whose first forty digits end in zeros or nines, values that end exactly on a
    // half, and many ordinary ones: each rounds as if every exact digit had been looked at.
    std::vector<double> values = {0.15, 0.25, 2.5, 35.25, 12.0, 100.0, 9.995, 99.95, 0.05, 1e-9,
                                  1.0 + std::ldexp(1.0, -52), 4.0 - std::ldexp(1.0, -50),
                                  std::ldexp(1.0, -30), 123456.5, 0.999999999999999,
                                  7.000000000000001, 41.3, 12.0 * 200 / 255.0};
    std::mt19937_64 random(725);
    std::uniform_real_distribution<double> spread(-1000.0, 1000.0);
    for (int i = 0; i < 800; ++i) {
        values.push_back(spread(random));
        values.push_back(std::round(spread(random) * 20) / 20);  // on a half of the last digit
        values.push_back(static_cast<double>(random() % 4096) * 12 / 255.0);
    }
    for (const double value : values) {
        for (const auto& [precision, digits] : {std::pair{3, 1}, {4, 2}, {6, 3}, {18, 6}, {5, 0}}) {
            if (std::fabs(value) >= std::pow(10.0, precision - 1))
                continue;  // would need scientific notation
            ASSERT_EQ(FormatFixed(value, precision, digits), RoundedFromEveryDigit(value, precision, digits))
                << std::hexfloat << value << " precision " << precision << " digits " << digits;
        }
    }
}

TEST(FormatFixed, NonFiniteValues) {
    EXPECT_EQ(FormatFixed(NAN, 3, 1), "NAN");
    EXPECT_EQ(FormatFixed(INFINITY, 3, 1), "INF");
    EXPECT_EQ(FormatFixed(-INFINITY, 3, 1), "-INF");
}

// Switches the C locale to one with "," as decimal separator, building one with localedef in
// `folder` when none is installed (Windows has its own); false when that is not possible here.
bool UseCommaLocale(const TempFolder& folder) {
#ifdef _WIN32
    (void)folder;
    return std::setlocale(LC_ALL, "German_Germany.1252") != nullptr ||
           std::setlocale(LC_ALL, "de-DE") != nullptr;
#else
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr) {
        return true;
    }
    const std::string command =
        "localedef -i de_DE -f UTF-8 " + folder.File("de_DE.utf8") + " >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0) {
        return false;
    }
    setenv("LOCPATH", folder.Path().c_str(), 1);
    const bool ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    unsetenv("LOCPATH");
    return ok;
#endif
}

TEST(FormatFixed, IgnoresTheLocale) {
    TempFolder folder;
    if (!UseCommaLocale(folder)) {
        GTEST_SKIP() << "no locale with a comma separator available";
    }
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    const std::string text = FormatFixed(25.3, 3, 1);
    double parsed = 0;
    const bool dotAccepted = ParseFloat("25.5", parsed);
    const bool commaAccepted = ParseFloat("25,5", parsed);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "25.3");
    EXPECT_TRUE(dotAccepted);
    EXPECT_FALSE(commaAccepted);
}

struct ParseCase {
    const char* text;
    bool ok;
    double value;
};

TEST(ParseFloat, Table) {
    const ParseCase cases[] = {
        {"25.3", true, 25.3},    {" 25.3 ", true, 25.3}, {"\t-5\t", true, -5.0},
        {"+7.5", true, 7.5},     {"100", true, 100.0},   {"1e3", true, 1000.0},
        {"1.5E-2", true, 0.015}, {"2E+2", true, 200.0},  {".5", true, 0.5},
        {"5.", true, 5.0},       {"-0", true, 0.0},      {"", false, 0},
        {"   ", false, 0},       {"abc", false, 0},      {"25,3", false, 0},
        {"1.2.3", false, 0},     {"12a", false, 0},      {"e5", false, 0},
        {"1e", false, 0},        {"1e+", false, 0},      {"--1", false, 0},
        {"+-1", false, 0},       {".", false, 0},        {"inf", false, 0},
        {"nan", false, 0},       {"0x10", false, 0},     {"1 000", false, 0},
        {"1e999", false, 0},
    };
    for (const ParseCase& c : cases) {
        double value = -12345.0;
        EXPECT_EQ(ParseFloat(c.text, value), c.ok) << '"' << c.text << '"';
        if (c.ok) {
            EXPECT_EQ(value, c.value) << '"' << c.text << '"';
        } else {
            EXPECT_EQ(value, -12345.0) << "a failed parse leaves the value alone";
        }
    }
}

TEST(ParseFloat, FormattedTextParsesBack) {
    for (const double v : {0.0, 35.3, -0.1, 100.0, 9999.0, 12.5}) {
        double parsed = 0;
        ASSERT_TRUE(ParseFloat(FormatFixed(v, 5, 1), parsed));
        EXPECT_EQ(FormatFixed(parsed, 5, 1), FormatFixed(v, 5, 1));
    }
}

}  // namespace
