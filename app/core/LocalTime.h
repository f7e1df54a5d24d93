// Wall-clock time stamps of samples and recorded rows, and their ISO 8601 text in local time
// with the offset from UTC, so a file read in another time zone still names the same moment.
#pragma once

#include <cstdint>
#include <string>

// Milliseconds since 1970-01-01 00:00 UTC, now.
int64_t NowMilliseconds();

// The local time zone's offset from UTC at moment `ms`, in minutes east of UTC (+60 in Central
// European winter time, -300 in US Eastern standard time).
int LocalOffsetMinutes(int64_t ms);

// "YYYY-MM-DDThh:mm:ss+hh:mm" for moment `ms` seen at `offsetMinutes` east of UTC; the offset
// is written as "+00:00" for UTC. Seconds are truncated, not rounded, so the text never names a
// later second than the sample's.
std::string IsoTimeText(int64_t ms, int offsetMinutes);

// IsoTimeText at the local time zone's offset of that moment.
std::string LocalIsoTimeText(int64_t ms);
