// The candidate ports the library tries when it looks for the controller, listed without
// opening any: for tools that show them (qv725ctl list). Internal; not part of the C interface.
#pragma once

#include <string>
#include <vector>

enum class PortVerdict {
    NotProbed,         // nothing known yet: only opening it and asking tells
    Controller,        // answered as the controller
    PermissionDenied,  // this user may not open it
    InUse,             // another program has locked it (holderPid tells which, when known)
    NotController,     // answered, but not as the controller
};

struct ListedPort {
    std::string path;         // the device path, usable as QV725_PORT
    std::string serial;       // the bridge's USB serial number, empty when unknown
    std::string description;  // what the port is, empty when unknown
    PortVerdict verdict = PortVerdict::NotProbed;
    int holderPid = 0;  // the process of the port's lock file, 0 when none or not known
};

// In the order the library tries them (the remembered controller's port first aside): the
// FTDI bridges' serial ports, then the live links of running simulators. Ports the D2XX driver
// serves are not seen here. The verdicts are those told without opening: PermissionDenied,
// InUse or NotProbed.
std::vector<ListedPort> Qv725ListPorts();

// "not probed", "controller", "permission denied", "in use", "not a controller".
const char* PortVerdictText(PortVerdict verdict);
