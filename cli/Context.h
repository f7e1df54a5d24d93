// What every command runs with: the parsed command line and the two output streams.
#pragma once

#include <ostream>
#include <string>

#include "CommandLine.h"
#include "JsonWriter.h"

struct TContext {
    const TCommandLine& line;
    std::ostream& out;
    std::ostream& err;

    // Prints a finished JSON document and a line feed.
    void PrintJson(const TJsonWriter& json) const { out << json.Text() << "\n"; }
};
