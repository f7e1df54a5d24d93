// Reading all channels and judging their alarms.
#include "Reading.h"

namespace {
constexpr int32_t kStandingPwm = 40;
}  // namespace

TReading ReadAll(TController& controller) {
    TReading reading;
    const TSix t = controller.Temperatures();
    const TSix v = controller.FanSpeeds();
    const TSix p = controller.Pwm();
    for (int i = 0; i < 6; ++i) {
        reading.channels[i].temperature = t[i];
        reading.channels[i].fan = v[i];
        reading.channels[i].pwm = p[i];
    }
    for (int i = 0; i < 6; ++i) {
        reading.channels[i].params = controller.Params(i);
    }
    return reading;
}

bool TemperatureAlarm(const TChannelReading& c) {
    return c.params.Ta != 0 && c.params.T_alarm < c.temperature;
}

bool FanAlarm(const TChannelReading& c) {
    return c.params.Va != 0 && c.params.V_alarm > c.fan && c.pwm > kStandingPwm;
}
