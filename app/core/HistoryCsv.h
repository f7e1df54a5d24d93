// The history store as a CSV file: a header row "Time" and the channel names, then one row per
// sample, oldest first, with its local time and the six temperatures in degrees Celsius.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class THistory;

// The heading of a channel's columns: its name trimmed of blanks, or "Channel 3" for channel
// index 2 when it has none.
std::string ChannelHeading(int channel, const std::string& name);

// The whole file text (UTF-8, RFC 4180, CR LF rows). `timeText` turns a sample's time into its
// text; LocalIsoTimeText unless a caller needs another zone. Temperatures have one decimal.
std::string HistoryToCsv(const THistory& history, const std::array<std::string, 6>& names,
                         const std::function<std::string(int64_t)>& timeText = {});
