// qv725ctl: the QV-725 fan controller from scripts and terminals.
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "Tool.h"

#ifdef _WIN32
#include <windows.h>
#endif

int main(int argc, char** argv) {
#ifndef _WIN32
    // A reader that goes away (qv725ctl watch | head) ends the output, not the process: the
    // controller is still closed properly.
    std::signal(SIGPIPE, SIG_IGN);
#else
    // Names, units ("°C") and JSON are UTF-8.
    SetConsoleOutputCP(CP_UTF8);
#endif
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunTool(args, std::cout, std::cerr);
}
