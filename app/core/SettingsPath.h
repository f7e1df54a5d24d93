// Where the settings file lives: beside the program for a portable copy, else in the user's
// configuration folder.
#pragma once

#include <string>

// The program's own path with its extension replaced by ".ini" (kelvane -> kelvane.ini,
// Kelvane.exe -> Kelvane.ini).
std::string SettingsFileBeside(const std::string& programPath);

// The file beside the program when it exists or the program's folder is writable; otherwise
// <configHome>/kelvane/kelvane.ini, where configHome is `xdgConfigHome` when not empty, else
// <home>/.config. The "kelvane" folder is created when missing (a failure to create it shows
// later as "Cannot create file %s" when the file is written).
std::string ChooseSettingsFile(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home);

// ChooseSettingsFile with $XDG_CONFIG_HOME and $HOME of the running process.
std::string SettingsFilePath(const std::string& programPath);
