// Common ground of the backends whose devices are terminal files (serial ports, simulator
// pseudo-terminals): a device list by path and a table of open devices by handle.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FtdioBackend.h"
#include "PosixTty.h"

class TtyBackend : public FtdioBackend {
public:
    // root: where the UUCP lock folders are (/run/lock, /var/lock under it).
    explicit TtyBackend(std::string root = {}) : root_(std::move(root)) {}

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
    FtdioPortInfo Describe(uint32_t index) override;
    FtdioOpenFault LastOpenFault() const override { return lastFault_; }
    void ExpectBytes(FtdioHandle handle, uint32_t count) override;

    // Orders names as people read them: "ttyUSB2" before "ttyUSB10".
    static void SortNatural(std::vector<std::string>& names);

protected:
    // The devices attached now, in index order; only path need be known.
    virtual std::vector<FtdioPortInfo> ListDevices() = 0;
    // Sets the device's latency timer where it has one; by default there is none to set.
    virtual uint32_t ApplyLatencyTimer(const std::string& path, uint8_t milliseconds);

private:
    struct OpenDevice {
        std::string path;
        std::unique_ptr<PosixTty> tty;
    };
    PosixTty* Find(FtdioHandle handle);

    std::string root_;
    std::vector<FtdioPortInfo> devices_;
    FtdioOpenFault lastFault_ = FtdioOpenFault::None;
    std::map<FtdioHandle, OpenDevice> open_;
    FtdioHandle nextHandle_ = 1;
};
