// qv725-sim: a simulated QV-725 fan controller on a pseudo-terminal, for tests and demos.
#include <iostream>

#include "Options.h"
#include "SimServer.h"

int main(int argc, char** argv) {
    qv725sim::SimOptions options;
    std::string error;
    switch (qv725sim::ParseOptions(argc, argv, options, error)) {
        case qv725sim::ParseOutcome::Help:
            std::cout << qv725sim::UsageText();
            return 0;
        case qv725sim::ParseOutcome::Error:
            std::cerr << "qv725-sim: " << error << "\n\n" << qv725sim::UsageText();
            return 2;
        case qv725sim::ParseOutcome::Run:
            break;
    }
    qv725sim::SimServer server(options);
    return server.Run();
}
