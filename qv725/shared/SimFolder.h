// Where running simulated controllers publish their pseudo-terminals: one link per simulator.
#pragma once

#include <string>

// $XDG_RUNTIME_DIR/qv725 when that variable is set and not empty, else /tmp/qv725-<uid>.
std::string Qv725SimFolder();
