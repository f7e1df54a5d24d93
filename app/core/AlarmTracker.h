// Alarm episodes of the six channels and of the connection, cycle by cycle: an episode begins
// when its condition appears and ends when the condition has been gone for a few cycles, so a
// reading that wavers at its limit makes one episode, not one a second.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "Params.h"

enum class TAlarmKind {
    Temperature,      // Ta set and the temperature above T_alarm (the read-out's red rule)
    FanSpeed,         // Va set, the speed below V_alarm while the PWM is above 40
    Stall,            // 0 rpm for kStallCycles cycles in a row while the PWM is above 0
    ControllerLost,   // the controller went off-line
    ControllerFound,  // the controller answered again after it was lost
};

struct TAlarmEvent {
    TAlarmKind Kind = TAlarmKind::Temperature;
    int Channel = -1;   // 0 to 5; -1 for the controller's events
    bool Began = true;  // false: the episode ended
    int32_t Value = 0;  // temperature in 0.1 degree Celsius, or fan speed in rpm
    int32_t Limit = 0;  // T_alarm or V_alarm
    int32_t Pwm = 0;    // 0 to 255

    bool operator==(const TAlarmEvent&) const = default;
};

// One polling cycle's view: the connection state after the cycle, the readings and each
// channel's alarm settings (the active preset's records).
struct TAlarmCycle {
    bool Online = false;
    std::array<int32_t, 6> Temperature{};
    std::array<int32_t, 6> FanSpeed{};
    std::array<int32_t, 6> Pwm{};
    std::array<TChannelParams, 6> Params{};
};

class TAlarmTracker {
public:
    static constexpr int kStallCycles = 3;
    // Cycles a condition must stay away before its episode ends.
    static constexpr int kClearCycles = 3;
    // PWM at or below which a fan counts as standing for the speed alarm.
    static constexpr int32_t kStandingPwm = 40;

    // The episodes that began or ended in this cycle, channel by channel (temperature, speed,
    // stall), the controller's event first. Off-line the readings are the last ones again, so
    // the channels' episodes stay as they were and the stall count starts afresh.
    std::vector<TAlarmEvent> Cycle(const TAlarmCycle& cycle);

    // Whether an episode of `kind` (Temperature, FanSpeed or Stall) is under way on `channel`.
    bool InAlarm(int channel, TAlarmKind kind) const;
    bool ChannelInAlarm(int channel) const;
    // Lost and not found again.
    bool ControllerLost() const { return lost_; }
    bool AnyActive() const;

private:
    struct TEpisode {
        bool active = false;
        int clearCycles = 0;
    };
    // Moves one episode on by a cycle; an event when it began or ended.
    static bool Step(TEpisode& episode, bool condition, bool& began);

    std::array<std::array<TEpisode, 3>, 6> episodes_{};
    std::array<int, 6> zeroSpeedCycles_{};
    bool online_ = false;
    bool lost_ = false;
};
