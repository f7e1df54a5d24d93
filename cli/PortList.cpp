// The port list, as the library's port listing gives it.
#include "PortList.h"

#include "PortListing.h"

std::vector<TPortCandidate> ListPortCandidates() {
    std::vector<TPortCandidate> candidates;
    for (const ListedPort& port : Qv725ListPorts()) {
        TPortCandidate c{port.path, port.serial, port.description, "", port.holderPid};
        if (port.verdict == PortVerdict::PermissionDenied) {
            c.state = "permission-denied";
        } else if (port.verdict == PortVerdict::InUse) {
            c.state = "in-use";
        }
        candidates.push_back(std::move(c));
    }
    return candidates;
}
