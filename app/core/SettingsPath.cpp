// Choosing the settings file: beside the program for a portable copy, else in the user's
// configuration folder, first filled from the file beside the program.
#include "SettingsPath.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "AtomicFile.h"
#include "IniFile.h"

namespace fs = std::filesystem;

namespace {

fs::path ConfigFolder(const std::string& xdgConfigHome, const std::string& home) {
    // A relative $XDG_CONFIG_HOME is invalid and ignored, as the base directory rules say.
    if (!xdgConfigHome.empty() && fs::path(xdgConfigHome).is_absolute()) {
        return fs::path(xdgConfigHome) / "kelvane";
    }
    return fs::path(home) / ".config" / "kelvane";
}

// The folders where installed programs live. A program there is shared by every user of the
// machine, so it never keeps its settings beside itself, even for a user who may write there
// (the superuser): only a copy of the program in a folder of its own is a portable one.
bool InSystemProgramFolder(const std::string& programPath) {
#ifdef _WIN32
    (void)programPath;
    return false;
#else
    std::error_code ec;
    fs::path folder = fs::path(programPath).parent_path();
    const fs::path real = fs::weakly_canonical(folder, ec);
    if (!ec) {
        folder = real;
    }
    for (const char* system : {"/usr/bin", "/usr/sbin", "/usr/local/bin", "/usr/local/sbin",
                               "/usr/games", "/bin", "/sbin"}) {
        if (folder == fs::path(system)) {
            return true;
        }
    }
    return false;
#endif
}

}  // namespace

std::string SettingsFileBeside(const std::string& programPath) {
    return fs::path(programPath).replace_extension(".ini").string();
}

std::string SettingsFileInConfigFolder(const std::string& xdgConfigHome, const std::string& home) {
    return (ConfigFolder(xdgConfigHome, home) / "kelvane.ini").string();
}

std::string ChooseSettingsFile(const std::string& programPath, const std::string& xdgConfigHome,
                               const std::string& home) {
    const std::string beside = SettingsFileBeside(programPath);
    if (!InSystemProgramFolder(programPath) && CanReplaceFile(beside)) {
        return beside;
    }
    const fs::path folder = ConfigFolder(xdgConfigHome, home);
    const std::string own = SettingsFileInConfigFolder(xdgConfigHome, home);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (fs::exists(own, ec) || !fs::is_regular_file(beside, ec)) {
        return own;
    }
    const uintmax_t size = fs::file_size(beside, ec);
    if (!ec && size > kMaxSettingsFileSize) {
        return beside;
    }
    // The user's own file starts as a copy of the one beside the program, so nothing it holds
    // is lost; written atomically with this user's default permissions.
    std::ifstream in(beside, std::ios::binary);
    if (in) {
        const std::string content{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
        if (!in.bad()) {
            ReplaceFileWhole(own, content);
        }
    }
    return own;
}

std::string SettingsFilePath(const std::string& programPath) {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    return ChooseSettingsFile(programPath, xdg ? xdg : "", home ? home : "");
}
