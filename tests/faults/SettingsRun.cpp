// The program's settings steps over a file on disk, stopped where the program stops.
#include "SettingsRun.h"

#include <memory>

#include "ColorText.h"
#include "Exceptions.h"
#include "IniFile.h"
#include "PresetsFile.h"

TWindowSettings RunDefaults() {
    return DefaultWindowSettings(kRunScreenWidth, kRunScreenHeight, kRunWindowWidth,
                                 kRunWindowHeight);
}

void RunSettings(const std::string& path, SettingsRun& run) {
    std::unique_ptr<TIniFile> ini;
    try {
        ini = std::make_unique<TIniFile>(path);
        LoadPresets(*ini, run.params);
        run.scope = ReadScopeColors(*ini);
        run.graph = ReadGraphColors(*ini);
    } catch (const Exception& error) {
        run.fatal = error.Message();
        return;
    }
    // The creation step reports a bad trace colour, keeps that trace's default and goes on, so
    // the other colours, the names, the position and the widths are not replaced at exit.
    for (int i = 0; i < kChannelCount; ++i) {
        const std::string key = "Color" + std::to_string(i);
        try {
            run.traces[i] = StringToColor(
                ini->ReadString("Channels", key, ColorToString(kDefaultChannelColors[i])));
        } catch (const EConvertError& error) {
            run.reported = error.Message();
        }
    }
    run.window = ReadWindowSettings(*ini, RunDefaults());

    WriteWindowSettings(*ini, run.window);
    SavePresets(*ini, run.params);
    WriteChannelColors(*ini, run.traces);
    WriteScopeColors(*ini, run.scope);
    WriteGraphColors(*ini, run.graph);
    ini->UpdateFile();
    run.written = ini->ToText();
}
