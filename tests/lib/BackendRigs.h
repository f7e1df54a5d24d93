// One rig per transport backend that can run here, each with a controller stand-in behind it:
// the D2XX backend over the stand-in driver, the simulator backend and the serial-port backend
// over a real pseudo-terminal. The contract suite runs the same tests over all of them. On
// Windows only the D2XX rig exists.
#pragma once

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "FakeFtdiControl.h"
#include "backends/D2xx.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include "FakeSimLink.h"
#include "FakeSysfs.h"
#include "PtyPeer.h"
#include "TempFolder.h"
#include "backends/SerialPort.h"
#include "backends/SimPorts.h"

// Points XDG_RUNTIME_DIR, and with it the simulator folder, somewhere else for one scope.
class ScopedRuntimeDir {
public:
    explicit ScopedRuntimeDir(const std::filesystem::path& folder) {
        const char* previous = std::getenv("XDG_RUNTIME_DIR");
        previous_ = previous != nullptr ? previous : "";
        setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    }
    ~ScopedRuntimeDir() { setenv("XDG_RUNTIME_DIR", previous_.c_str(), 1); }
    ScopedRuntimeDir(const ScopedRuntimeDir&) = delete;
    ScopedRuntimeDir& operator=(const ScopedRuntimeDir&) = delete;

private:
    std::string previous_;
};
#endif

class D2xxRig {
public:
    static constexpr const char* Name = "D2xx";
    D2xxRig() {
        EXPECT_TRUE(driver_.Loaded());
        driver_.reset(1);
    }
    FtdioBackend& Backend() { return backend_; }
    std::unique_ptr<FtdioBackend> Another() { return std::make_unique<D2xxBackend>(); }
    void Answer(const Bytes& reply) { driver_.Reply(0, reply); }
    void Stale(const Bytes& bytes) { driver_.Inject(0, bytes); }
    std::vector<std::string> Requests(size_t) {
        std::vector<std::string> frames;
        std::istringstream log(driver_.Log());
        const std::string prefix = "FT_Write(dev0,";
        for (std::string line; std::getline(log, line);) {
            if (line.rfind(prefix, 0) == 0) {
                frames.push_back(line.substr(prefix.size(), line.size() - prefix.size() - 1));
            }
        }
        return frames;
    }
    void Hangup() {
        driver_.failCall("FT_Write", 4);
        driver_.failCall("FT_Read", 4);
    }

private:
    FakeFtdiControl driver_;
    D2xxBackend backend_;
};

#ifndef _WIN32
// Rigs over a pseudo-terminal differ only in how the backend finds it.
class PtyRig {
public:
    void Answer(const Bytes& reply) { peer_.Answer(reply); }
    void Stale(const Bytes& bytes) { peer_.Stale(bytes); }
    std::vector<std::string> Requests(size_t n) { return peer_.Requests(n); }
    void Hangup() { peer_.Hangup(); }

protected:
    PtyPeer peer_;
    TempFolder folder_{TempFolder::OwnerOnly};
};

// The simulator folder, $XDG_RUNTIME_DIR/qv725/, with one link named sim0 to the terminal.
class SimPortsRig : public PtyRig {
public:
    static constexpr const char* Name = "SimPorts";
    FtdioBackend& Backend() { return backend_; }
    std::unique_ptr<FtdioBackend> Another() { return std::make_unique<SimPortsBackend>(); }

private:
    FakeSimLink link_{folder_.Path() / "qv725", "sim0", peer_.SlavePath()};
    ScopedRuntimeDir runtime_{folder_.Path()};
    SimPortsBackend backend_;
};

// A copy of the kernel's layout: one FTDI bridge whose port ttyUSB0 leads to the terminal,
// with its latency_timer attribute.
class SerialPortRig : public PtyRig {
public:
    static constexpr const char* Name = "SerialPort";
    SerialPortRig() { sysfs_.Plug("1-1", "ttyUSB0", peer_.SlavePath()); }
    FtdioBackend& Backend() { return backend_; }
    std::unique_ptr<FtdioBackend> Another() { return std::make_unique<SerialPortBackend>(); }
    std::string LatencyTimer() const { return sysfs_.LatencyTimer("ttyUSB0"); }

private:
    FakeSysfs sysfs_;
    SerialPortBackend backend_;
};
#endif
