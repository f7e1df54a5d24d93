// `qv725ctl watch`: readings at a steady interval until Ctrl+C or --count, optionally kept in
// export files.
#pragma once

#include <chrono>
#include <string>

#include "Context.h"

// Ends with 0 after Ctrl+C, SIGTERM, --count readings, or when its output is closed; with 1
// when a reading fails (the library's text on standard error).
int RunWatch(const TContext& context);

// A moment as ISO 8601 in UTC, to the second: "2025-03-01T12:00:05Z".
std::string UtcTimeText(std::chrono::system_clock::time_point when);
