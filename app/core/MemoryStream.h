// A growable byte buffer with a read/write position, the stream the preset store is written to
// and read from.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

class TMemoryStream {
public:
    TMemoryStream() = default;
    // A stream holding a copy of `bytes`, positioned at its start.
    explicit TMemoryStream(std::span<const uint8_t> bytes);

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    size_t Size() const { return bytes_.size(); }
    size_t Position() const { return position_; }
    // Moves the position; a position beyond the end is clamped to the end.
    void Seek(size_t position);

    // Copies exactly out.size() bytes from the position and advances it; throws EReadError
    // ("Stream read error") when fewer bytes are left, leaving the position unchanged.
    void ReadBuffer(std::span<uint8_t> out);
    // Writes at the position, overwriting and growing the buffer as needed, and advances it.
    void WriteBuffer(std::span<const uint8_t> bytes);

    uint8_t ReadByte();
    void WriteByte(uint8_t value);

private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};
