// `qv725ctl preset list` and `preset apply NAME`: the presets of the settings file.
#pragma once

#include "Context.h"

// Lists the presets with their six channels and which one is active.
int RunPresetList(const TContext& context);

// Sends the preset's six channel records to the controller with one parameter request each,
// channels 1 to 6, as the Presets page does, and records it as the active preset in the
// settings file (before sending, as the program does) unless Kelvane is running on that file.
// A record holding a value the controller cannot take refuses the whole preset before anything
// is sent.
int RunPresetApply(const TContext& context);
