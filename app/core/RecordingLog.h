// The recording log: a CSV file that gets one row per polling cycle (time, then each channel's
// temperature, fan speed and PWM), written through to the system at every row so a run that
// ends in a crash or a kill keeps every row up to its last cycle.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct TRecordedCycle {
    int64_t TimeMs = 0;                    // milliseconds since 1970 UTC
    bool Online = true;                    // false: no readings this cycle
    std::array<int32_t, 6> Temperature{};  // 0.1 degree Celsius
    std::array<int32_t, 6> FanSpeed{};     // rpm
    std::array<int32_t, 6> Pwm{};          // 0 to 255
};

class TRecordingLog {
public:
    // Creates or empties `fileName` (a UTF-8 path) and writes the header row: "Time", then for
    // each channel "<heading> °C", "<heading> rpm", "<heading> PWM %" (ChannelHeading). False,
    // with Error() set, when the file cannot be written; then the log is not active.
    bool Start(const std::string& fileName, const std::array<std::string, 6>& names);
    // Appends one row: local ISO 8601 time, temperature in °C with one decimal (0.0 for readings
    // of 0 or below, as shown), rpm, PWM percent with one decimal; off-line only the time, the
    // other fields empty (the readings then are old ones, not this cycle's). The file is opened,
    // appended and closed at every row, so a folder that was removed or a medium that was taken
    // away is noticed at once. A row that cannot be written whole is cut off again, the log stops
    // and false comes back with Error() set; the file then ends with the last complete row. A file
    // deleted meanwhile (its folder still there) is made again, header first.
    bool Append(const TRecordedCycle& cycle);
    void Stop() { active_ = false; }

    bool Active() const { return active_; }
    const std::string& FileName() const { return fileName_; }
    // "Cannot write <file>: <reason>" for the last failure.
    const std::string& Error() const { return error_; }

    // The row text of one cycle (for tests and Append).
    static std::string RowText(const TRecordedCycle& cycle);

private:
    // Writes `text` at the end of the file (emptying it first with `truncate`); on failure the
    // file is cut back to its old length and error_ is set.
    bool Write(const std::string& text, bool truncate);

    std::string fileName_;
    std::string header_;
    std::string error_;
    bool active_ = false;
};
