// The serial ports of FTDI USB bridges (USB vendor 0403), found through sysfs without opening
// any device.
#pragma once

#include <string>
#include <vector>

struct SysfsSerialPort {
    std::string name;         // "ttyUSB0"
    std::string path;         // its device file, "/dev/ttyUSB0"
    std::string serial;       // the bridge's USB serial number, empty when it has none
    std::string description;  // manufacturer and product, as the bridge names itself
    // Bus position and device number: a new identity every time the bridge is plugged in.
    std::string identity;
};

// The usb-serial ports under root's /sys whose USB device has vendor 0403, naturally ordered;
// their device files are under root's /dev. Ports of other USB serial chips are left out.
std::vector<SysfsSerialPort> ListFtdiSerialPorts(const std::string& root);

// The FTDI vendor number as sysfs writes idVendor.
inline constexpr char FtdiVendorId[] = "0403";
