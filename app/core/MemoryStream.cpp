// The in-memory byte stream of the preset store.
#include "MemoryStream.h"

#include <algorithm>
#include <cstring>

#include "Exceptions.h"

TMemoryStream::TMemoryStream(std::span<const uint8_t> bytes) : bytes_(bytes.begin(), bytes.end()) {}

void TMemoryStream::Seek(size_t position) {
    position_ = std::min(position, bytes_.size());
}

void TMemoryStream::ReadBuffer(std::span<uint8_t> out) {
    if (out.size() > bytes_.size() - position_) {
        throw EReadError();
    }
    if (!out.empty()) {
        std::memcpy(out.data(), bytes_.data() + position_, out.size());
    }
    position_ += out.size();
}

void TMemoryStream::WriteBuffer(std::span<const uint8_t> bytes) {
    if (bytes.empty()) {
        return;
    }
    if (position_ + bytes.size() > bytes_.size()) {
        bytes_.resize(position_ + bytes.size());
    }
    std::memcpy(bytes_.data() + position_, bytes.data(), bytes.size());
    position_ += bytes.size();
}

uint8_t TMemoryStream::ReadByte() {
    uint8_t value = 0;
    ReadBuffer({&value, 1});
    return value;
}

void TMemoryStream::WriteByte(uint8_t value) {
    WriteBuffer({&value, 1});
}
