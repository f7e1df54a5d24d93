// Backend over the one port QV725_PORT names by its device path, so that a port no other
// backend lists (a serial port of another kind, a pseudo-terminal) can still be asked for.
#pragma once

#include "TtyBackend.h"

class NamedPortBackend final : public TtyBackend {
protected:
    // The path QV725_PORT holds, unless it is empty or names a port by serial number.
    std::vector<FtdioPortInfo> ListDevices() override;
};
