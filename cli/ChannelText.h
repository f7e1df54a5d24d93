// The text form of channels for people at a terminal: the status table and parameter sets.
#pragma once

#include <string>

#include "Params.h"
#include "Reading.h"

// One header line and one line per channel: number, name, °C, rpm, PWM %, V, mode, alarms.
std::string StatusTable(const TReading& reading, const TChannelNames& names);

// "Channel 2 (CPU):" and one "key value unit" line per parameter, as `set` names them.
std::string ParamsBlock(int channel, const std::string& name, const TChannelParams& params);

// The parameters on one line: "tmin 30.0 °C, tmax 60.0 °C, ..., va off".
std::string ParamsLine(const TChannelParams& params);

// "Channel 2" or "Channel 2 (CPU)".
std::string ChannelTitle(int channel, const std::string& name);
