// The settings file the tool reads channel names and presets from: --settings, or the file
// Kelvane itself would use.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "IniFile.h"
#include "Params.h"
#include "Reading.h"

// Kelvane's program file as this tool expects to find it: "kelvane" (on Windows
// "kelvane.exe") in the tool's own folder, where both are installed and built.
std::string ProgramPathBesideTool();

// The file Kelvane would choose (ChooseSettingsFile), worked out without creating or copying
// anything: beside the program when this user can replace it there; else the user's
// configuration-folder file when it exists or there is no file beside the program; else the
// file beside the program, which Kelvane would copy into the configuration folder first.
std::string SettingsFileToRead(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home);

// --settings when given, else SettingsFileToRead for Kelvane beside the tool.
std::string SettingsFileFor(const std::optional<std::string>& option);

// --settings when given, else the file Kelvane would write (ChooseSettingsFile, which creates
// the configuration folder and its copy of the file beside the program, as Kelvane does).
std::string SettingsFileToWrite(const std::optional<std::string>& option);

// The settings file read whole (a missing file reads as empty). Throws TCliError (exit 1)
// with the file's error when it cannot be read.
std::unique_ptr<TIniFile> OpenSettings(const std::string& file);

// The channel names of the file. A file that cannot be read gives empty names and a warning on
// `warnings`: names are not worth failing a reading for.
TChannelNames ReadChannelNames(const std::string& file, std::ostream& warnings);

// The presets of the file, or nullopt when it holds none ("Presets"/"List" absent). Throws
// TCliError (exit 1) naming the file when the stored value is damaged.
std::optional<TParams> ReadPresets(const TIniFile& ini);
