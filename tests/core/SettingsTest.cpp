// The program's keys in the settings file: first-run content, defaults, and a hand-edited file
// written back with its own lines, sections and order kept.
#include <gtest/gtest.h>

#include "ColorText.h"
#include "Exceptions.h"
#include "HexText.h"
#include "Params.h"
#include "PresetsFile.h"
#include "Settings.h"

namespace {

using Lines = std::vector<std::string>;

// What one run of the program does to the settings object, from opening to the flush.
std::string RunProgramOnce(const std::string& fileText, TWindowSettings* seen = nullptr) {
    TIniFile ini;
    ini.LoadFromText(fileText);
    TParams params;
    LoadPresets(ini, params);
    const TScopeColors scope = ReadScopeColors(ini);
    const TGraphColors graph = ReadGraphColors(ini);
    const auto traces = ReadChannelColors(ini);
    const TWindowSettings settings =
        ReadWindowSettings(ini, DefaultWindowSettings(1920, 1080, 640, 480));
    if (seen != nullptr) {
        *seen = settings;
    }
    WriteWindowSettings(ini, settings);
    SavePresets(ini, params);
    WriteChannelColors(ini, traces);
    WriteScopeColors(ini, scope);
    WriteGraphColors(ini, graph);
    return ini.ToText();
}

TEST(Settings, FirstRunFile) {
    TParams params;
    TMemoryStream stream;
    params.SaveToStream(stream);
    const std::string list = BytesToHex(stream.Bytes());
    EXPECT_EQ(RunProgramOnce(""),
              "[General]\r\nLeft=640\r\nTop=300\r\nChannel=0\r\n\r\n"
              "[Channels]\r\nName0=\r\nName1=\r\nName2=\r\nName3=\r\nName4=\r\nName5=\r\n"
              "Color0=clGreen\r\nColor1=clRed\r\nColor2=clBlue\r\nColor3=clLime\r\n"
              "Color4=clFuchsia\r\nColor5=clMaroon\r\n\r\n"
              "[History]\r\nWithColum0=43\r\nWithColum1=120\r\nWithColum2=70\r\n"
              "WithColum3=70\r\nWithColum4=55\r\nWithColum5=55\r\n\r\n"
              "[Presets]\r\nWithColum0=30\r\nWithColum1=300\r\nList=" +
                  list +
                  "\r\n\r\n"
                  "[Scope]\r\nBackgroundColor=clBlack\r\nGridColor=$00408000\r\n\r\n"
                  "[Graph]\r\nBackgroundColor=clWhite\r\nGridColor=$00DDDDDD\r\n"
                  "NumberColor=clBlack\r\nAlarmColor=clRed\r\nGraphColor=clGray\r\n"
                  "CursorHColor=clGreen\r\nCursorVColor=clRed\r\n\r\n");
}

TEST(Settings, HandEditedFileKeepsItsShape) {
    const std::string edited =
        "; my settings\r\n"
        "[Mine]\r\n"
        "Keep=this\r\n"
        "[Channels]\r\n"
        "  Name0 =  CPU fan  \r\n"
        "color0 = clred\r\n"
        "a line without equals\r\n"
        "Unknown=1\r\n"
        "[General]\r\n"
        "Top=abc\r\n"
        "Left=0x20\r\n"
        "Channel=9\r\n";
    TWindowSettings seen;
    const std::string written = RunProgramOnce(edited, &seen);
    EXPECT_EQ(seen.Left, 32);
    EXPECT_EQ(seen.Top, 300);  // "abc" gives the centred default
    EXPECT_EQ(seen.Channel, 0);
    EXPECT_EQ(seen.ChannelNames[0], "CPU fan");

    TIniFile ini;
    ini.LoadFromText(written);
    EXPECT_EQ(ini.SectionNames(),
              (Lines{"Mine", "Channels", "General", "History", "Presets", "Scope", "Graph"}));
    EXPECT_EQ(ini.SectionLines("Mine"), Lines{"Keep=this"});
    EXPECT_EQ(ini.SectionLines("Channels"),
              (Lines{"Name0=CPU fan", "Color0=clRed", "a line without equals", "Unknown=1",
                     "Name1=", "Name2=", "Name3=", "Name4=", "Name5=", "Color1=clRed",
                     "Color2=clBlue", "Color3=clLime", "Color4=clFuchsia", "Color5=clMaroon"}));
    EXPECT_EQ(ini.SectionLines("General"), (Lines{"Top=300", "Left=32", "Channel=0"}));
    EXPECT_EQ(written.find("my settings"), std::string::npos);
    // A second run changes nothing more.
    EXPECT_EQ(RunProgramOnce(written), written);
}

TEST(Settings, ChannelNamesOfOlderFilesAreDecodedAndKeptByteForByte) {
    struct Case {
        const char* name;
        std::string stored;  // the bytes in the file
        std::string shown;   // the name as UTF-8
    };
    const std::string longName(40000, 'n');
    const Case cases[] = {
        {"Windows-1252 letters", "\xE9t\xE9 fan", "\xC3\xA9t\xC3\xA9 fan"},
        {"Windows-1252 punctuation", "\x80 \x85 \x9F", "\xE2\x82\xAC \xE2\x80\xA6 \xC5\xB8"},
        {"a byte 1252 leaves undefined", "a\x81", "a\xC2\x81"},
        {"a broken UTF-8 sequence", "\xC3\x28", "\xC3\x83("},
        {"valid UTF-8 stays", "Caf\xC3\xA9 \xE2\x82\xAC", "Caf\xC3\xA9 \xE2\x82\xAC"},
        {"a long 8-bit name", longName + "\xFC", longName + "\xC3\xBC"},
        {"a long ASCII name", longName + longName, longName + longName},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = "[Channels]\r\nName0=Pump\r\nName1=" + c.stored + "\r\n\r\n";
        TWindowSettings seen;
        const std::string written = RunProgramOnce(file, &seen);
        EXPECT_TRUE(seen.ChannelNames[1] == c.shown);
        TIniFile ini;
        ini.LoadFromText(written);
        EXPECT_TRUE(ini.ReadString("Channels", "Name1", "") == c.stored)
            << "a name nobody edited came back changed";

        // A name the user changes is stored as UTF-8; the others keep their bytes.
        seen.ChannelNames[0] = "Gr\xC3\xBCn";
        WriteWindowSettings(ini, seen);
        EXPECT_EQ(ini.ReadString("Channels", "Name0", ""), "Gr\xC3\xBCn");
        EXPECT_TRUE(ini.ReadString("Channels", "Name1", "") == c.stored);
    }
}

TEST(Settings, ChannelOutsideRangeFallsBackToZero) {
    for (const char* value : {"-1", "6", "100", "5", "0"}) {
        TIniFile ini;
        ini.WriteString("General", "Channel", value);
        const int32_t expected = std::string(value) == "5" ? 5 : 0;
        EXPECT_EQ(ReadWindowSettings(ini, {}).Channel, expected) << value;
    }
}

TEST(Settings, CentredPositionRoundsTowardsMinusInfinity) {
    EXPECT_EQ(CentredPosition(1920, 640), 640);
    EXPECT_EQ(CentredPosition(1025, 641), 512 - 320);
    EXPECT_EQ(CentredPosition(600, 800), -100);
    EXPECT_EQ(CentredPosition(-3, 0), -2);  // -3 div 2 is -2, not -1
    EXPECT_EQ(CentredPosition(0, -5), 3);
}

TEST(Settings, ColumnWidthDefaultsComeFromTheCaller) {
    const auto defaults = DefaultWindowSettings(800, 600, 400, 300, {1, 2, 3, 4, 5, 6}, {7, 8});
    TIniFile ini;
    ini.WriteInteger("History", "WithColum2", 99);
    const TWindowSettings s = ReadWindowSettings(ini, defaults);
    EXPECT_EQ(s.HistoryColumnWidths, (std::array<int32_t, 6>{1, 2, 99, 4, 5, 6}));
    EXPECT_EQ(s.PresetsColumnWidths, (std::array<int32_t, 2>{7, 8}));
    EXPECT_EQ(s.Left, 200);
    EXPECT_EQ(s.Top, 150);
}

TEST(Settings, ColoursReadNamesAndNumbers) {
    TIniFile ini;
    ini.LoadFromText(
        "[Graph]\nGridColor=clsilver\nCursorVColor=$00C0C0C1\n"
        "[Scope]\nBackgroundColor=255\n[Channels]\nColor5= x10\n");
    const TGraphColors graph = ReadGraphColors(ini);
    EXPECT_EQ(graph.GridColor, clSilver);
    EXPECT_EQ(graph.CursorVColor, 0x00C0C0C1u);
    EXPECT_EQ(graph.BackgroundColor, clWhite);
    EXPECT_EQ(ReadScopeColors(ini).BackgroundColor, clRed);
    EXPECT_EQ(ReadScopeColors(ini, {clNavy, clTeal}).GridColor, clTeal);
    EXPECT_EQ(ReadChannelColors(ini)[5], 0x10u);
}

TEST(Settings, BadColourIsReported) {
    TIniFile ini;
    ini.LoadFromText("[Graph]\nAlarmColor=reddish\n");
    try {
        ReadGraphColors(ini);
        ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'reddish' is not a valid integer value");
    }
}

}  // namespace
