// The folder the library reads the system's device files under: "/" on a real system.
#pragma once

#include <string>

// Prefix for /sys, /dev, /run/lock and /var/lock: empty, unless the test-only environment
// variable QV725_TEST_SYSROOT names a prepared tree (a fake sysfs with links to
// pseudo-terminals), which the library's tests and benchmarks use.
std::string Qv725SystemRoot();
