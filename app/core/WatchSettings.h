// The settings of watching the machine: alarm notifications on or off, and whether polling goes
// on while the window is hidden in the tray. Section "General", keys "AlarmNotifications" and
// "WatchInTray" (1 or 0).
#pragma once

#include "IniFile.h"

struct TWatchSettings {
    bool AlarmNotifications = true;
    bool WatchInTray = false;

    bool operator==(const TWatchSettings&) const = default;
};

// Each key, or its default when it is absent or not an integer; any integer but 0 is on.
TWatchSettings ReadWatchSettings(const TIniFile& ini);
// Writes a key only when the file holds it already or its value differs from the default, so a
// settings file of a user who never touched these settings keeps its exact form.
void WriteWatchSettings(TIniFile& ini, const TWatchSettings& settings);
