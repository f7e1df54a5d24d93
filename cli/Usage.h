// The help and version texts of qv725ctl.
#pragma once

#include <string>

// The full --help text.
std::string UsageText();
// One line for usage errors: how to get the help.
std::string UsageHint();
// "qv725ctl <version>".
std::string VersionText();
