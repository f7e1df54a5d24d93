// A lost display (the X server ended, a logout without a session manager) must not lose what
// the user changed. Qt's X11 connection ends the process through exit(1) when the connection
// breaks, from inside the event loop; while a guard is armed, that exit writes the settings
// first and the program ends with code 0.
#pragma once

#include <functional>

class TDisplayLossGuard {
public:
    // Arms the guard: an exit() while it lives runs `saveSettings` (which must show no box: the
    // display is gone) and then ends the process at once with code 0.
    explicit TDisplayLossGuard(std::function<void()> saveSettings);
    // Disarms it: a normal end of the program writes its settings its own way.
    ~TDisplayLossGuard();

    TDisplayLossGuard(const TDisplayLossGuard&) = delete;
    TDisplayLossGuard& operator=(const TDisplayLossGuard&) = delete;

    // What the exit hook runs (exposed for tests): the armed guard's save, then true; false
    // when no guard is armed. Runs the save at most once.
    static bool RunArmedSave();
};
