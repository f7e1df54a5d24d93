// Presets from the settings file: listed, and applied to the controller.
#include "PresetCommands.h"

#include <algorithm>
#include <cctype>

#include "ChannelJson.h"
#include "ChannelText.h"
#include "CliError.h"
#include "Commands.h"
#include "Controller.h"
#include "Exceptions.h"
#include "PresetsFile.h"
#include "ProgramInstance.h"
#include "SettingsSource.h"

namespace {

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// The preset a user means: the one of that name, or, when no name matches, the number that
// `preset list` shows. Several presets of one name are refused, naming their numbers.
int FindPreset(const TParams& presets, const std::string& wanted, const std::string& file) {
    std::vector<int> matches;
    for (int i = 0; i < presets.Count(); ++i) {
        if (presets.Items(i).Name == wanted) {
            matches.push_back(i);
        }
    }
    if (matches.size() == 1) {
        return matches[0];
    }
    if (matches.size() > 1) {
        std::string numbers;
        for (const int i : matches) {
            numbers += (numbers.empty() ? "" : ", ") + std::to_string(i + 1);
        }
        throw UsageError(std::to_string(matches.size()) + " presets are named " + Quoted(wanted) +
                         " (numbers " + numbers + "); give the number instead");
    }
    const bool number = !wanted.empty() && wanted.size() < 8 &&
                        std::all_of(wanted.begin(), wanted.end(), [](char c) {
                            return std::isdigit(static_cast<unsigned char>(c)) != 0;
                        });
    if (number && std::stoi(wanted) >= 1 && std::stoi(wanted) <= presets.Count()) {
        return std::stoi(wanted) - 1;
    }
    std::string names;
    for (int i = 0; i < presets.Count(); ++i) {
        names += (i == 0 ? "" : ", ") + Quoted(presets.Items(i).Name);
    }
    throw UsageError("no preset named " + Quoted(wanted) + " in " + file + " (presets: " + names +
                     ")");
}

// Every field of every record within what its field on the wire carries.
void CheckSendable(const TParamsItem& preset) {
    struct Field {
        const char* name;
        int32_t TChannelParams::*member;
        int32_t max;
    };
    const Field fields[] = {
        {"T_min", &TChannelParams::T_min, 0xFFFF},
        {"PWM_min", &TChannelParams::PWM_min, 0xFF},
        {"T_max", &TChannelParams::T_max, 0xFFFF},
        {"PWM_max", &TChannelParams::PWM_max, 0xFF},
        {"T_alarm", &TChannelParams::T_alarm, 0xFFFF},
        {"V_alarm", &TChannelParams::V_alarm, 0xFFFF},
        {"PWM", &TChannelParams::PWM, 0xFF},
    };
    for (int channel = 0; channel < 6; ++channel) {
        for (const Field& field : fields) {
            const int32_t value = preset.Channels[channel].*field.member;
            if (value < 0 || value > field.max) {
                throw TCliError(ExitCode::Failed,
                                "preset " + Quoted(preset.Name) + " cannot be sent: channel " +
                                    std::to_string(channel + 1) + " holds " + field.name + " " +
                                    std::to_string(value) + ", outside 0 to " +
                                    std::to_string(field.max) + "; nothing was sent");
            }
        }
    }
}

struct TPresetFile {
    std::string file;
    std::unique_ptr<TIniFile> ini;
    TParams presets;
};

TPresetFile LoadPresetFile(const TContext& context, bool required) {
    TPresetFile loaded;
    loaded.file = SettingsFileFor(context.line.settings);
    loaded.ini = OpenSettings(loaded.file);
    std::optional<TParams> presets = ReadPresets(*loaded.ini);
    if (presets) {
        loaded.presets = std::move(*presets);
    } else {
        if (required) {
            throw UsageError("no presets in " + loaded.file);
        }
        loaded.presets.Clear();
    }
    return loaded;
}

}  // namespace

int RunPresetList(const TContext& context) {
    const TPresetFile loaded = LoadPresetFile(context, false);
    const TParams& presets = loaded.presets;
    if (context.line.json) {
        TJsonWriter json(true);
        json.BeginObject().Key("schema").Int(kJsonSchema);
        json.Key("settings").String(loaded.file).Key("presets").BeginArray();
        for (int i = 0; i < presets.Count(); ++i) {
            const TParamsItem& preset = presets.Items(i);
            json.BeginObject().Key("number").Int(i + 1).Key("name").String(preset.Name);
            json.Key("active").Bool(&preset == presets.Active()).Key("channels").BeginArray();
            for (int channel = 0; channel < 6; ++channel) {
                json.BeginObject().Key("channel").Int(channel + 1);
                WriteParamsMembers(json, preset.Channels[channel]);
                json.EndObject();
            }
            json.EndArray().EndObject();
        }
        json.EndArray().EndObject();
        context.PrintJson(json);
    } else if (presets.Count() == 0) {
        context.out << "No presets in " << loaded.file << ".\n";
    } else {
        context.out << "Presets in " << loaded.file << ":\n";
        for (int i = 0; i < presets.Count(); ++i) {
            const TParamsItem& preset = presets.Items(i);
            context.out << "  " << (i + 1) << "  " << preset.Name
                        << (&preset == presets.Active() ? "  (active)" : "") << "\n";
        }
    }
    return 0;
}

int RunPresetApply(const TContext& context) {
    TPresetFile loaded = LoadPresetFile(context, true);
    TParams& presets = loaded.presets;
    const int index = FindPreset(presets, context.line.args[1], loaded.file);
    const TParamsItem& preset = presets.Items(index);
    CheckSendable(preset);

    TController controller(context.line.port);

    // Recorded before anything is sent, as the program does: a failure to send leaves the new
    // active preset in place. While the program runs the file is its own.
    const std::string target = SettingsFileToWrite(context.line.settings);
    const std::optional<TRunningProgram> running = RunningProgramOn(target);
    std::string note;
    bool recorded = false;
    if (running) {
        note = "Kelvane (pid " + std::to_string(running->pid) + ") is running" +
               (running->doubt.empty() ? "" : " (" + running->doubt + ")") + " and owns " + target +
               "; the active preset there was not changed";
    } else if (index == presets.ActiveIndex()) {
        recorded = true;
    } else {
        presets.SetActive(index);
        SavePresets(*loaded.ini, presets);
        loaded.ini->SetFileName(target);
        try {
            loaded.ini->UpdateFile();
        } catch (const Exception& error) {
            throw TCliError(ExitCode::Failed, "the active preset could not be recorded: " +
                                                  error.Message() + "; nothing was sent");
        }
        recorded = true;
    }

    for (int channel = 0; channel < 6; ++channel) {
        try {
            controller.SendParams(channel, preset.Channels[channel]);
        } catch (const EHardwareException& error) {
            throw TCliError(ExitCode::Failed,
                            std::string(error.what()) + " (channel " + std::to_string(channel + 1) +
                                (channel == 0 ? "; nothing was sent"
                                              : "; channels 1 to " + std::to_string(channel) +
                                                    " have the preset") +
                                ")");
        }
    }

    if (context.line.json) {
        TJsonWriter json(true);
        json.BeginObject().Key("schema").Int(kJsonSchema);
        json.Key("preset").BeginObject().Key("number").Int(index + 1);
        json.Key("name").String(preset.Name).EndObject();
        json.Key("sent").BeginArray();
        for (int channel = 1; channel <= 6; ++channel) {
            json.Int(channel);
        }
        json.EndArray();
        json.Key("settings").String(target).Key("recorded").Bool(recorded);
        json.Key("note").String(note).EndObject();
        context.PrintJson(json);
    } else {
        context.out << "Preset " << Quoted(preset.Name) << " sent to channels 1 to 6.\n";
        if (recorded) {
            context.out << "It is the active preset in " << target << ".\n";
        } else {
            context.out << "Not recorded: " << note << ".\n";
        }
    }
    return 0;
}
