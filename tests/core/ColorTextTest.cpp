// Colours in the settings file: the name table, "$" + eight hex digits, and lenient reading.
#include <gtest/gtest.h>

#include <set>

#include "ColorText.h"
#include "Exceptions.h"

namespace {

TEST(ColorText, TableOrderAndValues) {
    const auto names = ColorNames();
    ASSERT_EQ(names.size(), 52u);
    EXPECT_STREQ(names[0].name, "clBlack");
    EXPECT_STREQ(names[19].name, "clMedGray");
    EXPECT_EQ(names[19].value, 0x00A4A0A0u);
    EXPECT_STREQ(names[20].name, "clActiveBorder");
    EXPECT_STREQ(names[51].name, "clWindowText");
    std::set<TColor> values;
    for (const auto& entry : names) {
        EXPECT_TRUE(values.insert(entry.value).second) << entry.name << " repeats a value";
    }
}

struct NamedColor {
    TColor value;
    const char* text;
};

TEST(ColorText, ColorToString) {
    const NamedColor cases[] = {
        {RGBColor(192, 192, 192), "clSilver"},
        {RGBColor(193, 192, 192), "$00C0C0C1"},
        {RGBColor(0, 128, 64), "$00408000"},
        {0x00DDDDDD, "$00DDDDDD"},
        {RGBColor(255, 0, 0), "clRed"},
        {RGBColor(166, 202, 240), "clSkyBlue"},
        {0x80000000u, "clScrollBar"},
        {0x80000001u, "clBackground"},
        {0x80000002u, "clActiveCaption"},
        {0x80000005u, "clWindow"},
        {0x8000000Fu, "clBtnFace"},
        {0x80000012u, "clBtnText"},
        {0x8000001Au, "clHotLight"},
        {0x8000001Eu, "clMenuBar"},
        {0x80000019u, "$80000019"},  // no system colour 25
        {0x1FFFFFFFu, "clNone"},
        {0x20000000u, "clDefault"},
        {0xFF000000u, "$FF000000"},
    };
    for (const NamedColor& c : cases) {
        EXPECT_EQ(ColorToString(c.value), c.text);
    }
}

TEST(ColorText, StringToColor) {
    const NamedColor cases[] = {
        {clRed, "clred"},
        {clRed, "CLRED"},
        {clSilver, "clSilver"},
        {clBtnFace, "clBtnFace"},
        {0x00C0C0C1, "$00C0C0C1"},
        {0x00408000, "$00408000"},
        {255, "255"},
        {255, "  255"},
        {0x20, "x20"},
        {0x20, "X20"},
        {0x20, "0x20"},
        {0xFFFFFFFFu, "-1"},
        {0x80000005u, "$80000005"},
    };
    for (const NamedColor& c : cases) {
        EXPECT_EQ(StringToColor(c.text), c.value) << c.text;
    }
}

TEST(ColorText, InvalidTextIsAnError) {
    for (const char* text : {"red", "", "$GG", "12 ", "cl Red", "$123456789"}) {
        try {
            StringToColor(text);
            ADD_FAILURE() << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(ColorText, EveryNameReadsBackToItsValue) {
    for (const auto& entry : ColorNames()) {
        EXPECT_EQ(StringToColor(ColorToString(entry.value)), entry.value) << entry.name;
    }
}

}  // namespace
