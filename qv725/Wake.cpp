// Wake framing over the transport: one frame out per write, replies read a byte at a time.
#include "Wake.h"

#include "Ftdio.h"
#include "ReplyDeadline.h"

namespace {

void PutStuffed(uint8_t value, uint8_t* out, size_t& length) {
    if (value == wake::FEND) {
        out[length++] = wake::FESC;
        out[length++] = wake::TFEND;
    } else if (value == wake::FESC) {
        out[length++] = wake::FESC;
        out[length++] = wake::TFESC;
    } else {
        out[length++] = value;
    }
}

}  // namespace

size_t WakeBuildFrame(uint8_t address, uint8_t command, uint8_t count, const uint8_t* data,
                      uint8_t* out) {
    uint8_t crc = wake::CrcInit;
    size_t length = 0;
    WakeCrc8Update(wake::FEND, crc);
    out[length++] = wake::FEND;
    if (address != 0) {
        const uint8_t a = address & 0x7F;
        WakeCrc8Update(a, crc);
        PutStuffed(static_cast<uint8_t>(a | 0x80), out, length);
    }
    const uint8_t c = command & 0x7F;
    WakeCrc8Update(c, crc);
    PutStuffed(c, out, length);
    WakeCrc8Update(count, crc);
    PutStuffed(count, out, length);
    for (size_t i = 0; i < count; ++i) {
        WakeCrc8Update(data[i], crc);
        PutStuffed(data[i], out, length);
    }
    PutStuffed(crc, out, length);
    return length;
}

bool WakeSendFrame(uint8_t address, uint8_t command, uint8_t count, const uint8_t* data) {
    uint8_t buffer[wake::SendBufferSize];
    const size_t length = WakeBuildFrame(address, command, count, data, buffer);
    return FtdioWrite(static_cast<int>(length), buffer);
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
