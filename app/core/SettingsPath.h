// Where the settings file lives: beside the program for a portable copy, else in the user's
// configuration folder.
#pragma once

#include <string>

// The program's own path with its extension replaced by ".ini" (kelvane -> kelvane.ini,
// Kelvane.exe -> Kelvane.ini).
std::string SettingsFileBeside(const std::string& programPath);

// The file beside the program when this user can replace it and the program is not in one of the
// system's program folders (/usr/bin, /usr/local/bin and the like, where an installed program
// is shared by every user, the superuser included) (CanReplaceFile: it may be written,
// or it does not exist yet and the program's folder takes new files); otherwise
// <configHome>/kelvane/kelvane.ini, where configHome is `xdgConfigHome` when it is an absolute
// path, else <home>/.config. A file beside the program that this user cannot replace (left by a
// run as the superuser, or shipped beside an installed program) never wins over the user's own
// file: when the configuration-folder file does not exist yet, it is created as a copy of the
// file beside the program, so what that file holds is kept. The "kelvane" folder is created
// when missing (a failure to create it or the copy shows later as "Cannot create file %s" when
// the file is written). A file beside the program that is too large to be read
// (kMaxSettingsFileSize) is not copied; it is chosen as it is, so that start-up refuses it with
// its message and nothing writes it.
std::string ChooseSettingsFile(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home);

// <configHome>/kelvane/kelvane.ini as ChooseSettingsFile names it (configHome is `xdgConfigHome`
// when it is an absolute path, else <home>/.config); creates nothing.
std::string SettingsFileInConfigFolder(const std::string& xdgConfigHome, const std::string& home);

// ChooseSettingsFile with $XDG_CONFIG_HOME and $HOME of the running process.
std::string SettingsFilePath(const std::string& programPath);
