// A scripted transport for the library's tests: records every call and every write, and plays
// canned reply bytes, one queued reply released by each write (as a device answers a request).
// It keeps time of its own: time passes only while a read waits (until the next byte is due or
// the read timeout is over), so tests of deadlines and slow devices run at once and exactly.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "backends/FtdioBackend.h"

using Bytes = std::vector<uint8_t>;

class ScriptedBackend final : public FtdioBackend {
public:
    using Clock = std::chrono::steady_clock;
    using Ms = std::chrono::milliseconds;
    using Us = std::chrono::microseconds;

    // Part of a reply: bytes that arrive `after` the request that released them.
    struct Piece {
        Us after;
        Bytes bytes;
    };
    struct Device {
        std::deque<std::vector<Piece>> replies;       // the next write releases the front one
        std::deque<uint8_t> pending;                  // bytes waiting to be read
        std::multimap<Clock::time_point, Bytes> due;  // bytes on their way, by arrival time
        std::vector<Bytes> writes;
        bool open = false;
        // A stray byte every trickleEvery (zero: none), the next at trickleNext.
        uint8_t trickleByte = 0;
        Ms trickleEvery{0};
        Clock::time_point trickleNext{};
    };

    explicit ScriptedBackend(size_t devices = 1) : devices_(devices) {}

    Device& device(size_t index) { return devices_.at(index); }
    // The reply bytes the device sends after its next request (queued behind earlier ones).
    void Reply(size_t index, Bytes bytes) { ReplyInPieces(index, {{Ms(0), std::move(bytes)}}); }
    // A reply that arrives late, or in pieces, each piece `after` the request.
    void ReplyInPieces(size_t index, std::vector<Piece> pieces) {
        device(index).replies.push_back(std::move(pieces));
    }
    // From now on the device sends `byte` every `every`, whatever else happens.
    void Trickle(size_t index, uint8_t byte, Ms every);

    // The backend's time, and that time as the transport's clock (FtdioUseClock).
    Clock::time_point Now() const { return now_; }
    std::function<Clock::time_point()> Time() const {
        return [this] { return now_; };
    }
    // Lets time pass with nobody reading: the bytes due meanwhile arrive.
    void Advance(Ms by);
    // Milliseconds of the backend's time since `since`.
    double MsSince(Clock::time_point since) const {
        return std::chrono::duration<double, std::milli>(now_ - since).count();
    }
    // Every later call of the operation (by name: "Open", "Write", ...) returns status.
    void Fail(const std::string& operation, uint32_t status) { failures_[operation] = status; }
    // Writes accept at most this many bytes.
    void LimitWrites(uint32_t bytes) { writeLimit_ = bytes; }
    // Calls in order, e.g. "CountDevices", "Open(1)", "SetBaudRate(38400)", "Close(1)".
    const std::vector<std::string>& calls() const { return calls_; }
    void ClearCalls() { calls_.clear(); }
    // The handle the backend hands out for device index.
    static FtdioHandle HandleOf(size_t index) { return 0x100 + index; }

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

private:
    // Logs the call; returns its injected failure status or checks the handle.
    uint32_t Enter(const std::string& operation, const std::string& arguments);
    Device* Find(FtdioHandle handle);
    // Moves the bytes due by now into every device's pending bytes.
    void Arrive();
    // When the next byte reaches the device's line; false when none is on its way.
    bool NextArrival(const Device& d, Clock::time_point& at) const;

    std::vector<Device> devices_;
    Clock::time_point now_{};
    uint32_t readTimeoutMs_ = 200;
    std::map<std::string, uint32_t> failures_;
    std::vector<std::string> calls_;
    uint32_t writeLimit_ = UINT32_MAX;
};

// A frame as the controller sends it (address 0), built by the library's own (golden-tested)
// framing; and the identification reply carrying text.
Bytes WakeFrame(uint8_t command, const Bytes& data);
Bytes IdentificationFrame(const std::string& text);
// Reads "C0 06 00 14" into bytes.
Bytes Hex(const std::string& text);
std::string ToHex(const Bytes& bytes);
