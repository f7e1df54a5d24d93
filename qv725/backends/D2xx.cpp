// Backend over FTDI's D2XX driver: each operation is one driver call with the driver's status.
#include "D2xx.h"

#include <utility>

#include "UsbWatch.h"

namespace {

constexpr uint32_t FtListNumberOnly = 0x80000000u;

void* AsDriverHandle(FtdioHandle handle) {
    return reinterpret_cast<void*>(handle);
}

template <class Fn>
bool Resolve(const DynamicLibrary& library, const char* name, Fn& fn) {
    fn = reinterpret_cast<Fn>(library.Symbol(name));
    return fn != nullptr;
}

}  // namespace

const char* D2xxBackend::DefaultLibraryName() {
#if defined(_WIN32)
    return "FTD2XX.dll";
#elif defined(__APPLE__)
    return "libftd2xx.dylib";
#else
    return "libftd2xx.so";
#endif
}

D2xxBackend::D2xxBackend(std::string libraryName) : libraryName_(std::move(libraryName)) {}

bool D2xxBackend::EnsureLoaded() {
    if (api_.loaded) {
        return true;
    }
    // The library search costs a few dozen system calls. A driver installed while the program
    // runs comes with a device plugged in, or is found within a minute: the search is redone
    // only when the set of USB devices has changed since it last failed.
    const uint64_t generation = UsbWatchGeneration();
    if (absentAt_ == generation) {
        return false;
    }
    if (!library_.Load(libraryName_)) {
        absentAt_ = generation;
        return false;
    }
    Api api;
    const bool all =
        Resolve(library_, "FT_ListDevices", api.listDevices) &&
        Resolve(library_, "FT_Open", api.open) &&
        Resolve(library_, "FT_SetLatencyTimer", api.setLatencyTimer) &&
        Resolve(library_, "FT_SetBaudRate", api.setBaudRate) &&
        Resolve(library_, "FT_SetDataCharacteristics", api.setDataCharacteristics) &&
        Resolve(library_, "FT_SetTimeouts", api.setTimeouts) &&
        Resolve(library_, "FT_Purge", api.purge) && Resolve(library_, "FT_Write", api.write) &&
        Resolve(library_, "FT_Read", api.read) && Resolve(library_, "FT_Close", api.close);
    if (!all) {
        library_.Unload();
        absentAt_ = generation;
        return false;
    }
    api.loaded = true;
    api_ = api;
    return true;
}

uint32_t D2xxBackend::CountDevices(uint32_t& count) {
    count = 0;
    if (!EnsureLoaded()) {
        return ftstatus::Ok;  // no driver: no devices, and nothing wrong
    }
    uint32_t number = 0;
    const uint32_t status = api_.listDevices(&number, nullptr, FtListNumberOnly);
    if (status == ftstatus::Ok) {
        count = number;
    }
    return status;
}

uint32_t D2xxBackend::Open(uint32_t index, FtdioHandle& handle) {
    if (!api_.loaded) {
        return ftstatus::DeviceNotFound;
    }
    void* driverHandle = AsDriverHandle(handle);
    const uint32_t status = api_.open(static_cast<int>(index), &driverHandle);
    handle = reinterpret_cast<FtdioHandle>(driverHandle);
    return status;
}

uint32_t D2xxBackend::SetLatencyTimer(FtdioHandle handle, uint8_t milliseconds) {
    return api_.loaded ? api_.setLatencyTimer(AsDriverHandle(handle), milliseconds)
                       : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::SetBaudRate(FtdioHandle handle, uint32_t baudRate) {
    return api_.loaded ? api_.setBaudRate(AsDriverHandle(handle), baudRate)
                       : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::SetDataCharacteristics(FtdioHandle handle, uint8_t wordLength,
                                             uint8_t stopBits, uint8_t parity) {
    return api_.loaded
               ? api_.setDataCharacteristics(AsDriverHandle(handle), wordLength, stopBits, parity)
               : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::SetTimeouts(FtdioHandle handle, uint32_t readMs, uint32_t writeMs) {
    return api_.loaded ? api_.setTimeouts(AsDriverHandle(handle), readMs, writeMs)
                       : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::Purge(FtdioHandle handle, uint32_t mask) {
    return api_.loaded ? api_.purge(AsDriverHandle(handle), mask) : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::Write(FtdioHandle handle, const uint8_t* data, uint32_t count,
                            uint32_t& written) {
    written = 0;
    if (!api_.loaded) {
        return ftstatus::DeviceNotOpened;
    }
    // The driver's prototype takes a non-const buffer; it only reads from it.
    return api_.write(AsDriverHandle(handle), const_cast<uint8_t*>(data), count, &written);
}

uint32_t D2xxBackend::Read(FtdioHandle handle, uint8_t* data, uint32_t count, uint32_t& got) {
    got = 0;
    return api_.loaded ? api_.read(AsDriverHandle(handle), data, count, &got)
                       : ftstatus::DeviceNotOpened;
}

uint32_t D2xxBackend::Close(FtdioHandle handle) {
    return api_.loaded ? api_.close(AsDriverHandle(handle)) : ftstatus::DeviceNotOpened;
}
