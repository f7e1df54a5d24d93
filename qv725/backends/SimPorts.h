// Backend over the simulated controllers: the links to their pseudo-terminals that running
// simulators publish in the simulator folder. Found and opened exactly like serial ports.
#pragma once

#include "TtyBackend.h"

class SimPortsBackend final : public TtyBackend {
protected:
    std::vector<std::string> ListDevices() override;
};
