// Byte strings written as hexadecimal text in the tests: "C0 06 00 14".
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace qv725sim {

inline std::vector<uint8_t> Bytes(const std::string& hex) {
    std::vector<uint8_t> out;
    std::istringstream in(hex);
    std::string pair;
    while (in >> pair) {
        out.push_back(static_cast<uint8_t>(std::stoul(pair, nullptr, 16)));
    }
    return out;
}

}  // namespace qv725sim
