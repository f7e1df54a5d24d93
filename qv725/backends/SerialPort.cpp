// ttyUSB ports of FTDI bridges, with the bridge's latency timer set through sysfs.
#include "SerialPort.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

#include "UsbWatch.h"
#include "ports/SysfsSerialPorts.h"

SerialPortBackend::SerialPortBackend(std::string root) : TtyBackend(root), root_(std::move(root)) {}

std::vector<FtdioPortInfo> SerialPortBackend::ListDevices() {
    // Reading every bridge's attributes costs system calls each second while the program looks
    // for the controller; the ports change only with the set of USB devices.
    const uint64_t generation = UsbWatchGeneration();
    if (generation != listedAt_) {
        listedAt_ = generation;
        ports_.clear();
        for (const SysfsSerialPort& port : ListFtdiSerialPorts(root_)) {
            ports_.push_back({port.path, port.serial, port.identity});
        }
    }
    return ports_;
}

uint32_t SerialPortBackend::ApplyLatencyTimer(const std::string& path, uint8_t milliseconds) {
    // Only where the attribute exists and we may write it; otherwise the bridge keeps its
    // default, which costs reply time but nothing else.
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string attribute = root_ + "/sys/bus/usb-serial/devices/" + name + "/latency_timer";
    const int fd = open(attribute.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        const std::string text = std::to_string(milliseconds) + "\n";
        const ssize_t ignored = write(fd, text.data(), text.size());
        (void)ignored;
        close(fd);
    }
    return ftstatus::Ok;
}
