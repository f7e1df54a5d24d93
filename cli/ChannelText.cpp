// Aligned text tables; every number through the same exact conversions as the JSON form.
#include "ChannelText.h"

#include <algorithm>
#include <vector>

#include "ChannelUnits.h"

namespace {

std::string OnOff(uint8_t flag) {
    return flag != 0 ? "on" : "off";
}

// Terminal columns of a UTF-8 text, one per character.
size_t Columns(const std::string& text) {
    return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Pads to `width` columns.
std::string Pad(const std::string& text, size_t width, bool right) {
    const size_t columns = Columns(text);
    const std::string fill(columns < width ? width - columns : 0, ' ');
    return right ? fill + text : text + fill;
}

struct Param {
    std::string key;
    std::string value;
    std::string unit;
};

std::vector<Param> Params(const TChannelParams& p) {
    return {
        {"tmin", TenthsText(p.T_min), "°C"},
        {"tmax", TenthsText(p.T_max), "°C"},
        {"pmin", TenthsText(PercentTenths(p.PWM_min)), "%"},
        {"pmax", TenthsText(PercentTenths(p.PWM_max)), "%"},
        {"talarm", TenthsText(p.T_alarm), "°C"},
        {"valarm", std::to_string(p.V_alarm), "rpm"},
        {"boost", OnOff(p.Boost), ""},
        {"auto", OnOff(p.Auto), ""},
        {"ta", OnOff(p.Ta), ""},
        {"va", OnOff(p.Va), ""},
        {"pwm", TenthsText(PercentTenths(p.PWM)), "%"},
    };
}

}  // namespace

std::string ChannelTitle(int channel, const std::string& name) {
    return "Channel " + std::to_string(channel + 1) + (name.empty() ? "" : " (" + name + ")");
}

std::string StatusTable(const TReading& reading, const TChannelNames& names) {
    size_t nameWidth = 4;
    for (const std::string& name : names) {
        nameWidth = std::max(nameWidth, Columns(name));
    }
    std::string text = "Ch  " + Pad("Name", nameWidth, false) +
                       "  Temp °C  Fan rpm   PWM %  Volts  Mode    Alarms\n";
    for (int i = 0; i < 6; ++i) {
        const TChannelReading& c = reading.channels[i];
        std::string alarms;
        if (TemperatureAlarm(c)) {
            alarms = "temperature";
        }
        if (FanAlarm(c)) {
            alarms += alarms.empty() ? "fan" : ", fan";
        }
        text += Pad(std::to_string(i + 1), 2, true) + "  " + Pad(names[i], nameWidth, false) +
                "  " + Pad(TenthsText(c.temperature), 7, true) + "  " +
                Pad(std::to_string(c.fan), 7, true) + "  " +
                Pad(TenthsText(PercentTenths(c.pwm)), 6, true) + "  " +
                Pad(TenthsText(VoltTenths(c.pwm)), 5, true) + "  " +
                Pad(c.params.Auto != 0 ? "auto" : "manual", 6, false) + "  " +
                (alarms.empty() ? "-" : alarms) + "\n";
    }
    return text;
}

std::string ParamsBlock(int channel, const std::string& name, const TChannelParams& params) {
    std::string text = ChannelTitle(channel, name) + ":\n";
    for (const Param& p : Params(params)) {
        text += "  " + Pad(p.key, 7, false) + Pad(p.value, 6, true) +
                (p.unit.empty() ? "" : " " + p.unit) + "\n";
    }
    return text;
}

std::string ParamsLine(const TChannelParams& params) {
    std::string text;
    for (const Param& p : Params(params)) {
        text += (text.empty() ? "" : ", ") + p.key + " " + p.value +
                (p.unit.empty() ? "" : " " + p.unit);
    }
    return text;
}
