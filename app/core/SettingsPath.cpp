// Choosing the settings file: beside the program for a portable copy, else in the user's
// configuration folder.
#include "SettingsPath.h"

#include <cstdlib>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

bool FolderWritable(const fs::path& folder) {
    const std::string name = folder.empty() ? std::string(".") : folder.string();
#ifdef _WIN32
    return _access(name.c_str(), 2) == 0;
#else
    // With the effective ids: what this process can actually do there.
    return ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) == 0;
#endif
}

}  // namespace

std::string SettingsFileBeside(const std::string& programPath) {
    return fs::path(programPath).replace_extension(".ini").string();
}

std::string ChooseSettingsFile(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home) {
    const std::string beside = SettingsFileBeside(programPath);
    std::error_code ec;
    if (fs::exists(beside, ec) || FolderWritable(fs::path(beside).parent_path())) {
        return beside;
    }
    fs::path configHome;
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (!xdgConfigHome.empty() && fs::path(xdgConfigHome).is_absolute()) {
        configHome = xdgConfigHome;
    } else {
        configHome = fs::path(home) / ".config";
    }
    const fs::path folder = configHome / "kelvane";
    fs::create_directories(folder, ec);
    return (folder / "kelvane.ini").string();
}

std::string SettingsFilePath(const std::string& programPath) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return ChooseSettingsFile(programPath, xdg ? xdg : "", home ? home : "");
}
