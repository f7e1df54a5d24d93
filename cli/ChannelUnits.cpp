// Unit conversions of qv725ctl, in exact integer arithmetic where they show a value.
#include "ChannelUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Drops the fraction (toward zero); the limits only keep a stray value from overflowing.
int32_t Truncate(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return static_cast<int32_t>(std::trunc(std::clamp(value, -2147483648.0, 2147483647.0)));
}

// numerator / 255, rounded half up; 255 is odd, so no value lies exactly half way.
int32_t DivideBy255Rounded(int64_t numerator) {
    return static_cast<int32_t>((numerator * 2 + 255) / 510);
}

}  // namespace

int32_t TenthsFromDegrees(double degrees) {
    return Truncate(degrees * 10 + 0.5);
}

int32_t PwmFromPercent(double percent) {
    return Truncate(percent * 255 * 0.01 + 0.5);
}

int32_t RpmFromValue(double rpm) {
    return Truncate(rpm);
}

int32_t PercentTenths(int32_t pwm) {
    return DivideBy255Rounded(int64_t{pwm} * 1000);
}

int32_t VoltTenths(int32_t pwm) {
    return DivideBy255Rounded(int64_t{pwm} * 120);
}

std::string TenthsText(int32_t tenths) {
    const int64_t magnitude = std::llabs(int64_t{tenths});
    return std::string(tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
           std::to_string(magnitude % 10);
}
