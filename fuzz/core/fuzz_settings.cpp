// Fuzzes the settings file loader: any bytes load; what is written back loads to the same
// content and writes back identically; every reader survives any value.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ColorText.h"
#include "Exceptions.h"
#include "IniFile.h"
#include "Params.h"
#include "PresetsFile.h"
#include "Settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    TIniFile ini;
    ini.LoadFromText(text);
    const std::string written = ini.ToText();

    TIniFile reloaded;
    reloaded.LoadFromText(written);
    if (reloaded.SectionNames() != ini.SectionNames() || reloaded.ToText() != written) {
        std::abort();
    }
    for (const std::string& name : ini.SectionNames()) {
        if (reloaded.SectionLines(name) != ini.SectionLines(name)) {
            std::abort();
        }
    }

    // The program's readers and writers on whatever the file holds.
    TWindowSettings settings = ReadWindowSettings(ini, DefaultWindowSettings(1920, 1080, 640, 480));
    if (settings.Channel < 0 || settings.Channel > 5) {
        std::abort();
    }
    try {
        ReadGraphColors(ini);
        ReadScopeColors(ini);
        ReadChannelColors(ini);
    } catch (const EConvertError&) {
    }
    TParams params;
    try {
        LoadPresets(ini, params);
    } catch (const Exception&) {
    }
    WriteWindowSettings(ini, settings);
    SavePresets(ini, params);
    WriteGraphColors(ini, TGraphColors{});

    // After the program's writes the file still loads to what was written.
    const std::string second = ini.ToText();
    reloaded.LoadFromText(second);
    if (reloaded.ToText() != second) {
        std::abort();
    }
    if (ReadWindowSettings(reloaded, {}).Left != settings.Left) {
        std::abort();
    }
    return 0;
}
