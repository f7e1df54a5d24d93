// Common ground of the backends whose devices are terminal files (serial ports, simulator
// pseudo-terminals): a device list by path and a table of open devices by handle.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FtdioBackend.h"
#include "PosixTty.h"

class TtyBackend : public FtdioBackend {
public:
    uint32_t CountDevices(uint32_t& count) override;
    uint32_t Open(uint32_t index, FtdioHandle& handle) override;
    uint32_t SetLatencyTimer(FtdioHandle handle, uint8_t milliseconds) override;
    uint32_t SetBaudRate(FtdioHandle handle, uint32_t baudRate) override;
    uint32_t SetDataCharacteristics(FtdioHandle handle, uint8_t wordLength, uint8_t stopBits,
                                    uint8_t parity) override;
    uint32_t SetTimeouts(FtdioHandle handle, uint32_t readMs, uint32_t writeMs) override;
    uint32_t Purge(FtdioHandle handle, uint32_t mask) override;
    uint32_t Write(FtdioHandle handle, const uint8_t* data, uint32_t count,
                   uint32_t& written) override;
    uint32_t Read(FtdioHandle handle, uint8_t* data, uint32_t count, uint32_t& got) override;
    uint32_t Close(FtdioHandle handle) override;
    void ExpectBytes(FtdioHandle handle, uint32_t count) override;

    // Orders names as people read them: "ttyUSB2" before "ttyUSB10".
    static void SortNatural(std::vector<std::string>& names);

protected:
    // Paths of the devices attached now, in index order.
    virtual std::vector<std::string> ListDevices() = 0;
    // Sets the device's latency timer where it has one; by default there is none to set.
    virtual uint32_t ApplyLatencyTimer(const std::string& path, uint8_t milliseconds);

private:
    struct OpenDevice {
        std::string path;
        std::unique_ptr<PosixTty> tty;
    };
    PosixTty* Find(FtdioHandle handle);

    std::vector<std::string> devices_;
    std::map<FtdioHandle, OpenDevice> open_;
    FtdioHandle nextHandle_ = 1;
};
