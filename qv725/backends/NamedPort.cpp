// The port named in the environment.
#include "NamedPort.h"

#include "PortChoice.h"

std::vector<FtdioPortInfo> NamedPortBackend::ListDevices() {
    const PortChoice choice = ChosenPort();
    if (choice.path.empty()) {
        return {};
    }
    return {FtdioPortInfo{choice.path, "", ""}};
}
