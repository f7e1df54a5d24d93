// The /proc scan behind "in use by ...": every process's open files, compared by the device
// they lead to.
#include "PortHolders.h"

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifdef __linux__
// The targets of a process's open file descriptors.
std::vector<std::string> OpenFiles(const fs::path& fdFolder) {
    std::vector<std::string> targets;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(fdFolder, ec)) {
        std::error_code linkError;
        const fs::path target = fs::read_symlink(entry.path(), linkError);
        if (!linkError) {
            targets.push_back(target.string());
        }
    }
    return targets;
}

std::string CommandName(const fs::path& processFolder) {
    std::ifstream in(processFolder / "comm");
    std::string name;
    std::getline(in, name);
    return name;
}

bool IsTerminal(const std::string& path) {
    return path.rfind("/dev/pts/", 0) == 0 || path.rfind("/dev/tty", 0) == 0;
}
#endif

}  // namespace

std::string DeviceBehind(const std::string& path) {
    std::error_code ec;
    const fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved.string();
}

std::string ProcessName(int pid) {
#ifdef __linux__
    return CommandName(fs::path("/proc") / std::to_string(pid));
#else
    (void)pid;
    return {};
#endif
}

std::vector<TProcessRef> ProcessesHolding(const std::string& devicePath) {
    std::vector<TProcessRef> holders;
#ifdef __linux__
    const std::string device = DeviceBehind(devicePath);
    const int self = static_cast<int>(::getpid());
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const int pid = std::stoi(name);
        if (pid == self) {
            continue;
        }
        for (const std::string& target : OpenFiles(entry.path() / "fd")) {
            if (target == device) {
                holders.push_back({pid, CommandName(entry.path())});
                break;
            }
        }
    }
#else
    (void)devicePath;
#endif
    return holders;
}

std::set<std::string> OwnOpenTerminals() {
    std::set<std::string> terminals;
#ifdef __linux__
    for (const std::string& target : OpenFiles("/proc/self/fd")) {
        if (IsTerminal(target)) {
            terminals.insert(target);
        }
    }
#endif
    return terminals;
}

std::string DescribeProcesses(const std::vector<TProcessRef>& processes) {
    std::string text;
    for (const TProcessRef& p : processes) {
        text += (text.empty() ? "" : ", ") + (p.name.empty() ? std::string("a process") : p.name) +
                " (pid " + std::to_string(p.pid) + ")";
    }
    return text;
}
