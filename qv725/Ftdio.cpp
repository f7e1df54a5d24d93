// The transport operations over the backend lineup: device indices run over the backends in
// order, and the one open device is remembered with the backend that owns it.
#include "Ftdio.h"

#include <functional>
#include <utility>

#include "UsbWatch.h"
#include "backends/D2xx.h"
#include "backends/FtdioBackend.h"
#ifdef __linux__
#include "backends/SerialPort.h"
#endif
#ifndef _WIN32
#include "backends/NamedPort.h"
#include "backends/SimPorts.h"
#endif

namespace {

constexpr uint32_t LatencyTimerMs = 2;  // latency timer after every open
constexpr uint32_t WriteTimeoutMs = 200;
constexpr uint32_t InitialReadTimeoutMs = 200;
constexpr uint32_t PurgeRx = 1;
constexpr uint32_t PurgeRxTx = 3;
constexpr int64_t BitsPerByte = 10;  // start bit, 8 data bits, stop bit

std::vector<FtdioBackend*> DefaultBackends() {
    static D2xxBackend d2xx;
#ifdef __linux__
    static SerialPortBackend serial;
#endif
#ifndef _WIN32
    static SimPortsBackend sims;
    static NamedPortBackend named;
#endif
    return {
        &d2xx,
#ifdef __linux__
        &serial,
#endif
#ifndef _WIN32
        &sims,
        &named,
#endif
    };
}

struct Transport {
    std::vector<FtdioBackend*> backends = DefaultBackends();
    // Devices per backend at the latest count; open indices refer to it.
    std::vector<uint32_t> counts;
    bool counted = false;
    FtdioBackend* backend = nullptr;  // owner of the device handle
    FtdioHandle handle = 0;
    // True only between a successful open and its close: a released handle never goes back
    // to a driver, whatever copies of it the caller keeps.
    bool live = false;
    uint32_t status = ftstatus::Ok;
    FtdioOpenFault openFault = FtdioOpenFault::None;
    std::chrono::nanoseconds byteTime{0};
    std::function<std::chrono::steady_clock::time_point()> now;
};

Transport& State() {
    static Transport transport;
    return transport;
}

bool Record(uint32_t status) {
    State().status = status;
    return status == ftstatus::Ok;
}

void CloseLive() {
    Transport& t = State();
    if (t.live) {
        t.live = false;
        Record(t.backend->Close(t.handle));
    }
}

// Finds the backend and its local index for a device index of the latest count.
bool Locate(int index, FtdioBackend*& backend, uint32_t& local) {
    Transport& t = State();
    if (index < 0) {
        return false;
    }
    auto remaining = static_cast<uint32_t>(index);
    for (size_t i = 0; i < t.backends.size() && i < t.counts.size(); ++i) {
        if (remaining < t.counts[i]) {
            backend = t.backends[i];
            local = remaining;
            return true;
        }
        remaining -= t.counts[i];
    }
    return false;
}

}  // namespace

void FtdioUseBackends(std::vector<FtdioBackend*> backends) {
    CloseLive();
    Transport& t = State();
    t.backends = std::move(backends);
    t.counts.clear();
    t.counted = false;
    t.backend = nullptr;
    t.handle = 0;
    t.status = ftstatus::Ok;
}

void FtdioUseDefaultBackends() {
    FtdioUseBackends(DefaultBackends());
    FtdioUseClock({});
}

void FtdioUseClock(std::function<std::chrono::steady_clock::time_point()> now) {
    State().now = std::move(now);
}

// Sums the backends. A backend whose count fails adds no devices; the count fails only when
// no backend could count at all (an empty lineup counts 0 devices successfully).
bool FtdioCountDevices(uint32_t& count) {
    Transport& t = State();
    UsbWatchRefresh(FtdioNow());
    t.counts.assign(t.backends.size(), 0);
    t.counted = true;
    count = 0;
    bool anyCounted = t.backends.empty();
    uint32_t failure = ftstatus::Ok;
    for (size_t i = 0; i < t.backends.size(); ++i) {
        uint32_t n = 0;
        const uint32_t status = t.backends[i]->CountDevices(n);
        if (status == ftstatus::Ok) {
            t.counts[i] = n;
            count += n;
            anyCounted = true;
        } else {
            failure = status;
        }
    }
    return Record(anyCounted ? ftstatus::Ok : failure);
}

bool FtdioOpen(int index, FtdioHandle& handleCopy) {
    Transport& t = State();
    CloseLive();  // one device at a time: a second open replaces the first
    if (!t.counted) {
        uint32_t ignored = 0;
        FtdioCountDevices(ignored);
    }
    FtdioBackend* backend = nullptr;
    uint32_t local = 0;
    t.handle = 0;
    if (!Locate(index, backend, local)) {
        handleCopy = t.handle;
        t.openFault = FtdioOpenFault::Gone;
        return Record(ftstatus::DeviceNotFound);
    }
    t.backend = backend;
    const uint32_t status = backend->Open(local, t.handle);
    t.live = status == ftstatus::Ok;
    t.openFault = t.live ? FtdioOpenFault::None
                         : (status == ftstatus::DeviceNotFound ? FtdioOpenFault::Gone
                                                               : backend->LastOpenFault());
    handleCopy = t.handle;
    return Record(status);
}

bool FtdioConfigure(int baudRate) {
    Transport& t = State();
    if (!t.live) {
        return Record(ftstatus::DeviceNotOpened);
    }
    if (baudRate <= 0) {
        return Record(ftstatus::InvalidBaudRate);
    }
    const bool configured =
        Record(t.backend->SetLatencyTimer(t.handle, LatencyTimerMs)) &&
        Record(t.backend->SetBaudRate(t.handle, static_cast<uint32_t>(baudRate))) &&
        Record(t.backend->SetDataCharacteristics(t.handle, 8, 0, 0)) &&
        Record(t.backend->SetTimeouts(t.handle, InitialReadTimeoutMs, WriteTimeoutMs)) &&
        Record(t.backend->Purge(t.handle, PurgeRxTx));
    if (configured) {
        t.byteTime = std::chrono::nanoseconds(BitsPerByte * 1'000'000'000 / baudRate);
    }
    return configured;
}

bool FtdioClose(FtdioHandle& handleCopy) {
    Transport& t = State();
    handleCopy = 0;
    if (!t.live) {
        return Record(ftstatus::InvalidHandle);
    }
    t.live = false;
    return Record(t.backend->Close(t.handle));
}

bool FtdioWrite(int count, const uint8_t* data) {
    Transport& t = State();
    if (!t.live) {
        return Record(ftstatus::DeviceNotOpened);
    }
    if (count < 0 || (count > 0 && data == nullptr)) {
        return Record(ftstatus::InvalidParameter);
    }
    uint32_t written = 0;
    const auto wanted = static_cast<uint32_t>(count);
    return Record(t.backend->Write(t.handle, data, wanted, written)) && written == wanted;
}

bool FtdioReadByte(uint8_t& value) {
    Transport& t = State();
    if (!t.live) {
        return Record(ftstatus::DeviceNotOpened);
    }
    uint32_t got = 0;
    return Record(t.backend->Read(t.handle, &value, 1, got)) && got == 1;
}

bool FtdioSetReadTimeout(int timeoutMs) {
    Transport& t = State();
    if (!t.live) {
        return Record(ftstatus::DeviceNotOpened);
    }
    const uint32_t readMs = timeoutMs < 0 ? 0 : static_cast<uint32_t>(timeoutMs);
    return Record(t.backend->SetTimeouts(t.handle, readMs, WriteTimeoutMs));
}

bool FtdioPurgeReceive() {
    Transport& t = State();
    if (!t.live) {
        return Record(ftstatus::DeviceNotOpened);
    }
    return Record(t.backend->Purge(t.handle, PurgeRx));
}

void FtdioExpectBytes(int count) {
    Transport& t = State();
    if (t.live && count > 0) {
        t.backend->ExpectBytes(t.handle, static_cast<uint32_t>(count));
    }
}

FtdioPortInfo FtdioDescribe(int index) {
    FtdioBackend* backend = nullptr;
    uint32_t local = 0;
    if (!State().counted || !Locate(index, backend, local)) {
        return {};
    }
    return backend->Describe(local);
}

std::string FtdioUnlisted() {
    for (const FtdioBackend* backend : State().backends) {
        std::string unlisted = backend->Unlisted();
        if (!unlisted.empty()) {
            return unlisted;
        }
    }
    return {};
}

FtdioOpenFault FtdioLastOpenFault() {
    return State().openFault;
}

std::chrono::nanoseconds FtdioByteTime() {
    return State().byteTime;
}

std::chrono::steady_clock::time_point FtdioNow() {
    const Transport& t = State();
    return t.now ? t.now() : std::chrono::steady_clock::now();
}

uint32_t FtdioStatus() {
    return State().status;
}
