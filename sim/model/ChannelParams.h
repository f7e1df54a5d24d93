// One channel's parameter set as the controller keeps it, and its 12-byte wire form.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv725sim {

inline constexpr int ChannelCount = 6;

// Bits of ChannelParams::Flags.
enum ChannelFlag : uint8_t {
    Boost = 0x01,  // startup boost of a stalled fan
    Auto = 0x02,   // automatic control along the regulation curve
    Ta = 0x04,     // temperature alarm enabled
    Va = 0x08,     // fan speed alarm enabled
};

// Temperatures in 0.1 degC as they travel on the wire (16-bit; the regulation reads them as
// signed), PWM 0..255, V_alarm in rpm.
struct ChannelParams {
    uint8_t Flags = 0;
    uint16_t T_min = 0;
    uint8_t PWM_min = 0;
    uint16_t T_max = 0;
    uint8_t PWM_max = 0;
    uint16_t T_alarm = 0;
    uint16_t V_alarm = 0;
    uint8_t PWM = 0;

    bool operator==(const ChannelParams&) const = default;
};

// Wire order: Flags, T_min (LE), PWM_min, T_max (LE), PWM_max, T_alarm (LE), V_alarm (LE), PWM.
inline constexpr size_t ChannelParamsWireSize = 12;
using ChannelParamsWire = std::array<uint8_t, ChannelParamsWireSize>;

ChannelParamsWire EncodeChannelParams(const ChannelParams& params);
// in holds ChannelParamsWireSize bytes.
ChannelParams DecodeChannelParams(const uint8_t* in);

// What a controller fresh from the factory (or with an unreadable EEPROM) runs with.
ChannelParams FactoryChannelParams();

}  // namespace qv725sim
