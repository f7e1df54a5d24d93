// The generation of the set of USB devices.
#include "UsbWatch.h"

#include <algorithm>
#include <string>
#include <vector>

#ifdef __linux__
#include <dirent.h>

#include "ports/SystemRoot.h"
#endif

namespace {

constexpr auto SafetyInterval = std::chrono::minutes(1);

struct Watch {
    uint64_t generation = 1;
    bool started = false;
    std::chrono::steady_clock::time_point moved{};
    std::vector<std::string> devices;
};

Watch& State() {
    static Watch watch;
    return watch;
}

std::vector<std::string> ListUsbDevices() {
    std::vector<std::string> names;
#ifdef __linux__
    const std::string folder = Qv725SystemRoot() + "/sys/bus/usb/devices";
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] != '.') {
                names.emplace_back(entry->d_name);
            }
        }
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
#endif
    return names;
}

}  // namespace

void UsbWatchRefresh(std::chrono::steady_clock::time_point now) {
    Watch& w = State();
    std::vector<std::string> devices = ListUsbDevices();
    if (!w.started) {
        w.started = true;
        w.moved = now;
        w.devices = std::move(devices);
        return;
    }
    if (devices != w.devices || now - w.moved >= SafetyInterval) {
        ++w.generation;
        w.moved = now;
        w.devices = std::move(devices);
    }
}

uint64_t UsbWatchGeneration() {
    return State().generation;
}
