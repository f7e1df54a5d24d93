// The one port QV725_PORT restricts the search for the controller to.
#pragma once

#include <string>

struct PortChoice {
    std::string text;    // as given; empty when the search may try every candidate
    std::string path;    // a device path ("/dev/ttyUSB3")
    std::string serial;  // or the USB serial number of "serial:<number>"
};

PortChoice ChosenPort();

// True when the two paths are the same device: equal, or the same device file when followed
// through links.
bool SamePort(const std::string& a, const std::string& b);
