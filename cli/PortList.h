// The ports the library would try when it looks for the controller, listed without opening any.
#pragma once

#include <string>
#include <vector>

struct TPortCandidate {
    std::string name;         // usable as --port / QV725_PORT
    std::string serial;       // USB serial number, empty when unknown
    std::string description;  // what the port is, empty when unknown
};

// In the order the library tries them. Implemented in one file, PortListProvisional.cpp, until
// the library offers its own listing; replacing that file is all the change it takes.
std::vector<TPortCandidate> ListPortCandidates();
