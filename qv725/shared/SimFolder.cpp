// Where running simulated controllers publish their pseudo-terminals.
#include "SimFolder.h"

#include <cstdlib>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

std::string Qv725SimFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0') {
        return std::string(runtime) + "/qv725";
    }
#ifdef _WIN32
    const char* temp = std::getenv("TEMP");
    return std::string(temp != nullptr ? temp : ".") + "/qv725";
#else
    return "/tmp/qv725-" + std::to_string(getuid());
#endif
}
