// The remembered serial number and its file.
#include "RememberedSerial.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

struct Memory {
    bool loaded = false;
    std::string serial;
};

Memory& State() {
    static Memory memory;
    return memory;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

// A serial number is one short line of printable characters; anything else is no number.
bool Plausible(const std::string& serial) {
    if (serial.empty() || serial.size() > 64) {
        return false;
    }
    for (const char c : serial) {
        if (c < 0x21 || c > 0x7e) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string RememberedSerialFile() {
#ifdef _WIN32
    const std::string base = Env("LOCALAPPDATA");
#else
    std::string base = Env("XDG_CACHE_HOME");
    if (base.empty() || base[0] != '/') {
        const std::string home = Env("HOME");
        base = home.empty() ? std::string() : home + "/.cache";
    }
#endif
    return base.empty() ? std::string() : base + "/qv725/last-port-serial";
}

std::string RememberedSerial() {
    Memory& m = State();
    if (!m.loaded) {
        m.loaded = true;
        const std::string file = RememberedSerialFile();
        if (!file.empty()) {
            std::ifstream in(file);
            std::string line;
            std::getline(in, line);
            m.serial = Plausible(line) ? line : std::string();
        }
    }
    return m.serial;
}

void RememberSerial(const std::string& serial) {
    if (!Plausible(serial) || RememberedSerial() == serial) {
        return;
    }
    State().serial = serial;
    const std::string file = RememberedSerialFile();
    if (file.empty()) {
        return;
    }
    std::error_code error;
    fs::create_directories(fs::path(file).parent_path(), error);
    const std::string temp = file + ".new." + std::to_string(getpid());
    {
        std::ofstream out(temp, std::ios::trunc);
        out << serial << "\n";
        out.flush();
        if (!out) {
            fs::remove(temp, error);
            return;
        }
    }
    fs::rename(temp, file, error);
    if (error) {
        fs::remove(temp, error);
    }
}

void ForgetRememberedSerial() {
    State() = Memory{};
}
