// The deadline of one reply: read timeout plus the wire time of what the reply announces.
#include "ReplyDeadline.h"

ReplyDeadline::ReplyDeadline(Clock::time_point start, std::chrono::milliseconds timeout,
                             std::chrono::nanoseconds byteTime)
    : at_(start + timeout + byteTime * static_cast<long>(HeaderBytes)), byteTime_(byteTime) {}

void ReplyDeadline::Announce(size_t bytes) {
    at_ += byteTime_ * static_cast<long>(2 * bytes);
}

int ReplyDeadline::LeftMs(Clock::time_point now) const {
    if (now >= at_) {
        return 0;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(at_ - now).count();
    return left > 0 ? static_cast<int>(left) : 0;
}
