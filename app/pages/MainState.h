// The state the window and its pages share: the presets and history, the readings of the last
// polling cycle, the connection, the channel the Channel page shows and what the user changed.
// The window owns it; pages reach it through TPageHost::State.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <memory>

#include "core/History.h"
#include "core/Params.h"
#include "core/Settings.h"

struct TMainState {
    std::unique_ptr<TParams> Params;
    std::unique_ptr<THistory> History;
    TGraphColors GraphColors;
    bool Online = false;
    // The program itself is filling controls: their change handlers do nothing.
    bool Updating = false;
    int32_t SelectedChannel = 0;
    std::array<int32_t, kChannelCount> Temperature{};
    std::array<int32_t, kChannelCount> FanSpeed{};
    std::array<int32_t, kChannelCount> Pwm{};
    // Channels whose parameters the controller was sent since they were last stored in EEPROM.
    std::array<bool, kChannelCount> Changed{};
    // The six parameter sets have been read from the controller into the active preset in this
    // run (so a reconnection restores the preset instead of reading it again).
    bool ControllerParamsKnown = false;
    std::array<QString, kChannelCount> ChannelName;
};
