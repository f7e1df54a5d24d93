// Writing the history store as CSV text.
#include "HistoryCsv.h"

#include <vector>

#include "Csv.h"
#include "History.h"
#include "LocalTime.h"

std::string ChannelHeading(int channel, const std::string& name) {
    const size_t first = name.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "Channel " + std::to_string(channel + 1);
    const size_t last = name.find_last_not_of(" \t");
    return name.substr(first, last - first + 1);
}

std::string HistoryToCsv(const THistory& history, const std::array<std::string, 6>& names,
                         const std::function<std::string(int64_t)>& timeText) {
    std::vector<std::string> fields{"Time"};
    for (int c = 0; c < 6; ++c)
        fields.push_back(ChannelHeading(c, names[static_cast<size_t>(c)]));
    std::string text = CsvRow(fields);
    for (int i = 0; i < history.Count(); ++i) {
        const THistoryItem& item = history.Items(i);
        fields.clear();
        fields.push_back(timeText ? timeText(item.TimeMs) : LocalIsoTimeText(item.TimeMs));
        for (float value : item.Values)
            fields.push_back(CsvNumber(value, 1));
        text += CsvRow(fields);
    }
    return text;
}
