// qv725ctl as a function: parses the command line, runs the command, and turns every error
// into its message on `err` and its exit code.
#pragma once

#include <ostream>
#include <string>
#include <vector>

// `args` are the arguments after the program name. Returns the exit code.
int RunTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
