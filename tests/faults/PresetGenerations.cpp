// Stores derived from a generation number, and the check that a store is one of them.
#include "PresetGenerations.h"

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string PresetName(int generation, int index) {
    return "Generation " + std::to_string(generation) + " preset " + std::to_string(index);
}

TChannelParams Record(int generation, int index, int channel) {
    TChannelParams r;
    r.SetMode((generation + index + channel) & 0x0F);
    r.T_min = 200 + channel;
    r.PWM_min = (index * 7 + channel) & 0xFF;
    r.T_max = 300 + generation % 1000;
    r.PWM_max = (generation + index) & 0xFF;
    r.T_alarm = 400 + index;
    r.V_alarm = generation;
    r.PWM = (generation * 3 + channel) & 0xFF;
    return r;
}

}  // namespace

void FillGeneration(TParams& params, int generation) {
    params.Clear();
    for (int i = 0; i < kGenerationPresets; ++i) {
        auto item = std::make_unique<TParamsItem>();
        item->Name = PresetName(generation, i);
        for (int c = 0; c < kPresetChannels; ++c)
            item->Channels[c] = Record(generation, i, c);
        params.Add(std::move(item));
    }
    params.SetActive(generation % kGenerationPresets);
}

int GenerationOf(const TParams& params) {
    if (params.Count() != kGenerationPresets)
        return -1;
    const std::string& first = params.Items(0).Name;
    const std::string prefix = "Generation ";
    if (first.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const int generation = std::atoi(first.c_str() + prefix.size());
    TParams expected;
    FillGeneration(expected, generation);
    for (int i = 0; i < kGenerationPresets; ++i) {
        if (params.Items(i).Name != expected.Items(i).Name ||
            params.Items(i).Channels != expected.Items(i).Channels)
            return -1;
    }
    return params.ActiveIndex() == expected.ActiveIndex() ? generation : -1;
}
