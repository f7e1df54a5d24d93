// One request frame in, one reply frame out (or none): the controller's protocol with its
// address filter and the configured faults, framed with the shared Wake codec.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FaultPolicy.h"
#include "Protocol.h"

namespace qv725sim {

class Responder {
public:
    Responder(Protocol& protocol, FaultPolicy& faults) : protocol_(protocol), faults_(faults) {}

    // The stuffed reply frame for one decoded request; empty when the controller stays silent
    // (silent mode, or a request addressed to another device).
    std::vector<uint8_t> Respond(uint8_t address, uint8_t command, const uint8_t* data,
                                 size_t count);

    // Parses one request frame from raw bytes and responds to it; nullopt when the bytes do not
    // hold a valid frame (the controller ignores those).
    std::optional<std::vector<uint8_t>> RespondToBytes(const std::vector<uint8_t>& request);

private:
    Protocol& protocol_;
    FaultPolicy& faults_;
};

// "C0 06 00 14": bytes as upper-case hexadecimal pairs separated by spaces, for logs.
std::string HexBytes(const uint8_t* data, size_t count);

}  // namespace qv725sim
