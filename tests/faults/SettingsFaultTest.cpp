// Damaged settings files, one table per kind of damage: every key the program reads with a bad
// value, a damaged preset list, repeated sections, binary garbage, NUL bytes, line endings and the
// largest file the program reads. Each case gets the documented fallback or error, and nothing
// the user stored is lost: a start-up that fails leaves the file byte for byte as it was, and one
// that goes on writes back every other value unchanged.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "ColorText.h"
#include "Exceptions.h"
#include "HexText.h"
#include "IniFile.h"
#include "PresetsFile.h"
#include "SettingsRun.h"
#include "TempFolder.h"
#include "WholeFile.h"

namespace {

using namespace std::string_literals;

// The values a user's file holds; none of them is a default.
TWindowSettings StoredWindow() {
    TWindowSettings w;
    w.Left = 120;
    w.Top = -40;
    w.Channel = 3;
    w.ChannelNames = {"CPU", "Case front", "GPU", "Pump", "Rear exhaust", "Drive bay"};
    w.HistoryColumnWidths = {50, 130, 80, 75, 60, 65};
    w.PresetsColumnWidths = {35, 320};
    return w;
}

const std::array<TColor, kChannelCount> kStoredTraces = {clYellow,   clAqua, clWhite,
                                                         0x00112233, clTeal, clPurple};
const TScopeColors kStoredScope{clNavy, 0x00102030};
const TGraphColors kStoredGraph{clSilver, 0x00AABBCC, clNavy, clFuchsia, clTeal, clLime, clOlive};

void FillStoredPresets(TParams& params) {
    params.Items(0).Name = "Quiet";
    params.Items(0).Channels[0] = {1, 1, 0, 1, 300, 77, 600, 255, 700, 500, 128};
    TParamsItem& loud = params.AddNew();
    loud.Name = "Loud";
    loud.Channels[5] = {0, 1, 1, 0, -50, 0, 450, 200, 800, 1200, 255};
    params.AddNew().Name = "Ünïcode name";
    params.SetActive(1);
}

std::string StoredListHex() {
    TParams params;
    FillStoredPresets(params);
    TMemoryStream stream;
    params.SaveToStream(stream);
    return BytesToHex(stream.Bytes());
}

// The user's file in the program's own form, as the program writes it, with a section of the
// user's own at the end.
std::string StoredFile() {
    TIniFile ini;
    WriteWindowSettings(ini, StoredWindow());
    WriteChannelColors(ini, kStoredTraces);
    TParams params;
    FillStoredPresets(params);
    SavePresets(ini, params);
    WriteScopeColors(ini, kStoredScope);
    WriteGraphColors(ini, kStoredGraph);
    ini.WriteString("User", "Note", "kept as it is");
    return ini.ToText();
}

// `file` with the value of `key` in `section` replaced by raw bytes.
std::string WithValue(const std::string& file, const std::string& section, const std::string& key,
                      const std::string& value) {
    const size_t start = file.find("[" + section + "]\r\n");
    EXPECT_NE(start, std::string::npos) << section;
    const size_t line = file.find("\r\n" + key + "=", start);
    EXPECT_NE(line, std::string::npos) << section << "/" << key;
    const size_t from = line + 2 + key.size() + 1;
    const size_t to = file.find("\r\n", from);
    return file.substr(0, from) + value + file.substr(to);
}

// What the loader keeps of a value: blanks and control characters trimmed from both ends.
std::string Trimmed(const std::string& value) {
    size_t from = 0;
    size_t to = value.size();
    while (from < to && static_cast<unsigned char>(value[from]) <= 0x20)
        ++from;
    while (to > from && static_cast<unsigned char>(value[to - 1]) <= 0x20)
        --to;
    return value.substr(from, to - from);
}

class DamagedSettings : public ::testing::Test {
protected:
    // Writes `content` as the settings file and runs the program's steps over it.
    void Run(const std::string& content, SettingsRun& run) {
        WriteWholeFile(path_, content);
        RunSettings(path_, run);
        if (!run.fatal.empty()) {
            EXPECT_EQ(ReadWholeFile(path_), content) << "a failed start-up changed the file";
        } else {
            EXPECT_EQ(ReadWholeFile(path_), run.written);
        }
    }

    // Everything a run read, besides the one value a case damaged, is what the file stored.
    static void ExpectStored(const SettingsRun& run) {
        EXPECT_EQ(run.params.Count(), 3);
        EXPECT_EQ(run.params.ActiveIndex(), 1);
        EXPECT_EQ(run.scope.BackgroundColor, kStoredScope.BackgroundColor);
        EXPECT_EQ(run.scope.GridColor, kStoredScope.GridColor);
        EXPECT_EQ(run.graph.CursorHColor, kStoredGraph.CursorHColor);
    }

    TempFolder folder_;
    std::string path_ = folder_.File("Kelvane.ini");
    const std::string stored_ = StoredFile();
};

// Texts that are no integer in any of the accepted forms.
const std::vector<std::string> kBadIntegers = {
    "abc",
    "",
    "12abc",
    "0x",
    "$",
    "0x1FFFFFFFF",
    "2147483648",
    "--5",
    "1 2",
    "1e3",
    "0x1G",
    "\x01\x7F",
    "\xEF\xBC\x91",
    "+",
    "12\x00"s
    "3",
    "$-1",
    "99999999999999999999",
};

struct IntegerKey {
    const char* section;
    const char* key;
    int32_t fallback;  // the documented default under the run's sizes
    int index;         // column of a width key, or -1
};

int32_t Field(const TWindowSettings& w, const IntegerKey& k) {
    if (std::string(k.section) == "General") {
        return std::string(k.key) == "Left" ? w.Left
                                            : (std::string(k.key) == "Top" ? w.Top : w.Channel);
    }
    return std::string(k.section) == "History" ? w.HistoryColumnWidths[k.index]
                                               : w.PresetsColumnWidths[k.index];
}

const IntegerKey kIntegerKeys[] = {
    {"General", "Left", 640, -1},      {"General", "Top", 300, -1},
    {"General", "Channel", 0, -1},     {"History", "WithColum0", 43, 0},
    {"History", "WithColum1", 120, 1}, {"History", "WithColum2", 70, 2},
    {"History", "WithColum3", 70, 3},  {"History", "WithColum4", 55, 4},
    {"History", "WithColum5", 55, 5},  {"Presets", "WithColum0", 30, 0},
    {"Presets", "WithColum1", 300, 1},
};

TEST_F(DamagedSettings, IntegerKeysFallBackToTheirDefaultsSilently) {
    for (const IntegerKey& k : kIntegerKeys) {
        std::vector<std::string> values = kBadIntegers;
        if (std::string(k.key) == "Channel") {
            values.insert(values.end(), {"6", "-1", "0x7FFFFFFF"});  // no such channel
        }
        for (const std::string& value : values) {
            SCOPED_TRACE(std::string(k.section) + "/" + k.key + "=" + value);
            SettingsRun run;
            Run(WithValue(stored_, k.section, k.key, value), run);
            ASSERT_EQ(run.fatal, "");
            EXPECT_EQ(run.reported, "");
            EXPECT_EQ(Field(run.window, k), k.fallback);
            ExpectStored(run);
            EXPECT_EQ(run.written, WithValue(stored_, k.section, k.key, std::to_string(k.fallback)))
                << "only the damaged value may change";
        }
    }
}

// Texts that are neither a colour name nor an integer.
const std::vector<std::string> kBadColours = {
    "clRedd",
    "",
    "red",
    "$GG",
    "0x",
    "$1FFFFFFFF",
    "#FF0000",
    "rgb(1,2,3)",
    "cl Red",
    "\x01\x02\xFF",
    "12\x00"s
    "3",
};

TEST_F(DamagedSettings, BadTraceColourIsReportedAndOnlyThatTraceFallsBack) {
    for (int i = 0; i < kChannelCount; ++i) {
        const std::string key = "Color" + std::to_string(i);
        for (const std::string& value : kBadColours) {
            SCOPED_TRACE(key + "=" + value);
            SettingsRun run;
            Run(WithValue(stored_, "Channels", key, value), run);
            ASSERT_EQ(run.fatal, "");
            EXPECT_EQ(run.reported, "'" + Trimmed(value) + "' is not a valid integer value");
            for (int j = 0; j < kChannelCount; ++j) {
                EXPECT_EQ(run.traces[j], j == i ? kDefaultChannelColors[j] : kStoredTraces[j]);
            }
            EXPECT_EQ(run.window.ChannelNames, StoredWindow().ChannelNames);
            EXPECT_EQ(run.window.Left, StoredWindow().Left);
            ExpectStored(run);
            EXPECT_EQ(run.written,
                      WithValue(stored_, "Channels", key, ColorToString(kDefaultChannelColors[i])));
        }
    }
}

TEST_F(DamagedSettings, BadScopeOrGraphColourEndsStartUpAndWritesNothing) {
    const std::pair<const char*, const char*> keys[] = {
        {"Scope", "BackgroundColor"}, {"Scope", "GridColor"},    {"Graph", "BackgroundColor"},
        {"Graph", "GridColor"},       {"Graph", "NumberColor"},  {"Graph", "AlarmColor"},
        {"Graph", "GraphColor"},      {"Graph", "CursorVColor"}, {"Graph", "CursorHColor"},
    };
    for (const auto& [section, key] : keys) {
        for (const std::string& value : kBadColours) {
            SCOPED_TRACE(std::string(section) + "/" + key + "=" + value);
            SettingsRun run;
            Run(WithValue(stored_, section, key, value), run);  // checks the file is untouched
            EXPECT_EQ(run.fatal, "'" + Trimmed(value) + "' is not a valid integer value");
            EXPECT_EQ(run.written, "");
        }
    }
}

TEST_F(DamagedSettings, ChannelNamesKeepWhateverTheyHold) {
    // The stored bytes, and the name they read as: 8-bit text of an older file is Windows-1252.
    const std::pair<std::string, std::string> names[] = {
        {"\x01\x02garbage\xFF\xFE", "garbage\xC3\xBF\xC3\xBE"},
        {"a\x00"
         "b"s,
         "a\x00"
         "b"s},
        {std::string(65536, 'n'), std::string(65536, 'n')},
        {"[NotASection]", "[NotASection]"},
        {"key=value=more", "key=value=more"},
        {";not a comment here", ";not a comment here"},
        {"\xC3\x28 invalid UTF-8", "\xC3\x83( invalid UTF-8"},
    };
    for (const auto& [name, shown] : names) {
        SCOPED_TRACE(name.substr(0, 40));
        SettingsRun run;
        Run(WithValue(stored_, "Channels", "Name2", name), run);
        ASSERT_EQ(run.fatal, "");
        EXPECT_EQ(run.window.ChannelNames[2], shown);
        ExpectStored(run);
        EXPECT_EQ(run.written, WithValue(stored_, "Channels", "Name2", Trimmed(name)));
    }
}

// A damaged preset list: the load's error ends start-up; fallbacks where the stream is whole.
struct ListCase {
    const char* name;
    std::string value;
    const char* fatal;       // expected error, or "" when the list loads
    int count;               // presets after a load
    const char* activeName;  // name of the active preset after a load
};

std::vector<ListCase> ListCases() {
    const std::string good = StoredListHex();
    std::string lower = good;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string badCountTag = good;
    badCountTag.replace(0, 2, "05");
    std::string badNameTag = good;
    badNameTag.replace(4, 2, "07");  // count "02 03", then the first name's tag
    std::string activeOutside = good;
    activeOutside.replace(activeOutside.size() - 2, 2, "07");
    std::string badDigitInside = good;
    badDigitInside[good.size() / 2] = 'G';
    return {
        {"empty", "", "Stream read error", 0, ""},
        {"no hexadecimal at all", "ZZZZ", "Stream read error", 0, ""},
        {"count only", good.substr(0, 4), "Stream read error", 0, ""},
        {"cut inside a name", good.substr(0, 10), "Stream read error", 0, ""},
        {"cut inside the records", good.substr(0, 200), "Stream read error", 0, ""},
        {"cut before the active index", good.substr(0, good.size() - 4), "Stream read error", 0,
         ""},
        {"last digit missing", good.substr(0, good.size() - 1), "Stream read error", 0, ""},
        {"bad digit inside", badDigitInside, "Stream read error", 0, ""},
        {"wrong count tag", badCountTag, "Invalid property value", 0, ""},
        {"wrong name tag", badNameTag, "Invalid property value", 0, ""},
        {"lower-case digits", lower, "", 3, "Loud"},
        {"odd digit after the end", good + "7", "", 3, "Loud"},
        {"garbage after the end", good + "DEADBEEF", "", 3, "Loud"},
        {"non-hexadecimal after the end", good + "XY12", "", 3, "Loud"},
        {"active index names no preset", activeOutside, "", 3, "Quiet"},
        {"count zero", "0200", "", 1, "Default"},
        {"count negative", "02FF", "", 1, "Default"},
    };
}

TEST_F(DamagedSettings, DamagedPresetListEndsStartUpOrFallsBack) {
    for (const ListCase& c : ListCases()) {
        SCOPED_TRACE(c.name);
        const std::string content = WithValue(stored_, "Presets", "List", c.value);
        SettingsRun run;
        Run(content, run);  // checks the file is untouched after an error
        EXPECT_EQ(run.fatal, c.fatal);
        if (*c.fatal != '\0') {
            // Even a store that failed to load never replaces the stored value.
            TIniFile ini(path_);
            TParams params;
            EXPECT_THROW(LoadPresets(ini, params), Exception);
            SavePresets(ini, params);
            EXPECT_EQ(ini.ToText(), content);
            continue;
        }
        EXPECT_EQ(run.params.Count(), c.count);
        ASSERT_NE(run.params.Active(), nullptr);
        EXPECT_EQ(run.params.Active()->Name, c.activeName);
    }
}

TEST_F(DamagedSettings, ListKeyInAnyCaseIsTheList) {
    for (const char* key : {"list", "LIST", "lIsT"}) {
        SCOPED_TRACE(key);
        std::string content = stored_;
        content.replace(content.find("\r\nList=") + 2, 4, key);
        SettingsRun run;
        Run(content, run);
        ASSERT_EQ(run.fatal, "");
        ExpectStored(run);
        EXPECT_EQ(run.written, stored_) << "rewritten in place in the program's own form";
    }
}

TEST_F(DamagedSettings, RepeatedSectionsAndKeysFirstOneCounts) {
    const std::string repeated =
        "[general]\r\nLeft=999\r\nChannel=5\r\n\r\n"
        "[PRESETS]\r\nList=0200\r\n\r\n"
        "[Scope]\r\nBackgroundColor=not a colour\r\n\r\n";
    std::string content = stored_ + repeated;
    content.insert(content.find("Top=-40\r\n"), "Left=7\r\n");  // a second Left, later
    SettingsRun run;
    Run(content, run);
    ASSERT_EQ(run.fatal, "");
    EXPECT_EQ(run.window.Left, 120);
    EXPECT_EQ(run.window.Channel, 3);
    ExpectStored(run);
    EXPECT_EQ(run.written, content) << "the repeats stay in the file, untouched";
}

TEST_F(DamagedSettings, NulBytes) {
    struct Case {
        const char* name;
        std::string content;
        int32_t left;
    };
    std::string nulInKey = stored_;
    nulInKey.replace(nulInKey.find("Left=120"), 8, "Le\0ft=120"s);
    std::string nulAfterValue = stored_;
    nulAfterValue.replace(nulAfterValue.find("Left=120"), 8, "Left=120\0\0"s);
    std::string nulInSectionName = stored_;
    nulInSectionName.replace(0, 9, "[Gen\0eral]"s);
    const Case cases[] = {
        {"NUL inside a key: no such key", nulInKey, 640},
        {"NULs after a value are trimmed", nulAfterValue, 120},
        {"NUL inside a section name: no such section", nulInSectionName, 640},
        {"NULs between lines", "\0\0\r\n"s + stored_ + "\0"s, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRun run;
        Run(c.content, run);
        ASSERT_EQ(run.fatal, "");
        EXPECT_EQ(run.window.Left, c.left);
        ExpectStored(run);
        // A second run finds its own file exactly as it left it.
        SettingsRun again;
        Run(run.written, again);
        EXPECT_EQ(again.written, run.written);
    }
}

TEST_F(DamagedSettings, LineEndingsReadAlike) {
    auto convert = [&](const std::string& ending) {
        std::string out;
        for (size_t pos = 0; pos < stored_.size();) {
            const size_t end = stored_.find("\r\n", pos);
            out += stored_.substr(pos, end - pos) + ending;
            pos = end + 2;
        }
        return out;
    };
    // Every other line break a lone LF, the rest a lone CR.
    std::string mixed = convert("\n");
    bool asCr = false;
    for (char& c : mixed) {
        if (c == '\n') {
            c = asCr ? '\r' : '\n';
            asCr = !asCr;
        }
    }
    const std::pair<const char*, std::string> files[] = {{"CR LF", stored_},
                                                         {"LF", convert("\n")},
                                                         {"CR", convert("\r")},
                                                         {"CR and LF mixed", mixed}};
    for (const auto& [name, content] : files) {
        SCOPED_TRACE(name);
        SettingsRun run;
        Run(content, run);
        ASSERT_EQ(run.fatal, "");
        EXPECT_EQ(run.window.ChannelNames, StoredWindow().ChannelNames);
        EXPECT_EQ(run.traces, kStoredTraces);
        ExpectStored(run);
        EXPECT_EQ(run.written, stored_) << "written back with CR LF";
    }
}

TEST_F(DamagedSettings, BinaryGarbageNeverCrashesAndSettlesAfterOneWrite) {
    // Odd seeds: bytes drawn mostly from the file's own structure characters, so that sections,
    // keys and half-formed values turn up among the noise. Even seeds: the user's file with a
    // few bytes overwritten at random, so that real keys carry damaged values.
    const std::string alphabet = "[]=;\r\n \t0x$ListColorNameLeftGeneralPresetsScopeGraph";
    int failedStartUps = 0;
    int completedRuns = 0;
    for (uint32_t seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        std::string content;
        if (seed % 2 == 1) {
            content.assign(4096 + seed * 512, '\0');
            for (char& c : content) {
                const uint32_t r = random();
                c = (r & 3) == 0 ? static_cast<char>(r >> 8) : alphabet[(r >> 8) % alphabet.size()];
            }
        } else {
            content = stored_;
            for (uint32_t i = 0; i < seed / 2; ++i) {
                content[random() % content.size()] = static_cast<char>(random());
            }
        }
        SettingsRun run;
        Run(content, run);  // checks the file is untouched when start-up fails
        if (!run.fatal.empty()) {
            ++failedStartUps;
            const bool documented = run.fatal == "Stream read error" ||
                                    run.fatal == "Invalid property value" ||
                                    run.fatal.ends_with("' is not a valid integer value");
            EXPECT_TRUE(documented) << run.fatal;
            continue;
        }
        ++completedRuns;
        ASSERT_NE(run.params.Active(), nullptr);
        SettingsRun again;
        Run(run.written, again);
        EXPECT_EQ(again.written, run.written) << "the file changed again on the second run";
    }
    EXPECT_GT(failedStartUps, 0) << "no damage reached a value whose error ends start-up";
    EXPECT_GT(completedRuns, 0);
}

TEST_F(DamagedSettings, LargestFileLoadsAndWritesBackTheSameAndALargerOneIsRefused) {
    // A store of some 38 000 presets plus a section of the user's own, filled up to the largest
    // size a settings file may have.
    TIniFile ini;
    ini.LoadFromText(stored_);
    TParams params;
    FillStoredPresets(params);
    for (int i = 0; i < 38000; ++i) {
        TParamsItem& item = params.AddNew();
        item.Name = "Preset " + std::to_string(i);
        item.Channels[i % kPresetChannels].T_max = i;
    }
    SavePresets(ini, params);
    std::string content = ini.ToText() + "[Bulk]\r\n";
    for (int i = 0; content.size() + 60 < kMaxSettingsFileSize; ++i) {
        content += "Key" + std::to_string(i) + "=" + std::string(40, 'v') + "\r\n";
    }
    content += "Last=" + std::string(kMaxSettingsFileSize - content.size() - 9, 'w') + "\r\n\r\n";
    ASSERT_EQ(content.size(), kMaxSettingsFileSize);

    SettingsRun run;
    Run(content, run);
    ASSERT_EQ(run.fatal, "");
    EXPECT_EQ(run.params.Count(), 38003);
    EXPECT_TRUE(run.written == content) << "the large file came back changed";

    // One byte more: refused before it is read, and left as it is (Run checks the file).
    SettingsRun refused;
    Run(content + ";", refused);
    EXPECT_EQ(refused.fatal, "Settings file " + path_ +
                                 " was not read: it holds 16777217 bytes, more than the 16 MB a "
                                 "settings file may hold. The file is left as it is.");
}

}  // namespace
