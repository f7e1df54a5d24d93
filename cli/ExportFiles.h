// The files `watch --export DIR` keeps for other monitoring and fan-control software: one value
// per file as the kernel's hwmon interface lays them out, and a Prometheus text file for
// node_exporter's textfile collector. Every file is replaced whole, so a reader never sees half
// a value.
#pragma once

#include <string>

#include "Reading.h"

// The Prometheus text exposition of a reading: temperature (°C), fan speed (rpm), PWM as a
// ratio of full drive, supply voltage, automatic control and the two alarms, one sample per
// channel labelled with its number and name.
std::string PrometheusText(const TReading& reading, const TChannelNames& names);

class TExportFolder {
public:
    // `folder` must exist; throws a usage error otherwise.
    explicit TExportFolder(std::string folder);

    // Replaces name, tempN_input (millidegrees Celsius), fanN_input (rpm), pwmN (0 to 255),
    // pwmN_enable (1 by hand, 2 automatic) for N = 1 to 6, and qv725.prom. Throws TCliError
    // (exit 1) naming the file that could not be written.
    void Write(const TReading& reading, const TChannelNames& names) const;

private:
    std::string folder_;
};

// Writes `text` into a temporary file beside `target` and renames it over `target`. False (and
// the temporary file removed) when that fails.
bool ReplaceWhole(const std::string& target, const std::string& text);
