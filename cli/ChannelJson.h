// The JSON form of channels: a parameter set under the keys `set` takes, and a status reading.
// The schema is documented in cli/README.md; keep it stable.
#pragma once

#include <string>

#include "JsonWriter.h"
#include "Params.h"
#include "Reading.h"

// The version of the schema every document carries as "schema".
inline constexpr int kJsonSchema = 1;

// Members tmin, tmax, pmin, pmax, talarm, valarm, boost, auto, ta, va, pwm of an open object.
void WriteParamsMembers(TJsonWriter& json, const TChannelParams& params);

// {"channel": 1 to 6, "name": ..., and the members above}.
void WriteChannelParams(TJsonWriter& json, int channel, const std::string& name,
                        const TChannelParams& params);

// {"channel", "name", "temperature", "fan", "pwm", "pwm_raw", "volts", "auto",
//  "alarms": {"temperature", "fan"}} for channel 0 to 5 of a reading.
void WriteChannelStatus(TJsonWriter& json, int channel, const std::string& name,
                        const TChannelReading& reading);
