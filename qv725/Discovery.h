// The search for the controller among the candidates the backends list, and the reason given
// when it is not found.
#pragma once

namespace qv725 {

// Finds and opens the controller; the caller holds the library's lock. Only candidates are
// opened (the FTDI bridges, live simulator links, or the one port QV725_PORT names); the port
// where the controller last answered is tried first; a port that did not answer as the
// controller is not opened again until it is plugged in again. On failure the last-error text
// reads "No controller found: <port>: <reason>" or "No controller found: <reason>".
bool SearchController();

// Forgets the ports found not to be the controller (tests).
void ForgetProbedPorts();

}  // namespace qv725
