// The alarm episodes' rules.
#include "AlarmTracker.h"

bool TAlarmTracker::Step(TEpisode& episode, bool condition, bool& began) {
    if (condition) {
        episode.clearCycles = 0;
        if (episode.active)
            return false;
        episode.active = true;
        began = true;
        return true;
    }
    if (!episode.active)
        return false;
    if (++episode.clearCycles < kClearCycles)
        return false;
    episode = TEpisode{};
    began = false;
    return true;
}

std::vector<TAlarmEvent> TAlarmTracker::Cycle(const TAlarmCycle& cycle) {
    std::vector<TAlarmEvent> events;
    if (online_ && !cycle.Online) {
        lost_ = true;
        events.push_back({TAlarmKind::ControllerLost, -1, true, 0, 0, 0});
    } else if (!online_ && cycle.Online && lost_) {
        lost_ = false;
        events.push_back({TAlarmKind::ControllerFound, -1, true, 0, 0, 0});
    }
    online_ = cycle.Online;
    if (!cycle.Online) {
        zeroSpeedCycles_.fill(0);
        return events;
    }
    for (size_t c = 0; c < 6; ++c) {
        const TChannelParams& params = cycle.Params[c];
        const int32_t t = cycle.Temperature[c];
        const int32_t v = cycle.FanSpeed[c];
        const int32_t pwm = cycle.Pwm[c];
        zeroSpeedCycles_[c] = v == 0 && pwm > 0 ? zeroSpeedCycles_[c] + 1 : 0;
        const bool conditions[3] = {
            params.Ta != 0 && params.T_alarm < t,
            params.Va != 0 && params.V_alarm > v && pwm > kStandingPwm,
            zeroSpeedCycles_[c] >= kStallCycles,
        };
        const TAlarmKind kinds[3] = {TAlarmKind::Temperature, TAlarmKind::FanSpeed,
                                     TAlarmKind::Stall};
        for (size_t k = 0; k < 3; ++k) {
            bool began = false;
            if (!Step(episodes_[c][k], conditions[k], began))
                continue;
            TAlarmEvent event;
            event.Kind = kinds[k];
            event.Channel = static_cast<int>(c);
            event.Began = began;
            event.Value = kinds[k] == TAlarmKind::Temperature ? t : v;
            event.Limit = kinds[k] == TAlarmKind::Temperature ? params.T_alarm
                          : kinds[k] == TAlarmKind::FanSpeed  ? params.V_alarm
                                                              : 0;
            event.Pwm = pwm;
            events.push_back(event);
        }
    }
    return events;
}

bool TAlarmTracker::InAlarm(int channel, TAlarmKind kind) const {
    if (channel < 0 || channel >= 6)
        return false;
    const auto& channelEpisodes = episodes_[static_cast<size_t>(channel)];
    switch (kind) {
        case TAlarmKind::Temperature:
            return channelEpisodes[0].active;
        case TAlarmKind::FanSpeed:
            return channelEpisodes[1].active;
        case TAlarmKind::Stall:
            return channelEpisodes[2].active;
        default:
            return false;
    }
}

bool TAlarmTracker::ChannelInAlarm(int channel) const {
    return InAlarm(channel, TAlarmKind::Temperature) || InAlarm(channel, TAlarmKind::FanSpeed) ||
           InAlarm(channel, TAlarmKind::Stall);
}

bool TAlarmTracker::AnyActive() const {
    if (lost_)
        return true;
    for (int c = 0; c < 6; ++c) {
        if (ChannelInAlarm(c))
            return true;
    }
    return false;
}
