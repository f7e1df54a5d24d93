// EEPROM image file: persistence across instances, damaged files, failed writes.
#include <gtest/gtest.h>
#include <ostream>

#include <fstream>
#include <iterator>

#include "Eeprom.h"
#include "Protocol.h"
#include "TempFolder.h"

namespace qv725sim {
namespace {

std::vector<char> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::vector<char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

ChannelParams Sample(uint8_t seed) {
    ChannelParams p;
    p.Flags = seed & 0x0F;
    p.T_min = static_cast<uint16_t>(100 + seed);
    p.PWM_min = seed;
    p.T_max = static_cast<uint16_t>(0xC0DB + seed);
    p.PWM_max = static_cast<uint8_t>(255 - seed);
    p.T_alarm = 850;
    p.V_alarm = static_cast<uint16_t>(1000 + seed);
    p.PWM = static_cast<uint8_t>(seed * 3);
    return p;
}

TEST(EepromTest, MissingFileGivesFactoryDefaults) {
    TempFolder dir{TempFolder::OwnerOnly};
    Eeprom eeprom(dir.File("none.eeprom"));
    EXPECT_EQ(eeprom.Load(), Eeprom::LoadResult::Missing);
    for (int i = 0; i < ChannelCount; ++i) {
        EXPECT_EQ(eeprom.Channel(i), FactoryChannelParams());
    }
}

TEST(EepromTest, StoredChannelsSurviveIntoAnotherInstance) {
    TempFolder dir{TempFolder::OwnerOnly};
    const std::string path = dir.File("a.eeprom");
    {
        Eeprom eeprom(path);
        eeprom.Load();
        ASSERT_TRUE(eeprom.Store(1, Sample(7)));
        ASSERT_TRUE(eeprom.Store(5, Sample(9)));
    }
    Eeprom again(path);
    ASSERT_EQ(again.Load(), Eeprom::LoadResult::Loaded);
    for (int i = 0; i < ChannelCount; ++i) {
        const ChannelParams expected = i == 1   ? Sample(7)
                                       : i == 5 ? Sample(9)
                                                : FactoryChannelParams();
        EXPECT_EQ(again.Channel(i), expected) << "channel " << i;
    }
    // Only the image is left behind, no temporary file.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(EepromTest, SaveAndRecallAcrossTwoControllers) {
    TempFolder dir{TempFolder::OwnerOnly};
    const std::string path = dir.File("ctl.eeprom");
    ChannelParams saved = Sample(3);
    {
        ControllerModel model;
        Eeprom eeprom(path);
        eeprom.Load();
        Protocol protocol(model, eeprom);
        model.SetParams(2, saved);
        const uint8_t channel = 2;
        ASSERT_EQ(protocol.Answer(CmdSavePar, &channel, 1).data, std::vector<uint8_t>{0});
    }
    ControllerModel model;
    Eeprom eeprom(path);
    ASSERT_EQ(eeprom.Load(), Eeprom::LoadResult::Loaded);
    Protocol protocol(model, eeprom);
    const uint8_t channel = 2;
    ASSERT_EQ(protocol.Answer(CmdCallPar, &channel, 1).data, std::vector<uint8_t>{0});
    EXPECT_EQ(model.Params(2), saved);
}

struct DamageCase {
    const char* what;
    void (*damage)(std::vector<char>& bytes);
};

// Short printed form: test names carry it, so it stays free of addresses and byte dumps.
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.what; }

class DamagedEepromTest : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedEepromTest, GivesFactoryDefaultsAndKeepsTheFileAside) {
    TempFolder dir{TempFolder::OwnerOnly};
    const std::string path = dir.File("d.eeprom");
    {
        Eeprom eeprom(path);
        ASSERT_TRUE(eeprom.Store(0, Sample(1)));
    }
    std::vector<char> bytes = ReadFile(path);
    GetParam().damage(bytes);
    WriteFile(path, bytes);

    Eeprom eeprom(path);
    EXPECT_EQ(eeprom.Load(), Eeprom::LoadResult::Damaged);
    for (int i = 0; i < ChannelCount; ++i) {
        EXPECT_EQ(eeprom.Channel(i), FactoryChannelParams());
    }
    // The next save writes a good image and keeps the unreadable one, untouched, beside it.
    ASSERT_TRUE(eeprom.Store(4, Sample(2)));
    EXPECT_EQ(ReadFile(path + ".damaged"), bytes);
    Eeprom again(path);
    ASSERT_EQ(again.Load(), Eeprom::LoadResult::Loaded);
    EXPECT_EQ(again.Channel(4), Sample(2));
    EXPECT_EQ(again.Channel(0), FactoryChannelParams());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedEepromTest,
    testing::Values(DamageCase{"empty", [](std::vector<char>& b) { b.clear(); }},
                    DamageCase{"truncated", [](std::vector<char>& b) { b.resize(b.size() - 1); }},
                    DamageCase{"extended", [](std::vector<char>& b) { b.push_back(0); }},
                    DamageCase{"magic", [](std::vector<char>& b) { b[0] = 'X'; }},
                    DamageCase{"format", [](std::vector<char>& b) { b[4] = 2; }},
                    DamageCase{"body", [](std::vector<char>& b) { b[10] ^= 0x01; }},
                    DamageCase{"checksum", [](std::vector<char>& b) { b.back() ^= 0x80; }},
                    DamageCase{"text",
                               [](std::vector<char>& b) {
                                   const std::string text = "T_min=300\nT_max=600\n";
                                   b.assign(text.begin(), text.end());
                               }}),
    [](const testing::TestParamInfo<DamageCase>& info) { return std::string(info.param.what); });

TEST(EepromTest, FolderInPlaceOfTheFileIsDamageNotACrash) {
    TempFolder dir{TempFolder::OwnerOnly};
    const std::string path = dir.File("dir.eeprom");
    std::filesystem::create_directory(path);
    Eeprom eeprom(path);
    const Eeprom::LoadResult result = eeprom.Load();
    EXPECT_NE(result, Eeprom::LoadResult::Loaded);
    EXPECT_EQ(eeprom.Channel(0), FactoryChannelParams());
}

TEST(EepromTest, FailedWriteKeepsImageAndFile) {
    TempFolder dir{TempFolder::OwnerOnly};
    Eeprom nowhere(dir.File("missing-folder/x.eeprom"));
    EXPECT_FALSE(nowhere.Store(0, Sample(5)));
    EXPECT_EQ(nowhere.Channel(0), FactoryChannelParams());

    const std::string path = dir.File("ro.eeprom");
    Eeprom eeprom(path);
    ASSERT_TRUE(eeprom.Store(0, Sample(5)));
    const std::vector<char> before = ReadFile(path);
    // A folder where the temporary file would go makes the write fail.
    std::filesystem::create_directory(path + ".tmp." + std::to_string(::getpid()));
    EXPECT_FALSE(eeprom.Store(0, Sample(6)));
    EXPECT_EQ(eeprom.Channel(0), Sample(5));
    EXPECT_EQ(ReadFile(path), before);
}

}  // namespace
}  // namespace qv725sim
