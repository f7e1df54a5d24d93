// The prefix of the system's device files, normally empty.
#include "SystemRoot.h"

#include <cstdlib>

std::string Qv725SystemRoot() {
    const char* root = std::getenv("QV725_TEST_SYSROOT");
    return root != nullptr ? std::string(root) : std::string();
}
