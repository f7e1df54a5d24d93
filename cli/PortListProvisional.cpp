// The port list the tool works out for itself until the library offers its own: the serial
// ports of FTDI bridges bound to ftdi_sio (Linux), then the links of running simulated
// controllers, in the library's order. Ports served by FTDI's D2XX driver are not seen here.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "PortList.h"
#include "SimFolder.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

#ifndef _WIN32
// "ttyUSB2" before "ttyUSB10", as the library orders them.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei])))
                ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej])))
                ++ej;
            const std::string na = a.substr(i, ei - i);
            const std::string nb = b.substr(j, ej - j);
            const std::string ta = na.substr(std::min(na.find_first_not_of('0'), na.size()));
            const std::string tb = nb.substr(std::min(nb.find_first_not_of('0'), nb.size()));
            if (ta.size() != tb.size())
                return ta.size() < tb.size();
            if (ta != tb)
                return ta < tb;
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

#ifdef __linux__
std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

#endif

std::vector<std::string> SortedNames(std::vector<std::string> names) {
    std::sort(names.begin(), names.end(), NaturalLess);
    return names;
}
#endif

void AddSerialPorts(std::vector<TPortCandidate>& ports) {
#ifdef __linux__
    const fs::path driver = "/sys/bus/usb-serial/drivers/ftdi_sio";
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(driver, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0) {
            names.push_back(name);
        }
    }
    for (const std::string& name : SortedNames(names)) {
        // The USB device's attributes sit two folders above the port's interface.
        std::error_code linkError;
        const fs::path usbDevice = fs::canonical("/sys/bus/usb-serial/devices/" + name, linkError)
                                       .parent_path()
                                       .parent_path();
        TPortCandidate port{"/dev/" + name, "", ""};
        if (!linkError) {
            port.serial = FirstLine(usbDevice / "serial");
            const std::string maker = FirstLine(usbDevice / "manufacturer");
            const std::string product = FirstLine(usbDevice / "product");
            port.description = maker.empty() ? product : maker + " " + product;
        }
        ports.push_back(port);
    }
#else
    (void)ports;
#endif
}

void AddSimulators(std::vector<TPortCandidate>& ports) {
#ifndef _WIN32
    // Only links to a terminal device count: a simulator that has gone leaves a dead link.
    const std::string folder = Qv725SimFolder();
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        struct stat link {};
        struct stat target {};
        if (name.empty() || name[0] == '.' || lstat(entry.path().c_str(), &link) != 0 ||
            !S_ISLNK(link.st_mode) || stat(entry.path().c_str(), &target) != 0 ||
            !S_ISCHR(target.st_mode)) {
            continue;
        }
        names.push_back(name);
    }
    for (const std::string& name : SortedNames(names)) {
        ports.push_back({folder + "/" + name, "", "simulated controller"});
    }
#else
    (void)ports;
#endif
}

}  // namespace

std::vector<TPortCandidate> ListPortCandidates() {
    std::vector<TPortCandidate> ports;
    AddSerialPorts(ports);
    AddSimulators(ports);
    return ports;
}
