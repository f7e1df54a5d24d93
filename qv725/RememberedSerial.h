// The USB serial number of the bridge where the controller last answered, kept in a small file
// in the user's cache folder so that the next search (in this process or the next) tries that
// port first.
#pragma once

#include <string>

// The number remembered, read from the file once per process; empty when none.
std::string RememberedSerial();
// Remembers serial; the file is replaced atomically (written beside it, then renamed), and only
// when the number changes. A file that cannot be written leaves the number remembered in memory.
void RememberSerial(const std::string& serial);
// The file: $XDG_CACHE_HOME/qv725/last-port-serial, else ~/.cache/qv725/ (on Windows
// %LOCALAPPDATA%\qv725\); empty when no such folder is known.
std::string RememberedSerialFile();
// Forgets what was read, so the next RememberedSerial reads the file again (tests).
void ForgetRememberedSerial();
