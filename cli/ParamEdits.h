// The key=value changes of `qv725ctl set`: which keys there are, what each accepts, and how a
// change lands in a channel's parameter set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Params.h"

// The keys in the order they are listed to users.
const std::vector<std::string_view>& ParamKeys();

class TParamEdits {
public:
    // Parses "key=value" items: tmin, tmax, talarm in °C (0 to 100), pmin, pmax in % (0 to
    // 100), valarm in rpm (0 to 9999), boost, auto, ta, va on/off. Throws a usage error naming
    // the accepted keys or range for an unknown key, a missing "=", a key given twice, a bad or
    // out-of-range value, or no item at all.
    static TParamEdits Parse(const std::vector<std::string>& items);

    // Stores the changes into `params`, converted as the Channel page converts its fields; the
    // fields not named keep their values.
    void ApplyTo(TChannelParams& params) const;

private:
    struct Edit {
        int32_t TChannelParams::*number = nullptr;  // a value field, or
        uint8_t TChannelParams::*flag = nullptr;    // a flag byte
        int32_t value = 0;
    };
    std::vector<Edit> edits_;
};
