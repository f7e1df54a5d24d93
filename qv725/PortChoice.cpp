// Reading QV725_PORT.
#include "PortChoice.h"

#include <sys/stat.h>

#include <cstdlib>

PortChoice ChosenPort() {
    PortChoice choice;
    const char* text = std::getenv("QV725_PORT");
    if (text == nullptr || *text == '\0') {
        return choice;
    }
    choice.text = text;
    const std::string lead = "serial:";
    if (choice.text.rfind(lead, 0) == 0) {
        choice.serial = choice.text.substr(lead.size());
    } else {
        choice.path = choice.text;
    }
    return choice;
}

bool SamePort(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    struct stat sa {};
    struct stat sb {};
    if (stat(a.c_str(), &sa) != 0 || stat(b.c_str(), &sb) != 0) {
        return false;
    }
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
