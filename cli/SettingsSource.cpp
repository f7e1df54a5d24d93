// Finding and reading the settings file, with the program's own units.
#include "SettingsSource.h"

#include <filesystem>

#include "AtomicFile.h"
#include "CliError.h"
#include "Environment.h"
#include "Exceptions.h"
#include "PresetsFile.h"
#include "Settings.h"
#include "SettingsPath.h"

namespace fs = std::filesystem;

std::string ProgramPathBesideTool() {
#ifdef _WIN32
    const char* program = "kelvane.exe";
#else
    const char* program = "kelvane";
#endif
    const std::string self = OwnProgramPath();
    const fs::path folder = self.empty() ? fs::current_path() : fs::path(self).parent_path();
    return (folder / program).string();
}

std::string SettingsFileToRead(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home) {
    const std::string beside = SettingsFileBeside(programPath);
    if (CanReplaceFile(beside)) {
        return beside;
    }
    const std::string own = SettingsFileInConfigFolder(xdgConfigHome, home);
    std::error_code ec;
    if (fs::exists(own, ec) || !fs::is_regular_file(beside, ec)) {
        return own;
    }
    return beside;
}

std::string SettingsFileFor(const std::optional<std::string>& option) {
    if (option) {
        return *option;
    }
    return SettingsFileToRead(ProgramPathBesideTool(), GetEnv("XDG_CONFIG_HOME").value_or(""),
                              GetEnv("HOME").value_or(""));
}

std::string SettingsFileToWrite(const std::optional<std::string>& option) {
    if (option) {
        return *option;
    }
    return SettingsFilePath(ProgramPathBesideTool());
}

std::unique_ptr<TIniFile> OpenSettings(const std::string& file) {
    try {
        return std::make_unique<TIniFile>(file);
    } catch (const Exception& error) {
        throw TCliError(ExitCode::Failed, error.Message());
    }
}

TChannelNames ReadChannelNames(const std::string& file, std::ostream& warnings) {
    try {
        const TIniFile ini(file);
        return ReadWindowSettings(ini, TWindowSettings{}).ChannelNames;
    } catch (const Exception& error) {
        warnings << "qv725ctl: channel names not read: " << error.Message() << "\n";
        return {};
    }
}

std::optional<TParams> ReadPresets(const TIniFile& ini) {
    TParams params;
    try {
        if (!LoadPresets(ini, params)) {
            return std::nullopt;
        }
    } catch (const Exception& error) {
        throw TCliError(ExitCode::Failed,
                        "the presets in " + ini.FileName() + " cannot be read: " + error.Message());
    }
    return params;
}
