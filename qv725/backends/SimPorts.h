// Backend over the simulated controllers: the links to their pseudo-terminals that running
// simulators publish in the simulator folder. Found and opened exactly like serial ports.
#pragma once

#include <string>

#include "TtyBackend.h"

class SimPortsBackend final : public TtyBackend {
public:
    // "<folder>: <why it was ignored>" after a count that did not trust the folder.
    std::string Unlisted() const override;

protected:
    std::vector<FtdioPortInfo> ListDevices() override;

private:
    std::string folder_;
    std::string ignored_;
};
