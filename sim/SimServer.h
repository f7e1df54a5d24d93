// The running simulator: publishes the pseudo-terminal, answers requests as they come, advances
// the model in real time, shows the configured faults, and cleans up when told to stop.
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "ByteReader.h"
#include "ControllerModel.h"
#include "Eeprom.h"
#include "FaultPolicy.h"
#include "Options.h"
#include "Protocol.h"
#include "Pty.h"
#include "Responder.h"
#include "SimLink.h"

namespace qv725sim {

class SimServer {
public:
    explicit SimServer(const SimOptions& options);

    // Runs until SIGINT or SIGTERM; the process exit code (0 after a clean stop).
    int Run();

private:
    using Clock = std::chrono::steady_clock;

    // A reply that waits its turn: a late one, or one queued behind a late one (the device
    // answers in order).
    struct Queued {
        Clock::time_point at;
        std::vector<uint8_t> frame;
    };

    bool Setup();
    bool PlugIn();
    void Unplug();
    void Serve();
    void HandleRequest();
    void SendReply(const std::vector<uint8_t>& frame, Clock::time_point requestStart,
                   size_t requestBytes);
    // Sends the queued replies and the stray bytes that are due by now.
    void SendDue();
    // Milliseconds until the next queued reply or stray byte is due, at most IdleWakeMs.
    int NextWakeMs() const;
    double Elapsed() const;
    void Log(const std::string& text) const;

    SimOptions options_;
    std::string folder_;
    Clock::time_point start_;
    std::unique_ptr<SimLink> link_;
    Pty pty_;
    std::unique_ptr<ByteReader> reader_;
    ControllerModel model_;
    Eeprom eeprom_;
    FaultPolicy faults_;
    Protocol protocol_;
    Responder responder_;
    double advancedTo_ = 0;
    std::deque<Queued> queued_;
    Clock::time_point nextStray_;
};

}  // namespace qv725sim
