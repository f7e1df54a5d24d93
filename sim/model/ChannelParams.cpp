// Wire form of a channel's parameter set and the factory defaults.
#include "ChannelParams.h"

namespace qv725sim {

namespace {

void PutLe16(uint16_t value, uint8_t* out) {
    out[0] = static_cast<uint8_t>(value & 0xFF);
    out[1] = static_cast<uint8_t>(value >> 8);
}

uint16_t GetLe16(const uint8_t* in) {
    return static_cast<uint16_t>(in[0] | (in[1] << 8));
}

}  // namespace

ChannelParamsWire EncodeChannelParams(const ChannelParams& params) {
    ChannelParamsWire out{};
    out[0] = params.Flags;
    PutLe16(params.T_min, &out[1]);
    out[3] = params.PWM_min;
    PutLe16(params.T_max, &out[4]);
    out[6] = params.PWM_max;
    PutLe16(params.T_alarm, &out[7]);
    PutLe16(params.V_alarm, &out[9]);
    out[11] = params.PWM;
    return out;
}

ChannelParams DecodeChannelParams(const uint8_t* in) {
    ChannelParams params;
    params.Flags = in[0];
    params.T_min = GetLe16(&in[1]);
    params.PWM_min = in[3];
    params.T_max = GetLe16(&in[4]);
    params.PWM_max = in[6];
    params.T_alarm = GetLe16(&in[7]);
    params.V_alarm = GetLe16(&in[9]);
    params.PWM = in[11];
    return params;
}

ChannelParams FactoryChannelParams() {
    // Automatic control from 30.0 degC at 30 % up to 60.0 degC at full drive, with the startup
    // boost so that a fan below its starting PWM still spins up, and the temperature alarm at
    // 70.0 degC.
    ChannelParams params;
    params.Flags = Boost | Auto | Ta;
    params.T_min = 300;
    params.PWM_min = 77;
    params.T_max = 600;
    params.PWM_max = 255;
    params.T_alarm = 700;
    params.V_alarm = 500;
    params.PWM = 128;
    return params;
}

}  // namespace qv725sim
