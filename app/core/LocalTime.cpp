// ISO 8601 time text with the local offset, computed with the C library's time zone rules.
#include "LocalTime.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date (month 1 to 12).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

// Seconds since 1970 of a broken-down time read as if it were UTC.
int64_t SecondsOf(const std::tm& tm) {
    const int64_t days =
        DaysFromCivil(int64_t{tm.tm_year} + 1900, static_cast<unsigned>(tm.tm_mon + 1),
                      static_cast<unsigned>(tm.tm_mday));
    return days * 86400 + int64_t{tm.tm_hour} * 3600 + int64_t{tm.tm_min} * 60 + tm.tm_sec;
}

int64_t FloorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

}  // namespace

int64_t NowMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

int LocalOffsetMinutes(int64_t ms) {
    const auto seconds = static_cast<std::time_t>(FloorDiv(ms, 1000));
    std::tm local{};
    std::tm utc{};
#ifdef _WIN32
    if (localtime_s(&local, &seconds) != 0 || gmtime_s(&utc, &seconds) != 0)
        return 0;
#else
    if (localtime_r(&seconds, &local) == nullptr || gmtime_r(&seconds, &utc) == nullptr)
        return 0;
#endif
    // Both broken-down forms read as UTC differ by exactly the offset in force then.
    return static_cast<int>((SecondsOf(local) - SecondsOf(utc)) / 60);
}

std::string IsoTimeText(int64_t ms, int offsetMinutes) {
    const int64_t seconds = FloorDiv(ms, 1000) + int64_t{offsetMinutes} * 60;
    const int64_t days = FloorDiv(seconds, 86400);
    const int64_t secondOfDay = seconds - days * 86400;
    // Civil date from days since 1970 (the inverse of DaysFromCivil).
    const int64_t z = days + 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned day = doy - (153 * mp + 2) / 5 + 1;
    const unsigned month = mp < 10 ? mp + 3 : mp - 9;
    const int64_t year = static_cast<int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
    const int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
    char text[64];
    std::snprintf(text, sizeof text, "%04lld-%02u-%02uT%02d:%02d:%02d%c%02d:%02d",
                  static_cast<long long>(year), month, day, static_cast<int>(secondOfDay / 3600),
                  static_cast<int>(secondOfDay / 60 % 60), static_cast<int>(secondOfDay % 60),
                  offsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60);
    return text;
}

std::string LocalIsoTimeText(int64_t ms) {
    return IsoTimeText(ms, LocalOffsetMinutes(ms));
}
