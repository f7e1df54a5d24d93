// ttyUSB ports bound to ftdi_sio, with the bridge's latency timer set through sysfs.
#include "SerialPort.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

SerialPortBackend::SerialPortBackend(std::string driverFolder, std::string deviceFolder,
                                     std::string sysDevicesFolder)
    : driverFolder_(std::move(driverFolder)),
      deviceFolder_(std::move(deviceFolder)),
      sysDevicesFolder_(std::move(sysDevicesFolder)) {}

std::vector<std::string> SerialPortBackend::ListDevices() {
    // The driver's folder holds one entry per bound port (ttyUSB0, ...) beside its own
    // attribute files (bind, new_id, ...), which are not ports.
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(driverFolder_, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0) {
            names.push_back(name);
        }
    }
    SortNatural(names);
    std::vector<std::string> paths;
    paths.reserve(names.size());
    for (const std::string& name : names) {
        paths.push_back(deviceFolder_ + "/" + name);
    }
    return paths;
}

uint32_t SerialPortBackend::ApplyLatencyTimer(const std::string& path, uint8_t milliseconds) {
    // Only where the attribute exists and we may write it; otherwise the bridge keeps its
    // default, which costs reply time but nothing else.
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string attribute = sysDevicesFolder_ + "/" + name + "/latency_timer";
    const int fd = open(attribute.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
        const std::string text = std::to_string(milliseconds) + "\n";
        const ssize_t ignored = write(fd, text.data(), text.size());
        (void)ignored;
        close(fd);
    }
    return ftstatus::Ok;
}
