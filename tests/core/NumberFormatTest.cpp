// Number text: rounding on the exact binary value, scientific fallback, locale-free parsing.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>

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
