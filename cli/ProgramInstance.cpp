// Finding a running Kelvane and the settings file it uses.
#include "ProgramInstance.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "SettingsSource.h"

#ifdef _WIN32
// clang-format off
#include <windows.h>
#include <tlhelp32.h>  // after windows.h, which it needs
// clang-format on
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// The value of `name` in a NUL-separated environment block.
std::string EnvironValue(const std::string& environment, const std::string& name) {
    const std::string lead = name + "=";
    size_t start = 0;
    while (start < environment.size()) {
        const size_t end = environment.find('\0', start);
        const std::string entry =
            environment.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (entry.rfind(lead, 0) == 0) {
            return entry.substr(lead.size());
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return {};
}

#ifdef __linux__
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec1;
    std::error_code ec2;
    const fs::path ca = fs::weakly_canonical(a, ec1);
    const fs::path cb = fs::weakly_canonical(b, ec2);
    return !ec1 && !ec2 ? ca == cb : a == b;
}

std::string ReadWhole(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
// Whether the process has ended: gone, or a zombie waiting to be reaped.
bool Ended(const fs::path& processFolder) {
    const std::string stat = ReadWhole(processFolder / "stat");
    // "pid (comm) state ...": the state follows the last ")".
    const size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size()) {
        return true;
    }
    const char state = stat[close + 2];
    return state == 'Z' || state == 'X';
}
#endif

}  // namespace

std::string SettingsFileOfProcess(const std::string& programPath, const std::string& environment) {
    return SettingsFileToRead(programPath, EnvironValue(environment, "XDG_CONFIG_HOME"),
                              EnvironValue(environment, "HOME"));
}

std::optional<TRunningProgram> RunningProgramOn(const std::string& settingsFile) {
#ifdef __linux__
    const int self = static_cast<int>(::getpid());
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string id = entry.path().filename().string();
        if (id.empty() || id.size() > 9 ||
            id.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const int pid = std::stoi(id);
        std::string comm = ReadWhole(entry.path() / "comm");
        if (!comm.empty() && comm.back() == '\n') {
            comm.pop_back();
        }
        if (pid == self || comm != "kelvane") {
            continue;
        }
        if (Ended(entry.path())) {
            continue;  // a process that has ended (a zombie) owns no file any more
        }
        std::error_code linkError;
        std::string program = fs::read_symlink(entry.path() / "exe", linkError).string();
        // A program file replaced while it runs (a new build) still names its old path.
        const std::string deleted = " (deleted)";
        if (program.size() > deleted.size() &&
            program.compare(program.size() - deleted.size(), deleted.size(), deleted) == 0) {
            program.resize(program.size() - deleted.size());
        }
        const std::string environment = ReadWhole(entry.path() / "environ");
        if (linkError || environment.empty()) {
            if (Ended(entry.path())) {
                continue;
            }
            // Another user's process, which cannot be looked into.
            return TRunningProgram{pid, "its settings file cannot be worked out"};
        }
        if (SameFile(SettingsFileOfProcess(program, environment), settingsFile)) {
            return TRunningProgram{pid, ""};
        }
    }
    return std::nullopt;
#elif defined(_WIN32)
    (void)settingsFile;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    PROCESSENTRY32 process{};
    process.dwSize = sizeof process;
    std::optional<TRunningProgram> found;
    for (BOOL ok = Process32First(snapshot, &process); ok && !found;
         ok = Process32Next(snapshot, &process)) {
        if (lstrcmpiA(process.szExeFile, "kelvane.exe") == 0) {
            found = TRunningProgram{static_cast<int>(process.th32ProcessID),
                                    "its settings file cannot be worked out"};
        }
    }
    CloseHandle(snapshot);
    return found;
#else
    (void)settingsFile;
    return std::nullopt;
#endif
}
