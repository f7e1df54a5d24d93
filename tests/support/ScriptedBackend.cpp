// A scripted transport for the library's tests.
#include "ScriptedBackend.h"

#include <cstdio>
#include <sstream>

#include "Wake.h"

uint32_t ScriptedBackend::Enter(const std::string& operation, const std::string& arguments) {
    calls_.push_back(operation + (arguments.empty() ? "" : "(" + arguments + ")"));
    const auto failure = failures_.find(operation);
    return failure == failures_.end() ? ftstatus::Ok : failure->second;
}

ScriptedBackend::Device* ScriptedBackend::Find(FtdioHandle handle) {
    if (handle < HandleOf(0) || handle >= HandleOf(devices_.size())) {
        return nullptr;
    }
    Device& d = devices_[handle - HandleOf(0)];
    return d.open ? &d : nullptr;
}

void ScriptedBackend::Trickle(size_t index, uint8_t byte, Ms every) {
    Device& d = device(index);
    d.trickleByte = byte;
    d.trickleEvery = every;
    d.trickleNext = now_ + every;
}

void ScriptedBackend::Advance(Ms by) {
    now_ += by;
    Arrive();
}

void ScriptedBackend::Arrive() {
    for (Device& d : devices_) {
        while (!d.due.empty() && d.due.begin()->first <= now_) {
            const Bytes& bytes = d.due.begin()->second;
            d.pending.insert(d.pending.end(), bytes.begin(), bytes.end());
            d.due.erase(d.due.begin());
        }
        while (d.trickleEvery.count() > 0 && d.trickleNext <= now_) {
            d.pending.push_back(d.trickleByte);
            d.trickleNext += d.trickleEvery;
        }
    }
}

bool ScriptedBackend::NextArrival(const Device& d, Clock::time_point& at) const {
    bool any = false;
    if (!d.due.empty()) {
        at = d.due.begin()->first;
        any = true;
    }
    if (d.trickleEvery.count() > 0 && (!any || d.trickleNext < at)) {
        at = d.trickleNext;
        any = true;
    }
    return any;
}

uint32_t ScriptedBackend::CountDevices(uint32_t& count) {
    const uint32_t status = Enter("CountDevices", "");
    if (status == ftstatus::Ok) {
        count = static_cast<uint32_t>(devices_.size());
    }
    return status;
}

uint32_t ScriptedBackend::Open(uint32_t index, FtdioHandle& handle) {
    const uint32_t status = Enter("Open", std::to_string(index));
    if (status != ftstatus::Ok) {
        return status;
    }
    if (index >= devices_.size()) {
        return ftstatus::DeviceNotFound;
    }
    devices_[index].open = true;
    handle = HandleOf(index);
    return ftstatus::Ok;
}

uint32_t ScriptedBackend::SetLatencyTimer(FtdioHandle handle, uint8_t milliseconds) {
    const uint32_t status = Enter("SetLatencyTimer", std::to_string(milliseconds));
    return status != ftstatus::Ok ? status
                                  : (Find(handle) ? ftstatus::Ok : ftstatus::InvalidHandle);
}

uint32_t ScriptedBackend::SetBaudRate(FtdioHandle handle, uint32_t baudRate) {
    const uint32_t status = Enter("SetBaudRate", std::to_string(baudRate));
    return status != ftstatus::Ok ? status
                                  : (Find(handle) ? ftstatus::Ok : ftstatus::InvalidHandle);
}

uint32_t ScriptedBackend::SetDataCharacteristics(FtdioHandle handle, uint8_t wordLength,
                                                 uint8_t stopBits, uint8_t parity) {
    const uint32_t status = Enter(
        "SetDataCharacteristics",
        std::to_string(wordLength) + "," + std::to_string(stopBits) + "," + std::to_string(parity));
    return status != ftstatus::Ok ? status
                                  : (Find(handle) ? ftstatus::Ok : ftstatus::InvalidHandle);
}

uint32_t ScriptedBackend::SetTimeouts(FtdioHandle handle, uint32_t readMs, uint32_t writeMs) {
    const uint32_t status =
        Enter("SetTimeouts", std::to_string(readMs) + "," + std::to_string(writeMs));
    if (status != ftstatus::Ok) {
        return status;
    }
    if (Find(handle) == nullptr) {
        return ftstatus::InvalidHandle;
    }
    readTimeoutMs_ = readMs;
    return ftstatus::Ok;
}

uint32_t ScriptedBackend::Purge(FtdioHandle handle, uint32_t mask) {
    const uint32_t status = Enter("Purge", std::to_string(mask));
    if (status != ftstatus::Ok) {
        return status;
    }
    Device* d = Find(handle);
    if (d == nullptr) {
        return ftstatus::InvalidHandle;
    }
    if (mask & 1) {
        d->pending.clear();
    }
    return ftstatus::Ok;
}

uint32_t ScriptedBackend::Write(FtdioHandle handle, const uint8_t* data, uint32_t count,
                                uint32_t& written) {
    written = 0;
    const uint32_t status = Enter("Write", std::to_string(count));
    if (status != ftstatus::Ok) {
        return status;
    }
    Device* d = Find(handle);
    if (d == nullptr) {
        return ftstatus::InvalidHandle;
    }
    written = count < writeLimit_ ? count : writeLimit_;
    d->writes.emplace_back(data, data + written);
    if (!d->replies.empty()) {
        for (Piece& piece : d->replies.front()) {
            d->due.emplace(now_ + piece.after, std::move(piece.bytes));
        }
        d->replies.pop_front();
        Arrive();
    }
    return ftstatus::Ok;
}

uint32_t ScriptedBackend::Read(FtdioHandle handle, uint8_t* data, uint32_t count, uint32_t& got) {
    got = 0;
    // Reads are not logged one by one: a reply costs one read per byte.
    const auto failure = failures_.find("Read");
    if (failure != failures_.end()) {
        return failure->second;
    }
    Device* d = Find(handle);
    if (d == nullptr) {
        return ftstatus::InvalidHandle;
    }
    // The read waits for bytes on their way, up to its timeout.
    const Clock::time_point until = now_ + Ms(readTimeoutMs_);
    for (;;) {
        while (got < count && !d->pending.empty()) {
            data[got++] = d->pending.front();
            d->pending.pop_front();
        }
        Clock::time_point next{};
        if (got == count || !NextArrival(*d, next) || next > until) {
            break;
        }
        now_ = next > now_ ? next : now_;
        Arrive();
    }
    if (got < count) {
        now_ = until > now_ ? until : now_;  // fewer bytes than asked: the read timed out
        Arrive();
    }
    return ftstatus::Ok;
}

uint32_t ScriptedBackend::Close(FtdioHandle handle) {
    const uint32_t status = Enter("Close", std::to_string(handle - HandleOf(0)));
    Device* d = Find(handle);
    if (d == nullptr) {
        return ftstatus::InvalidHandle;
    }
    d->open = false;
    return status;
}

Bytes Hex(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    std::string item;
    while (in >> item) {
        bytes.push_back(static_cast<uint8_t>(std::stoul(item, nullptr, 16)));
    }
    return bytes;
}

std::string ToHex(const Bytes& bytes) {
    std::string text;
    char item[4];
    for (uint8_t b : bytes) {
        std::snprintf(item, sizeof item, "%02X", b);
        if (!text.empty()) {
            text += ' ';
        }
        text += item;
    }
    return text;
}

Bytes WakeFrame(uint8_t command, const Bytes& data) {
    uint8_t frame[wake::SendBufferSize];
    const size_t n =
        WakeBuildFrame(0, command, static_cast<uint8_t>(data.size()), data.data(), frame);
    return Bytes(frame, frame + n);
}

Bytes IdentificationFrame(const std::string& text) {
    return WakeFrame(3, Bytes(text.begin(), text.end()));
}
