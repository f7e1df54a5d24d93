// Simulated controllers: one symbolic link per running simulator, to its pseudo-terminal.
#include "SimPorts.h"

#include <sys/stat.h>

#include <filesystem>

#include "SimFolder.h"

std::vector<std::string> SimPortsBackend::ListDevices() {
    // Only links whose target is a terminal device count: a link left behind by a simulator
    // that has gone points nowhere, and other files in the folder are not devices.
    const std::string folder = Qv725SimFolder();
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || name[0] == '.') {
            continue;
        }
        const std::string path = entry.path().string();
        struct stat link {};
        struct stat target {};
        if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) {
            continue;
        }
        if (stat(path.c_str(), &target) != 0 || !S_ISCHR(target.st_mode)) {
            continue;
        }
        names.push_back(name);
    }
    SortNatural(names);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) {
        paths.push_back(folder + "/" + name);
    }
    return paths;
}
