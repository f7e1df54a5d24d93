// `qv725ctl status`: one reading of the six channels.
#pragma once

#include "Context.h"
#include "Reading.h"

int RunStatus(const TContext& context);

// The status document of one reading: {"schema", "channels": [...]}, with "reading" and "time"
// first when `number` is above 0 (a reading of `watch`).
TJsonWriter StatusJson(const TReading& reading, const TChannelNames& names, bool pretty,
                       long number = 0, const std::string& time = "");
