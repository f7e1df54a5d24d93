// Request to reply frame, with the address filter and the injected faults.
#include "Responder.h"

#include "WakeFrame.h"

namespace qv725sim {

std::vector<uint8_t> Responder::Respond(uint8_t address, uint8_t command, const uint8_t* data,
                                        size_t count) {
    if (faults_.Silent()) {
        return {};
    }
    // A frame for another device on the line is not ours to answer.
    if (address != 0 && protocol_.Address() != 0 && address != protocol_.Address()) {
        return {};
    }
    Reply reply;
    if (faults_.TakeBusy(command)) {
        reply.command = command;
        reply.data = {StatusBusy};
    } else {
        reply = protocol_.Answer(command, data, count);
        faults_.MaybeShorten(reply.command, reply.data);
    }
    // Replies never exceed the frame's 255 data bytes: the longest is an echo of a request.
    std::vector<uint8_t> frame(wake::SendBufferSize);
    const size_t length = WakeBuildFrame(0, reply.command, static_cast<uint8_t>(reply.data.size()),
                                         reply.data.data(), frame.data());
    frame.resize(length);
    faults_.MaybeGarble(frame);
    return frame;
}

std::optional<std::vector<uint8_t>> Responder::RespondToBytes(const std::vector<uint8_t>& request) {
    size_t next = 0;
    auto readByte = [&](uint8_t& b) {
        if (next >= request.size()) {
            return false;
        }
        b = request[next++];
        return true;
    };
    uint8_t address = 0;
    uint8_t command = 0;
    uint8_t count = 0;
    uint8_t data[255];
    if (!WakeReadFrame(readByte, address, command, data, sizeof(data), count)) {
        return std::nullopt;
    }
    return Respond(address, command, data, count);
}

std::string HexBytes(const uint8_t* data, size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        if (i != 0) {
            text += ' ';
        }
        text += digits[data[i] >> 4];
        text += digits[data[i] & 0x0F];
    }
    return text;
}

}  // namespace qv725sim
