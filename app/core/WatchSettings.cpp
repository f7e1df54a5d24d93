// Reading and writing the watch settings.
#include "WatchSettings.h"

namespace {

constexpr const char* kSection = "General";

bool ReadFlag(const TIniFile& ini, const char* key, bool defaultValue) {
    return ini.ReadInteger(kSection, key, defaultValue ? 1 : 0) != 0;
}

void WriteFlag(TIniFile& ini, const char* key, bool value, bool defaultValue) {
    if (value != defaultValue || ini.ValueExists(kSection, key))
        ini.WriteInteger(kSection, key, value ? 1 : 0);
}

}  // namespace

TWatchSettings ReadWatchSettings(const TIniFile& ini) {
    const TWatchSettings d;
    TWatchSettings s;
    s.AlarmNotifications = ReadFlag(ini, "AlarmNotifications", d.AlarmNotifications);
    s.WatchInTray = ReadFlag(ini, "WatchInTray", d.WatchInTray);
    return s;
}

void WriteWatchSettings(TIniFile& ini, const TWatchSettings& settings) {
    const TWatchSettings d;
    WriteFlag(ini, "AlarmNotifications", settings.AlarmNotifications, d.AlarmNotifications);
    WriteFlag(ini, "WatchInTray", settings.WatchInTray, d.WatchInTray);
}
