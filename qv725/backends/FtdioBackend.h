// The seam beneath Ftdio: one backend per kind of device (D2XX driver, Linux serial ports,
// simulated controllers), each offering the driver operations the transport needs.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "Ftdio.h"

// Status values of the FTDI D2XX interface. Backends that are not the driver report their
// failures with the same values, so FtdioStatus reads alike whatever the device.
namespace ftstatus {
inline constexpr uint32_t Ok = 0;
inline constexpr uint32_t InvalidHandle = 1;
inline constexpr uint32_t DeviceNotFound = 2;
inline constexpr uint32_t DeviceNotOpened = 3;
inline constexpr uint32_t IoError = 4;
inline constexpr uint32_t InsufficientResources = 5;
inline constexpr uint32_t InvalidParameter = 6;
inline constexpr uint32_t InvalidBaudRate = 7;
inline constexpr uint32_t OtherError = 18;
}  // namespace ftstatus

// What a backend knows of one listed device before opening it. Every field may be empty.
struct FtdioPortInfo {
    std::string path;    // the device file ("/dev/ttyUSB0"), empty for driver devices
    std::string serial;  // the USB serial number of the bridge
    // Changes whenever the device is plugged in again (bus position and device number): a
    // device that is not the controller is probed once per identity.
    std::string identity;
};

// Why the latest Open failed, as far as the backend can tell.
enum class FtdioOpenFault {
    None,
    Gone,              // the device is no longer there
    PermissionDenied,  // this user may not open it
    InUse,             // another program holds or has locked it
    Other,
};

// One backend: the ten driver operations over the devices of one kind. Every operation returns
// a status (0 = success). Handles are the backend's own; 0 is never a valid one. A read that
// times out returns status 0 with fewer bytes than asked, as the driver does.
class FtdioBackend {
public:
    virtual ~FtdioBackend() = default;

    // Enumerates the devices now attached; Open's index refers to the latest enumeration.
    virtual uint32_t CountDevices(uint32_t& count) = 0;
    // Opens device index; handle may be written even when the open fails.
    virtual uint32_t Open(uint32_t index, FtdioHandle& handle) = 0;
    virtual uint32_t SetLatencyTimer(FtdioHandle handle, uint8_t milliseconds) = 0;
    virtual uint32_t SetBaudRate(FtdioHandle handle, uint32_t baudRate) = 0;
    virtual uint32_t SetDataCharacteristics(FtdioHandle handle, uint8_t wordLength,
                                            uint8_t stopBits, uint8_t parity) = 0;
    virtual uint32_t SetTimeouts(FtdioHandle handle, uint32_t readMs, uint32_t writeMs) = 0;
    // mask: bit 0 the receive buffer, bit 1 the transmit buffer.
    virtual uint32_t Purge(FtdioHandle handle, uint32_t mask) = 0;
    virtual uint32_t Write(FtdioHandle handle, const uint8_t* data, uint32_t count,
                           uint32_t& written) = 0;
    virtual uint32_t Read(FtdioHandle handle, uint8_t* data, uint32_t count, uint32_t& got) = 0;
    virtual uint32_t Close(FtdioHandle handle) = 0;
    // The listed device index of the latest enumeration, before it is opened.
    virtual FtdioPortInfo Describe(uint32_t index) {
        (void)index;
        return {};
    }
    // A place the backend did not look into at the latest count because it could not trust
    // it, as "<place>: <reason>"; empty when there was none.
    virtual std::string Unlisted() const { return {}; }
    // Why the latest Open failed; by default told by its status alone.
    virtual FtdioOpenFault LastOpenFault() const { return FtdioOpenFault::Other; }
    // At least count more bytes of the reply under way are due back to back (a hint for
    // backends that wait on the line themselves; the driver batches bytes on its own).
    virtual void ExpectBytes(FtdioHandle handle, uint32_t count) {
        (void)handle;
        (void)count;
    }
};

// The backends Ftdio walks, in index order. The default lineup is D2XX, then Linux serial
// ports, then simulated controllers. Any open device is closed before the lineup changes;
// the backends are not owned and must outlive their use.
void FtdioUseBackends(std::vector<FtdioBackend*> backends);
void FtdioUseDefaultBackends();
// Puts a clock of the caller's in place of the steady clock for reply deadlines (a test's
// simulated time); an empty function puts the steady clock back, as FtdioUseDefaultBackends
// does.
void FtdioUseClock(std::function<std::chrono::steady_clock::time_point()> now);
