// `qv725ctl save` and `recall`: a channel's parameters to and from the controller's EEPROM.
#pragma once

#include "Context.h"

// Stores the channels' parameters in EEPROM, channel by channel; stops at the first failure.
int RunSave(const TContext& context);
// Reloads the channels' parameters from EEPROM and shows what came back.
int RunRecall(const TContext& context);
