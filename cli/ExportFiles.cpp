// hwmon-style files and the Prometheus text file, each written beside its place and renamed
// into it. No flush to disk: the files are readings for live readers, not data to keep.
#include "ExportFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "ChannelUnits.h"
#include "CliError.h"

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// A label value: backslash, double quote and line feed escaped.
std::string LabelValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// PWM as a ratio of full drive with four decimals: 128 -> 0.5020.
std::string Ratio(int32_t pwm) {
    const int64_t tenThousandths = (int64_t{pwm} * 20000 + 255) / 510;
    char text[16];
    std::snprintf(text, sizeof text, "%lld.%04lld", static_cast<long long>(tenThousandths / 10000),
                  static_cast<long long>(tenThousandths % 10000));
    return text;
}

struct Metric {
    const char* name;
    const char* help;
    std::string (*value)(const TChannelReading&);
};

const Metric kMetrics[] = {
    {"qv725_temperature_celsius", "Temperature of the channel's sensor.",
     [](const TChannelReading& c) { return TenthsText(c.temperature); }},
    {"qv725_fan_rpm", "Fan speed in revolutions per minute.",
     [](const TChannelReading& c) { return std::to_string(c.fan); }},
    {"qv725_pwm_ratio", "PWM output as a ratio of full drive (0 to 1).",
     [](const TChannelReading& c) { return Ratio(c.pwm); }},
    {"qv725_fan_supply_volts", "Fan supply voltage of the PWM output.",
     [](const TChannelReading& c) { return TenthsText(VoltTenths(c.pwm)); }},
    {"qv725_auto_control",
     "1 when the channel follows its regulation curve, 0 when driven by hand.",
     [](const TChannelReading& c) { return std::string(c.params.Auto != 0 ? "1" : "0"); }},
    {"qv725_temperature_alarm", "1 while the channel's temperature alarm is on.",
     [](const TChannelReading& c) { return std::string(TemperatureAlarm(c) ? "1" : "0"); }},
    {"qv725_fan_alarm", "1 while the channel's fan speed alarm is on.",
     [](const TChannelReading& c) { return std::string(FanAlarm(c) ? "1" : "0"); }},
};

}  // namespace

std::string PrometheusText(const TReading& reading, const TChannelNames& names) {
    std::string text;
    for (const Metric& metric : kMetrics) {
        text += std::string("# HELP ") + metric.name + " " + metric.help + "\n";
        text += std::string("# TYPE ") + metric.name + " gauge\n";
        for (int i = 0; i < 6; ++i) {
            text += std::string(metric.name) + "{channel=\"" + std::to_string(i + 1) +
                    "\",name=\"" + LabelValue(names[i]) + "\"} " +
                    metric.value(reading.channels[i]) + "\n";
        }
    }
    return text;
}

bool ReplaceWhole(const std::string& target, const std::string& text) {
    // A hidden name that no collector takes for one of its files (node_exporter reads *.prom).
    const fs::path path(target);
    std::string tempName = ".";
    tempName += path.filename().string();
    tempName += '.';
    tempName += std::to_string(getpid());
    tempName += ".tmp";
    const fs::path temp = path.parent_path() / tempName;
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            std::error_code ignored;
            fs::remove(temp, ignored);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
#ifdef _WIN32
    // Windows refuses to replace a file while a reader has it open; readers hold it only for a
    // moment, so try again for up to a second.
    for (int attempt = 0; ec && attempt < 50; ++attempt) {
        Sleep(20);
        ec.clear();
        fs::rename(temp, path, ec);
    }
#endif
    if (ec) {
        std::error_code ignored;
        fs::remove(temp, ignored);
        return false;
    }
    return true;
}

TExportFolder::TExportFolder(std::string folder) : folder_(std::move(folder)) {
    std::error_code ec;
    if (!fs::is_directory(folder_, ec)) {
        throw UsageError("--export: '" + folder_ + "' is not a folder");
    }
}

void TExportFolder::Write(const TReading& reading, const TChannelNames& names) const {
    std::vector<std::pair<std::string, std::string>> files;
    files.emplace_back("name", "qv725\n");
    for (int i = 0; i < 6; ++i) {
        const TChannelReading& c = reading.channels[i];
        const std::string n = std::to_string(i + 1);
        files.emplace_back("temp" + n + "_input",
                           std::to_string(int64_t{c.temperature} * 100) + "\n");
        files.emplace_back("fan" + n + "_input", std::to_string(c.fan) + "\n");
        files.emplace_back("pwm" + n, std::to_string(c.pwm) + "\n");
        files.emplace_back("pwm" + n + "_enable", c.params.Auto != 0 ? "2\n" : "1\n");
    }
    files.emplace_back("qv725.prom", PrometheusText(reading, names));
    for (const auto& [name, text] : files) {
        const std::string target = (fs::path(folder_) / name).string();
        if (!ReplaceWhole(target, text)) {
            throw TCliError(ExitCode::Failed, "cannot write " + target);
        }
    }
}
