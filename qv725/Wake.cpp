// Wake framing over the transport: one frame out per write, replies read a byte at a time.
#include "Wake.h"

#include "Ftdio.h"
#include "ReplyDeadline.h"

bool WakeSendFrame(uint8_t address, uint8_t command, uint8_t count, const uint8_t* data) {
    uint8_t buffer[wake::SendBufferSize];
    const size_t length = WakeBuildFrame(address, command, count, data, buffer);
    return FtdioWrite(static_cast<int>(length), buffer);
}

void WakeExpectReply(size_t dataBytes) {
    // FEND, command, count, the data, CRC: replies to us carry no address.
    FtdioExpectBytes(static_cast<int>(dataBytes + 4));
}

bool WakeReceiveFrame(int timeoutMs, uint8_t& address, uint8_t& command, uint8_t* data,
                      size_t capacity, uint8_t& count) {
    if (!FtdioSetReadTimeout(timeoutMs)) {
        return false;
    }
    ReplyDeadline deadline(FtdioNow(), std::chrono::milliseconds(timeoutMs), FtdioByteTime());
    // Every read waits the read timeout at most, and never past the reply's deadline: a device
    // that keeps a byte coming now and then cannot stretch the reply beyond it.
    int readTimeoutMs = timeoutMs;
    auto readByte = [&](uint8_t& b) {
        const int left = deadline.LeftMs(FtdioNow());
        if (left <= 0) {
            return false;
        }
        const int wait = left < timeoutMs ? left : timeoutMs;
        if (wait != readTimeoutMs) {
            if (!FtdioSetReadTimeout(wait)) {
                return false;
            }
            readTimeoutMs = wait;
        }
        return FtdioReadByte(b);
    };
    return WakeReadFrame(readByte, address, command, data, capacity, count, [&](size_t rest) {
        deadline.Announce(rest);
        FtdioExpectBytes(static_cast<int>(rest));
    });
}
