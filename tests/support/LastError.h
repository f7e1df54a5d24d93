// The device library's last error text as a string, for test messages and checks.
#pragma once

#include <string>

#include "qv725/qv725.h"

// Inline on purpose: each test program compiles it with its own view of the library's exports
// (linked in statically, or imported from the shared library), which a compiled source shared
// by all of them could not match on Windows. "(null)" stands for a missing text, so that a
// check for an empty text fails on it.
inline std::string LastError() {
    const char* text = nullptr;
    QV725_GetLastError(&text);
    return text != nullptr ? text : "(null)";
}
