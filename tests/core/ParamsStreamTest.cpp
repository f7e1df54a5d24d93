// The preset stream byte for byte, its hexadecimal form in the settings file, round trips and
// every kind of damaged stream.
#include <gtest/gtest.h>

#include <random>

#include "Exceptions.h"
#include "HexText.h"
#include "Params.h"
#include "PresetsFile.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Save(const TParams& params) {
    TMemoryStream stream;
    params.SaveToStream(stream);
    return stream.Bytes();
}

void Load(TParams& params, const Bytes& bytes) {
    TMemoryStream stream(bytes);
    params.LoadFromStream(stream);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

const Bytes kZeroRecords(192, 0);
const Bytes kDefaultName = {0x06, 0x07, 'D', 'e', 'f', 'a', 'u', 'l', 't'};

// Everything a user sees of a store, for comparisons.
struct Snapshot {
    std::vector<std::string> names;
    std::vector<std::array<TChannelParams, 6>> records;
    int active;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const TParams& params) {
    Snapshot s{{}, {}, params.ActiveIndex()};
    for (int i = 0; i < params.Count(); ++i) {
        s.names.push_back(params.Items(i).Name);
        s.records.push_back(params.Items(i).Channels);
    }
    return s;
}

TEST(PresetStream, DefaultStoreIsThe205ByteExample) {
    const Bytes bytes = Save(TParams{});
    EXPECT_EQ(bytes, Concat({{0x02, 0x01}, kDefaultName, kZeroRecords, {0x02, 0x00}}));
    ASSERT_EQ(bytes.size(), 205u);
    const std::string hex = BytesToHex(bytes);
    ASSERT_EQ(hex.size(), 410u);
    EXPECT_EQ(hex.substr(0, 22), "0201060744656661756C74");
    EXPECT_EQ(hex.substr(406), "0200");
}

TEST(PresetStream, TextTags) {
    struct Case {
        std::string name;
        Bytes head;
    };
    const Case cases[] = {
        {"", {0x06, 0x00}},
        {std::string(255, 'a'), {0x06, 0xFF}},
        {std::string(256, 'a'), {0x0C, 0x00, 0x01, 0x00, 0x00}},
        {std::string(300, 'x'), {0x0C, 0x2C, 0x01, 0x00, 0x00}},
        {"L\xC3\xBC"
         "fter",
         {0x14, 0x07, 0x00, 0x00, 0x00}},  // "Lüfter", short but not ASCII
        {"\xE2\x82\xAC", {0x14, 0x03, 0x00, 0x00, 0x00}},
    };
    for (const Case& c : cases) {
        TParams params;
        params.Items(0).Name = c.name;
        const Bytes bytes = Save(params);
        const Bytes expected = Concat({{0x02, 0x01},
                                       c.head,
                                       Bytes(c.name.begin(), c.name.end()),
                                       kZeroRecords,
                                       {0x02, 0x00}});
        EXPECT_EQ(bytes, expected) << c.name.size() << " bytes";
        TParams back;
        Load(back, bytes);
        EXPECT_EQ(back.Items(0).Name, c.name);
    }
}

TEST(PresetStream, IntegerTagsForCountAndActiveIndex) {
    struct Case {
        int count;
        int active;
        Bytes countBytes;
        Bytes activeBytes;
    };
    const Case cases[] = {
        {127, 126, {0x02, 0x7F}, {0x02, 0x7E}},
        {128, 127, {0x03, 0x80, 0x00}, {0x02, 0x7F}},
        {130, 128, {0x03, 0x82, 0x00}, {0x03, 0x80, 0x00}},
    };
    for (const Case& c : cases) {
        TParams params;
        params.Clear();
        for (int i = 0; i < c.count; ++i) {
            params.AddNew();
        }
        params.SetActive(c.active);
        const Bytes bytes = Save(params);
        const size_t perPreset = 2 + 192;
        ASSERT_EQ(bytes.size(), c.countBytes.size() + c.count * perPreset + c.activeBytes.size());
        EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + c.countBytes.size()), c.countBytes);
        EXPECT_EQ(Bytes(bytes.end() - c.activeBytes.size(), bytes.end()), c.activeBytes);
        TParams back;
        Load(back, bytes);
        EXPECT_EQ(back.Count(), c.count);
        EXPECT_EQ(back.ActiveIndex(), c.active);
    }
}

TEST(PresetStream, NoActivePresetWritesNoIndex) {
    TParams params;
    params.AddNew().Name = "B";
    params.Delete(0);  // the active one
    const Bytes bytes = Save(params);
    EXPECT_EQ(bytes, Concat({{0x02, 0x01}, {0x06, 0x01, 'B'}, kZeroRecords}));
}

TEST(PresetStream, ReadsEveryIntegerAndTextTag) {
    // Count 2 as a 4-byte integer; names as 0x0C, 0x12 (UTF-16 with a surrogate pair) and an
    // 8-bit 0x06 text in the Windows-1252 code page; active index 1 as a 2-byte integer.
    const Bytes bytes = Concat({
        {0x04, 0x02, 0x00, 0x00, 0x00},
        {0x12, 0x03, 0x00, 0x00, 0x00, 'A', 0x00, 0x3D, 0xD8, 0x00, 0xDE},
        kZeroRecords,
        {0x06, 0x03, 'F', 0xFC, 0x80},
        kZeroRecords,
        {0x03, 0x01, 0x00},
        {0xDE, 0xAD},  // trailing bytes are ignored
    });
    TParams params;
    Load(params, bytes);
    ASSERT_EQ(params.Count(), 2);
    EXPECT_EQ(params.Items(0).Name, "A\xF0\x9F\x98\x80");
    EXPECT_EQ(params.Items(1).Name, "F\xC3\xBC\xE2\x82\xAC");
    EXPECT_EQ(params.ActiveIndex(), 1);
}

TEST(PresetStream, InvalidUtf8IsReplaced) {
    const Bytes bytes =
        Concat({{0x02, 0x01}, {0x14, 0x03, 0, 0, 0, 'a', 0xFF, 'b'}, kZeroRecords, {0x02, 0x00}});
    TParams params;
    Load(params, bytes);
    EXPECT_EQ(params.Items(0).Name,
              "a\xEF\xBF\xBD"
              "b");
}

TEST(PresetStream, RandomStoresRoundTrip) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int32_t> value(INT32_MIN, INT32_MAX);
    const std::string alphabet[] = {
        "a", "Z", " ", "7", "\xC3\xA4", "\xE2\x82\xAC", "\xF0\x9F\x8C\x80"};
    for (int round = 0; round < 40; ++round) {
        TParams params;
        params.Clear();
        const int count = std::uniform_int_distribution<int>(1, round < 2 ? 200 : 8)(random);
        for (int i = 0; i < count; ++i) {
            TParamsItem& item = params.AddNew();
            const int length = std::uniform_int_distribution<int>(0, 300)(random);
            const bool ascii = random() % 2 == 0;
            for (int k = 0; k < length; ++k) {
                item.Name += alphabet[random() % (ascii ? 4 : 7)];
            }
            for (TChannelParams& ch : item.Channels) {
                ch.Boost = static_cast<uint8_t>(byte(random));
                ch.Auto = static_cast<uint8_t>(byte(random));
                ch.Ta = static_cast<uint8_t>(byte(random));
                ch.Va = static_cast<uint8_t>(byte(random));
                for (int32_t* f : {&ch.T_min, &ch.PWM_min, &ch.T_max, &ch.PWM_max, &ch.T_alarm,
                                   &ch.V_alarm, &ch.PWM}) {
                    *f = value(random);
                }
            }
        }
        params.SetActive(static_cast<int>(random() % static_cast<unsigned>(count)));
        TParams back;
        Load(back, Save(params));
        EXPECT_EQ(Take(back), Take(params)) << "round " << round;
        EXPECT_EQ(Save(back), Save(params));
    }
}

TEST(PresetStream, TruncatedAtEveryOffsetIsAReadError) {
    TParams params;
    params.Items(0).Name = "Silent";
    params.AddNew().Name = std::string(260, 'q');
    params.AddNew().Name = "Gr\xC3\xBCn";
    params.SetActive(2);
    const Bytes good = Save(params);
    const Snapshot before = Take(TParams{});
    for (size_t cut = 0; cut < good.size(); ++cut) {
        TParams target;
        try {
            Load(target, Bytes(good.begin(), good.begin() + static_cast<long>(cut)));
            ADD_FAILURE() << "no error at " << cut;
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), "Stream read error");
        }
        EXPECT_TRUE(target.LoadFailed());
        EXPECT_EQ(Take(target), before) << "the store keeps what it held, cut at " << cut;
    }
}

TEST(PresetStream, WrongTagsAreInvalidPropertyValues) {
    const Bytes cases[] = {
        Concat({{0x06, 0x01, '1'}, kDefaultName, kZeroRecords, {0x02, 0x00}}),  // count as text
        Concat({{0x05, 0x01}, kDefaultName, kZeroRecords, {0x02, 0x00}}),
        Concat({{0x02, 0x01}, {0x02, 0x07}, kZeroRecords, {0x02, 0x00}}),  // name as integer
        Concat({{0x02, 0x01}, {0x13, 0x00}, kZeroRecords, {0x02, 0x00}}),
        Concat({{0x02, 0x01}, kDefaultName, kZeroRecords, {0x06, 0x00}}),  // index as text
        Concat({{0x02, 0x01}, kDefaultName, kZeroRecords, {0x00}}),
    };
    for (const Bytes& bytes : cases) {
        TParams params;
        try {
            Load(params, bytes);
            ADD_FAILURE() << "no error";
        } catch (const EPropertyError& e) {
            EXPECT_STREQ(e.what(), "Invalid property value");
        }
        EXPECT_TRUE(params.LoadFailed());
        EXPECT_EQ(params.Count(), 1);
        EXPECT_EQ(params.Items(0).Name, "Default");
        EXPECT_NE(params.Active(), nullptr);
    }
}

TEST(PresetStream, HugeLengthsFailWithoutAllocating) {
    const Bytes cases[] = {
        {0x02, 0x01, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x02, 0x01, 0x12, 0xFF, 0xFF, 0xFF, 0xFF},
        {0x02, 0x01, 0x14, 0xFF, 0xFF, 0xFF, 0x7F, 'a'},
        {0x04, 0xFF, 0xFF, 0xFF, 0x7F, 0x06, 0x00},
    };
    for (const Bytes& bytes : cases) {
        TParams params;
        EXPECT_THROW(Load(params, bytes), EReadError);
    }
}

TEST(PresetStream, MissingActivePresetFallsBackToTheFirst) {
    const Bytes twoPresets =
        Concat({{0x02, 0x02}, {0x06, 0x01, 'A'}, kZeroRecords, {0x06, 0x01, 'B'}, kZeroRecords});
    for (const Bytes& index : {Bytes{0x02, 0x02}, Bytes{0x02, 0xFF}, Bytes{0x04, 0, 0, 0, 0x80}}) {
        TParams params;
        Load(params, Concat({twoPresets, index}));
        EXPECT_EQ(params.Count(), 2);
        EXPECT_EQ(params.ActiveIndex(), 0);
    }
}

TEST(PresetStream, EmptyOrNegativeCountGivesDefault) {
    for (const Bytes& bytes : {Bytes{0x02, 0x00}, Bytes{0x02, 0xFF}, Bytes{0x03, 0x00, 0x80}}) {
        TParams params;
        params.AddNew().Name = "old";
        Load(params, bytes);
        ASSERT_EQ(params.Count(), 1);
        EXPECT_EQ(params.Items(0).Name, "Default");
        EXPECT_EQ(params.ActiveIndex(), 0);
        EXPECT_FALSE(params.LoadFailed());
    }
}

TEST(PresetStream, EmptyStreamIsAReadError) {
    TParams params;
    EXPECT_THROW(Load(params, {}), EReadError);
}

TEST(PresetsFile, AbsentKeyKeepsDefault) {
    TIniFile ini;
    ini.WriteString("Presets", "WithColum0", "30");
    TParams params;
    EXPECT_FALSE(LoadPresets(ini, params));
    EXPECT_EQ(Take(params), Take(TParams{}));
}

TEST(PresetsFile, LowerCaseHexLoadsTheSame) {
    TParams saved;
    saved.Items(0).Name = "Night";
    saved.Items(0).Channels[1].T_max = 0xABCDEF;
    saved.AddNew().Name = "Day";
    TIniFile ini;
    SavePresets(ini, saved);
    std::string hex = ini.ReadString("Presets", "List", "");
    EXPECT_EQ(hex, BytesToHex(Save(saved)));
    for (char& c : hex) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    ini.WriteString("Presets", "List", hex);
    TParams loaded;
    EXPECT_TRUE(LoadPresets(ini, loaded));
    EXPECT_EQ(Take(loaded), Take(saved));
}

TEST(PresetsFile, BadCharacterLoadsOnlyTheBytesBeforeIt) {
    TParams saved;
    TIniFile ini;
    ini.WriteString("Presets", "List", BytesToHex(Save(saved)) + "ZZ0102");
    TParams loaded;
    EXPECT_TRUE(LoadPresets(ini, loaded));  // the trailing good pairs never count
    EXPECT_EQ(Take(loaded), Take(saved));

    ini.WriteString("Presets", "List", "0201060744656661756C7x00");
    EXPECT_THROW(LoadPresets(ini, loaded), EReadError);
}

TEST(PresetsFile, DamagedValueIsNeverWrittenBack) {
    for (const char* damaged : {"", "0201", "0501", "020106"}) {
        TIniFile ini;
        ini.WriteString("Presets", "List", damaged);
        TParams params;
        EXPECT_THROW(LoadPresets(ini, params), Exception) << damaged;
        EXPECT_TRUE(params.LoadFailed());
        SavePresets(ini, params);
        EXPECT_EQ(ini.ReadString("Presets", "List", "?"), damaged);
    }
}

}  // namespace
