// Backend over the FTDI bridges that Linux's serial drivers present as /dev/ttyUSB*.
#pragma once

#include <cstdint>
#include <string>

#include "TtyBackend.h"
#include "ports/SystemRoot.h"

class SerialPortBackend final : public TtyBackend {
public:
    // root prefixes /sys, /dev and the lock folders; tests point it at a prepared tree.
    explicit SerialPortBackend(std::string root = Qv725SystemRoot());

protected:
    std::vector<FtdioPortInfo> ListDevices() override;
    uint32_t ApplyLatencyTimer(const std::string& path, uint8_t milliseconds) override;

private:
    std::string root_;
    // The ports as read at USB generation listedAt_; read again only when it moves on.
    std::vector<FtdioPortInfo> ports_;
    uint64_t listedAt_ = 0;
};
