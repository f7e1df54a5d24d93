// Wake frame codec: building a stuffed frame with its CRC.
#include "WakeFrame.h"

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
