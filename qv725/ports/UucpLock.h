// UUCP lock files (LCK..ttyUSB0 in /run/lock or /var/lock), by which terminal programs tell
// each other that a port is theirs.
#pragma once

#include <string>

// The process that holds a lock file for the device file `path` (its base name) under root,
// when the file names a process that is still running; 0 when the port is not locked (no file,
// or a stale one whose process has ended).
int UucpLockHolder(const std::string& root, const std::string& path);
