// The controller for the length of one command, through the library's public exports only:
// found and opened (on one port when asked), closed again when the object goes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Params.h"
#include "PortHolders.h"

using TSix = std::array<int32_t, 6>;

class TController {
public:
    // Opens the controller. With a port, the search is restricted to it through QV725_PORT
    // (the variable is set for this process, as the library reads it at every open); a port
    // the library did not keep to (OpenedAnotherPort) counts as no controller found. Throws
    // TCliError: exit 3 with the library's reason when none is found, exit 4 when the port is
    // in use (naming the processes that hold it, when /proc tells).
    explicit TController(const std::optional<std::string>& port);
    // Closes the controller.
    ~TController();
    TController(const TController&) = delete;
    TController& operator=(const TController&) = delete;

    // The commands; each throws EHardwareException with the library's text when it fails.
    TSix Temperatures();  // 0.1 °C
    TSix FanSpeeds();     // rpm
    TSix Pwm();           // 0 to 255
    TChannelParams Params(int channel);
    void SendParams(int channel, const TChannelParams& params);
    void SendPwm(const TSix& pwm);
    void Save(int channel);
    void Recall(int channel);
};

// The processes that hold `port` open (a device path, or serial:<number> of a listed port), as
// far as /proc tells.
std::vector<TProcessRef> HoldersOfPort(const std::string& port);

// Sets QV725_PORT for the library's next search; nullopt leaves the environment as it is.
void RestrictSearchToPort(const std::optional<std::string>& port);

// Whether, after a successful open on `port`, the library has the wrong device open: a
// terminal device newly opened (compared with `terminalsBefore`) that is not the port. A
// library that ignores QV725_PORT opens the first controller it finds, which need not be the
// one asked for; this is told only for ports named by path, and only where /proc shows it.
bool OpenedAnotherPort(const std::string& port, const std::set<std::string>& terminalsBefore);
