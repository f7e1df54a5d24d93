// Wake frame codec: CRC-8, byte stuffing, building one frame and reading one frame back. The
// reader is a template over its byte source so that the library (over the transport), the
// simulated controller (over its pseudo-terminal) and the fuzzer share one parser. Nothing here
// touches a transport: the simulator links this alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wake {

inline constexpr uint8_t FEND = 0xC0;
inline constexpr uint8_t FESC = 0xDB;
inline constexpr uint8_t TFEND = 0xDC;
inline constexpr uint8_t TFESC = 0xDD;
inline constexpr uint8_t CrcInit = 0xDE;
// Largest frame: escaped address, 255 escaped data bytes and an escaped CRC is 517 bytes.
inline constexpr size_t SendBufferSize = 520;
// The hunt for the leading FEND gives up after this many reads.
inline constexpr int MaxHuntReads = 512;

}  // namespace wake

// One step of the Maxim/Dallas CRC-8 (reflected polynomial 0x8C), least significant bit first.
inline void WakeCrc8Update(uint8_t value, uint8_t& crc) {
    for (int i = 0; i < 8; ++i) {
        if ((value ^ crc) & 1) {
            crc = static_cast<uint8_t>((crc >> 1) ^ 0x8C);
        } else {
            crc = static_cast<uint8_t>(crc >> 1);
        }
        value = static_cast<uint8_t>(value >> 1);
    }
}

// Builds the stuffed frame into out, which holds at least wake::SendBufferSize bytes, and
// returns its length. Address 0 means the frame carries no address byte.
size_t WakeBuildFrame(uint8_t address, uint8_t command, uint8_t count, const uint8_t* data,
                      uint8_t* out);

// Reads one frame through readByte (a callable bool(uint8_t&) that fails on timeout) into data,
// which holds capacity bytes. True only for a complete frame with a correct CRC. A frame that
// announces more data than capacity is refused as soon as its count byte arrives, so nothing is
// written past the buffer. On any return the outputs hold what was read so far: count and
// address are 0 once the FEND has been found, command keeps its old value until a command byte
// arrives. Once the count byte is in, expectRest (a callable void(size_t)) learns how many
// bytes the frame still needs at least (its data and CRC, escapes not counted), so that a
// transport can let them gather instead of waking up for each.
template <class ReadByte, class ExpectRest>
bool WakeReadFrame(ReadByte&& readByte, uint8_t& address, uint8_t& command, uint8_t* data,
                   size_t capacity, uint8_t& count, ExpectRest&& expectRest) {
    uint8_t b = 0;
    bool found = false;
    for (int i = 0; i < wake::MaxHuntReads; ++i) {
        if (!readByte(b)) {
            break;
        }
        if (b == wake::FEND) {
            found = true;
            break;
        }
    }
    if (!found) {
        return false;
    }

    uint8_t crc = wake::CrcInit;
    WakeCrc8Update(wake::FEND, crc);
    count = 0;
    address = 0;

    enum class Pos { First, Command, Count, Data };
    Pos pos = Pos::First;
    size_t index = 0;
    for (;;) {
        if (!readByte(b)) {
            return false;
        }
        if (b == wake::FESC) {
            if (!readByte(b)) {
                return false;
            }
            if (b == wake::TFEND) {
                b = wake::FEND;
            } else if (b == wake::TFESC) {
                b = wake::FESC;
            } else {
                return false;
            }
        }
        switch (pos) {
            case Pos::First:
                if (b & 0x80) {
                    b &= 0x7F;
                    address = b;
                    pos = Pos::Command;
                } else {
                    command = b;
                    pos = Pos::Count;
                }
                break;
            case Pos::Command:
                if (b & 0x80) {
                    return false;
                }
                command = b;
                pos = Pos::Count;
                break;
            case Pos::Count:
                count = b;
                if (count > capacity) {
                    return false;
                }
                expectRest(static_cast<size_t>(count) + 1);
                pos = Pos::Data;
                break;
            case Pos::Data:
                if (index < count) {
                    data[index++] = b;
                } else {
                    WakeCrc8Update(b, crc);
                    return crc == 0;
                }
                break;
        }
        WakeCrc8Update(b, crc);
    }
}

template <class ReadByte>
bool WakeReadFrame(ReadByte&& readByte, uint8_t& address, uint8_t& command, uint8_t* data,
                   size_t capacity, uint8_t& count) {
    return WakeReadFrame(readByte, address, command, data, capacity, count, [](size_t) {});
}
