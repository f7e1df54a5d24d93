// usb-serial ports in sysfs, kept to FTDI's bridges.
#include "SysfsSerialPorts.h"

#include <filesystem>
#include <fstream>

#include "NaturalOrder.h"

namespace fs = std::filesystem;

namespace {

std::string FirstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

}  // namespace

std::vector<SysfsSerialPort> ListFtdiSerialPorts(const std::string& root) {
    const fs::path devices = root + "/sys/bus/usb-serial/devices";
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(devices, error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0) {
            names.push_back(name);
        }
    }
    SortNaturally(names);
    std::vector<SysfsSerialPort> ports;
    for (const std::string& name : names) {
        // .../<usb device>/<interface>/ttyUSBn: the USB device's attributes are two folders up.
        std::error_code linkError;
        const fs::path port = fs::canonical(devices / name, linkError);
        if (linkError) {
            continue;
        }
        const fs::path usbDevice = port.parent_path().parent_path();
        if (FirstLine(usbDevice / "idVendor") != FtdiVendorId) {
            continue;
        }
        SysfsSerialPort p;
        p.name = name;
        p.path = root + "/dev/" + name;
        p.serial = FirstLine(usbDevice / "serial");
        const std::string maker = FirstLine(usbDevice / "manufacturer");
        const std::string product = FirstLine(usbDevice / "product");
        p.description = maker.empty() || product.empty() ? maker + product : maker + " " + product;
        p.identity = usbDevice.string() + "#" + FirstLine(usbDevice / "busnum") + "-" +
                     FirstLine(usbDevice / "devnum") + "/" + name;
        ports.push_back(std::move(p));
    }
    return ports;
}
