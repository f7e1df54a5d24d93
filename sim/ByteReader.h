// Buffered byte source over a non-blocking descriptor with a per-byte timeout, shaped for the
// shared frame reader. It remembers the bytes it handed out so a frame can be logged and timed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv725sim {

class ByteReader {
public:
    ByteReader(int fd, int timeoutMs) : fd_(fd), timeoutMs_(timeoutMs) {}

    // One byte; false when none arrives within the timeout or the descriptor fails.
    bool ReadByte(uint8_t& value);
    // Bytes waiting in the buffer, not yet handed out.
    bool HasBuffered() const { return next_ < filled_; }

    // Starts a new record of the bytes handed out.
    void ClearTaken() { taken_.clear(); }
    const std::vector<uint8_t>& Taken() const { return taken_; }

private:
    int fd_;
    int timeoutMs_;
    uint8_t buffer_[512];
    size_t next_ = 0;
    size_t filled_ = 0;
    std::vector<uint8_t> taken_;
};

}  // namespace qv725sim
