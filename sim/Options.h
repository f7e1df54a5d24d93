// Command line of qv725-sim.
#pragma once

#include <string>

#include "ControllerModel.h"
#include "FaultPolicy.h"

namespace qv725sim {

struct SimOptions {
    std::string name = "sim0";
    std::string eepromPath;  // empty: <folder>/<name>.eeprom
    bool verbose = false;
    FaultOptions faults;
    ModelOptions model;
};

enum class ParseOutcome { Run, Help, Error };

// Parses argv into options. On Error, error holds what was wrong.
ParseOutcome ParseOptions(int argc, char** argv, SimOptions& options, std::string& error);

std::string UsageText();

}  // namespace qv725sim
