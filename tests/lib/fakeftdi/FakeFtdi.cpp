// A stand-in for FTDI's D2XX driver library: the ten functions the device library calls, over
// scripted in-memory devices, with every call logged. Built as libftd2xx.so (FTD2XX.dll on
// Windows) for the tests only.
#include "FakeFtdi.h"

#include <cstdio>
#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#ifdef _WIN32
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr uint32_t FtOk = 0;
constexpr uint32_t FtInvalidHandle = 1;
constexpr uint32_t FtDeviceNotFound = 2;
constexpr uint32_t FtInvalidParameter = 6;

struct Device {
    bool open = false;
    std::deque<std::vector<uint8_t>> replies;
    std::deque<uint8_t> received;
};

struct Driver {
    std::vector<Device> devices;
    std::vector<std::string> log;
    std::map<std::string, uint32_t> failures;
    uint32_t writeLimit = UINT32_MAX;
    std::string logText;
};

Driver& TheDriver() {
    static Driver driver;
    return driver;
}

// Name of a handle in the log: dev<i>, or what is wrong with it.
std::string NameOf(void* handle, Device** device) {
    Driver& d = TheDriver();
    *device = nullptr;
    for (size_t i = 0; i < d.devices.size(); ++i) {
        if (handle == &d.devices[i]) {
            if (!d.devices[i].open) {
                return "dev" + std::to_string(i) + ":closed";
            }
            *device = &d.devices[i];
            return "dev" + std::to_string(i);
        }
    }
    return "invalid";
}

uint32_t Log(const char* function, const std::string& arguments) {
    Driver& d = TheDriver();
    const std::string line = std::string(function) + "(" + arguments + ")";
    // Fold runs of identical reads, one per reply byte, into "line xN".
    if (std::strcmp(function, "FT_Read") == 0 && !d.log.empty() &&
        d.log.back().rfind(line, 0) == 0) {
        const std::string& last = d.log.back();
        const int n = last.size() > line.size() ? std::stoi(last.substr(line.size() + 2)) : 1;
        d.log.back() = line + " x" + std::to_string(n + 1);
    } else {
        d.log.push_back(line);
    }
    const auto failure = d.failures.find(function);
    return failure == d.failures.end() ? FtOk : failure->second;
}

std::string Hex(const uint8_t* bytes, uint32_t count) {
    std::string text;
    char item[4];
    for (uint32_t i = 0; i < count; ++i) {
        std::snprintf(item, sizeof item, i == 0 ? "%02X" : " %02X", bytes[i]);
        text += item;
    }
    return text;
}

// Checks a handle for a device operation: the logged call's status, or a handle error.
uint32_t Enter(const char* function, void* handle, const std::string& rest, Device** device) {
    const std::string name = NameOf(handle, device);
    const uint32_t status = Log(function, rest.empty() ? name : name + "," + rest);
    if (*device == nullptr) {
        return FtInvalidHandle;
    }
    return status;
}

}  // namespace

FAKE_EXPORT void FakeFtdi_Reset(uint32_t deviceCount) {
    Driver& d = TheDriver();
    d.devices.clear();
    d.devices.resize(deviceCount);
    d.log.clear();
    d.failures.clear();
    d.writeLimit = UINT32_MAX;
}

FAKE_EXPORT void FakeFtdi_QueueReply(uint32_t device, const uint8_t* bytes, uint32_t count) {
    TheDriver().devices.at(device).replies.emplace_back(bytes, bytes + count);
}

FAKE_EXPORT void FakeFtdi_Inject(uint32_t device, const uint8_t* bytes, uint32_t count) {
    std::deque<uint8_t>& received = TheDriver().devices.at(device).received;
    received.insert(received.end(), bytes, bytes + count);
}

FAKE_EXPORT void FakeFtdi_FailCall(const char* function, uint32_t status) {
    TheDriver().failures[function] = status;
}

FAKE_EXPORT void FakeFtdi_LimitWrite(uint32_t bytes) {
    TheDriver().writeLimit = bytes;
}

FAKE_EXPORT const char* FakeFtdi_CallLog(void) {
    Driver& d = TheDriver();
    d.logText.clear();
    for (const std::string& line : d.log)
        d.logText += line + "\n";
    return d.logText.c_str();
}

FAKE_EXPORT void FakeFtdi_ClearLog(void) {
    TheDriver().log.clear();
}

FAKE_EXPORT int FakeFtdi_IsOpen(uint32_t device) {
    return TheDriver().devices.at(device).open ? 1 : 0;
}

// The driver interface. FT_STATUS, DWORD and ULONG are 32-bit unsigned; FT_HANDLE a pointer.

FAKE_EXPORT uint32_t FT_ListDevices(void* arg1, void* arg2, uint32_t flags) {
    char text[64];
    std::snprintf(text, sizeof text, "count,%s,0x%08X", arg2 == nullptr ? "NULL" : "ptr", flags);
    const uint32_t status = Log("FT_ListDevices", text);
    if (status != FtOk) {
        return status;
    }
    if (flags != 0x80000000u || arg1 == nullptr) {
        return FtInvalidParameter;
    }
    *static_cast<uint32_t*>(arg1) = static_cast<uint32_t>(TheDriver().devices.size());
    return FtOk;
}

FAKE_EXPORT uint32_t FT_Open(int index, void** handle) {
    const uint32_t status = Log("FT_Open", std::to_string(index));
    Driver& d = TheDriver();
    if (status != FtOk) {
        return status;
    }
    if (index < 0 || static_cast<size_t>(index) >= d.devices.size() || d.devices[index].open) {
        return FtDeviceNotFound;
    }
    d.devices[index].open = true;
    *handle = &d.devices[index];
    return FtOk;
}

FAKE_EXPORT uint32_t FT_SetLatencyTimer(void* handle, uint8_t timer) {
    Device* device = nullptr;
    return Enter("FT_SetLatencyTimer", handle, std::to_string(timer), &device);
}

FAKE_EXPORT uint32_t FT_SetBaudRate(void* handle, uint32_t baud) {
    Device* device = nullptr;
    return Enter("FT_SetBaudRate", handle, std::to_string(baud), &device);
}

FAKE_EXPORT uint32_t FT_SetDataCharacteristics(void* handle, uint8_t bits, uint8_t stop,
                                               uint8_t parity) {
    Device* device = nullptr;
    return Enter("FT_SetDataCharacteristics", handle,
                 std::to_string(bits) + "," + std::to_string(stop) + "," + std::to_string(parity),
                 &device);
}

FAKE_EXPORT uint32_t FT_SetTimeouts(void* handle, uint32_t readMs, uint32_t writeMs) {
    Device* device = nullptr;
    return Enter("FT_SetTimeouts", handle, std::to_string(readMs) + "," + std::to_string(writeMs),
                 &device);
}

#ifndef FAKE_FTDI_WITHOUT_PURGE
FAKE_EXPORT uint32_t FT_Purge(void* handle, uint32_t mask) {
    Device* device = nullptr;
    const uint32_t status = Enter("FT_Purge", handle, std::to_string(mask), &device);
    if (status == FtOk && (mask & 1)) {
        device->received.clear();
    }
    return status;
}
#endif

FAKE_EXPORT uint32_t FT_Write(void* handle, void* buffer, uint32_t count, uint32_t* written) {
    Device* device = nullptr;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    const uint32_t status = Enter("FT_Write", handle, Hex(bytes, count), &device);
    *written = 0;
    if (status != FtOk) {
        return status;
    }
    *written = count < TheDriver().writeLimit ? count : TheDriver().writeLimit;
    if (!device->replies.empty()) {
        const std::vector<uint8_t>& reply = device->replies.front();
        device->received.insert(device->received.end(), reply.begin(), reply.end());
        device->replies.pop_front();
    }
    return FtOk;
}

FAKE_EXPORT uint32_t FT_Read(void* handle, void* buffer, uint32_t count, uint32_t* got) {
    Device* device = nullptr;
    const uint32_t status = Enter("FT_Read", handle, std::to_string(count), &device);
    *got = 0;
    if (status != FtOk) {
        return status;
    }
    // Nothing waiting: the read timeout passes at once, with status 0 and no bytes.
    auto* bytes = static_cast<uint8_t*>(buffer);
    while (*got < count && !device->received.empty()) {
        bytes[(*got)++] = device->received.front();
        device->received.pop_front();
    }
    return FtOk;
}

FAKE_EXPORT uint32_t FT_Close(void* handle) {
    Device* device = nullptr;
    const uint32_t status = Enter("FT_Close", handle, "", &device);
    if (device == nullptr) {
        return FtInvalidHandle;
    }
    device->open = false;
    device->received.clear();
    return status;
}
