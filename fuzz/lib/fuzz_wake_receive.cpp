// Fuzzes the Wake frame reader: the input is the byte stream the controller sends, read into
// the library's 200-byte reply buffer. Checks that nothing is written past the buffer and that
// an accepted frame survives a rebuild unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "Wake.h"

namespace {

constexpr size_t Capacity = 200;
constexpr size_t Guard = 64;
constexpr uint8_t GuardByte = 0x5A;

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size) {
    // Heap buffer: AddressSanitizer catches writes past its end; the guard region beyond the
    // capacity catches writes that stay inside the allocation.
    auto buffer = std::make_unique<uint8_t[]>(Capacity + Guard);
    std::memset(buffer.get(), GuardByte, Capacity + Guard);
    size_t next = 0;
    auto source = [&](uint8_t& b) {
        if (next >= size) {
            return false;
        }
        b = input[next++];
        return true;
    };
    uint8_t address = 0xFF;
    uint8_t command = 0xFF;
    uint8_t count = 0xFF;
    const bool ok = WakeReadFrame(source, address, command, buffer.get(), Capacity, count);
    for (size_t i = Capacity; i < Capacity + Guard; ++i) {
        Check(buffer[i] == GuardByte);
    }
    Check(next <= size);
    if (!ok) {
        return 0;
    }
    Check(count <= Capacity);
    Check(address < 0x80 && command < 0x80);

    // A frame that was accepted rebuilds into one that reads back the same.
    uint8_t frame[wake::SendBufferSize];
    const size_t length = WakeBuildFrame(address, command, count, buffer.get(), frame);
    Check(length <= wake::SendBufferSize);
    uint8_t again[Capacity];
    uint8_t address2 = 0, command2 = 0, count2 = 0;
    size_t at = 0;
    auto rebuilt = [&](uint8_t& b) {
        if (at >= length) {
            return false;
        }
        b = frame[at++];
        return true;
    };
    Check(WakeReadFrame(rebuilt, address2, command2, again, Capacity, count2));
    Check(at == length);
    Check(address2 == address && command2 == command && count2 == count);
    Check(std::memcmp(again, buffer.get(), count) == 0);
    return 0;
}
