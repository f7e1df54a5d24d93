// `qv725ctl get`, `set` and `pwm`: one channel's parameters and its manual drive.
#pragma once

#include "Context.h"

// Reads a channel's parameter set.
int RunGet(const TContext& context);
// Reads the channel's parameter set, changes the keys given and sends the whole set with the
// channel's current PWM output, as the Channel page does. Every value is checked before the
// controller is opened.
int RunSet(const TContext& context);
// Sets one channel's PWM by hand; the other channels get their current outputs again. Refused
// (exit 1, nothing sent) while the channel is under automatic control.
int RunPwm(const TContext& context);
