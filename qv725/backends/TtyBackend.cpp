// Terminal-file backends: listing, handle bookkeeping, and the operations forwarded to PosixTty.
#include "TtyBackend.h"

#include <algorithm>
#include <cctype>

namespace {

bool IsDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// Natural order: runs of digits compare by their numeric value, everything else by character.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            size_t ei = i;
            size_t ej = j;
            while (ei < a.size() && IsDigit(a[ei]))
                ++ei;
            while (ej < b.size() && IsDigit(b[ej]))
                ++ej;
            size_t si = i;
            size_t sj = j;
            while (si + 1 < ei && a[si] == '0')
                ++si;
            while (sj + 1 < ej && b[sj] == '0')
                ++sj;
            if (ei - si != ej - sj) {
                return ei - si < ej - sj;
            }
            const int order = a.compare(si, ei - si, b, sj, ej - sj);
            if (order != 0) {
                return order < 0;
            }
            i = ei;
            j = ej;
        } else {
            if (a[i] != b[j]) {
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            }
            ++i;
            ++j;
        }
    }
    if (a.size() - i != b.size() - j) {
        return a.size() - i < b.size() - j;
    }
    return a < b;  // equal by value ("sim01" and "sim1"): keep a strict, stable order
}

}  // namespace

void TtyBackend::SortNatural(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), NaturalLess);
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
    std::unique_ptr<PosixTty> tty;
    const uint32_t status = PosixTty::Open(devices_[index], tty);
    if (status != ftstatus::Ok) {
        return status;
    }
    handle = nextHandle_++;
    open_[handle] = OpenDevice{devices_[index], std::move(tty)};
    return ftstatus::Ok;
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
