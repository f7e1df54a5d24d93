// Backend over the FTDI bridges that Linux's ftdi_sio driver presents as /dev/ttyUSB*.
#pragma once

#include <string>

#include "TtyBackend.h"

class SerialPortBackend final : public TtyBackend {
public:
    // The folders are the kernel's; tests point them at a prepared tree.
    explicit SerialPortBackend(std::string driverFolder = "/sys/bus/usb-serial/drivers/ftdi_sio",
                               std::string deviceFolder = "/dev",
                               std::string sysDevicesFolder = "/sys/bus/usb-serial/devices");

protected:
    std::vector<std::string> ListDevices() override;
    uint32_t ApplyLatencyTimer(const std::string& path, uint8_t milliseconds) override;

private:
    std::string driverFolder_;
    std::string deviceFolder_;
    std::string sysDevicesFolder_;
};
