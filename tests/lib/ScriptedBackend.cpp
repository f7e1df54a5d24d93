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
    return status != ftstatus::Ok ? status
                                  : (Find(handle) ? ftstatus::Ok : ftstatus::InvalidHandle);
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
        d->pending.insert(d->pending.end(), d->replies.front().begin(), d->replies.front().end());
        d->replies.pop_front();
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
    while (got < count && !d->pending.empty()) {
        data[got++] = d->pending.front();
        d->pending.pop_front();
    }
    return ftstatus::Ok;  // fewer bytes than asked: the read timed out
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
