// Alarm texts.
#include "AlarmText.h"

#include "NumberFormat.h"

namespace {

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Celsius(int32_t tenths) {
    return FormatReadout(tenths > 0 ? tenths * 0.1 : 0.0) + " °C";
}

// Channel number and name as short as the tooltip wants it: "1 'CPU'" or "3".
std::string ShortLabel(int channel, const std::string& name) {
    const std::string trimmed = Trimmed(name);
    const std::string number = std::to_string(channel + 1);
    return trimmed.empty() ? number : number + " '" + trimmed + "'";
}

size_t CodePoints(const std::string& text) {
    size_t count = 0;
    for (unsigned char c : text)
        count += (c & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

// The first `count` code points of UTF-8 `text`.
std::string FirstCodePoints(const std::string& text, size_t count) {
    size_t seen = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (seen == count)
                return text.substr(0, i);
            ++seen;
        }
    }
    return text;
}

}  // namespace

std::string ChannelLabel(int channel, const std::string& name) {
    const std::string trimmed = Trimmed(name);
    const std::string number = "Channel " + std::to_string(channel + 1);
    return trimmed.empty() ? number : number + " '" + trimmed + "'";
}

std::string AlarmEventText(const TAlarmEvent& event, const std::array<std::string, 6>& names) {
    const auto label = [&] {
        return ChannelLabel(event.Channel, names[static_cast<size_t>(event.Channel)]);
    };
    switch (event.Kind) {
        case TAlarmKind::Temperature:
            return label() + ": " + Celsius(event.Value) + ", alarm at " + Celsius(event.Limit);
        case TAlarmKind::FanSpeed:
            return label() + ": " + std::to_string(event.Value) + " rpm, alarm below " +
                   std::to_string(event.Limit) + " rpm";
        case TAlarmKind::Stall:
            return label() + ": fan stopped, " + std::to_string(event.Value) + " rpm at " +
                   FormatFixed(event.Pwm * 100.0 / 255.0, 3, 0) + " % PWM";
        case TAlarmKind::ControllerLost:
            return "Controller lost: OFF-Line";
        case TAlarmKind::ControllerFound:
            return "Controller found again: ON-Line";
    }
    return {};
}

std::string AlarmNotificationText(const std::vector<TAlarmEvent>& events,
                                  const std::array<std::string, 6>& names) {
    std::string text;
    for (const TAlarmEvent& event : events) {
        if (!event.Began)
            continue;
        if (!text.empty())
            text += '\n';
        text += AlarmEventText(event, names);
    }
    return text;
}

std::string AlarmTooltip(const TAlarmTracker& tracker, const std::array<std::string, 6>& names,
                         size_t maxLength) {
    std::string text = "Kelvane";
    std::string channels;
    for (int c = 0; c < 6; ++c) {
        if (!tracker.ChannelInAlarm(c))
            continue;
        channels += channels.empty() ? "" : ", ";
        channels += ShortLabel(c, names[static_cast<size_t>(c)]);
    }
    if (!channels.empty())
        text += ": alarm on " + channels;
    if (tracker.ControllerLost())
        text += channels.empty() ? ": controller lost" : "; controller lost";
    if (CodePoints(text) > maxLength && maxLength >= 3)
        text = FirstCodePoints(text, maxLength - 3) + "...";
    return text;
}
