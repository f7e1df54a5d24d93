// The program's own version text, shown on the Common page and in the About box.
#pragma once

#include <string>

// The FileVersion text of the running program ("1.0.0.1"), or an empty text when none is
// available. On Windows it is read from the program file's version resource; elsewhere the
// same value is compiled in from the build's version settings.
std::string GetVersion();

#ifdef _WIN32
// The FileVersion text of the version resource of the file at `path` (first translation
// entry), or an empty text when it has none.
std::string GetFileVersionText(const std::string& path);
#endif
