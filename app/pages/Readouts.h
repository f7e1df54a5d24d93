// Texts of the read-outs: temperature and fan supply voltage in the fixed notation with one
// decimal after rounding to three significant digits, "." always.
#pragma once

#include <QString>
#include <cstdint>

// Degrees Celsius from tenths: 253 -> "25.3"; 0 and every negative reading -> "0.0";
// 1037 -> "104.0".
QString TemperatureText(int32_t tenths);
// The temperature in degrees Celsius that is shown, sampled and plotted: 0 for readings of 0 or
// below.
double TemperatureCelsius(int32_t tenths);
// Fan supply voltage of a PWM value (pwm x 12 / 255 volts): 255 -> "12.0", 128 -> "6.0".
QString VoltageText(int32_t pwm);
// A PWM value as percent of full drive (pwm x 100 / 255).
double PwmPercent(int32_t pwm);
// PWM 0..255 from percent, rounded: percent x 255 x 0.01 + 0.5, the fraction dropped (50 -> 128).
// The order of the operations is part of the result.
int32_t PwmFromPercent(double percent);
