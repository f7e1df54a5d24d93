// One reading of all six channels: what `status` and `watch` show, with the alarm states as the
// program's Common page colours them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "Controller.h"
#include "Params.h"

struct TChannelReading {
    int32_t temperature = 0;  // 0.1 °C, signed
    int32_t fan = 0;          // rpm
    int32_t pwm = 0;          // 0 to 255, the channel's output now
    TChannelParams params;    // the parameter set, for the mode and the alarms
};

struct TReading {
    std::array<TChannelReading, 6> channels;
};

// Temperatures, fan speeds, PWM outputs, then the six parameter sets.
TReading ReadAll(TController& controller);

// The temperature alarm is on when it is enabled and the reading is above T_alarm.
bool TemperatureAlarm(const TChannelReading& channel);
// The fan alarm is on when it is enabled, the speed is below V_alarm and the fan is driven
// above PWM 40 (below that a fan may stand still on purpose).
bool FanAlarm(const TChannelReading& channel);

// The channel names of the settings file, "Channels" Name0 to Name5.
using TChannelNames = std::array<std::string, 6>;
