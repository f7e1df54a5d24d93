// Parsing and applying `set` changes. The ranges are those of the Channel page's fields.
#include "ParamEdits.h"

#include <algorithm>

#include "ChannelUnits.h"
#include "CliError.h"
#include "ValueParse.h"

namespace {

enum class Kind { Temperature, Percent, Rpm, Flag };

struct KeyInfo {
    std::string_view name;
    Kind kind;
    int32_t TChannelParams::*number;
    uint8_t TChannelParams::*flag;
};

const KeyInfo kKeys[] = {
    {"tmin", Kind::Temperature, &TChannelParams::T_min, nullptr},
    {"tmax", Kind::Temperature, &TChannelParams::T_max, nullptr},
    {"pmin", Kind::Percent, &TChannelParams::PWM_min, nullptr},
    {"pmax", Kind::Percent, &TChannelParams::PWM_max, nullptr},
    {"talarm", Kind::Temperature, &TChannelParams::T_alarm, nullptr},
    {"valarm", Kind::Rpm, &TChannelParams::V_alarm, nullptr},
    {"boost", Kind::Flag, nullptr, &TChannelParams::Boost},
    {"auto", Kind::Flag, nullptr, &TChannelParams::Auto},
    {"ta", Kind::Flag, nullptr, &TChannelParams::Ta},
    {"va", Kind::Flag, nullptr, &TChannelParams::Va},
};

std::string KeyList() {
    std::string list;
    for (const KeyInfo& key : kKeys) {
        list += (list.empty() ? "" : " ") + std::string(key.name);
    }
    return list;
}

int32_t ParseValue(const KeyInfo& key, std::string_view text) {
    switch (key.kind) {
        case Kind::Temperature:
            return TenthsFromDegrees(ParseNumber(key.name, text, 0, 100, "°C"));
        case Kind::Percent:
            return PwmFromPercent(ParseNumber(key.name, text, 0, 100, "%"));
        case Kind::Rpm:
            return RpmFromValue(ParseNumber(key.name, text, 0, 9999, "rpm"));
        case Kind::Flag:
            return ParseSwitch(key.name, text) ? 1 : 0;
    }
    return 0;
}

}  // namespace

const std::vector<std::string_view>& ParamKeys() {
    static const std::vector<std::string_view> keys = [] {
        std::vector<std::string_view> names;
        for (const KeyInfo& key : kKeys) {
            names.push_back(key.name);
        }
        return names;
    }();
    return keys;
}

TParamEdits TParamEdits::Parse(const std::vector<std::string>& items) {
    if (items.empty()) {
        throw UsageError("set needs at least one KEY=VALUE (keys: " + KeyList() + ")");
    }
    TParamEdits result;
    std::vector<std::string_view> seen;
    for (const std::string& item : items) {
        const size_t eq = item.find('=');
        if (eq == std::string::npos) {
            throw UsageError("'" + item + "' is not KEY=VALUE (keys: " + KeyList() + ")");
        }
        const std::string name = item.substr(0, eq);
        const auto key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                      [&](const KeyInfo& k) { return k.name == name; });
        if (key == std::end(kKeys)) {
            throw UsageError("unknown key '" + name + "' (keys: " + KeyList() + ")");
        }
        if (std::find(seen.begin(), seen.end(), key->name) != seen.end()) {
            throw UsageError(std::string(key->name) + " is given more than once");
        }
        seen.push_back(key->name);
        result.edits_.push_back(
            {key->number, key->flag, ParseValue(*key, std::string_view(item).substr(eq + 1))});
    }
    return result;
}

void TParamEdits::ApplyTo(TChannelParams& params) const {
    for (const Edit& edit : edits_) {
        if (edit.number != nullptr) {
            params.*edit.number = edit.value;
        } else {
            params.*edit.flag = static_cast<uint8_t>(edit.value);
        }
    }
}
