// Listing the candidate ports from sysfs and the simulator folder.
#include "PortListing.h"

#ifndef _WIN32
#include <unistd.h>

#include <cerrno>

#include "SimFolder.h"
#include "SimLinks.h"
#include "SystemRoot.h"
#include "UucpLock.h"
#endif
#ifdef __linux__
#include "SysfsSerialPorts.h"
#endif

namespace {

#ifndef _WIN32
void Judge(ListedPort& port, const std::string& root) {
    if (access(port.path.c_str(), R_OK | W_OK) != 0 && errno == EACCES) {
        port.verdict = PortVerdict::PermissionDenied;
    } else if (const int pid = UucpLockHolder(root, port.path)) {
        port.verdict = PortVerdict::InUse;
        port.holderPid = pid;
    }
}
#endif

}  // namespace

std::vector<ListedPort> Qv725ListPorts() {
    std::vector<ListedPort> ports;
#ifndef _WIN32
    const std::string root = Qv725SystemRoot();
#ifdef __linux__
    for (const SysfsSerialPort& p : ListFtdiSerialPorts(root)) {
        ports.push_back({p.path, p.serial, p.description, PortVerdict::NotProbed, 0});
    }
#endif
    for (const std::string& path : ListSimLinks(Qv725SimFolder(), getuid()).paths) {
        ports.push_back({path, "", "simulated controller", PortVerdict::NotProbed, 0});
    }
    for (ListedPort& port : ports) {
        Judge(port, root);
    }
#endif
    return ports;
}

const char* PortVerdictText(PortVerdict verdict) {
    switch (verdict) {
        case PortVerdict::Controller:
            return "controller";
        case PortVerdict::PermissionDenied:
            return "permission denied";
        case PortVerdict::InUse:
            return "in use";
        case PortVerdict::NotController:
            return "not a controller";
        case PortVerdict::NotProbed:
            break;
    }
    return "not probed";
}
