// JSON members in natural units: °C, %, rpm, V; channels numbered 1 to 6.
#include "ChannelJson.h"

#include "ChannelUnits.h"

void WriteParamsMembers(TJsonWriter& json, const TChannelParams& p) {
    json.Key("tmin").Tenths(p.T_min);
    json.Key("tmax").Tenths(p.T_max);
    json.Key("pmin").Tenths(PercentTenths(p.PWM_min));
    json.Key("pmax").Tenths(PercentTenths(p.PWM_max));
    json.Key("talarm").Tenths(p.T_alarm);
    json.Key("valarm").Int(p.V_alarm);
    json.Key("boost").Bool(p.Boost != 0);
    json.Key("auto").Bool(p.Auto != 0);
    json.Key("ta").Bool(p.Ta != 0);
    json.Key("va").Bool(p.Va != 0);
    json.Key("pwm").Tenths(PercentTenths(p.PWM));
}

void WriteChannelParams(TJsonWriter& json, int channel, const std::string& name,
                        const TChannelParams& params) {
    json.BeginObject();
    json.Key("channel").Int(channel + 1);
    json.Key("name").String(name);
    WriteParamsMembers(json, params);
    json.EndObject();
}

void WriteChannelStatus(TJsonWriter& json, int channel, const std::string& name,
                        const TChannelReading& c) {
    json.BeginObject();
    json.Key("channel").Int(channel + 1);
    json.Key("name").String(name);
    json.Key("temperature").Tenths(c.temperature);
    json.Key("fan").Int(c.fan);
    json.Key("pwm").Tenths(PercentTenths(c.pwm));
    json.Key("pwm_raw").Int(c.pwm);
    json.Key("volts").Tenths(VoltTenths(c.pwm));
    json.Key("auto").Bool(c.params.Auto != 0);
    json.Key("alarms").BeginObject();
    json.Key("temperature").Bool(TemperatureAlarm(c));
    json.Key("fan").Bool(FanAlarm(c));
    json.EndObject();
    json.EndObject();
}
