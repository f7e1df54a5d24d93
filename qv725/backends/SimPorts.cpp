// Simulated controllers: one symbolic link per running simulator, to its pseudo-terminal.
#include "SimPorts.h"

#include <unistd.h>

#include "SimFolder.h"
#include "ports/SimLinks.h"

std::vector<FtdioPortInfo> SimPortsBackend::ListDevices() {
    folder_ = Qv725SimFolder();
    const SimLinkListing listing = ListSimLinks(folder_, getuid());
    ignored_ = listing.ignored;
    std::vector<FtdioPortInfo> ports;
    for (const std::string& path : listing.paths) {
        ports.push_back({path, "", ""});
    }
    return ports;
}

std::string SimPortsBackend::Unlisted() const {
    return ignored_.empty() ? std::string() : folder_ + ": " + ignored_;
}
