// One deadline for a whole reply: however a device sends (slowly, in dribbles, stray bytes
// without end), reading its reply ends by then.
#pragma once

#include <chrono>
#include <cstddef>

class ReplyDeadline {
public:
    using Clock = std::chrono::steady_clock;

    // Before the count byte is in, a reply is allowed the wire time of the longest header:
    // FEND, an escaped address, the command and an escaped count.
    static constexpr size_t HeaderBytes = 6;

    // The read timeout counts from start (the request is out); byteTime is the time one byte
    // takes on the line.
    ReplyDeadline(Clock::time_point start, std::chrono::milliseconds timeout,
                  std::chrono::nanoseconds byteTime);

    // The reply announced `bytes` more bytes (its data and CRC): the deadline moves on by their
    // wire time, counted as if every one travelled as an escape pair, the longest they can take.
    void Announce(size_t bytes);

    Clock::time_point At() const { return at_; }
    // Whole milliseconds left at `now`, rounded down, so that a wait of that long never runs past
    // the deadline; 0 once less than a millisecond is left.
    int LeftMs(Clock::time_point now) const;

private:
    Clock::time_point at_;
    std::chrono::nanoseconds byteTime_;
};
