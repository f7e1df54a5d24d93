// Backend over FTDI's D2XX driver library, loaded at run time by its bare name. When the
// library or any function it needs is missing, the backend simply has no devices.
#pragma once

#include <cstdint>
#include <string>

#include "DynamicLibrary.h"
#include "FtdioBackend.h"

class D2xxBackend final : public FtdioBackend {
public:
    // libftd2xx.so, FTD2XX.dll or libftd2xx.dylib, found through the ordinary library search.
    static const char* DefaultLibraryName();

    explicit D2xxBackend(std::string libraryName = DefaultLibraryName());

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

    // True once the library and every function are resolved.
    bool Available() const { return api_.loaded; }

private:
    // Types of FTDI's published interface: FT_STATUS, DWORD and ULONG are 32-bit unsigned,
    // FT_HANDLE an opaque pointer. The Windows driver uses the WINAPI calling convention.
#ifdef _WIN32
#define KELVANE_FTAPI __stdcall
#else
#define KELVANE_FTAPI
#endif
    using FtHandle = void*;
    using ListDevicesFn = uint32_t(KELVANE_FTAPI*)(void*, void*, uint32_t);
    using OpenFn = uint32_t(KELVANE_FTAPI*)(int, FtHandle*);
    using SetLatencyTimerFn = uint32_t(KELVANE_FTAPI*)(FtHandle, uint8_t);
    using SetBaudRateFn = uint32_t(KELVANE_FTAPI*)(FtHandle, uint32_t);
    using SetDataCharacteristicsFn = uint32_t(KELVANE_FTAPI*)(FtHandle, uint8_t, uint8_t, uint8_t);
    using SetTimeoutsFn = uint32_t(KELVANE_FTAPI*)(FtHandle, uint32_t, uint32_t);
    using PurgeFn = uint32_t(KELVANE_FTAPI*)(FtHandle, uint32_t);
    using TransferFn = uint32_t(KELVANE_FTAPI*)(FtHandle, void*, uint32_t, uint32_t*);
    using CloseFn = uint32_t(KELVANE_FTAPI*)(FtHandle);
#undef KELVANE_FTAPI

    struct Api {
        bool loaded = false;
        ListDevicesFn listDevices = nullptr;
        OpenFn open = nullptr;
        SetLatencyTimerFn setLatencyTimer = nullptr;
        SetBaudRateFn setBaudRate = nullptr;
        SetDataCharacteristicsFn setDataCharacteristics = nullptr;
        SetTimeoutsFn setTimeouts = nullptr;
        PurgeFn purge = nullptr;
        TransferFn write = nullptr;
        TransferFn read = nullptr;
        CloseFn close = nullptr;
    };

    // Loads the library and resolves every function up front; all or nothing.
    bool EnsureLoaded();

    std::string libraryName_;
    // The USB generation at which the library was last found missing or incomplete; 0 never.
    uint64_t absentAt_ = 0;
    DynamicLibrary library_;
    Api api_;
};
