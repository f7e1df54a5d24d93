// EEPROM commands for one channel or all six, in channel order.
#include "EepromCommands.h"

#include "ChannelJson.h"
#include "ChannelText.h"
#include "CliError.h"
#include "Commands.h"
#include "Controller.h"
#include "SettingsSource.h"
#include "ValueParse.h"

namespace {

// "channel 2" or "channels 1, 2, 3".
std::string ChannelsText(const std::vector<int>& channels) {
    std::string text = channels.size() == 1 ? "channel " : "channels ";
    for (size_t i = 0; i < channels.size(); ++i) {
        text += (i == 0 ? "" : ", ") + std::to_string(channels[i] + 1);
    }
    return text;
}

// Runs `step` for each channel; a failure names the channel and the ones already done.
template <class Step>
void ForEachChannel(const std::vector<int>& channels, const char* done, Step step) {
    std::vector<int> finished;
    for (const int channel : channels) {
        try {
            step(channel);
        } catch (const EHardwareException& error) {
            const std::string before =
                finished.empty()
                    ? std::string("none was ")
                    : ChannelsText(finished) + (finished.size() == 1 ? " was " : " were ");
            throw TCliError(ExitCode::Failed, std::string(error.what()) + " (channel " +
                                                  std::to_string(channel + 1) + "; " + before +
                                                  done + ")");
        }
        finished.push_back(channel);
    }
}

void PrintChannelList(TJsonWriter& json, const char* key, const std::vector<int>& channels) {
    json.Key(key).BeginArray();
    for (const int channel : channels) {
        json.Int(channel + 1);
    }
    json.EndArray();
}

}  // namespace

int RunSave(const TContext& context) {
    const std::vector<int> channels = ParseChannelOrAll(context.line.args[0]);
    TController controller(context.line.port);
    ForEachChannel(channels, "saved", [&](int channel) { controller.Save(channel); });
    if (context.line.json) {
        TJsonWriter json(true);
        json.BeginObject().Key("schema").Int(kJsonSchema);
        PrintChannelList(json, "saved", channels);
        json.EndObject();
        context.PrintJson(json);
    } else {
        context.out << "Saved " << ChannelsText(channels) << " to EEPROM.\n";
    }
    return 0;
}

int RunRecall(const TContext& context) {
    const std::vector<int> channels = ParseChannelOrAll(context.line.args[0]);
    const TChannelNames names =
        ReadChannelNames(SettingsFileFor(context.line.settings), context.err);
    TController controller(context.line.port);
    ForEachChannel(channels, "recalled", [&](int channel) { controller.Recall(channel); });
    std::vector<TChannelParams> recalled;
    for (const int channel : channels) {
        recalled.push_back(controller.Params(channel));
    }
    if (context.line.json) {
        TJsonWriter json(true);
        json.BeginObject().Key("schema").Int(kJsonSchema);
        PrintChannelList(json, "recalled", channels);
        json.Key("channels").BeginArray();
        for (size_t i = 0; i < channels.size(); ++i) {
            WriteChannelParams(json, channels[i], names[channels[i]], recalled[i]);
        }
        json.EndArray().EndObject();
        context.PrintJson(json);
    } else {
        context.out << "Recalled " << ChannelsText(channels) << " from EEPROM.\n";
        for (size_t i = 0; i < channels.size(); ++i) {
            context.out << ParamsBlock(channels[i], names[channels[i]], recalled[i]);
        }
    }
    return 0;
}
