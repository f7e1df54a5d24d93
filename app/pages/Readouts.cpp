// Read-out texts built on the program's one number formatter.
#include "Readouts.h"

#include <algorithm>
#include <cmath>

#include "core/NumberFormat.h"

double TemperatureCelsius(int32_t tenths) {
    return tenths <= 0 ? 0.0 : tenths * 0.1;
}

QString TemperatureText(int32_t tenths) {
    return QString::fromStdString(FormatReadout(TemperatureCelsius(tenths)));
}

QString VoltageText(int32_t pwm) {
    return QString::fromStdString(
        FormatReadout(static_cast<double>(static_cast<int64_t>(pwm) * 12) / 255.0));
}

double PwmPercent(int32_t pwm) {
    return static_cast<double>(static_cast<int64_t>(pwm) * 100) / 255.0;
}

int32_t PwmFromPercent(double percent) {
    const double pwm = percent * 255 * 0.01 + 0.5;
    if (std::isnan(pwm))
        return 0;
    return static_cast<int32_t>(std::trunc(std::clamp(pwm, -2147483648.0, 2147483647.0)));
}
