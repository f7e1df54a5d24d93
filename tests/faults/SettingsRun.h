// One run of the program's settings steps over a file on disk, with the core units only:
// construction (open, presets, scope and graph colours), the window's creation step (trace
// colours, LoadSettings) and, when start-up got through, the exit (SaveSettings, presets and
// colours written back, flush). Errors stop a step exactly where the program's would stop.
#pragma once

#include <array>
#include <string>

#include "Color.h"
#include "Params.h"
#include "Settings.h"

// Screen and window sizes the runs use for the centred default position.
inline constexpr int32_t kRunScreenWidth = 1920;
inline constexpr int32_t kRunScreenHeight = 1080;
inline constexpr int32_t kRunWindowWidth = 640;
inline constexpr int32_t kRunWindowHeight = 480;

struct SettingsRun {
    // The message that ended start-up during construction (the program shows it and ends
    // without writing anything); empty when construction got through.
    std::string fatal;
    // The message reported by the creation step (trace colours); start-up goes on.
    std::string reported;
    TParams params;
    TScopeColors scope;
    TGraphColors graph;
    std::array<TColor, kChannelCount> traces = kDefaultChannelColors;
    TWindowSettings window;
    // The file's text after the exit's flush; empty when nothing was written.
    std::string written;
};

// Runs start-up over `path` and, unless construction failed, the exit that writes the file
// back with everything read unchanged (as a run in which the user changed nothing).
void RunSettings(const std::string& path, SettingsRun& run);

// The defaults LoadSettings falls back to under the run's screen and window sizes.
TWindowSettings RunDefaults();
