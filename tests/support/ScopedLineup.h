// Puts backends in place for one scope. Declared after the backends it names, it closes the
// device and empties the lineup before they are destroyed, however the test ends.
#pragma once

#include <vector>

#include "backends/FtdioBackend.h"
#include "qv725/qv725.h"

class ScopedLineup {
public:
    explicit ScopedLineup(std::vector<FtdioBackend*> backends) {
        FtdioUseBackends(std::move(backends));
    }
    ~ScopedLineup() {
        QV725_CloseDevice();
        FtdioUseBackends({});
    }
    ScopedLineup(const ScopedLineup&) = delete;
    ScopedLineup& operator=(const ScopedLineup&) = delete;
};
