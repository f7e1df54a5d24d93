// Repeated readings. The interval counts from the start of one reading to the start of the
// next, so the readings keep their pace however long each takes.
#include "WatchCommand.h"

#include <ctime>
#include <optional>

#include "ChannelText.h"
#include "Controller.h"
#include "ExportFiles.h"
#include "Reading.h"
#include "SettingsSource.h"
#include "StatusCommand.h"
#include "StopSignal.h"

std::string UtcTimeText(std::chrono::system_clock::time_point when) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &seconds);
#else
    gmtime_r(&seconds, &utc);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

int RunWatch(const TContext& context) {
    using Clock = std::chrono::steady_clock;
    const TCommandLine& line = context.line;
    std::optional<TExportFolder> exportFolder;
    if (line.exportDir) {
        exportFolder.emplace(*line.exportDir);
    }
    const TChannelNames names = ReadChannelNames(SettingsFileFor(line.settings), context.err);
    const auto interval = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(line.interval.value_or(1.0)));

    const TStopSignal stop;
    TController controller(line.port);
    Clock::time_point next = Clock::now();
    for (long number = 1; !stop.Requested(); ++number) {
        const TReading reading = ReadAll(controller);
        const std::string time = UtcTimeText(std::chrono::system_clock::now());
        if (line.json) {
            context.out << StatusJson(reading, names, false, number, time).Text() << "\n";
        } else {
            context.out << "Reading " << number << " at " << time << "\n"
                        << StatusTable(reading, names) << "\n";
        }
        context.out.flush();
        if (!context.out) {
            break;  // whoever read the output has gone
        }
        if (exportFolder) {
            exportFolder->Write(reading, names);
        }
        if (line.count && number >= *line.count) {
            break;
        }
        next += interval;
        const Clock::time_point now = Clock::now();
        if (next < now) {
            next = now;  // a reading that took longer than the interval: the next one at once
        }
        if (stop.WaitUntil(next)) {
            break;
        }
    }
    return 0;
}
