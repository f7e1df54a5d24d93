// The fake device tree.
#include "FakeSysfs.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text) {
    std::ofstream(file) << text << "\n";
}

void Link(const fs::path& target, const fs::path& link) {
    fs::create_directories(link.parent_path());
    fs::create_symlink(target, link);
}

}  // namespace

FakeSysfs::FakeSysfs() {
    const char* previous = std::getenv("QV725_TEST_SYSROOT");
    hadPrevious_ = previous != nullptr;
    previous_ = previous != nullptr ? previous : "";
    folder_.Make("sys/bus/usb/devices");
    folder_.Make("sys/bus/usb-serial/devices");
    folder_.Make("dev");
    folder_.Make("run/lock");
    setenv("QV725_TEST_SYSROOT", Root().c_str(), 1);
}

FakeSysfs::~FakeSysfs() {
    if (hadPrevious_) {
        setenv("QV725_TEST_SYSROOT", previous_.c_str(), 1);
    } else {
        unsetenv("QV725_TEST_SYSROOT");
    }
}

std::string FakeSysfs::PortFolder(const std::string& position, const std::string& tty) const {
    return Root() + "/sys/devices/pci0000:00/usb1/" + position + "/" + position + ":1.0/" + tty;
}

void FakeSysfs::Plug(const std::string& position, const std::string& tty, const std::string& target,
                     const std::string& vendor, const std::string& serial) {
    const fs::path device = Root() + "/sys/devices/pci0000:00/usb1/" + position;
    const fs::path port = PortFolder(position, tty);
    fs::create_directories(port);
    Write(device / "idVendor", vendor);
    Write(device / "idProduct", "6001");
    Write(device / "busnum", "1");
    Write(device / "devnum", std::to_string(++devnum_));
    Write(device / "manufacturer", "Maker");
    Write(device / "product", "Bridge");
    if (!serial.empty()) {
        Write(device / "serial", serial);
    }
    Write(port / "latency_timer", "16");
    Link(device, Root() + "/sys/bus/usb/devices/" + position);
    Link(port, Root() + "/sys/bus/usb-serial/devices/" + tty);
    Link(target, Dev(tty));
    ttys_[position] = tty;
}

void FakeSysfs::Unplug(const std::string& position) {
    const std::string tty = ttys_[position];
    fs::remove(Root() + "/sys/bus/usb/devices/" + position);
    fs::remove(Root() + "/sys/bus/usb-serial/devices/" + tty);
    fs::remove(Dev(tty));
    fs::remove_all(Root() + "/sys/devices/pci0000:00/usb1/" + position);
    ttys_.erase(position);
}

std::string FakeSysfs::Dev(const std::string& tty) const {
    return Root() + "/dev/" + tty;
}

std::string FakeSysfs::LatencyTimer(const std::string& tty) const {
    for (const auto& [position, name] : ttys_) {
        if (name == tty) {
            std::ifstream in(PortFolder(position, tty) + "/latency_timer");
            std::string value;
            in >> value;
            return value;
        }
    }
    return {};
}

void FakeSysfs::LockUucp(const std::string& tty, long pid) const {
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", pid);
    std::ofstream(Root() + "/run/lock/LCK.." + tty) << text;
}
