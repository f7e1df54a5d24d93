// The settings file in memory: loading rules, lookup, in-place writing and value forms.
#include <gtest/gtest.h>

#include "Exceptions.h"
#include "IniFile.h"

namespace {

using Lines = std::vector<std::string>;

TEST(IniFileLoad, TrimsSkipsAndKeepsUnknownLines) {
    TIniFile ini;
    ini.LoadFromText(
        "dropped=before any section\r\n"
        "  [ General ]  \r\n"
        "; a comment\r\n"
        "\r\n"
        "\t Left = 12 \t\r\n"
        "no equals sign here\n"
        " key with blanks =  a = b  \r"
        "=empty key\r\n"
        "[Other]\n"
        "x=1");
    EXPECT_EQ(ini.SectionNames(), (Lines{"General", "Other"}));
    EXPECT_EQ(ini.SectionLines("General"),
              (Lines{"Left=12", "no equals sign here", "key with blanks=a = b", "=empty key"}));
    EXPECT_EQ(ini.ReadString("general", "LEFT", "?"), "12");
    EXPECT_EQ(ini.ReadString("General", "key with blanks", "?"), "a = b");
    EXPECT_EQ(ini.ReadString("General", "no equals sign here", "?"), "?");
    EXPECT_EQ(ini.ReadString("Other", "x", "?"), "1");
    EXPECT_EQ(ini.ReadString("Missing", "x", "def"), "def");
}

TEST(IniFileLoad, ByteOrderMarkDoesNotHideTheFirstSection) {
    TIniFile ini;
    ini.LoadFromText("\xEF\xBB\xBF[General]\r\nLeft=5\r\n");
    EXPECT_EQ(ini.ReadInteger("General", "Left", 0), 5);
    EXPECT_EQ(ini.ToText(), "[General]\r\nLeft=5\r\n\r\n");
}

TEST(IniFileLoad, RepeatedSectionsAndKeysFirstMatchWins) {
    TIniFile ini;
    ini.LoadFromText("[A]\nk=1\nK=2\n[a]\nk=3\nj=4\n");
    EXPECT_EQ(ini.SectionNames(), (Lines{"A", "a"}));
    EXPECT_EQ(ini.ReadString("a", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("A", "j", "none"), "none");  // only the first [a] is looked at
    ini.WriteString("A", "k", "9");
    ini.WriteString("A", "j", "5");
    EXPECT_EQ(ini.SectionLines("A"), (Lines{"k=9", "K=2", "j=5"}));
    EXPECT_EQ(ini.ToText(), "[A]\r\nk=9\r\nK=2\r\nj=5\r\n\r\n[a]\r\nk=3\r\nj=4\r\n\r\n");
}

TEST(IniFileWrite, ReplacesInPlaceAppendsAndAddsSectionsAtTheEnd) {
    TIniFile ini;
    ini.LoadFromText("[Channels]\ncolor0 = clred\nName0=x\n[Graph]\nGridColor=$00DDDDDD\n");
    ini.WriteString("Channels", "Color0", "clRed");
    ini.WriteString("Channels", "Color1", "clBlue");
    ini.WriteString("New", "k", "v");
    EXPECT_EQ(ini.ToText(),
              "[Channels]\r\nColor0=clRed\r\nName0=x\r\nColor1=clBlue\r\n\r\n"
              "[Graph]\r\nGridColor=$00DDDDDD\r\n\r\n"
              "[New]\r\nk=v\r\n\r\n");
}

TEST(IniFileWrite, ReadingNeverCreatesAnything) {
    TIniFile ini;
    EXPECT_EQ(ini.ReadInteger("General", "Left", 7), 7);
    EXPECT_FALSE(ini.ValueExists("General", "Left"));
    EXPECT_FALSE(ini.SectionExists("General"));
    EXPECT_EQ(ini.ToText(), "");
}

TEST(IniFileWrite, LineBreaksInValuesCannotInjectLines) {
    TIniFile ini;
    ini.WriteString("Channels", "Name0", "fan\r\n[Presets]\nList=00");
    TIniFile reloaded;
    reloaded.LoadFromText(ini.ToText());
    EXPECT_EQ(reloaded.SectionNames(), (Lines{"Channels"}));
    EXPECT_FALSE(reloaded.ValueExists("Presets", "List"));
    EXPECT_EQ(reloaded.ReadString("Channels", "Name0", ""), "fan  [Presets] List=00");
}

TEST(IniFileWrite, ValuesAreTrimmedOnReload) {
    TIniFile ini;
    ini.WriteString("Channels", "Name0", "  CPU fan  ");
    EXPECT_EQ(ini.ReadString("Channels", "Name0", ""), "  CPU fan  ");  // unchanged until reload
    TIniFile reloaded;
    reloaded.LoadFromText(ini.ToText());
    EXPECT_EQ(reloaded.ReadString("Channels", "Name0", ""), "CPU fan");
}

struct IntegerCase {
    const char* text;
    int32_t value;  // -999 stands for "the default"
};

TEST(IniFileValues, LenientIntegers) {
    const IntegerCase cases[] = {
        {"32", 32},
        {"-17", -17},
        {"+5", 5},
        {"0x20", 32},
        {"0X1f", 31},
        {"$20", 32},
        {"$FFFFFFFF", -1},
        {"-0x10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", -999},
        {"abc", -999},
        {"", -999},
        {"12abc", -999},
        {"0x", -999},
        {"$", -999},
        {"x20", -999},
        {"$100000000", -999},
        {"1 2", -999},
        {"-", -999},
    };
    for (const IntegerCase& c : cases) {
        TIniFile ini;
        ini.WriteString("S", "k", c.text);
        EXPECT_EQ(ini.ReadInteger("S", "k", -999), c.value) << '"' << c.text << '"';
    }
}

TEST(IniFileValues, IntegersAreWrittenInDecimal) {
    TIniFile ini;
    ini.WriteInteger("S", "a", -42);
    ini.WriteInteger("S", "b", 300);
    EXPECT_EQ(ini.SectionLines("S"), (Lines{"a=-42", "b=300"}));
}

TEST(IniFileValues, BinaryHex) {
    TIniFile ini;
    const std::vector<uint8_t> bytes = {0x02, 0x01, 0xAB, 0x00};
    ini.WriteBinaryHex("Presets", "List", bytes);
    EXPECT_EQ(ini.ReadString("Presets", "List", ""), "0201AB00");
    EXPECT_EQ(ini.ReadBinaryHex("Presets", "List"), bytes);
    EXPECT_EQ(ini.ReadBinaryHex("Presets", "Missing"), std::nullopt);
    ini.WriteString("Presets", "Empty", "");
    EXPECT_EQ(ini.ReadBinaryHex("Presets", "Empty"), std::vector<uint8_t>{});
}

}  // namespace
