// A channel's values between the controller's units and the ones users see: degrees Celsius,
// percent of full drive, volts and rpm. The conversions into the controller's units are the
// Channel page's, so a value typed here and there is stored alike.
#pragma once

#include <cstdint>
#include <string>

// Tenths of a degree from degrees, rounded half up: 45.26 -> 453.
int32_t TenthsFromDegrees(double degrees);
// PWM 0 to 255 from percent, rounded half up in this order of operations: 50 -> 128.
int32_t PwmFromPercent(double percent);
// Whole rpm, the fraction dropped: 1234.9 -> 1234.
int32_t RpmFromValue(double rpm);

// A PWM value (0 to 255) in tenths of a percent, rounded: 128 -> 502 (50.2 %).
int32_t PercentTenths(int32_t pwm);
// The fan supply voltage of a PWM value (pwm x 12 / 255 volts) in tenths, rounded: 128 -> 60.
int32_t VoltTenths(int32_t pwm);
// Tenths as a decimal text with one decimal, "." always: 253 -> "25.3", -50 -> "-5.0".
std::string TenthsText(int32_t tenths);
