// The ports the library would try when it looks for the controller, listed without opening any.
#pragma once

#include <string>
#include <vector>

struct TPortCandidate {
    std::string name;         // usable as --port / QV725_PORT
    std::string serial;       // USB serial number, empty when unknown
    std::string description;  // what the port is, empty when unknown
    // What is known without opening it: "" (only a probe tells), "permission-denied" or
    // "in-use" (a lock file names holderPid).
    std::string state;
    int holderPid = 0;
};

// In the order the library tries them, from the library's own listing.
std::vector<TPortCandidate> ListPortCandidates();
