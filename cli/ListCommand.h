// `qv725ctl list`: the candidate ports, which one is the controller, and why the others are not.
#pragma once

#include "Context.h"

// Probes each candidate on its own (QV725_PORT set to it, then QV725_OpenDevice) and reports
// them. Returns 0 when a controller is among them, 4 when none is but a port is in use, else 3.
int RunList(const TContext& context);
