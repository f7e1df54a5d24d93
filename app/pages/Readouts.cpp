// Read-out texts built on the program's one number formatter.
#include "Readouts.h"

#include <algorithm>
#include <cmath>

#include "widgets/ReadoutText.h"

double TemperatureCelsius(int32_t tenths) {
    return tenths <= 0 ? 0.0 : tenths * 0.1;
}

QString TemperatureText(int32_t tenths) {
    // From 0.1 to 99.9 degrees the text is the reading's own digits: tenths x 0.1 lies within
    // a hair of an exact tenth, far from any rounding boundary.
    if (tenths > 0 && tenths < 1000)
        return QString::number(tenths / 10) + QLatin1Char('.') + QChar(u'0' + tenths % 10);
    return ReadoutText(TemperatureCelsius(tenths));
}

QString VoltageText(int32_t pwm) {
    return ReadoutText(static_cast<double>(static_cast<int64_t>(pwm) * 12) / 255.0);
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
