// Whether Kelvane is running on a settings file. While it runs, the file is the program's: it
// writes the file whole whenever its presets change, so the tool leaves the file alone.
//
// This is the one place that decides it. Today it looks for running processes named "kelvane"
// (/proc on Linux, the process list on Windows) and works out which file each of them uses;
// once the program keeps a lock beside its settings file, ask that lock here instead.
#pragma once

#include <optional>
#include <string>

struct TRunningProgram {
    int pid = 0;
    // Empty when the process's settings file is known to be the one asked about; otherwise why
    // the process is still counted (its file could not be worked out).
    std::string doubt;
};

// A running Kelvane that uses `settingsFile`, or one whose settings file cannot be worked out
// (counted too: better to leave the file alone than to write it under a running program).
std::optional<TRunningProgram> RunningProgramOn(const std::string& settingsFile);

// The settings file a Kelvane process uses, worked out from its program path and environment
// ($XDG_CONFIG_HOME, $HOME), as SettingsFileToRead does.
std::string SettingsFileOfProcess(const std::string& programPath, const std::string& environment);
