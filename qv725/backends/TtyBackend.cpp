// Terminal-file backends: listing, handle bookkeeping, and the operations forwarded to PosixTty.
#include "TtyBackend.h"

#include <cerrno>

#include "ports/NaturalOrder.h"
#include "ports/UucpLock.h"

namespace {

FtdioOpenFault FaultOf(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return FtdioOpenFault::PermissionDenied;
        case EBUSY:
        case EWOULDBLOCK:
            return FtdioOpenFault::InUse;
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return FtdioOpenFault::Gone;
        default:
            return FtdioOpenFault::Other;
    }
}

}  // namespace

void TtyBackend::SortNatural(std::vector<std::string>& names) {
    SortNaturally(names);
}

uint32_t TtyBackend::ApplyLatencyTimer(const std::string&, uint8_t) {
    return ftstatus::Ok;
}

PosixTty* TtyBackend::Find(FtdioHandle handle) {
    const auto it = open_.find(handle);
    return it == open_.end() ? nullptr : it->second.tty.get();
}

uint32_t TtyBackend::CountDevices(uint32_t& count) {
    devices_ = ListDevices();
    count = static_cast<uint32_t>(devices_.size());
    return ftstatus::Ok;
}

uint32_t TtyBackend::Open(uint32_t index, FtdioHandle& handle) {
    if (index >= devices_.size()) {
        return ftstatus::DeviceNotFound;
    }
    const std::string& path = devices_[index].path;
    // A port a terminal program has claimed through a UUCP lock file is not even opened.
    if (UucpLockHolder(root_, path) != 0) {
        lastFault_ = FtdioOpenFault::InUse;
        return ftstatus::DeviceNotOpened;
    }
    std::unique_ptr<PosixTty> tty;
    int error = 0;
    const uint32_t status = PosixTty::Open(path, tty, error);
    if (status != ftstatus::Ok) {
        lastFault_ = FaultOf(error);
        return status;
    }
    lastFault_ = FtdioOpenFault::None;
    handle = nextHandle_++;
    open_[handle] = OpenDevice{path, std::move(tty)};
    return ftstatus::Ok;
}

FtdioPortInfo TtyBackend::Describe(uint32_t index) {
    return index < devices_.size() ? devices_[index] : FtdioPortInfo{};
}

uint32_t TtyBackend::SetLatencyTimer(FtdioHandle handle, uint8_t milliseconds) {
    const auto it = open_.find(handle);
    if (it == open_.end()) {
        return ftstatus::InvalidHandle;
    }
    return ApplyLatencyTimer(it->second.path, milliseconds);
}

uint32_t TtyBackend::SetBaudRate(FtdioHandle handle, uint32_t baudRate) {
    PosixTty* tty = Find(handle);
    return tty != nullptr ? tty->SetBaudRate(baudRate) : ftstatus::InvalidHandle;
}

uint32_t TtyBackend::SetDataCharacteristics(FtdioHandle handle, uint8_t wordLength,
                                            uint8_t stopBits, uint8_t parity) {
    PosixTty* tty = Find(handle);
    return tty != nullptr ? tty->SetDataCharacteristics(wordLength, stopBits, parity)
                          : ftstatus::InvalidHandle;
}

uint32_t TtyBackend::SetTimeouts(FtdioHandle handle, uint32_t readMs, uint32_t writeMs) {
    PosixTty* tty = Find(handle);
    if (tty == nullptr) {
        return ftstatus::InvalidHandle;
    }
    tty->SetTimeouts(readMs, writeMs);
    return ftstatus::Ok;
}

uint32_t TtyBackend::Purge(FtdioHandle handle, uint32_t mask) {
    PosixTty* tty = Find(handle);
    return tty != nullptr ? tty->Purge(mask) : ftstatus::InvalidHandle;
}

uint32_t TtyBackend::Write(FtdioHandle handle, const uint8_t* data, uint32_t count,
                           uint32_t& written) {
    written = 0;
    PosixTty* tty = Find(handle);
    return tty != nullptr ? tty->Write(data, count, written) : ftstatus::InvalidHandle;
}

uint32_t TtyBackend::Read(FtdioHandle handle, uint8_t* data, uint32_t count, uint32_t& got) {
    got = 0;
    PosixTty* tty = Find(handle);
    return tty != nullptr ? tty->Read(data, count, got) : ftstatus::InvalidHandle;
}

void TtyBackend::ExpectBytes(FtdioHandle handle, uint32_t count) {
    if (PosixTty* tty = Find(handle)) {
        tty->ExpectBytes(count);
    }
}

uint32_t TtyBackend::Close(FtdioHandle handle) {
    return open_.erase(handle) == 1 ? ftstatus::Ok : ftstatus::InvalidHandle;
}
