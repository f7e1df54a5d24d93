// Ctrl+C (and SIGTERM) as a request to stop between readings: while an object lives, the
// signals only set a flag, so a reading in progress finishes and the controller is closed.
#pragma once

#include <chrono>

class TStopSignal {
public:
    TStopSignal();
    // Restores the signals' previous handling.
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

    // Whether a stop was asked for.
    bool Requested() const;
    // Waits until `deadline` or a stop request, whichever comes first; true on a stop request.
    bool WaitUntil(std::chrono::steady_clock::time_point deadline) const;
};
