// The watch settings: absent keys give the defaults, and a file whose user never changed them
// keeps its exact form; once changed, a key stays in the file.
#include <gtest/gtest.h>

#include "IniFile.h"
#include "WatchSettings.h"

TEST(WatchSettingsFile, DefaultsWriteNothingAndChangesStay) {
    const std::string firstRun = "[General]\r\nLeft=10\r\nTop=20\r\nChannel=0\r\n\r\n";
    TIniFile ini;
    ini.LoadFromText(firstRun);
    EXPECT_EQ(ReadWatchSettings(ini), TWatchSettings{});
    WriteWatchSettings(ini, TWatchSettings{});
    EXPECT_EQ(ini.ToText(), firstRun);

    TWatchSettings changed;
    changed.AlarmNotifications = false;
    WriteWatchSettings(ini, changed);
    EXPECT_EQ(ini.SectionLines("General"),
              (std::vector<std::string>{"Left=10", "Top=20", "Channel=0", "AlarmNotifications=0"}));
    // Back to the default: the key stays, now saying so.
    WriteWatchSettings(ini, TWatchSettings{});
    EXPECT_EQ(ini.SectionLines("General").back(), "AlarmNotifications=1");
    EXPECT_FALSE(ini.ValueExists("General", "WatchInTray"));

    TIniFile stored;
    stored.LoadFromText("[General]\r\nWatchInTray=1\r\nAlarmNotifications=0\r\n");
    const TWatchSettings read = ReadWatchSettings(stored);
    EXPECT_TRUE(read.WatchInTray);
    EXPECT_FALSE(read.AlarmNotifications);
    TIniFile junk;
    junk.LoadFromText("[General]\r\nWatchInTray=yes\r\n");
    EXPECT_FALSE(ReadWatchSettings(junk).WatchInTray);  // not an integer: the default
}
